#pragma once

#include <cstdint>
#include <string>

#include "base/date_time.hpp"
#include "base/dynamic_library.hpp"
#include "base/ole_string.hpp"
#include "base/platform_abi.hpp"
#include "device/fiscal_types.hpp"

namespace nvrp {

class kFiscalPrinterDevice;

// Entry points of an external fiscal processor library. Strings are OLE strings; out strings
// start empty and are allocated by the library, released by the caller. 0 means success.
using tkFP_OpenProcessor = int16_t(NVRP_STDCALL*)(BSTR aXmlIn, int32_t* aHandle,
                                                  BSTR* aErrorMessage);
using tkFP_ProcessReceipt = int16_t(NVRP_STDCALL*)(BSTR aXmlIn, BSTR* aXmlOut, BSTR* aErrorMessage);
using tkFP_ProcessXZReport = int16_t(NVRP_STDCALL*)(BSTR aXmlIn, BSTR* aXmlOut,
                                                    BSTR* aErrorMessage);
using tkFP_ProcessGetStatus = int16_t(NVRP_STDCALL*)(BSTR aXmlIn, BSTR* aXmlOut,
                                                     BSTR* aErrorMessage);

// Bridge to the external fiscal processor named by the envelope parameter "Processor": the
// device hands it raw request XML and reads back rewritten receipts, report figures and status
// values. Inactive when no name is given. Once loaded, the library stays loaded for the rest
// of the process.
class kFiscalProcessorCaller {
 public:
  explicit kFiscalProcessorCaller(std::string aName);
  ~kFiscalProcessorCaller();
  kFiscalProcessorCaller(const kFiscalProcessorCaller&) = delete;
  kFiscalProcessorCaller& operator=(const kFiscalProcessorCaller&) = delete;

  // Loads the library and looks up its exports (a missing export stays null). Raises
  // "Unable to load library <path>. Error code: [<code>]" when the library cannot be loaded.
  void Init();

  // Without the export: true. Otherwise true when the library answered 0.
  bool OpenProcessor(const std::string& aXml);
  // Without the export: true, aOutXml unchanged. Otherwise aOutXml and the error message take
  // the library's answers, and the result is true when it answered 0.
  bool ProcessReceipt(const std::string& aInXml, std::string& aOutXml);
  // Without the export: false. On success every counter field is assigned from the answer;
  // an answer that is not XML or whose values do not convert raises.
  bool ProcessXReport(const std::string& aInXml, tkFiscalCounters& aCounters);
  bool ProcessZReport(const std::string& aInXml, tkFiscalCounters& aCounters);
  // Without the export or on failure nothing changes; on success the six outputs are
  // assigned from the answer.
  bool ProcessGetStatus(const std::string& aInXml, bool& aDayOpened, DateTime& aDateTime,
                        bool& aTrainingMode, std::string& aFirmwareVersion,
                        std::string& aSerialNumber, std::string& aFiscalMode);
  // Prints the text on aPrinter as a non-fiscal document: the first line bold, double size and
  // centred, the others plain and left-aligned. Always true.
  bool PrintReport(const std::string& aText, kFiscalPrinterDevice& aPrinter);

  const std::string& Name() const { return fName; }
  const std::string& ErrorMessage() const { return fErrorMessage; }
  bool Active() const { return fActive; }
  int32_t ProcessorHandle() const { return fProcessorHandle; }
  // The system's explanation of the last load failure, for the device log.
  const std::string& LoadErrorText() const { return fDLLHandle.ErrorText(); }

 private:
  bool ProcessReport(tkFP_ProcessXZReport aEntry, const std::string& aInXml,
                     tkFiscalCounters& aCounters);

  std::string fName;
  std::string fErrorMessage;
  bool fActive = false;
  DynamicLibrary fDLLHandle;
  tkFP_ProcessReceipt fProcessReceipt = nullptr;
  tkFP_OpenProcessor fOpenProcessor = nullptr;
  tkFP_ProcessXZReport fProcessXReport = nullptr;
  tkFP_ProcessXZReport fProcessZReport = nullptr;
  tkFP_ProcessGetStatus fProcessGetStatus = nullptr;
  int32_t fProcessorHandle = 0;
};

}  // namespace nvrp
