// Checks of a fiscal receipt before anything of it is sent. The device works out each item's
// amount from its quantity and price and carries numbers with three decimals (quantities) or
// two (prices and amounts), so a request whose amounts disagree, or that needs more decimals,
// would print other amounts than the ones asked for.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "base/wide_int.hpp"
#include "documents/receipt.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

namespace msg = ibox_messages;

namespace {

using T = tkReceiptLineType;

constexpr int64_t kCent = Currency::kScale / 100;
constexpr int64_t kThousandth = Currency::kScale / 1000;

std::string LineName(size_t aIndex) { return msg::LineName(aIndex + 1); }

void CheckDecimals(const std::string& aWhere, std::string_view aField, Currency aValue,
                   int64_t aStep, int aDecimals) {
  if (aValue.Raw() % aStep != 0) {
    throw Exception(msg::TooManyDecimals(aWhere, aField, aValue, aDecimals));
  }
}

void CheckAmount(const std::string& aWhere, std::string_view aField, Currency aValue) {
  CheckDecimals(aWhere, aField, aValue, kCent, 2);
}

void CheckLength(const std::string& aWhere, std::string_view aField, std::string_view aText,
                 size_t aLimit) {
  if (Utf16Length(aText) > aLimit) throw Exception(msg::TextTooLong(aWhere, aField, aLimit));
}

// Quantity × price rounded to the cent, half away from zero, as the device prints it; the
// product of two four-decimal values is exact in 128 bits.
Currency DeviceLineAmount(Currency aQuantity, Currency aPrice) {
  const Int128 product = static_cast<Int128>(aQuantity.Raw()) * aPrice.Raw();
  constexpr Int128 kUnitsPerCent = static_cast<Int128>(Currency::kScale) * kCent;
  const Int128 magnitude = product < 0 ? -product : product;
  const Int128 cents = (magnitude + kUnitsPerCent / 2) / kUnitsPerCent;
  const Int128 raw = (product < 0 ? -cents : cents) * kCent;
  if (raw > INT64_MAX || raw < INT64_MIN) throw Exception(std::string(msg::kLineAmountTooLarge));
  return Currency::FromRaw(static_cast<int64_t>(raw));
}

void CheckProductLine(const std::string& aWhere, const kReceiptLineProductSale& aLine) {
  CheckDecimals(aWhere, msg::kFieldQuantity, aLine.fQuantity, kThousandth, 3);
  CheckAmount(aWhere, msg::kFieldPrice, aLine.fPrice);
  CheckAmount(aWhere, msg::kFieldAmount, aLine.fAmount);
  // A free line is charged nothing whatever its price says.
  if (aLine.fFreeOfCharge) return;
  const Currency expected = DeviceLineAmount(aLine.fQuantity, aLine.fPrice);
  if (expected != aLine.fAmount) {
    throw Exception(
        msg::AmountDisagrees(aWhere, aLine.fAmount, aLine.fQuantity, aLine.fPrice, expected));
  }
}

void CheckLine(size_t aIndex, const kReceiptLine& aLine) {
  const std::string where = LineName(aIndex);
  switch (aLine.fLineType) {
    case T::rlt_ProductSale:
    case T::rlt_ProductReturn: {
      const auto& line = static_cast<const kReceiptLineProductSale&>(aLine);
      CheckLength(where, msg::kFieldDescription, line.fDescription, msg::kMaxDescriptionLength);
      CheckProductLine(where, line);
      break;
    }
    case T::rlt_WeightedProductSale: {
      // Printed as a text line with quantity and unit price, then one unit at the amount.
      const auto& line = static_cast<const kReceiptLineWeightedProductSale&>(aLine);
      CheckLength(where, msg::kFieldDescription, line.fDescription, msg::kMaxDescriptionLength);
      CheckDecimals(where, msg::kFieldQuantity, line.fQuantity, kThousandth, 3);
      CheckAmount(where, msg::kFieldAmount, line.fAmount);
      break;
    }
    case T::rlt_VoucherSale:
    case T::rlt_VoucherRedeem: {
      const auto& line = static_cast<const kReceiptLineVoucherSale&>(aLine);
      CheckLength(where, msg::kFieldDescription, line.fDescription, msg::kMaxDescriptionLength);
      CheckAmount(where, msg::kFieldPrice, line.fPrice);
      break;
    }
    case T::rlt_GiftCardSale:
    case T::rlt_GiftCardRedeem: {
      const auto& line = static_cast<const kReceiptLineGiftCardSale&>(aLine);
      CheckLength(where, msg::kFieldDescription, line.fDescription, msg::kMaxDescriptionLength);
      CheckAmount(where, msg::kFieldPrice, line.fPrice);
      break;
    }
    case T::rlt_CollectAmount: {
      const auto& line = static_cast<const kReceiptLineCollectAmount&>(aLine);
      CheckLength(where, msg::kFieldDescription, line.fDescription, msg::kMaxDescriptionLength);
      CheckAmount(where, msg::kFieldAmount, line.fAmount);
      break;
    }
    case T::rlt_Text:
      CheckLength(where, msg::kFieldDescription,
                  static_cast<const kReceiptLineText&>(aLine).fDescription,
                  msg::kMaxDescriptionLength);
      break;
    case T::rlt_DiscountAmount:
    case T::rlt_DiscountAmountOnSubtotal:
    case T::rlt_MarkupAmount:
    case T::rlt_MarkupAmountOnSubtotal:
      CheckAmount(where, msg::kFieldAmount,
                  static_cast<const kReceiptLineDiscountAmount&>(aLine).fAmount);
      break;
    case T::rlt_DiscountPercentage:
    case T::rlt_DiscountPercentageOnSubTotal:
    case T::rlt_MarkupPercentage:
    case T::rlt_MarkupPercentageOnSubTotal:
      CheckAmount(where, msg::kFieldAmount,
                  static_cast<const kReceiptLineDiscountPercentage&>(aLine).fAmount);
      break;
    case T::rlt_SubTotal:
      break;
  }
}

void CheckTrailerMessages(const kReceiptMessageLines& aMessages) {
  for (size_t i = 0; i < aMessages.size(); ++i) {
    const std::string where = msg::TrailerLineName(i + 1);
    if (const auto* text = dynamic_cast<const kReceiptMessageTextLine*>(aMessages[i].get())) {
      CheckLength(where, msg::kFieldValue, text->Value(), msg::kMaxDescriptionLength);
    } else if (const auto* barcode =
                   dynamic_cast<const kReceiptMessageBarcodeLine*>(aMessages[i].get())) {
      CheckLength(where, msg::kFieldValue, barcode->Value(), msg::kMaxBarcodeLength);
    }
  }
}

}  // namespace

