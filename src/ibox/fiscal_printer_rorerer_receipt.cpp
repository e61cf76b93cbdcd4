// Fiscal receipt primitives of the iBox. No order opens or closes a receipt explicitly: the
// first comment or item opens it and the payments that reach the total close it. Items go out
// as PLU orders addressed by department, each followed by a comment with its description.
// Trailer lines are not printed: they are written into the device's title table before the
// first item.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_messages.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = ibox_messages;
namespace P = ibox_params;

using LA = tkReceiptMessageLineAlignment;
using C = tkIBoxCommandId;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

const Currency kOnePiece = Currency::FromUnits(1);

}  // namespace

// --- Opening and voiding ---------------------------------------------------------------------

bool kFiscalPrinter_RORERER::BeginFiscalReceipt(kReceipt& aReceipt) {
  fReceiptOrderSent = false;
  if (aReceipt.fReceiptType != tkReceiptType::rt_Sale) {
    throw Exception(Text(msg::kReceiptTypeMustBeSale));
  }
  CheckReceiptForDevice(aReceipt);
  fCountersBeforeVoid.reset();
  const bool result = VoidReceipt();
  // Voiding a receipt left open does not count it: the counters read before are this
  // receipt's starting point.
  fReceiptCountersAtBegin = result ? fCountersBeforeVoid : std::nullopt;
  if (result) {
    ClearPrintSequence();
    AddPrintSection(tkFiscalPrinterPrintSection::fpps_TrailerMessages);
    AddPrintSection(tkFiscalPrinterPrintSection::fpps_Lines);
    AddPrintSection(tkFiscalPrinterPrintSection::fpps_Payments);
  }
  fFooterLineNumber = 0;
  fFooterMessages.fill(std::string());
  // A successful title write would erase the reason the void failed; that reason is kept.
  const int32_t voidErrorCode = fIOHandler->ErrorCode();
  const std::string voidErrorMessage = fIOHandler->ErrorMessage();
  const bool keepVoidError = !result && fIOHandler->ErrorFound();
  ClearTrailerMessages();
  if (keepVoidError) fIOHandler->SetCustomError(voidErrorCode, voidErrorMessage);
  return result;
}

bool kFiscalPrinter_RORERER::VoidReceipt() {
  int32_t state = 0;
  bool result = ReadReceiptState(state);
  if (!result) {
    // A device error left behind by a failed order hides the receipt state; without knowing
    // it, a receipt left open would take the next receipt's lines. Clear and read again.
    ClearErrors();
    result = ReadReceiptState(state);
  }
  if (result) fCountersBeforeVoid = PeekReceiptCounters();
  if (result && state != 0) result = SendCommand(C::ibc_VoidReceipt);
  ResetSeqNo();
  return result;
}

bool kFiscalPrinter_RORERER::CheckDeviceReady() { return true; }

// --- Items ---------------------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::SendPLU(std::string_view aDescription, std::string_view aDepartment,
                                     std::string_view aLabel, Currency aQuantity, Currency aPrice,
                                     std::string_view aUse) {
  // Converted first, so that a department that is not a number sends nothing.
  const std::string department = std::to_string(krptUtil::StrToInt(aDepartment));
  const tkIBoxArgument item[] = {{P::kUse, Text(aUse)},
                                 {P::kCode, department},
                                 {P::kQuant, IBoxQuantity(aQuantity)},
                                 {P::kPrice, IBoxAmount(aPrice)}};
  if (HasTrailerMessages()) PrintTrailerMessages();  // a failure drops the trailer lines only
  if (!SendCommand(C::ibc_Item, item, aLabel)) return false;
  return PrintDescription(aDescription, LA::la_left, msg::kUseLine);
}

bool kFiscalPrinter_RORERER::PrintProductSale(kReceipt& /*aReceipt*/,
                                              kReceiptLineProductSale& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelProductSale, aLine.fQuantity,
                 aLine.fPrice, msg::kUseSale);
}

bool kFiscalPrinter_RORERER::PrintProductReturn(kReceipt& /*aReceipt*/,
                                                kReceiptLineProductReturn& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelProductReturn, aLine.fQuantity,
                 aLine.fPrice, msg::kUseRefund);
}

bool kFiscalPrinter_RORERER::PrintVoucherSale(kReceipt& /*aReceipt*/,
                                              kReceiptLineVoucherSale& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelVoucherSale, kOnePiece,
                 aLine.fPrice, msg::kUseSale);
}

