// Pub_PrintReceipt: a parsed fiscal receipt turned into device primitives, with the optional
// RT signing server and external processor around it, and the PRINTFR result.

#include <string>
#include <string_view>

#include "base/date_time.hpp"
#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/fiscal_processor_caller.hpp"
#include "device/receipt_picture.hpp"
#include "device/rt_server_bridge.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

void AppendMessage(std::string& aMessageText, const std::string& aText) {
  if (aText.empty()) return;
  if (!aMessageText.empty()) aMessageText += msg::kMessageSeparator;
  aMessageText += aText;
}

// A line's class follows from its line type: each class's constructor sets its own type.
template <typename TLine>
TLine& As(kReceiptLine& aLine) {
  return static_cast<TLine&>(aLine);
}

}  // namespace

_int_PRINTFR_result kFiscalPrinterDevice::Pub_PrintReceipt(kReceiptPrinterHandler& aHandler) {
  _int_PRINTFR_result result;
  BeginOperation(msg::kBannerPrintReceipt, result);
  bool ok = ReadinessStep();
  kReceipt* receipt = &aHandler.Receipt();
  if (receipt->fTotalAmount == Currency()) {
    receipt->fTotalAmount = receipt->GetCalculatedAmount();
  }
  bool rtSigned = false;
  if (fRTServerActive) {
    rtSigned = SignWithRTServer(aHandler, *receipt);
    if (!rtSigned) ok = false;
  }
  if (fProcessor->Active()) {
    if (!fProcessor->ProcessReceipt(fXmlString, fXmlString)) {
      result.Error = true;
      result.ErrorText = fProcessor->ErrorMessage().empty() ? Text(msg::kProcessReceiptFailed)
                                                            : fProcessor->ErrorMessage();
      return result;
    }
    // The processor's output replaces the request's receipt.
    aHandler.ClearReceipt();
    aHandler.Deserialize(fXmlString,
                         tkReceiptHandlerDocumentTypes{tkReceiptHandlerDocumentType::dt_Receipt});
    receipt = &aHandler.Receipt();
  }
  // A raised error or a failed payment; the I/O handler's error covers every other failure.
  std::string failure;
  const bool begun = ok;
  try {
    if (ok) ok = Call(BeginFiscalReceipt(*receipt), "BeginFiscalReceipt");
    if (ok) ok = PrintReceiptSections(*receipt, failure);
    if (ok) RefreshLastReceiptInfo(*receipt);
  } catch (const Exception& error) {
    if (fRTServerActive) throw;
    failure = error.what();
  }

  if (fRTServerActive) {
    if (!failure.empty()) throw Exception(failure);
    FinishRTServerReceipt(rtSigned, result);
  } else if (failure.empty() && !fIOHandler->ErrorFound()) {
    FinishDeviceReceipt(aHandler, *receipt, result);
  } else {
    FinishFailedReceipt(aHandler, *receipt, begun, failure, result);
  }
  return result;
}

tkReceiptOutcome kFiscalPrinterDevice::ConfirmReceiptOutcome(kReceipt& /*aReceipt*/) {
  return tkReceiptOutcome::ro_NotPrinted;
}

