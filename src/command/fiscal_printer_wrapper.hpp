#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "documents/receipt_printer_handler.hpp"

namespace nvrp {

class kFiscalPrinterDevice;

// One command call: parses the request into its own handler, serves it on a device and
// formats the result. Lives for the duration of one exported call.
class kFiscalPrinterWrapper {
 public:
  kFiscalPrinterWrapper();
  virtual ~kFiscalPrinterWrapper();
  kFiscalPrinterWrapper(const kFiscalPrinterWrapper&) = delete;
  kFiscalPrinterWrapper& operator=(const kFiscalPrinterWrapper&) = delete;

  // Puts the result record to the command's initial values.
  virtual void ClearResult() = 0;
  // Renders the result: the fragment, the unescaped error text and 0 or -1 (UTF-8 texts).
  virtual void Format(std::string& aOutput, std::string& aErrorMessage, int16_t& aResult) = 0;
  // Serves the request; every error ends in the result record, none leaves.
  virtual void Process(const std::string& aXml) = 0;

  kReceiptPrinterHandler& Handler() const { return *fHandler; }

 protected:
  // The device named by the request's handle or, when allowed and no handle is given, a new
  // device of the request's driver entered in the device table under the next handle.
  kFiscalPrinterDevice& FindOrCreateDevice(bool aMayCreate);
  std::unique_ptr<kReceiptPrinterHandler> fHandler;
};

// The message of the exception being handled ("Unknown error" for anything that is not a
// standard exception). Call only inside a catch block.
std::string CurrentErrorMessage();

}  // namespace nvrp