bool kFiscalPrinter_RORERER::PrintVoucherRedeem(kReceipt& /*aReceipt*/,
                                                kReceiptLineVoucherRedeem& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelVoucherRedeem, kOnePiece,
                 aLine.fPrice, msg::kUseRefund);
}

bool kFiscalPrinter_RORERER::PrintGiftCardSale(kReceipt& /*aReceipt*/,
                                               kReceiptLineGiftCardSale& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelGiftCardSale, kOnePiece,
                 aLine.fPrice, msg::kUseSale);
}

bool kFiscalPrinter_RORERER::PrintGiftCardRedeem(kReceipt& /*aReceipt*/,
                                                 kReceiptLineGiftCardRedeem& aLine) {
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelGiftCardRedeem, kOnePiece,
                 aLine.fPrice, msg::kUseRefund);
}

bool kFiscalPrinter_RORERER::PrintCollectAmount(kReceipt& /*aReceipt*/,
                                                kReceiptLineCollectAmount& aLine) {
  if (aLine.fAmount < Currency()) {
    return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelCollectAmountRedeem,
                   kOnePiece, -aLine.fAmount, msg::kUseRefund);
  }
  return SendPLU(aLine.Description(), aLine.fDepartment, msg::kLabelCollectAmount, kOnePiece,
                 aLine.fAmount, msg::kUseSale);
}

// --- Text lines and subtotal -------------------------------------------------------------------

bool kFiscalPrinter_RORERER::PrintDescription(std::string_view aText, LA aAlignment,
                                              std::string_view aUse) {
  const tkIBoxArgument comment[] = {{P::kDescr, FormatDescription(aText, aAlignment, 1)},
                                    {P::kUse, Text(aUse)}};
  return SendCommand(C::ibc_PrintDescription, comment);
}

bool kFiscalPrinter_RORERER::PrintTextLine(kReceipt& /*aReceipt*/, kReceiptLineText& aLine) {
  // Inside an open fiscal receipt the line is added to it; otherwise it opens one.
  const std::string_view use = GetReceiptState() == 1 ? msg::kUseLine : msg::kUseStart;
  return PrintDescription(aLine.Description(), LA::la_left, use);
}

bool kFiscalPrinter_RORERER::PrintSubtotal(kReceipt& /*aReceipt*/,
                                           kReceiptLineSubtotal& /*aLine*/) {
  return SendCommand(C::ibc_SubTotal);
}

// --- Discounts and markups ---------------------------------------------------------------------

bool kFiscalPrinter_RORERER::SendDiscount(std::string_view aLabel, Currency aAmount) {
  const tkIBoxArgument discount[] = {{P::kAmount, IBoxAmount(aAmount)}};
  return SendCommand(C::ibc_Discount, discount, aLabel);
}

bool kFiscalPrinter_RORERER::SendMarkup(std::string_view aLabel, Currency aAmount) {
  const tkIBoxArgument markup[] = {{P::kAmount, IBoxAmount(aAmount)}};
  return SendCommand(C::ibc_Markup, markup, aLabel);
}