// The point-of-sale program prints a receipt again when told it failed: a receipt the device
// counted is answered as printed, with what failed in MessageText, and one the device cannot
// confirm either way gets its own message so that it is checked before it is printed again.
void kFiscalPrinterDevice::FinishFailedReceipt(kReceiptPrinterHandler& aHandler, kReceipt& aReceipt,
                                               bool aBegun, const std::string& aFailure,
                                               _int_PRINTFR_result& aResult) {
  const std::string handlerMessage = fIOHandler->ErrorFound() ? fIOHandler->ErrorMessage() : "";
  const std::string errorText = aFailure.empty() ? handlerMessage : aFailure;
  std::string detail = errorText;
  if (!aFailure.empty() && !handlerMessage.empty() && handlerMessage != aFailure) {
    detail += ": " + handlerMessage;
  }
  fIOHandler->Debug(tNV_MessageType::let_error, Text(msg::kLogReceiptFailed) + detail);
  const tkReceiptOutcome outcome =
      aBegun ? ConfirmReceiptOutcome(aReceipt) : tkReceiptOutcome::ro_NotPrinted;
  aResult.Error = true;
  switch (outcome) {
    case tkReceiptOutcome::ro_NotPrinted:
      if (aBegun) LogInfo(msg::kLogReceiptNotPrinted);
      aResult.ErrorText = errorText;
      break;
    case tkReceiptOutcome::ro_Uncertain:
      fIOHandler->Debug(tNV_MessageType::let_error, Text(msg::kReceiptMayBePrinted));
      aResult.ErrorText = Text(msg::kReceiptMayBePrinted);
      aResult.MessageText = detail;
      break;
    case tkReceiptOutcome::ro_Printed:
      LogInfo(msg::kLogReceiptPrintedAnyway);
      fIOHandler->ResetCustomError();
      aResult.MessageText = detail;
      FinishDeviceReceipt(aHandler, aReceipt, aResult);
      break;
  }
}

bool kFiscalPrinterDevice::SignWithRTServer(kReceiptPrinterHandler& aHandler, kReceipt& aReceipt) {
  OpenRTServerTillIfNeeded(aHandler);
  fRTServer->BuildReceiptDocument(aReceipt);
  LogInfo(msg::kLogRTServerSignReceipt);
  if (!fRTServer->SignReceipt()) {
    fIOHandler->Debug(tNV_MessageType::let_error, RTServerSignError());
    return false;
  }
  *fRTServerReceiptInfo = fRTServer->ReceiptInfo();
  return true;
}

std::string kFiscalPrinterDevice::RTServerSignError() const {
  const std::string& message = fRTServer->ErrorMessage();
  return message.empty() ? Text(msg::kRTServerSignFailed) : message;
}

// --- Sections --------------------------------------------------------------------------------

bool kFiscalPrinterDevice::PrintReceiptSections(kReceipt& aReceipt, std::string& aFailure) {
  // A copy: BeginFiscalReceipt may have reordered the sections, and no primitive may change the
  // order while they run.
  const tkFiscalPrinterPrintSequence sequence = fPrintSequence;
  bool ok = true;
  for (const tkFiscalPrinterPrintSection section : sequence) {
    switch (section) {
      case tkFiscalPrinterPrintSection::fpps_Lines:
        ok = PrintReceiptLines(aReceipt, ok);
        break;
      case tkFiscalPrinterPrintSection::fpps_Payments:
        if (ok && !PrintReceiptPayments(aReceipt)) {
          aFailure = Text(msg::kErrorProcessingPayments);
          return false;
        }
        break;
      case tkFiscalPrinterPrintSection::fpps_TrailerMessages:
        if (ok) ok = PrintTrailerMessages(aReceipt);
        break;
    }
  }
  return ok;
}

// The lines section runs even after an earlier section failed; it stops at its first failure.
bool kFiscalPrinterDevice::PrintReceiptLines(kReceipt& aReceipt, bool aOk) {
  bool ok = aOk;
  for (const auto& line : aReceipt.fLines) {
    ok = PrintReceiptLine(aReceipt, *line);
    if (!ok) break;
  }
  return ok;
}

