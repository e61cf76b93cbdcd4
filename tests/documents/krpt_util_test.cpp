#include "documents/krpt_util.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "documents/request_xml.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

// Parses "<r>" + content + "</r>" and hands out the root; the document lives in the fixture.
class TypedAccess : public ::testing::Test {
 protected:
  pugi::xml_node Root(const std::string& content) {
    document_ = ParseRequestXml("<r>" + content + "</r>");
    return document_.document_element();
  }

  template <typename Read>
  std::string ErrorOf(const std::string& content, Read read) {
    const pugi::xml_node root = Root(content);
    try {
      read(root);
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }

 private:
  pugi::xml_document document_;
};

const char* const kNoError = nullptr;

TEST_F(TypedAccess, StringValues) {
  struct Case {
    const char* content;
    const char* expected;
  };
  const Case cases[] = {
      {"", ""},
      {"<N/>", ""},
      {"<N>  a b  </N>", "  a b  "},
      {"<N>   </N>", "   "},
      {"<N>a&amp;b</N>", "a&b"},
      {"<N><![CDATA[<x>&]]></N>", "<x>&"},
      {"<N>ab<![CDATA[cd]]></N>", "abcd"},
      {"<N>first</N><N>second</N>", "first"},
      {"<n>lower</n>", ""},
      {"<X><N>nested</N></X>", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(krptUtil::GetNodeValueAsString(Root(c.content), "N"), c.expected) << c.content;
  }
}

TEST_F(TypedAccess, IntegerValues) {
  struct Case {
    const char* content;
    int32_t expected;
    const char* error;
  };
  const Case cases[] = {
      {"", 0, kNoError},
      {"<N/>", 0, kNoError},
      {"<N>42</N>", 42, kNoError},
      {"<N>-17</N>", -17, kNoError},
      {"<N>+5</N>", 5, kNoError},
      {"<N>007</N>", 7, kNoError},
      {"<N>2147483647</N>", 2147483647, kNoError},
      {"<N>-2147483648</N>", INT32_MIN, kNoError},
      {"<n>9</n>", 0, kNoError},
      {"<N>1.0</N>", 0, "'1.0' is not a valid integer value"},
      {"<N>2147483648</N>", 0, "'2147483648' is not a valid integer value"},
      {"<N>-2147483649</N>", 0, "'-2147483649' is not a valid integer value"},
      {"<N>99999999999999999999</N>", 0, "'99999999999999999999' is not a valid integer value"},
      {"<N> 5</N>", 0, "' 5' is not a valid integer value"},
      {"<N>5 </N>", 0, "'5 ' is not a valid integer value"},
      {"<N>$1F</N>", 0, "'$1F' is not a valid integer value"},
      {"<N>0x10</N>", 0, "'0x10' is not a valid integer value"},
      {"<N>-</N>", 0, "'-' is not a valid integer value"},
      {"<N>1%s</N>", 0, "'1%s' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    if (c.error == kNoError) {
      EXPECT_EQ(krptUtil::GetNodeValueAsInteger(Root(c.content), "N"), c.expected) << c.content;
    } else {
      EXPECT_EQ(ErrorOf(c.content,
                        [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsInteger(r, "N"); }),
                std::string("Error in processing node N as integer.\r\n") + c.error);
    }
  }
}

TEST_F(TypedAccess, CurrencyValues) {
  struct Case {
    const char* content;
    int64_t raw;
    const char* error;
  };
  const Case cases[] = {
      {"", 0, kNoError},
      {"<N></N>", 0, kNoError},
      {"<N> -12.5 </N>", -125000, kNoError},
      {"<N>+3</N>", 30000, kNoError},
      {"<N>1.23455</N>", 12346, kNoError},
      {"<N>1.23445</N>", 12344, kNoError},
      {"<N>1E2</N>", 1000000, kNoError},
      {"<N><![CDATA[0.5]]></N>", 5000, kNoError},
      {"<Amount>1</Amount>", 0, kNoError},  // case differs from "N": not found
      {"<N>12,50</N>", 0, "'12,50' is not a valid floating point value"},
      {"<N>1,234.50</N>", 0, "'1,234.50' is not a valid floating point value"},
      {"<N>abc</N>", 0, "'abc' is not a valid floating point value"},
      {"<N>50%</N>", 0, "'50%' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    if (c.error == kNoError) {
      EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(Root(c.content), "N").Raw(), c.raw) << c.content;
    } else {
      EXPECT_EQ(ErrorOf(c.content,
                        [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsCurrency(r, "N"); }),
                std::string("Error in processing node N as currency.\r\n") + c.error);
    }
  }
}

TEST_F(TypedAccess, AmountIsNotFoundUnderLowerCaseName) {
  EXPECT_EQ(krptUtil::GetNodeValueAsCurrency(Root("<amount>5</amount>"), "Amount").Raw(), 0);
}

TEST_F(TypedAccess, BooleanValues) {
  struct Case {
    const char* content;
    bool default_value;
    bool expected;
    const char* error;
  };
  const Case cases[] = {
      {"", false, false, kNoError},
      {"", true, true, kNoError},
      {"<N>TRUE</N>", false, true, kNoError},
      {"<N>false</N>", true, false, kNoError},
      {"<N>FaLsE</N>", true, false, kNoError},
      {"<N>0</N>", true, false, kNoError},
      {"<N>1</N>", false, true, kNoError},
      {"<N>-1</N>", false, true, kNoError},
      {"<N>1.5</N>", false, true, kNoError},
      {"<N>0.0</N>", true, false, kNoError},
      {"<N/>", true, false, "'' is not a valid boolean value"},
      {"<N>yes</N>", false, false, "'yes' is not a valid boolean value"},
      {"<N> true</N>", false, false, "' true' is not a valid boolean value"},
      {"<N>0,5</N>", false, false, "'0,5' is not a valid boolean value"},
      {"<N>inf</N>", false, false, "'inf' is not a valid boolean value"},
      {"<N>0x1</N>", false, false, "'0x1' is not a valid boolean value"},
  };
  // Numbers are read with the host's decimal separator: "." in the C locale.
  testing::CheckInHostLocales({"C"}, [&] {
    for (const auto& c : cases) {
      if (c.error == kNoError) {
        EXPECT_EQ(krptUtil::GetNodeValueAsBoolean(Root(c.content), "N", c.default_value),
                  c.expected)
            << c.content;
      } else {
        EXPECT_EQ(ErrorOf(c.content,
                          [&](const pugi::xml_node& r) {
                            krptUtil::GetNodeValueAsBoolean(r, "N", c.default_value);
                          }),
                  std::string("Error in processing node N as boolean.\r\n") + c.error);
      }
    }
  });
}

// On a host that writes decimals with "," a number is read with ",", and "." is no decimal
// point there.
TEST(StrToBool, NumbersFollowTheHostDecimalComma) {
  struct Case {
    const char* text;
    bool expected;
    bool valid;
  };
  const Case cases[] = {
      {"0,0", false, true},  {"-0,00", false, true},  {" 0,5 ", true, true},
      {"1,5E2", true, true}, {",5", true, true},      {"0", false, true},
      {"-1", true, true},    {"False", false, true},  {"0.0", false, false},
      {"1.5", false, false}, {"0,0,0", false, false}, {"1.000,5", false, false},
  };
  testing::CheckInHostLocales({"de_DE.UTF-8", "el_GR.UTF-8"}, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      if (c.valid) {
        EXPECT_EQ(krptUtil::StrToBool(c.text), c.expected);
      } else {
        try {
          krptUtil::StrToBool(c.text);
          ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
          EXPECT_EQ(std::string(e.what()),
                    "'" + std::string(c.text) + "' is not a valid boolean value");
        }
      }
    }
  });
}

