#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"

namespace nvrp {
namespace {

Currency Amount(const char* text) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(text, value)) << text;
  return value;
}

// Fills the amount-like fields each line family has, with distinct values so that a line
// reading the wrong field shows.
void FillLine(kReceiptLine& line, bool freeOfCharge) {
  if (auto* product = dynamic_cast<kReceiptLineProductSale*>(&line)) {
    product->fQuantity = Amount("2");
    product->fPrice = Amount("7.77");
    product->fAmount = Amount("3");
    product->fFreeOfCharge = freeOfCharge;
  } else if (auto* voucher = dynamic_cast<kReceiptLineVoucherSale*>(&line)) {
    voucher->fPrice = Amount("1.25");
    voucher->fFreeOfCharge = freeOfCharge;
  } else if (auto* giftCard = dynamic_cast<kReceiptLineGiftCardSale*>(&line)) {
    giftCard->fPrice = Amount("1.25");
    giftCard->fFreeOfCharge = freeOfCharge;
  } else if (auto* collect = dynamic_cast<kReceiptLineCollectAmount*>(&line)) {
    collect->fAmount = Amount("4.5");
  } else if (auto* subtotal = dynamic_cast<kReceiptLineSubtotal*>(&line)) {
    subtotal->fAmount = Amount("99");
  } else if (auto* discount = dynamic_cast<kReceiptLineDiscountAmount*>(&line)) {
    discount->fAmount = Amount("0.6");
  } else if (auto* percentage = dynamic_cast<kReceiptLineDiscountPercentage*>(&line)) {
    percentage->fPercentage = Amount("10");
    percentage->fAmount = Amount("2.5");
  }
  line.fNetAmount = Amount("1000");  // never part of the amount
}

struct SignedAmountCase {
  tkReceiptLineType kind;
  const char* amount;      // GetAmount when charged
  const char* freeAmount;  // GetAmount with fFreeOfCharge set (where the line has the flag)
};

