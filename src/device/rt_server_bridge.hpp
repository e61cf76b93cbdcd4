#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/dynamic_library.hpp"
#include "base/ole_string.hpp"
#include "base/platform_abi.hpp"

namespace nvrp {

struct kReceipt;

// Plug-in interface of an RT signing server library. Every export uses NVRP_STDCALL, takes and
// answers OLE strings (answers start empty, the library allocates them, the caller releases
// them) and returns 0 on success; on failure aErrorMessage says why.
//
//   RTS_OPENTILL(host, port, user, password, tillId, aErrorMessage)
//   RTS_SIGNRECEIPT(receiptXml, aAnswerXml, aErrorMessage)
//   RTS_XREPORT(aAnswerXml, aErrorMessage)
//   RTS_CLOSETILL(aAnswerXml, aErrorMessage)
//
// receiptXml: <RTReceipt> with TillId (of the open till), ReceiptType (request word),
//   ReceiptNumber, CurrencyCode, TotalAmount, Lines/Line (attribute LineType, the line type's
//   ordinal; Amount, signed as the line adds to the total; sale lines also Code, Description,
//   Quantity, Price, TaxCode) and Payments/Payment (PaymentType word, Description, Amount).
// Sign answer: a document element with VatTotal (currency), TillId, ServerSerialNumber,
//   Signature, DocumentNumber, ClosureNumber (integers) and Headers/Header (one per line).
// Till report answer (X report and close-till): a document element with TillSerialNumber,
//   ServerSerialNumber, RecNumber, ZRepNumber (integers), ZRepDateTime (date-time), DailyAmount,
//   SalesAmount, VoidsAmount and RefundsAmount (currency).
// Values follow the request syntax (amounts with "." decimals, date-times yyyy-mm-ddThh:nn:ss).
using tkRTS_OpenTill = int16_t(NVRP_STDCALL*)(BSTR aHost, int32_t aPort, BSTR aUser, BSTR aPassword,
                                              BSTR aTillId, BSTR* aErrorMessage);
using tkRTS_SignReceipt = int16_t(NVRP_STDCALL*)(BSTR aReceiptXml, BSTR* aAnswerXml,
                                                 BSTR* aErrorMessage);
using tkRTS_TillReport = int16_t(NVRP_STDCALL*)(BSTR* aAnswerXml, BSTR* aErrorMessage);

// Details of the last receipt the RT server signed.
struct kRTServerReceiptInfo {
  Currency fVatTotal;
  std::string fTillId;
  std::string fServerSerialNumber;
  std::string fSignature;
  int32_t fRTnDoc = 0;  // document number; 0 when no document was generated
  int32_t fRTzRep = 0;  // closure number
  std::vector<std::string> fHeaderLines;
};

// The RT server's till report, from an X report or a till closure.
struct kRTServerTillReportInfo {
  std::string fTillSerialNumber;
  std::string fServerSerialNumber;
  int32_t fnRecNumber = 0;  // documents issued
  int32_t fzRepNumber = 0;  // closure number
  DateTime fzRepDateTime = 0;
  Currency fDailyAmount;
  Currency fSalesAmount;
  Currency fVoidsAmount;
  Currency fRefundsAmount;
};

// Bridge to an RT signing server library. The library is loaded at the first call; without a
// library name, or when it cannot be loaded or lacks the export, every call answers false and
// ErrorMessage says why. Answers that are not XML or whose values do not convert raise.
class kRTServer_Epson {
 public:
  explicit kRTServer_Epson(std::string aLibraryName);
  ~kRTServer_Epson() = default;
  kRTServer_Epson(const kRTServer_Epson&) = delete;
  kRTServer_Epson& operator=(const kRTServer_Epson&) = delete;

  // Opens the till; TillOpened is true afterwards when the server accepted.
  bool OpenTill(const std::string& aHost, int32_t aPort, const std::string& aUser,
                const std::string& aPassword, const std::string& aTillId);
  // Builds the signing document of the receipt; SignReceipt sends it.
  void BuildReceiptDocument(const kReceipt& aReceipt);
  // On success ReceiptInfo holds the signed receipt's details; on failure it is unchanged.
  bool SignReceipt();
  // On success TillReportInfo holds the server's report; on failure it is unchanged.
  bool XReport();
  // As XReport; a closed till must be opened again before the next receipt. The till counts
  // as closed once the server answered, also when its till report then raises as unreadable.
  bool CloseTill();

  const std::string& LibraryName() const { return fLibraryName; }
  bool TillOpened() const { return fTillOpened; }
  const std::string& ErrorMessage() const { return fErrorMessage; }
  const std::string& ReceiptDocument() const { return fReceiptDocument; }
  const kRTServerReceiptInfo& ReceiptInfo() const { return fReceiptInfo; }
  const kRTServerTillReportInfo& TillReportInfo() const { return fTillReportInfo; }

 private:
  // The export's address, loading the library first; null with ErrorMessage set when absent.
  void* Export(const char* aName);
  bool TillReport(const char* aExportName, bool aClosesTill);

  std::string fLibraryName;
  DynamicLibrary fLibrary;
  bool fTillOpened = false;
  std::string fTillId;
  std::string fErrorMessage;
  std::string fReceiptDocument;
  kRTServerReceiptInfo fReceiptInfo;
  kRTServerTillReportInfo fTillReportInfo;
};

}  // namespace nvrp