bool kFiscalPrinter_RORERER::PrintDiscountAmount(kReceipt& /*aReceipt*/,
                                                 kReceiptLineDiscountAmount& aLine) {
  return SendDiscount(msg::kLabelDiscountAmount, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintDiscountPercentage(kReceipt& /*aReceipt*/,
                                                     kReceiptLineDiscountPercentage& aLine) {
  return SendDiscount(msg::kLabelDiscountPercentage, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintDiscountAmountOnSubtotal(
    kReceipt& /*aReceipt*/, kReceiptLineDiscountAmountOnSubTotal& aLine) {
  return SendDiscount(msg::kLabelDiscountAmountOnSubtotal, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintDiscountPercentageOnSubtotal(
    kReceipt& /*aReceipt*/, kReceiptLineDiscountPercentageOnSubTotal& aLine) {
  return SendDiscount(msg::kLabelDiscountPercentageOnSubtotal, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintMarkupAmount(kReceipt& /*aReceipt*/,
                                               kReceiptLineMarkupAmount& aLine) {
  return SendMarkup(msg::kLabelMarkupAmount, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintMarkupPercentage(kReceipt& /*aReceipt*/,
                                                   kReceiptLineMarkupPercentage& aLine) {
  return SendMarkup(msg::kLabelMarkupPercentage, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintMarkupAmountOnSubtotal(
    kReceipt& /*aReceipt*/, kReceiptLineMarkupAmountOnSubTotal& aLine) {
  return SendMarkup(msg::kLabelMarkupAmountOnSubtotal, aLine.fAmount);
}

bool kFiscalPrinter_RORERER::PrintMarkupPercentageOnSubtotal(
    kReceipt& /*aReceipt*/, kReceiptLineMarkupPercentageOnSubTotal& aLine) {
  return SendMarkup(msg::kLabelMarkupPercentageOnSubtotal, aLine.fAmount);
}

// --- Payments ----------------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::PrintPayment(kReceipt& /*aReceipt*/, kReceiptPaymentLine& aLine) {
  // The device works the change out itself.
  if (aLine.fPaymentType == tkReceiptPaymentType::Rpt_Change) return true;
  const tkIBoxArgument payment[] = {{P::kAmount, IBoxAmount(aLine.fAmount)},
                                    {P::kCode, GetPaymentCode(aLine.fPaymentType)}};
  return SendCommand(C::ibc_Total, payment);
}

// --- Trailer lines -----------------------------------------------------------------------------

void kFiscalPrinter_RORERER::RecordTrailerMessage(std::string aMessage) {
  if (fFooterLineNumber >= static_cast<int32_t>(fFooterMessages.size())) return;
  ++fFooterLineNumber;
  fFooterMessages[static_cast<size_t>(fFooterLineNumber - 1)] = std::move(aMessage);
}

bool kFiscalPrinter_RORERER::PrintTrailerTextLine(kReceipt& /*aReceipt*/,
                                                  kReceiptMessageTextLine& aLine) {
  RecordTrailerMessage(FormatDescription(aLine.Value(), aLine.fAlignment, aLine.fSize));
  return true;
}

bool kFiscalPrinter_RORERER::PrintTrailerBarcodeLine(kReceipt& /*aReceipt*/,
                                                     kReceiptMessageBarcodeLine& aLine) {
  RecordTrailerMessage(BarcodeText(aLine));
  return true;
}

std::string kFiscalPrinter_RORERER::BarcodeText(const kReceiptMessageBarcodeLine& aLine) {
  const std::string_view prefix = aLine.fBarcodeType == tkReceiptMessageBarcodeType::bt_QRCODE
                                      ? msg::kBarcodeQRPrefix
                                      : msg::kBarcodePrefix;
  return Text(prefix) + EncodeBarcodeValue(aLine.Value()) + Text(msg::kBarcodeSuffix);
}

bool kFiscalPrinter_RORERER::HasTrailerMessages() const {
  for (const std::string& message : fFooterMessages) {
    if (!message.empty()) return true;
  }
  return false;
}

bool kFiscalPrinter_RORERER::PrintTrailerMessages() {
  const tkIBoxArgument lines[] = {{P::kLine1, fFooterMessages[0]}, {P::kLine2, fFooterMessages[1]},
                                  {P::kLine3, fFooterMessages[2]}, {P::kLine4, fFooterMessages[3]},
                                  {P::kLine5, fFooterMessages[4]}, {P::kLine6, fFooterMessages[5]}};
  const bool result = SendCommand(C::ibc_PrintTrailerMessages, lines);
  fFooterMessages.fill(std::string());
  return result;
}

bool kFiscalPrinter_RORERER::ClearTrailerMessages() {
  return SendCommand(C::ibc_ClearTrailerMessages);
}

// --- Last receipt --------------------------------------------------------------------------------

bool kFiscalPrinter_RORERER::RefreshLastReceiptInfo(kReceipt& /*aReceipt*/) {
  int32_t number = 0;
  int32_t zNumber = 0;
  std::string clock;
  int32_t state = 0;
  if (!PollStatus() || !StatusInteger(msg::kDayFiscalRcptCnt, number) ||
      !StatusInteger(msg::kCurrentZNo, zNumber) || !StatusText(msg::kCurrentDateTime, clock) ||
      !StatusReceiptState(state)) {
    return false;
  }
  // Payments that do not reach the total leave the receipt open: it was not printed, and the
  // numbers of the status are those of the receipt before it.
  if (state == 1) return Fail(Text(msg::kReceiptNotClosed));
  // A receipt that sent nothing (no lines, no payments) leaves the counters as they were.
  if (fReceiptCountersAtBegin == std::make_pair(number, zNumber)) {
    return Fail(Text(msg::kNoReceiptPrinted));
  }
  // Another receipt or a day closure in between: the numbers may not be this receipt's.
  if (fReceiptCountersAtBegin &&
      (zNumber != fReceiptCountersAtBegin->second ||
       static_cast<int64_t>(number) != static_cast<int64_t>(fReceiptCountersAtBegin->first) + 1)) {
    return Fail(Text(msg::kCountersDisagree));
  }
  if (zNumber == std::numeric_limits<int32_t>::max()) {
    return Fail(msg::StatusValueOutOfRange(msg::kCurrentZNo, zNumber));
  }
  const DateTime receiptDateTime = ParseDeviceDateTime(clock);
  fLastReceiptNumber = number;
  fLastReceiptEJClosingNumber = zNumber + 1;  // the day that is still open
  fLastReceiptEJNumber = 0;
  fLastReceiptDateTime = receiptDateTime;
  return true;
}

bool kFiscalPrinter_RORERER::GetLastReceiptInfo(DateTime& aDateTime, std::string& aNumber,
                                                std::string& aEJNumber,
                                                std::string& aEJClosingNumber,
                                                std::string& aDeviceSerialNumber) {
  aDateTime = fLastReceiptDateTime;
  aNumber = std::to_string(fLastReceiptNumber);
  aEJNumber = std::to_string(fLastReceiptEJNumber);
  aEJClosingNumber = std::to_string(fLastReceiptEJClosingNumber);
  aDeviceSerialNumber = fSerialNumber;
  return true;
}

bool kFiscalPrinter_RORERER::GetReceiptText(kReceiptReference& aReference, std::string& aText) {
  aText.clear();
  const std::string path = IBoxReceiptTextPath(krptUtil::StrToInt(aReference.fEJClosingNumber),
                                               krptUtil::StrToInt(aReference.fReceiptNumber));
  // An answer read as XML leaves no text; never hand out the text of an earlier answer.
  fTextResponse.clear();
  if (!SendCommand(C::ibc_GetReceiptText, {}, {}, path)) return false;
  aText = fTextResponse;
  return true;
}

tkReceiptOutcome kFiscalPrinter_RORERER::ConfirmReceiptOutcome(kReceipt& /*aReceipt*/) {
  if (!fReceiptOrderSent) return tkReceiptOutcome::ro_NotPrinted;
  if (fIOHandler->ErrorFound()) ClearErrors();
  try {
    if (!ReadStatusAnswer()) return tkReceiptOutcome::ro_Uncertain;
    return StatusReceiptOutcome();
  } catch (const Exception& error) {
    // An answer that cannot be read (not XML, a clock that is no date) tells nothing.
    fIOHandler->Debug(tNV_MessageType::let_error, error.what());
    return tkReceiptOutcome::ro_Uncertain;
  }
}

tkReceiptOutcome kFiscalPrinter_RORERER::StatusReceiptOutcome() {
  const auto counters = PeekReceiptCounters();
  int32_t state = 0;
  if (!fReceiptCountersAtBegin || !counters || !StatusReceiptState(state)) {
    return tkReceiptOutcome::ro_Uncertain;
  }
  const auto [count, zNumber] = *counters;
  const auto [countAtBegin, zNumberAtBegin] = *fReceiptCountersAtBegin;
  if (zNumber != zNumberAtBegin) return tkReceiptOutcome::ro_Uncertain;
  if (count == countAtBegin) return tkReceiptOutcome::ro_NotPrinted;
  std::string clock;
  if (static_cast<int64_t>(count) != static_cast<int64_t>(countAtBegin) + 1 || state != 0 ||
      zNumber == std::numeric_limits<int32_t>::max() || !StatusText(msg::kCurrentDateTime, clock)) {
    return tkReceiptOutcome::ro_Uncertain;
  }
  fLastReceiptDateTime = ParseDeviceDateTime(clock);
  fLastReceiptNumber = count;
  fLastReceiptEJClosingNumber = zNumber + 1;  // the day that is still open
  fLastReceiptEJNumber = 0;
  return tkReceiptOutcome::ro_Printed;
}

std::optional<std::pair<int32_t, int32_t>> kFiscalPrinter_RORERER::PeekReceiptCounters() const {
  int32_t count = 0;
  int32_t zNumber = 0;
  const auto read = [this](std::string_view aName, int32_t& aValue) {
    const pugi::xml_node element = fXmlResponseNode.child(Text(aName).c_str());
    if (!element) return false;
    try {
      aValue = krptUtil::StrToInt(element.text().get());
      return true;
    } catch (const Exception&) {
      return false;
    }
  };
  if (!read(msg::kDayFiscalRcptCnt, count) || !read(msg::kCurrentZNo, zNumber)) {
    return std::nullopt;
  }
  return std::make_pair(count, zNumber);
}

}  // namespace nvrp