bool kFiscalPrinterDevice::PrintReceiptLine(kReceipt& aReceipt, kReceiptLine& aLine) {
  using T = tkReceiptLineType;
  kReceipt& r = aReceipt;
  switch (aLine.fLineType) {
    case T::rlt_ProductSale:
      return Call(PrintProductSale(r, As<kReceiptLineProductSale>(aLine)), "PrintProductSale");
    case T::rlt_ProductReturn:
      return Call(PrintProductReturn(r, As<kReceiptLineProductReturn>(aLine)),
                  "PrintProductReturn");
    case T::rlt_WeightedProductSale:
      return Call(PrintWeightedProductSale(r, As<kReceiptLineWeightedProductSale>(aLine)),
                  "PrintWeightedProductSale");
    case T::rlt_VoucherSale:
      return Call(PrintVoucherSale(r, As<kReceiptLineVoucherSale>(aLine)), "PrintVoucherSale");
    case T::rlt_VoucherRedeem:
      return Call(PrintVoucherRedeem(r, As<kReceiptLineVoucherRedeem>(aLine)),
                  "PrintVoucherRedeem");
    case T::rlt_GiftCardSale:
      return Call(PrintGiftCardSale(r, As<kReceiptLineGiftCardSale>(aLine)), "PrintGiftCardSale");
    case T::rlt_GiftCardRedeem:
      return Call(PrintGiftCardRedeem(r, As<kReceiptLineGiftCardRedeem>(aLine)),
                  "PrintGiftCardRedeem");
    case T::rlt_SubTotal:
      return Call(PrintSubtotal(r, As<kReceiptLineSubtotal>(aLine)), "PrintSubtotal");
    case T::rlt_Text:
      return Call(PrintTextLine(r, As<kReceiptLineText>(aLine)), "PrintTextLine");
    case T::rlt_DiscountAmount:
      return Call(PrintDiscountAmount(r, As<kReceiptLineDiscountAmount>(aLine)),
                  "PrintDiscountAmount");
    case T::rlt_DiscountPercentage:
      return Call(PrintDiscountPercentage(r, As<kReceiptLineDiscountPercentage>(aLine)),
                  "PrintDiscountPercentage");
    case T::rlt_DiscountAmountOnSubtotal:
      return Call(PrintDiscountAmountOnSubtotal(r, As<kReceiptLineDiscountAmountOnSubTotal>(aLine)),
                  "PrintDiscountAmountOnSubtotal");
    case T::rlt_DiscountPercentageOnSubTotal:
      return Call(
          PrintDiscountPercentageOnSubtotal(r, As<kReceiptLineDiscountPercentageOnSubTotal>(aLine)),
          "PrintDiscountPercentageOnSubtotal");
    case T::rlt_MarkupAmount:
      return Call(PrintMarkupAmount(r, As<kReceiptLineMarkupAmount>(aLine)), "PrintMarkupAmount");
    case T::rlt_MarkupPercentage:
      return Call(PrintMarkupPercentage(r, As<kReceiptLineMarkupPercentage>(aLine)),
                  "PrintMarkupPercentage");
    case T::rlt_MarkupAmountOnSubtotal:
      return Call(PrintMarkupAmountOnSubtotal(r, As<kReceiptLineMarkupAmountOnSubTotal>(aLine)),
                  "PrintMarkupAmountOnSubtotal");
    case T::rlt_MarkupPercentageOnSubTotal:
      return Call(
          PrintMarkupPercentageOnSubtotal(r, As<kReceiptLineMarkupPercentageOnSubTotal>(aLine)),
          "PrintMarkupPercentageOnSubtotal");
    case T::rlt_CollectAmount:
      return Call(PrintCollectAmount(r, As<kReceiptLineCollectAmount>(aLine)),
                  "PrintCollectAmount");
  }
  throw Exception(Text(msg::kUnknownReceiptLineType));
}

bool kFiscalPrinterDevice::PrintReceiptPayments(kReceipt& aReceipt) {
  for (kReceiptPaymentLine& payment : aReceipt.fPayments) {
    if (!PrintPayment(aReceipt, payment)) return false;
  }
  return true;
}

// Text and barcode messages go to their primitives; image messages are skipped.
bool kFiscalPrinterDevice::PrintTrailerMessages(kReceipt& aReceipt) {
  for (const auto& message : aReceipt.fTrailerMessages) {
    bool ok = true;
    if (auto* text = dynamic_cast<kReceiptMessageTextLine*>(message.get())) {
      ok = Call(PrintTrailerTextLine(aReceipt, *text), "PrintTrailerTextLine");
    } else if (auto* barcode = dynamic_cast<kReceiptMessageBarcodeLine*>(message.get())) {
      ok = Call(PrintTrailerBarcodeLine(aReceipt, *barcode), "PrintTrailerBarcodeLine");
    }
    if (!ok) return false;
  }
  return true;
}