TEST_F(TypedAccess, DateTimeValues) {
  EXPECT_EQ(krptUtil::GetNodeValueAsDateTime(Root(""), "N"), 0.0);
  EXPECT_EQ(krptUtil::GetNodeValueAsDateTime(Root("<N>2024-03-01T14:05:09</N>"), "N"),
            EncodeDateTime({2024, 3, 1, 14, 5, 9, 0}));
  EXPECT_EQ(ErrorOf("<When>2024-02-30T10:00:00</When>",
                    [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsDateTime(r, "When"); }),
            "Error in processing node When as datetime.\r\n"
            "DateTime Format invalid: [2024-02-30T10:00:00]");
  EXPECT_EQ(ErrorOf("<When/>",
                    [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsDateTime(r, "When"); }),
            "Error in processing node When as datetime.\r\nDateTime Format invalid: []");
}

TEST_F(TypedAccess, ElementWithChildElementsFailsForEveryKind) {
  struct Case {
    const char* kind;
    std::function<void(const pugi::xml_node&)> read;
  };
  const Case cases[] = {
      {"string", [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsString(r, "N"); }},
      {"integer", [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsInteger(r, "N"); }},
      {"currency", [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsCurrency(r, "N"); }},
      {"datetime", [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsDateTime(r, "N"); }},
      {"boolean", [](const pugi::xml_node& r) { krptUtil::GetNodeValueAsBoolean(r, "N", true); }},
  };
  for (const auto& c : cases) {
    for (const char* content : {"<N><C>1</C></N>", "<N>1<C/></N>"}) {
      EXPECT_EQ(ErrorOf(content, c.read), std::string("Error in processing node N as ") + c.kind +
                                              ".\r\nElement has child elements")
          << content;
    }
  }
}

