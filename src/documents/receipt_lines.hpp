#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/currency.hpp"
#include "documents/request_enums.hpp"

namespace nvrp {

struct kReceipt;

// A sale line of a fiscal receipt. Amounts are stored as the request gives them (positive);
// GetAmount returns the signed amount the line adds to the receipt total.
struct kReceiptLine {
  virtual ~kReceiptLine() = default;
  virtual Currency GetAmount() const = 0;

  kReceipt* fOwner = nullptr;  // not owned; empty for a line built outside a receipt
  const tkReceiptLineType fLineType;
  std::string fAdditionalInfo;
  Currency fNetAmount;

 protected:
  kReceiptLine(tkReceiptLineType aLineType, kReceipt* aOwner)
      : fOwner(aOwner), fLineType(aLineType) {}
  kReceiptLine(const kReceiptLine&) = default;
  kReceiptLine& operator=(const kReceiptLine&) = delete;

  // The text as it may be printed: unchanged when the owning receipt supports special
  // characters, otherwise normalised to printable ASCII.
  std::string PrintableText(const std::string& aText) const;
};

struct kReceiptLineProductSale : kReceiptLine {
  explicit kReceiptLineProductSale(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_ProductSale, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fCode;
  std::string fDescription;
  Currency fQuantity;
  std::string fUOM;
  std::string fDepartment;
  std::string fTaxCode;
  Currency fPrice;
  Currency fAmount;
  bool fFreeOfCharge = false;
  tkReceiptLineAttribute fAttribute = tkReceiptLineAttribute::rla_Product;
  std::string fVoucherCode;

 protected:
  kReceiptLineProductSale(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLine(aLineType, aOwner) {}
};

struct kReceiptLineProductReturn : kReceiptLineProductSale {
  explicit kReceiptLineProductReturn(kReceipt* aOwner = nullptr)
      : kReceiptLineProductSale(tkReceiptLineType::rlt_ProductReturn, aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineWeightedProductSale : kReceiptLineProductSale {
  explicit kReceiptLineWeightedProductSale(kReceipt* aOwner = nullptr)
      : kReceiptLineProductSale(tkReceiptLineType::rlt_WeightedProductSale, aOwner) {}

  Currency fTare;
};

struct kReceiptLineCollectAmount : kReceiptLine {
  explicit kReceiptLineCollectAmount(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_CollectAmount, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fDescription;
  std::string fDepartment;
  std::string fTaxCode;
  Currency fAmount;
};

struct kReceiptLineVoucherSale : kReceiptLine {
  explicit kReceiptLineVoucherSale(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_VoucherSale, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fCode;
  std::string fDescription;
  Currency fPrice;
  std::string fDepartment;
  std::string fTaxCode;
  bool fFreeOfCharge = false;

 protected:
  kReceiptLineVoucherSale(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLine(aLineType, aOwner) {}
};

struct kReceiptLineVoucherRedeem : kReceiptLineVoucherSale {
  explicit kReceiptLineVoucherRedeem(kReceipt* aOwner = nullptr)
      : kReceiptLineVoucherSale(tkReceiptLineType::rlt_VoucherRedeem, aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineGiftCardSale : kReceiptLine {
  explicit kReceiptLineGiftCardSale(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_GiftCardSale, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fCode;
  std::string fDescription;
  Currency fPrice;
  std::string fDepartment;
  std::string fTaxCode;
  bool fFreeOfCharge = false;
  std::string fTaxMode;

 protected:
  kReceiptLineGiftCardSale(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLine(aLineType, aOwner) {}
};

struct kReceiptLineGiftCardRedeem : kReceiptLineGiftCardSale {
  explicit kReceiptLineGiftCardRedeem(kReceipt* aOwner = nullptr)
      : kReceiptLineGiftCardSale(tkReceiptLineType::rlt_GiftCardRedeem, aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineSubtotal : kReceiptLine {
  explicit kReceiptLineSubtotal(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_SubTotal, aOwner) {}
  Currency GetAmount() const override;

  Currency fAmount;
};

struct kReceiptLineText : kReceiptLine {
  explicit kReceiptLineText(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_Text, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fDescription;
};

struct kReceiptLineDiscountAmount : kReceiptLine {
  explicit kReceiptLineDiscountAmount(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_DiscountAmount, aOwner) {}
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fDescription;
  Currency fAmount;
  std::string fReasonCode;
  std::string fReasonNote;

 protected:
  kReceiptLineDiscountAmount(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLine(aLineType, aOwner) {}
};

struct kReceiptLineDiscountPercentage : kReceiptLine {
  explicit kReceiptLineDiscountPercentage(kReceipt* aOwner = nullptr)
      : kReceiptLine(tkReceiptLineType::rlt_DiscountPercentage, aOwner) {}
  // The amount of the discount; the percentage itself takes no part.
  Currency GetAmount() const override;
  std::string Description() const { return PrintableText(fDescription); }

  std::string fDescription;
  Currency fPercentage;
  Currency fAmount;
  std::string fReasonCode;
  std::string fReasonNote;

 protected:
  kReceiptLineDiscountPercentage(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLine(aLineType, aOwner) {}
};

struct kReceiptLineDiscountAmountOnSubTotal : kReceiptLineDiscountAmount {
  explicit kReceiptLineDiscountAmountOnSubTotal(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountAmount(tkReceiptLineType::rlt_DiscountAmountOnSubtotal, aOwner) {}

 protected:
  kReceiptLineDiscountAmountOnSubTotal(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLineDiscountAmount(aLineType, aOwner) {}
};

struct kReceiptLineDiscountPercentageOnSubTotal : kReceiptLineDiscountPercentage {
  explicit kReceiptLineDiscountPercentageOnSubTotal(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountPercentage(tkReceiptLineType::rlt_DiscountPercentageOnSubTotal,
                                       aOwner) {}

 protected:
  kReceiptLineDiscountPercentageOnSubTotal(tkReceiptLineType aLineType, kReceipt* aOwner)
      : kReceiptLineDiscountPercentage(aLineType, aOwner) {}
};

// Markups share the fields of discounts but add their amount.
struct kReceiptLineMarkupAmount : kReceiptLineDiscountAmount {
  explicit kReceiptLineMarkupAmount(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountAmount(tkReceiptLineType::rlt_MarkupAmount, aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineMarkupPercentage : kReceiptLineDiscountPercentage {
  explicit kReceiptLineMarkupPercentage(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountPercentage(tkReceiptLineType::rlt_MarkupPercentage, aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineMarkupAmountOnSubTotal : kReceiptLineDiscountAmountOnSubTotal {
  explicit kReceiptLineMarkupAmountOnSubTotal(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountAmountOnSubTotal(tkReceiptLineType::rlt_MarkupAmountOnSubtotal,
                                             aOwner) {}
  Currency GetAmount() const override;
};

struct kReceiptLineMarkupPercentageOnSubTotal : kReceiptLineDiscountPercentageOnSubTotal {
  explicit kReceiptLineMarkupPercentageOnSubTotal(kReceipt* aOwner = nullptr)
      : kReceiptLineDiscountPercentageOnSubTotal(tkReceiptLineType::rlt_MarkupPercentageOnSubTotal,
                                                 aOwner) {}
  Currency GetAmount() const override;
};

// The line class of each line kind, created empty for the given owner.
std::unique_ptr<kReceiptLine> CreateReceiptLine(tkReceiptLineType aLineType, kReceipt* aOwner);

// Owning list of sale lines, in printing order.
struct kReceiptLines : std::vector<std::unique_ptr<kReceiptLine>> {
  // Appends the line and returns it, still typed as given.
  template <typename TLine>
  TLine& Add(std::unique_ptr<TLine> aLine) {
    TLine& added = *aLine;
    push_back(std::move(aLine));
    return added;
  }
};

struct kReceiptPaymentLine {
  kReceipt* fOwner = nullptr;  // not owned
  tkReceiptPaymentType fPaymentType = tkReceiptPaymentType::rpt_Cash;
  std::string fDescription;  // printed as given
  Currency fAmount;
  std::string fCurrency;
  Currency fQuantity;
  Currency fUnitPrice;
};

// Owning list of payments, in request order.
struct kReceiptPaymentLines : std::vector<kReceiptPaymentLine> {};

// A tax summary line, carried as the request gives it.
struct kReceiptTaxLine {
  kReceipt* fOwner = nullptr;  // not owned
  tkReceiptTaxType fTaxType = tkReceiptTaxType::tt_VAT;
  std::string fTaxCode;
  std::string fTaxDescription;
  Currency fTaxRate;  // percent
  Currency fTaxableAmount;
  Currency fTaxAmount;
  Currency fTotalAmount;
};

// Owning list of tax summary lines, in request order.
struct kReceiptTaxLines : std::vector<kReceiptTaxLine> {};

}  // namespace nvrp
