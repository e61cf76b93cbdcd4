#include "documents/receipt_lines.hpp"

#include <string_view>

#include "base/nv_exception.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt.hpp"

namespace nvrp {

namespace {

// Only reachable with a value cast from outside the enumeration.
constexpr std::string_view kUnknownLineType = "Unknown receipt line type ";

// Free-of-charge lines add nothing to the total.
Currency UnlessFree(bool aFreeOfCharge, Currency aAmount) {
  return aFreeOfCharge ? Currency{} : aAmount;
}

}  // namespace

std::string kReceiptLine::PrintableText(const std::string& aText) const {
  if (fOwner != nullptr && fOwner->fSupportSpecialChars) return aText;
  return krptUtil::NormalizeText(aText);
}

Currency kReceiptLineProductSale::GetAmount() const { return UnlessFree(fFreeOfCharge, fAmount); }

Currency kReceiptLineProductReturn::GetAmount() const {
  return UnlessFree(fFreeOfCharge, -fAmount);
}

Currency kReceiptLineCollectAmount::GetAmount() const { return fAmount; }

Currency kReceiptLineVoucherSale::GetAmount() const { return UnlessFree(fFreeOfCharge, fPrice); }

Currency kReceiptLineVoucherRedeem::GetAmount() const { return UnlessFree(fFreeOfCharge, -fPrice); }

Currency kReceiptLineGiftCardSale::GetAmount() const { return UnlessFree(fFreeOfCharge, fPrice); }

Currency kReceiptLineGiftCardRedeem::GetAmount() const {
  return UnlessFree(fFreeOfCharge, -fPrice);
}

Currency kReceiptLineSubtotal::GetAmount() const { return Currency{}; }

Currency kReceiptLineText::GetAmount() const { return Currency{}; }

Currency kReceiptLineDiscountAmount::GetAmount() const { return -fAmount; }

Currency kReceiptLineDiscountPercentage::GetAmount() const { return -fAmount; }

Currency kReceiptLineMarkupAmount::GetAmount() const { return fAmount; }

Currency kReceiptLineMarkupPercentage::GetAmount() const { return fAmount; }

Currency kReceiptLineMarkupAmountOnSubTotal::GetAmount() const { return fAmount; }

Currency kReceiptLineMarkupPercentageOnSubTotal::GetAmount() const { return fAmount; }

std::unique_ptr<kReceiptLine> CreateReceiptLine(tkReceiptLineType aLineType, kReceipt* aOwner) {
  using T = tkReceiptLineType;
  switch (aLineType) {
    case T::rlt_ProductSale:
      return std::make_unique<kReceiptLineProductSale>(aOwner);
    case T::rlt_ProductReturn:
      return std::make_unique<kReceiptLineProductReturn>(aOwner);
    case T::rlt_WeightedProductSale:
      return std::make_unique<kReceiptLineWeightedProductSale>(aOwner);
    case T::rlt_VoucherSale:
      return std::make_unique<kReceiptLineVoucherSale>(aOwner);
    case T::rlt_VoucherRedeem:
      return std::make_unique<kReceiptLineVoucherRedeem>(aOwner);
    case T::rlt_GiftCardSale:
      return std::make_unique<kReceiptLineGiftCardSale>(aOwner);
    case T::rlt_GiftCardRedeem:
      return std::make_unique<kReceiptLineGiftCardRedeem>(aOwner);
    case T::rlt_SubTotal:
      return std::make_unique<kReceiptLineSubtotal>(aOwner);
    case T::rlt_Text:
      return std::make_unique<kReceiptLineText>(aOwner);
    case T::rlt_DiscountAmount:
      return std::make_unique<kReceiptLineDiscountAmount>(aOwner);
    case T::rlt_DiscountPercentage:
      return std::make_unique<kReceiptLineDiscountPercentage>(aOwner);
    case T::rlt_DiscountAmountOnSubtotal:
      return std::make_unique<kReceiptLineDiscountAmountOnSubTotal>(aOwner);
    case T::rlt_DiscountPercentageOnSubTotal:
      return std::make_unique<kReceiptLineDiscountPercentageOnSubTotal>(aOwner);
    case T::rlt_MarkupAmount:
      return std::make_unique<kReceiptLineMarkupAmount>(aOwner);
    case T::rlt_MarkupPercentage:
      return std::make_unique<kReceiptLineMarkupPercentage>(aOwner);
    case T::rlt_MarkupAmountOnSubtotal:
      return std::make_unique<kReceiptLineMarkupAmountOnSubTotal>(aOwner);
    case T::rlt_MarkupPercentageOnSubTotal:
      return std::make_unique<kReceiptLineMarkupPercentageOnSubTotal>(aOwner);
    case T::rlt_CollectAmount:
      return std::make_unique<kReceiptLineCollectAmount>(aOwner);
  }
  throw Exception(std::string(kUnknownLineType) + std::to_string(static_cast<int>(aLineType)));
}

}  // namespace nvrp