TEST(RequestXml, MalformedTextFailsWithOffset) {
  const char* const cases[] = {"",        "   ",      "<r>",      "<r></s>",
                               "not xml", "<r a=1/>", "<r/><s/>", "<r/>junk"};
  for (const char* text : cases) {
    try {
      ParseRequestXml(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Invalid XML: ", 0), 0u) << e.what();
      EXPECT_NE(std::string(e.what()).find(" at offset "), std::string::npos) << e.what();
    }
  }
}

TEST(RequestXml, DeepNestingDoesNotCrash) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<a>";
  for (int i = 0; i < 100000; ++i) text += "</a>";
  const pugi::xml_document document = ParseRequestXml(text);
  EXPECT_EQ(krptUtil::GetNodeValueAsString(document.document_element(), "b"), "");
}

// ---- codecs ----

template <typename Enum>
struct WordCase {
  const char* word;
  Enum value;
  const char* encoded;
};

// Every word decodes in lower, upper and mixed case; the encoder writes the encoded text.
template <typename Enum, size_t N>
void ExpectDecodes(const WordCase<Enum> (&cases)[N], Enum (*decode)(std::string_view)) {
  for (const auto& c : cases) {
    std::string mixed = c.word;
    mixed[0] = AsciiUpper(mixed.substr(0, 1))[0];
    EXPECT_EQ(decode(c.word), c.value) << c.word;
    EXPECT_EQ(decode(AsciiUpper(c.word)), c.value) << c.word;
    EXPECT_EQ(decode(mixed), c.value) << mixed;
  }
}

template <typename Enum, size_t N>
void ExpectEncodes(const WordCase<Enum> (&cases)[N], std::string (*encode)(Enum)) {
  for (const auto& c : cases) EXPECT_EQ(encode(c.value), c.encoded) << c.word;
}

TEST(Codecs, ReceiptType) {
  using E = tkReceiptType;
  const WordCase<E> cases[] = {
      {"sale", E::rt_Sale, "Sale"},
      {"refund", E::rt_Refund, "Refund"},
      {"void", E::rt_Void, "Void"},
      {"invoicesale", E::rt_InvoiceSale, "InvoiceSale"},
      {"invoicesalefromreceipt", E::rt_InvoiceSaleFromReceipt, "InvoiceSaleFromReceipt"},
  };
  ExpectDecodes(cases, &krptUtil::DecodeReceiptType);
  ExpectEncodes(cases, &krptUtil::EncodeReceiptType);
}

