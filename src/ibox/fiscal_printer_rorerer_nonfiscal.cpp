// Non-fiscal documents and the cash drawer of the iBox. A non-fiscal document has no opening
// order: its first comment with Use=Extern opens it and End_Rcpt closes it.

#include <string>

#include "documents/receipt_message_lines.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace P = ibox_params;
using C = tkIBoxCommandId;

bool kFiscalPrinter_RORERER::BeginNonFiscal(kNFReceipt& /*aReceipt*/) {
  const bool result = VoidReceipt();
  // Emptying the trailer lines succeeds as a request and would erase the reason the void
  // failed; that reason is kept.
  const bool keepVoidError = !result && fIOHandler->ErrorFound();
  const int32_t voidErrorCode = fIOHandler->ErrorCode();
  const std::string voidErrorMessage = fIOHandler->ErrorMessage();
  ClearTrailerMessages();
  if (keepVoidError) fIOHandler->SetCustomError(voidErrorCode, voidErrorMessage);
  return result;
}

bool kFiscalPrinter_RORERER::PrintNonFiscalTextLine(kReceipt* /*aReceipt*/,
                                                    kReceiptMessageTextLine& aLine) {
  const tkIBoxArgument line[] = {
      {P::kDescr, FormatDescription(aLine.Value(), aLine.fAlignment, aLine.fSize)}};
  return SendCommand(C::ibc_PrintNoFiscalTextLine, line);
}

bool kFiscalPrinter_RORERER::PrintNonFiscalBarcodeLine(kReceipt* /*aReceipt*/,
                                                       kReceiptMessageBarcodeLine& aLine) {
  const tkIBoxArgument line[] = {{P::kDescr, BarcodeText(aLine)}};
  return SendCommand(C::ibc_PrintNoFiscalBarcode, line);
}

// The device prints no pictures in a non-fiscal document: the line is left out.
bool kFiscalPrinter_RORERER::PrintNonFiscalImageLine(kReceipt* /*aReceipt*/,
                                                     kReceiptMessageImageLine& /*aLine*/) {
  return true;
}

bool kFiscalPrinter_RORERER::EndNonFiscal(kNFReceipt& /*aReceipt*/) {
  return SendCommand(C::ibc_EndFiscalReceipt);
}

bool kFiscalPrinter_RORERER::OpenDrawerPrimitive(int32_t /*aDrawerNumber*/) {
  return SendCommand(C::ibc_OpenDrawer);
}

}  // namespace nvrp