void kFiscalPrinter_RORERER::CheckReceiptForDevice(const kReceipt& aReceipt) {
  for (size_t i = 0; i < aReceipt.fLines.size(); ++i) CheckLine(i, *aReceipt.fLines[i]);
  Currency paid;
  for (size_t i = 0; i < aReceipt.fPayments.size(); ++i) {
    const kReceiptPaymentLine& payment = aReceipt.fPayments[i];
    if (payment.fPaymentType == tkReceiptPaymentType::Rpt_Change) continue;  // never sent
    CheckAmount(msg::PaymentName(i + 1), msg::kFieldAmount, payment.fAmount);
    paid += payment.fAmount;
  }
  CheckTrailerMessages(aReceipt.fTrailerMessages);
  // A total of 0 is not given: the lines' total stands for it.
  const Currency lines = aReceipt.GetCalculatedAmount();
  if (aReceipt.fTotalAmount != Currency() && lines != aReceipt.fTotalAmount) {
    throw Exception(msg::TotalDisagrees(aReceipt.fTotalAmount, lines));
  }
  // The device closes the receipt once its payments reach the total; short of it, the receipt
  // would stay open after its last line.
  if (paid < lines) throw Exception(msg::PaymentsShortOfTotal(paid, lines));
}

}  // namespace nvrp