TEST(Codecs, LineType) {
  using E = tkReceiptLineType;
  const WordCase<E> cases[] = {
      {"productsale", E::rlt_ProductSale, ""},
      {"productreturn", E::rlt_ProductReturn, ""},
      {"weightedproductsale", E::rlt_WeightedProductSale, ""},
      {"vouchersale", E::rlt_VoucherSale, ""},
      {"voucherredeem", E::rlt_VoucherRedeem, ""},
      {"giftcardsale", E::rlt_GiftCardSale, ""},
      {"giftcardredeem", E::rlt_GiftCardRedeem, ""},
      {"subtotal", E::rlt_SubTotal, ""},
      {"text", E::rlt_Text, ""},
      {"discountamount", E::rlt_DiscountAmount, ""},
      {"discountpercentage", E::rlt_DiscountPercentage, ""},
      {"discountamountonsubtotal", E::rlt_DiscountAmountOnSubtotal, ""},
      {"discountpercentageonsubtotal", E::rlt_DiscountPercentageOnSubTotal, ""},
      {"markupamount", E::rlt_MarkupAmount, ""},
      {"markuppercentage", E::rlt_MarkupPercentage, ""},
      {"markupamountonsubtotal", E::rlt_MarkupAmountOnSubtotal, ""},
      {"markuppercentageonsubtotal", E::rlt_MarkupPercentageOnSubTotal, ""},
      {"collectamount", E::rlt_CollectAmount, ""},
  };
  ExpectDecodes(cases, &krptUtil::DecodeLineType);
}

TEST(Codecs, PaymentTypeEncodesItsLowerCaseWord) {
  using E = tkReceiptPaymentType;
  const WordCase<E> cases[] = {
      {"cash", E::rpt_Cash, "cash"},
      {"cheque", E::rpt_Cheque, "cheque"},
      {"creditcard", E::rpt_CreditCard, "creditcard"},
      {"debitcard", E::rpt_DebitCard, "debitcard"},
      {"credit", E::rpt_Credit, "credit"},
      {"creditonproducts", E::rpt_CreditOnProducts, "creditonproducts"},
      {"creditonservices", E::rpt_CreditOnServices, "creditonservices"},
      {"giftcard", E::Rpt_GiftCard, "giftcard"},
      {"voucher", E::Rpt_Voucher, "voucher"},
      {"mealvoucher", E::Rpt_MealVoucher, "mealvoucher"},
      {"nhscard", E::Rpt_NHSCard, "nhscard"},
      {"change", E::Rpt_Change, "change"},
  };
  ExpectDecodes(cases, &krptUtil::DecodePaymentType);
  ExpectEncodes(cases, &krptUtil::EncodePaymentType);
}