// --- Results ---------------------------------------------------------------------------------

void kFiscalPrinterDevice::FinishRTServerReceipt(bool aSigned, _int_PRINTFR_result& aResult) {
  aResult.Error = true;
  if (!aSigned) {
    // Nothing was registered: the details of an earlier receipt must not stand for this one.
    aResult.ErrorText = RTServerSignError();
    return;
  }
  const kRTServerReceiptInfo& info = *fRTServerReceiptInfo;
  aResult.ReceiptDateTime = Now();
  aResult.ReceiptNumber = std::to_string(info.fRTnDoc);
  aResult.EJNumber = Text(msg::kRTServerEJNumber);
  aResult.EJClosingNumber = std::to_string(info.fRTzRep);
  aResult.DeviceSerialNumber = info.fTillId;
  aResult.ServerSerialNumber = info.fServerSerialNumber;
  aResult.Error = false;
  aResult.ErrorText.clear();
  if (info.fRTnDoc == 0) {
    aResult.Error = true;
    aResult.ErrorText = Text(msg::kRTServerNoDocument);
  } else if (fIOHandler->ErrorFound()) {
    // The sale is registered by the server; only its printing failed.
    aResult.ErrorText = fIOHandler->ErrorMessage();
    aResult.MessageText = Text(msg::kRTServerNotPrinted);
  }
}

void kFiscalPrinterDevice::FinishDeviceReceipt(kReceiptPrinterHandler& aHandler,
                                               const kReceipt& aReceipt,
                                               _int_PRINTFR_result& aResult) {
  GetLastReceiptInfo(aResult.ReceiptDateTime, aResult.ReceiptNumber, aResult.EJNumber,
                     aResult.EJClosingNumber, aResult.DeviceSerialNumber);
  aResult.InvoiceNumber = aReceipt.fInvoiceNumber;
  aResult.InvoiceDateTime = aReceipt.fInvoiceDateTime;
  for (const std::string& notice : fOperationNotices) AppendMessage(aResult.MessageText, notice);
  ReadReceiptTextAndImage(aHandler, aResult);
  // The receipt is printed: what failed while reading its extras does not change that.
  aResult.Error = false;
  aResult.ErrorText.clear();
}

// The receipt's text when asked for (the picture needs it too), then its picture. The receipt
// is already printed, so a failure here leaves the extra empty and says why in MessageText.
void kFiscalPrinterDevice::ReadReceiptTextAndImage(kReceiptPrinterHandler& aHandler,
                                                   _int_PRINTFR_result& aResult) {
  const bool wantImage = aHandler.ParameterIsTrue(msg::kParamGetReceiptImage);
  if (!wantImage && !aHandler.ParameterIsTrue(msg::kParamGetReceiptText)) return;
  kReceiptReference reference;
  reference.fReceiptDateTime = aResult.ReceiptDateTime;
  reference.fReceiptNumber = aResult.ReceiptNumber;
  reference.fEJNumber = aResult.EJNumber;
  reference.fEJClosingNumber = aResult.EJClosingNumber;
  reference.fDeviceSerialNumber = aResult.DeviceSerialNumber;
  try {
    if (!GetReceiptText(reference, aResult.ReceiptText)) {
      const std::string why = fIOHandler->ErrorFound() ? fIOHandler->ErrorMessage() : "";
      fIOHandler->Debug(tNV_MessageType::let_error, Text(msg::kReceiptTextNotRead) + why);
      AppendMessage(aResult.MessageText, Text(msg::kReceiptTextNotRead) + why);
      return;
    }
    if (wantImage && !aResult.ReceiptText.empty()) {
      aResult.ReceiptImage = ReceiptTextToJpegBase64(aResult.ReceiptText);
    }
  } catch (const Exception& error) {
    fIOHandler->Debug(tNV_MessageType::let_error, error.what());
    AppendMessage(aResult.MessageText, error.what());
  }
}

}  // namespace nvrp