TEST(ReceiptModel, SignedAmountOfEveryLineKind) {
  using T = tkReceiptLineType;
  const SignedAmountCase cases[] = {
      {T::rlt_ProductSale, "3", "0"},
      {T::rlt_ProductReturn, "-3", "0"},
      {T::rlt_WeightedProductSale, "3", "0"},
      {T::rlt_VoucherSale, "1.25", "0"},
      {T::rlt_VoucherRedeem, "-1.25", "0"},
      {T::rlt_GiftCardSale, "1.25", "0"},
      {T::rlt_GiftCardRedeem, "-1.25", "0"},
      {T::rlt_SubTotal, "0", "0"},
      {T::rlt_Text, "0", "0"},
      {T::rlt_DiscountAmount, "-0.6", "-0.6"},
      {T::rlt_DiscountPercentage, "-2.5", "-2.5"},
      {T::rlt_DiscountAmountOnSubtotal, "-0.6", "-0.6"},
      {T::rlt_DiscountPercentageOnSubTotal, "-2.5", "-2.5"},
      {T::rlt_MarkupAmount, "0.6", "0.6"},
      {T::rlt_MarkupPercentage, "2.5", "2.5"},
      {T::rlt_MarkupAmountOnSubtotal, "0.6", "0.6"},
      {T::rlt_MarkupPercentageOnSubTotal, "2.5", "2.5"},
      {T::rlt_CollectAmount, "4.5", "4.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    auto charged = CreateReceiptLine(c.kind, nullptr);
    ASSERT_NE(charged, nullptr);
    EXPECT_EQ(charged->fLineType, c.kind);
    FillLine(*charged, false);
    EXPECT_EQ(charged->GetAmount(), Amount(c.amount));

    auto free = CreateReceiptLine(c.kind, nullptr);
    FillLine(*free, true);
    EXPECT_EQ(free->GetAmount(), Amount(c.freeAmount));
  }
}

TEST(ReceiptModel, EachLineKindHasItsClass) {
  using T = tkReceiptLineType;
  EXPECT_NE(dynamic_cast<kReceiptLineWeightedProductSale*>(
                CreateReceiptLine(T::rlt_WeightedProductSale, nullptr).get()),
            nullptr);
  EXPECT_NE(dynamic_cast<kReceiptLineMarkupPercentageOnSubTotal*>(
                CreateReceiptLine(T::rlt_MarkupPercentageOnSubTotal, nullptr).get()),
            nullptr);
  EXPECT_NE(dynamic_cast<kReceiptLineDiscountAmountOnSubTotal*>(
                CreateReceiptLine(T::rlt_MarkupAmountOnSubtotal, nullptr).get()),
            nullptr);
  EXPECT_EQ(kReceiptLineMarkupAmountOnSubTotal{}.fLineType, T::rlt_MarkupAmountOnSubtotal);
  EXPECT_EQ(kReceiptLineProductReturn{}.fLineType, T::rlt_ProductReturn);
}

TEST(ReceiptModel, CalculatedAmountIsTheExactSumOfTheLines) {
  kReceipt receipt;
  EXPECT_EQ(receipt.GetCalculatedAmount(), Currency{});

  auto& sale = receipt.fLines.Add(std::make_unique<kReceiptLineProductSale>(&receipt));
  sale.fAmount = Amount("10.00");
  auto& ret = receipt.fLines.Add(std::make_unique<kReceiptLineProductReturn>(&receipt));
  ret.fAmount = Amount("3.00");
  auto& discount = receipt.fLines.Add(std::make_unique<kReceiptLineDiscountAmount>(&receipt));
  discount.fAmount = Amount("1.50");
  auto& markup = receipt.fLines.Add(std::make_unique<kReceiptLineMarkupAmount>(&receipt));
  markup.fAmount = Amount("0.20");
  EXPECT_EQ(receipt.GetCalculatedAmount(), Amount("5.70"));

  // Four-decimal amounts add without rounding.
  auto& small = receipt.fLines.Add(std::make_unique<kReceiptLineCollectAmount>(&receipt));
  small.fAmount = Amount("0.0001");
  EXPECT_EQ(receipt.GetCalculatedAmount(), Amount("5.7001"));
}

// Builds every line class that carries a description and checks its printable text.
TEST(ReceiptModel, DescriptionIsNormalisedUnlessTheReceiptSupportsSpecialChars) {
  using T = tkReceiptLineType;
  const std::string stored = "M\xC3\xA9nu TOTALE";  // "Ménu TOTALE"
  const T kinds[] = {T::rlt_ProductSale,
                     T::rlt_WeightedProductSale,
                     T::rlt_VoucherRedeem,
                     T::rlt_GiftCardSale,
                     T::rlt_Text,
                     T::rlt_DiscountAmount,
                     T::rlt_MarkupPercentage,
                     T::rlt_MarkupAmountOnSubtotal,
                     T::rlt_CollectAmount};
  kReceipt plain;
  kReceipt special;
  special.fSupportSpecialChars = true;

  auto description = [&stored](T kind, kReceipt* owner) {
    auto line = CreateReceiptLine(kind, owner);
    std::string text;
    if (auto* p = dynamic_cast<kReceiptLineProductSale*>(line.get())) {
      p->fDescription = stored;
      text = p->Description();
    } else if (auto* v = dynamic_cast<kReceiptLineVoucherSale*>(line.get())) {
      v->fDescription = stored;
      text = v->Description();
    } else if (auto* g = dynamic_cast<kReceiptLineGiftCardSale*>(line.get())) {
      g->fDescription = stored;
      text = g->Description();
    } else if (auto* t = dynamic_cast<kReceiptLineText*>(line.get())) {
      t->fDescription = stored;
      text = t->Description();
    } else if (auto* d = dynamic_cast<kReceiptLineDiscountAmount*>(line.get())) {
      d->fDescription = stored;
      text = d->Description();
    } else if (auto* dp = dynamic_cast<kReceiptLineDiscountPercentage*>(line.get())) {
      dp->fDescription = stored;
      text = dp->Description();
    } else if (auto* c = dynamic_cast<kReceiptLineCollectAmount*>(line.get())) {
      c->fDescription = stored;
      text = c->Description();
    }
    return text;
  };

  for (T kind : kinds) {
    SCOPED_TRACE(static_cast<int>(kind));
    EXPECT_EQ(description(kind, nullptr), "M nu TOT.");
    EXPECT_EQ(description(kind, &plain), "M nu TOT.");
    EXPECT_EQ(description(kind, &special), stored);
  }
}

TEST(ReceiptModel, StoredDescriptionKeepsTheRequestText) {
  kReceiptLineProductSale line;
  line.fDescription = "caf\xC3\xA9";
  EXPECT_EQ(line.Description(), "caf ");
  EXPECT_EQ(line.fDescription, "caf\xC3\xA9");
}

TEST(ReceiptModel, MessageTextValueFollowsItsOwner) {
  const std::string stored = "TOTALE \xE2\x82\xAC 10";  // "TOTALE € 10"
  const std::string normalised = "TOT. E 10";
  kReceipt receipt;
  kNFReceipt nfReceipt;

  kReceiptMessageTextLine displayLine;  // customer display: no owner
  displayLine.fValue = stored;
  EXPECT_EQ(displayLine.Value(), normalised);

  kReceiptMessageTextLine receiptLine(&receipt);
  receiptLine.fValue = stored;
  kReceiptMessageTextLine nfLine(&nfReceipt);
  nfLine.fValue = stored;
  EXPECT_EQ(receiptLine.fOwner, &receipt);
  EXPECT_EQ(receiptLine.fNFOwner, nullptr);
  EXPECT_EQ(nfLine.fNFOwner, &nfReceipt);
  EXPECT_EQ(nfLine.fOwner, nullptr);
  EXPECT_EQ(receiptLine.Value(), normalised);
  EXPECT_EQ(nfLine.Value(), normalised);

  receipt.fSupportSpecialChars = true;
  EXPECT_EQ(receiptLine.Value(), stored);
  EXPECT_EQ(nfLine.Value(), normalised);
  nfReceipt.fSupportSpecialChars = true;
  EXPECT_EQ(nfLine.Value(), stored);
}

TEST(ReceiptModel, BarcodeAndImageValuesAreNeverNormalised) {
  kReceipt receipt;
  kReceiptMessageLines lines;
  auto& barcode = lines.Add(std::make_unique<kReceiptMessageBarcodeLine>(&receipt));
  barcode.fValue = "\xC3\xA9-123";
  auto& image = lines.Add(std::make_unique<kReceiptMessageImageLine>(&receipt));
  image.fValue = "C:\\logos\\caf\xC3\xA9.bmp";
  const kReceiptMessageLine& first = *lines[0];
  const kReceiptMessageLine& second = *lines[1];
  EXPECT_EQ(first.Value(), "\xC3\xA9-123");
  EXPECT_EQ(second.Value(), "C:\\logos\\caf\xC3\xA9.bmp");
}

}  // namespace
}  // namespace nvrp