TEST(Codecs, TaxTypeBarcodeEffectImageSource) {
  const WordCase<tkReceiptTaxType> taxes[] = {
      {"vat", tkReceiptTaxType::tt_VAT, "VAT"},
      {"salestax", tkReceiptTaxType::tt_SalesTax, "SalesTax"},
  };
  ExpectDecodes(taxes, &krptUtil::DecodeTaxType);
  ExpectEncodes(taxes, &krptUtil::EncodeTaxType);

  using B = tkReceiptMessageBarcodeType;
  const WordCase<B> barcodes[] = {
      {"ean13", B::bt_EAN13, "ean13"},
      {"ean8", B::bt_EAN8, "ean8"},
      {"code39", B::bt_CODE39, "code39"},
      {"code128", B::bt_CODE128, "code128"},
      {"qrcode", B::bt_QRCODE, "qrcode"},
      {"upca", B::bt_UPCA, "upca"},
      {"upce", B::bt_UPCE, "upce"},
      {"interleaved2of5", B::bt_Interleaved2Of5, "interleaved2of5"},
  };
  ExpectDecodes(barcodes, &krptUtil::DecodeBarcodeType);
  ExpectEncodes(barcodes, &krptUtil::EncodeBarcodeType);

  using L = tkReceiptMessageLineEffect;
  const WordCase<L> effects[] = {
      {"bold", L::le_bold, "bold"},
      {"italic", L::le_italic, "italic"},
      {"underline", L::le_underline, "underline"},
      {"doubleheight", L::le_doubleheight, "doubleheight"},
      {"doublewidth", L::le_doublewidth, "doublewidth"},
      {"doublesize", L::le_doublesize, "doublesize"},
      {"invertcolors", L::le_invertcolors, "invertcolors"},
      {"condensed", L::le_condensed, "condensed"},
  };
  ExpectDecodes(effects, &krptUtil::DecodeEffect);
  ExpectEncodes(effects, &krptUtil::EncodeEffect);

  using S = tkReceiptMessageImageSource;
  const WordCase<S> sources[] = {
      {"resource", S::is_Resource, "resource"},
      {"filesystem", S::is_FileSystem, "filesystem"},
  };
  ExpectDecodes(sources, &krptUtil::DecodeImageSource);
  ExpectEncodes(sources, &krptUtil::EncodeImageSource);
}

TEST(Codecs, EJWords) {
  using T = tkEJReportType;
  const WordCase<T> types[] = {
      {"zreport", T::ejrt_ZReport, ""},
      {"fiscalreceipt", T::ejrt_FiscalReceipt, ""},
      {"nonfiscalreceipt", T::ejrt_NonFiscalReceipt, ""},
      {"creditnote", T::ejrt_CreditNote, ""},
      {"invoice", T::ejrt_Invoice, ""},
  };
  ExpectDecodes(types, &krptUtil::DecodeEJReportType);
  const WordCase<tkEJReportDestination> destinations[] = {
      {"printer", tkEJReportDestination::rd_Printer, ""},
      {"memory", tkEJReportDestination::rd_Memory, ""},
  };
  ExpectDecodes(destinations, &krptUtil::DecodeEJReportDestination);
  const WordCase<tkEJFilesRequestType> requests[] = {{"xml", tkEJFilesRequestType::ej_xml, ""}};
  ExpectDecodes(requests, &krptUtil::DecodeEJRequestType);
}

TEST(Codecs, AlignmentHasNoWordForNone) {
  using A = tkReceiptMessageLineAlignment;
  const WordCase<A> cases[] = {
      {"right", A::la_right, "right"},
      {"center", A::la_center, "center"},
      {"left", A::la_left, "left"},
  };
  ExpectDecodes(cases, &krptUtil::DecodeAlignment);
  ExpectEncodes(cases, &krptUtil::EncodeAlignment);
  EXPECT_EQ(krptUtil::EncodeAlignment(A::la_none), "");
}

TEST(Codecs, FallbackDecodersNeverFail) {
  using R = tkReceiptReferenceType;
  const WordCase<R> references[] = {
      {"originalreceipt", R::rrt_OriginalReceipt, "OriginalReceipt"},
      {"eftreceipt", R::rrt_EFTReceipt, "EFTReceipt"},
      {"notavailable", R::rrt_NotAvailable, "NotAvailable"},
      {"empties", R::rrt_Empties, "Empties"},
  };
  ExpectDecodes(references, &krptUtil::DecodeReferenceType);
  ExpectEncodes(references, &krptUtil::EncodeReferenceType);
  for (const char* other : {"", "xyz", " empties", "emptiesx"}) {
    EXPECT_EQ(krptUtil::DecodeReferenceType(other), R::rrt_OriginalReceipt) << other;
  }

  EXPECT_EQ(krptUtil::DecodeLineAttribute("Product"), tkReceiptLineAttribute::rla_Product);
  for (const char* other : {"", "goods", "service", "product "}) {
    EXPECT_EQ(krptUtil::DecodeLineAttribute(other), tkReceiptLineAttribute::rla_Service) << other;
  }
}

TEST(Codecs, UnknownWordsQuoteTheLowerCasedText) {
  struct Case {
    std::function<void()> decode;
    const char* message;
  };
  const Case cases[] = {
      {[] { krptUtil::DecodeReceiptType("Sales"); }, "ReceiptType sales is invalid"},
      {[] { krptUtil::DecodeLineType("ProductSold"); }, "LineType productsold is invalid"},
      {[] { krptUtil::DecodePaymentType(" cash"); }, "PaymentType  cash is invalid"},
      {[] { krptUtil::DecodePaymentType("cashx"); }, "PaymentType cashx is invalid"},
      {[] { krptUtil::DecodeTaxType("GST"); }, "TaxType gst is invalid"},
      {[] { krptUtil::DecodeAlignment(""); }, "Alignment  is invalid"},
      {[] { krptUtil::DecodeAlignment("None"); }, "Alignment none is invalid"},
      {[] { krptUtil::DecodeBarcodeType("EAN-13"); }, "BarcodeType ean-13 is invalid"},
      {[] { krptUtil::DecodeEffect("Blink"); }, "Effect blink is invalid"},
      {[] { krptUtil::DecodeImageSource("Web"); }, "Image Source web is invalid"},
      {[] { krptUtil::DecodeEJReportType("XReport"); }, "ReportType xreport is invalid"},
      {[] { krptUtil::DecodeEJReportDestination("Disk"); }, "ReportDestination disk is invalid"},
      {[] { krptUtil::DecodeEJRequestType("JSON"); }, "EJ Request Type json is invalid"},
      {[] { krptUtil::DecodeEJRequestType(""); }, "EJ Request Type  is invalid"},
      {[] { krptUtil::DecodePaymentType("100%s"); }, "PaymentType 100%s is invalid"},
  };
  for (const auto& c : cases) {
    try {
      c.decode();
      ADD_FAILURE() << "no error for: " << c.message;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(Codecs, DecodeEffects) {
  using L = tkReceiptMessageLineEffect;
  struct Case {
    const char* text;
    tkReceiptMessageLineEffectSet expected;
  };
  const Case cases[] = {
      {"bold,underline", {L::le_bold, L::le_underline}},
      {"BOLD,Condensed", {L::le_bold, L::le_condensed}},
      {"bold,,italic", {L::le_bold}},
      {"bold,", {L::le_bold}},
      {"", {}},
      {",bold", {}},
      {"italic,italic", {L::le_italic}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(krptUtil::DecodeEffects(c.text), c.expected) << c.text;
  }
  try {
    krptUtil::DecodeEffects("bold, italic");
    ADD_FAILURE() << "blank after comma accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Effect  italic is invalid");
  }
}

TEST(Codecs, EncodeEffectsInOrdinalOrder) {
  using L = tkReceiptMessageLineEffect;
  EXPECT_EQ(krptUtil::EncodeEffects({}), "");
  EXPECT_EQ(krptUtil::EncodeEffects({L::le_underline, L::le_bold}), "bold,underline");
  EXPECT_EQ(krptUtil::EncodeEffects(tkReceiptMessageLineEffectSet::FromBits(0xFF)),
            "bold,italic,underline,doubleheight,doublewidth,doublesize,invertcolors,condensed");
}

TEST(NormalizeText, PrintableAsciiForm) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"TOTALE \u20AC 10", "TOT. E 10"},
      {"caf\u00E9", "caf "},
      {"\u00C0\u00D9\u00C8\u00C9\u00D2\u00D6\u00C7\u00CF\u00CC", "AUEEOOCII"},
      {"Totale totale", "Totale totale"},
      {"TOTALETOTALE", "TOT.TOT."},
      {"\u03B1\u03B2\u03B3", "   "},
      {"\U0001F600x", "  x"},
      {"a\tb\r\n", "a b  "},
      {"\x7F~ ", "\x7F~ "},
      {"100% ok", "100% ok"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(krptUtil::NormalizeText(c.text), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace nvrp
