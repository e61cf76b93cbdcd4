#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "base/nv_exception.hpp"
#include "documents/receipt.hpp"
#include "documents/request_xml.hpp"

namespace nvrp {
namespace {

// The smallest receipt the parser accepts.
const std::string kRequired = "<Type>Sale</Type><Lines/><Taxes/><Payments/>";

std::string Request(const std::string& receiptContent) {
  return "<Request><Handle>1</Handle><Receipt>" + receiptContent + "</Receipt></Request>";
}

Currency Amount(const char* text) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(text, value)) << text;
  return value;
}

DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return EncodeDateTime({year, month, day, hour, minute, second, 0});
}

class ReceiptParser : public ::testing::Test {
 protected:
  // Parses a whole request into a fresh receipt.
  kReceipt& ParseRequest(const std::string& request) {
    receipt_ = std::make_unique<kReceipt>();
    receipt_->Deserialize(ParseRequestXml(request));
    return *receipt_;
  }
  kReceipt& Parse(const std::string& receiptContent) {
    return ParseRequest(Request(receiptContent));
  }

  std::string ErrorOfRequest(const std::string& request) {
    try {
      ParseRequest(request);
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }
  std::string ErrorOf(const std::string& receiptContent) {
    return ErrorOfRequest(Request(receiptContent));
  }

  std::unique_ptr<kReceipt> receipt_;
};

// ---- errors, in the order the parse meets them ----

TEST_F(ReceiptParser, ReportsTheFirstFaultInParseOrder) {
  const std::string crlf = "\r\n";
  const std::string badDate = "<DateTime>2024-02-30T10:00:00</DateTime>";
  struct Case {
    std::string content;  // of "Receipt"
    std::string expected;
  };
  const Case cases[] = {
      // Header: layout, business date (or receipt date), type, then the header table's order.
      {"<Layout><x/></Layout><BusinessDate>bad</BusinessDate>",
       "Error in processing node Layout as string." + crlf + "Element has child elements"},
      {"<BusinessDate>bad</BusinessDate><Type>nope</Type>",
       "Error in processing node BusinessDate as datetime." + crlf +
           "DateTime Format invalid: [bad]"},
      {"<BusinessDate/>" + kRequired,
       "Error in processing node BusinessDate as datetime." + crlf + "DateTime Format invalid: []"},
      {badDate + "<Type>nope</Type>", "Error in processing node DateTime as datetime." + crlf +
                                          "DateTime Format invalid: [2024-02-30T10:00:00]"},
      {"<Lines/><Taxes/><Payments/>", "ReceiptType  is invalid"},
      {"<Type/><Lines/><Taxes/><Payments/>", "ReceiptType  is invalid"},
      {"<Type>Sales</Type><TotalAmount>x</TotalAmount>", "ReceiptType sales is invalid"},
      {"<Type> sale</Type>", "ReceiptType  sale is invalid"},
      {"<Type>Sale</Type><BusinessDate>2024-01-01T00:00:00</BusinessDate><SubType><a/></SubType>",
       "Error in processing node SubType as string." + crlf + "Element has child elements"},
      {"<Type>Sale</Type><BusinessDate>2024-01-01T00:00:00</BusinessDate>" + badDate +
           "<InvoiceDateTime>x</InvoiceDateTime>",
       "Error in processing node DateTime as datetime." + crlf +
           "DateTime Format invalid: [2024-02-30T10:00:00]"},
      {"<Type>Sale</Type><InvoiceDateTime>2024-13-01T00:00:00</InvoiceDateTime>"
       "<TotalAmount>x</TotalAmount>",
       "Error in processing node InvoiceDateTime as datetime." + crlf +
           "DateTime Format invalid: [2024-13-01T00:00:00]"},
      {"<Type>Sale</Type><TotalAmount>12,50</TotalAmount><TipAmount>x</TipAmount>",
       "Error in processing node TotalAmount as currency." + crlf +
           "'12,50' is not a valid floating point value"},
      {"<Type>Sale</Type><TotalAmount>922337203685477.5808</TotalAmount>",
       "Error in processing node TotalAmount as currency." + crlf +
           "'922337203685477.5808' is not a valid floating point value"},
      {"<Type>Sale</Type><TipAmount>1,234.50</TipAmount><CustomerDateOfBirth>x"
       "</CustomerDateOfBirth>",
       "Error in processing node TipAmount as currency." + crlf +
           "'1,234.50' is not a valid floating point value"},
      {"<Type>Sale</Type><CustomerDateOfBirth>1980-01-01</CustomerDateOfBirth>"
       "<ToBeInvoiced>x</ToBeInvoiced>",
       "Error in processing node CustomerDateOfBirth as datetime." + crlf +
           "DateTime Format invalid: [1980-01-01]"},
      {"<Type>Sale</Type><ToBeInvoiced>yes</ToBeInvoiced>"
       "<References><OriginalReceipt><ReceiptDateTime>x</ReceiptDateTime></OriginalReceipt>"
       "</References>",
       "Error in processing node ToBeInvoiced as boolean." + crlf +
           "'yes' is not a valid boolean value"},
      // References, then headers, then the three required lists.
      {"<Type>Sale</Type><References><OriginalReceipt><ReceiptDateTime>x</ReceiptDateTime>"
       "<ExcludeFPCheck/></OriginalReceipt></References><Headers><H><b/></H></Headers>",
       "Error in processing node ReceiptDateTime as datetime." + crlf +
           "DateTime Format invalid: [x]"},
      {"<Type>Sale</Type><References><OriginalReceipt><ExcludeFPCheck/></OriginalReceipt>"
       "</References>",
       "Error in processing node ExcludeFPCheck as boolean." + crlf +
           "'' is not a valid boolean value"},
      {"<Type>Sale</Type><Headers><H>ok</H><H>a<b/></H></Headers>", "Element has child elements"},
      {"<Type>Sale</Type>", "Unable to find Lines node "},
      {"<Type>Sale</Type><lines/><Taxes/><Payments/>", "Unable to find Lines node "},
      {"<Type>Sale</Type><Lines><ProductSold/></Lines>", "LineType productsold is invalid"},
      {"<Type>Sale</Type><Lines><ProductSale/><Product_Sale/></Lines>",
       "LineType product_sale is invalid"},
      // Within a line, its children in the line table's order.
      {"<Type>Sale</Type><Lines><ProductSale><Price>x</Price><Quantity>2,5</Quantity>"
       "</ProductSale></Lines>",
       "Error in processing node Quantity as currency." + crlf +
           "'2,5' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><WeightedProductSale><FreeOfCharge>x</FreeOfCharge>"
       "<Tare>x</Tare><Amount>y</Amount></WeightedProductSale></Lines>",
       "Error in processing node Amount as currency." + crlf +
           "'y' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><WeightedProductSale><FreeOfCharge>x</FreeOfCharge>"
       "<Tare>t</Tare></WeightedProductSale></Lines>",
       "Error in processing node Tare as currency." + crlf +
           "'t' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><ProductReturn><FreeOfCharge>maybe</FreeOfCharge>"
       "</ProductReturn></Lines>",
       "Error in processing node FreeOfCharge as boolean." + crlf +
           "'maybe' is not a valid boolean value"},
      {"<Type>Sale</Type><Lines><VoucherSale><FreeOfCharge>x</FreeOfCharge><Price>p</Price>"
       "</VoucherSale></Lines>",
       "Error in processing node Price as currency." + crlf +
           "'p' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><GiftCardSale><FreeOfCharge>x</FreeOfCharge></GiftCardSale>"
       "</Lines>",
       "Error in processing node FreeOfCharge as boolean." + crlf +
           "'x' is not a valid boolean value"},
      {"<Type>Sale</Type><Lines><SubTotal><Amount>-</Amount></SubTotal></Lines>",
       "Error in processing node Amount as currency." + crlf +
           "'-' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><Text><Description><b>x</b></Description></Text></Lines>",
       "Error in processing node Description as string." + crlf + "Element has child elements"},
      {"<Type>Sale</Type><Lines><MarkupPercentage><Amount>a</Amount><Percentage>10%"
       "</Percentage></MarkupPercentage></Lines>",
       "Error in processing node Percentage as currency." + crlf +
           "'10%' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><CollectAmount><Amount>1e400</Amount></CollectAmount></Lines>",
       "Error in processing node Amount as currency." + crlf +
           "'1e400' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines><ProductSale><Amount>x</Amount></ProductSale></Lines>"
       "<Payments><Payment><Type>card</Type></Payment></Payments>",
       "Error in processing node Amount as currency." + crlf +
           "'x' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines/><Payments/>", "Unable to find Taxes node "},
      {"<Type>Sale</Type><Lines/><Taxes><Tax><Rate>x</Rate></Tax></Taxes>", "TaxType  is invalid"},
      {"<Type>Sale</Type><Lines/><Taxes><Tax><Type>GST</Type></Tax></Taxes>",
       "TaxType gst is invalid"},
      {"<Type>Sale</Type><Lines/><Taxes><Tax><Type>vat</Type><Rate>24%</Rate></Tax></Taxes>",
       "Error in processing node Rate as currency." + crlf +
           "'24%' is not a valid floating point value"},
      {"<Type>Sale</Type><Lines/><Taxes/>", "Unable to find Payments node "},
      {"<Type>Sale</Type><Lines/><Taxes/><Payments><Payment><Type>Card</Type></Payment>"
       "</Payments>",
       "PaymentType card is invalid"},
      {"<Type>Sale</Type><Lines/><Taxes/><Payments><Payment><Type>cash</Type>"
       "<UnitPrice>u</UnitPrice><Amount>a</Amount></Payment></Payments>",
       "Error in processing node Amount as currency." + crlf +
           "'a' is not a valid floating point value"},
      // Trailer messages before leader lines; each message's children in order.
      {kRequired + "<TrailerMessages><Text><Value>Thanks</Value></Text></TrailerMessages>",
       "Alignment  is invalid"},
      {kRequired + "<TrailerMessages><Text><Size>1.0</Size></Text></TrailerMessages>",
       "Error in processing node Size as integer." + crlf + "'1.0' is not a valid integer value"},
      {kRequired + "<TrailerMessages><Barcode><Type>EAN-13</Type><HRI>x</HRI></Barcode>"
                   "</TrailerMessages>",
       "BarcodeType ean-13 is invalid"},
      {kRequired + "<TrailerMessages><Barcode><Type>qrcode</Type><HRI>x</HRI></Barcode>"
                   "</TrailerMessages>",
       "Error in processing node HRI as boolean." + crlf + "'x' is not a valid boolean value"},
      {kRequired + "<TrailerMessages><Image><Alignment>middle</Alignment></Image>"
                   "</TrailerMessages><LeaderLines><Text/></LeaderLines>",
       "Alignment middle is invalid"},
      {kRequired + "<LeaderLines><Image/></LeaderLines>", "Alignment  is invalid"},
      {kRequired + "<LeaderLines><Barcode><Value>1</Value></Barcode></LeaderLines>",
       "BarcodeType  is invalid"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.content), c.expected) << c.content;
  }
}

TEST_F(ReceiptParser, RequiresTheReceiptElementDirectlyUnderTheRoot) {
  const char* const requests[] = {
      "<Request/>",
      "<Request><receipt><Type>Sale</Type></receipt></Request>",
      "<Request><Body><Receipt/></Body></Request>",
      "<Receipt><Type>Sale</Type><Lines/><Taxes/><Payments/></Receipt>",
  };
  for (const char* request : requests) {
    EXPECT_EQ(ErrorOfRequest(request), "Receipt node not found") << request;
  }
  kReceipt receipt;
  EXPECT_THROW(receipt.Deserialize(pugi::xml_document()), Exception);
}

TEST_F(ReceiptParser, KeepsWhatWasReadBeforeAFault) {
  EXPECT_EQ(ErrorOf("<Type>Refund</Type><Number>7</Number><Headers><H>top</H></Headers>"
                    "<Lines><ProductSale><Amount>1</Amount></ProductSale>"
                    "<ProductSale><Amount>bad</Amount></ProductSale></Lines>"),
            "Error in processing node Amount as currency.\r\n"
            "'bad' is not a valid floating point value");
  const kReceipt& receipt = *receipt_;
  EXPECT_EQ(receipt.fReceiptType, tkReceiptType::rt_Refund);
  EXPECT_EQ(receipt.fReceiptNumber, "7");
  ASSERT_EQ(receipt.fHeaders.size(), 1u);
  ASSERT_GE(receipt.fLines.size(), 1u);
  EXPECT_EQ(receipt.fLines[0]->GetAmount(), Amount("1"));
}

// ---- header ----

TEST_F(ReceiptParser, ReadsEveryHeaderField) {
  const kReceipt& r = Parse(
      "<Layout>Invoice2</Layout><BusinessDate>2024-02-29T00:00:00</BusinessDate>"
      "<Type>InvoiceSaleFromReceipt</Type><SubType>B2B</SubType>"
      "<ReceiptTypeDescription>Invoice</ReceiptTypeDescription>"
      "<ExternalReference>EXT-9</ExternalReference><StoreCode>S1</StoreCode>"
      "<TillCode>T2</TillCode><Number>125</Number><DateTime>2024-03-01T14:05:09.250</DateTime>"
      "<ZReportNumber>88</ZReportNumber><DeviceSerialNumber>SN1</DeviceSerialNumber>"
      "<InvoiceNumber>INV-1</InvoiceNumber><InvoiceDateTime>2024-03-02 08:00:00"
      "</InvoiceDateTime><TotalAmount>12.40</TotalAmount><TipAmount> 1.5 </TipAmount>"
      "<CountryCode>GR</CountryCode><FiscalAreaCode>FA</FiscalAreaCode>"
      "<CompanyCode>CO</CompanyCode><CompanyTaxCode>EL123</CompanyTaxCode>"
      "<OperatorCode>OP7</OperatorCode><ReceiptBarcode>RB</ReceiptBarcode>"
      "<CurrencyCode>EUR</CurrencyCode><CustomerCode>CU</CustomerCode>"
      "<CustomerCard>CARD</CustomerCard><CustomerBusinessName>ACME</CustomerBusinessName>"
      "<CustomerName>Maria</CustomerName><CustomerSurname>Papa</CustomerSurname>"
      "<CustomerAddress>Street 1</CustomerAddress><CustomerZIPCode>10431</CustomerZIPCode>"
      "<CustomerCity>Athens</CustomerCity><CustomerProvince>Attica</CustomerProvince>"
      "<CustomerCountry>Greece</CustomerCountry><CustomerTaxCode>CT</CustomerTaxCode>"
      "<CustomerIdNumber>ID</CustomerIdNumber>"
      "<CustomerDateOfBirth>1980-05-06T00:00:00</CustomerDateOfBirth>"
      "<LotteryIdCode>LOT</LotteryIdCode><ToBeInvoiced>TRUE</ToBeInvoiced>"
      "<References><OriginalReceipt><ReceiptDateTime>2024-01-02T03:04:05</ReceiptDateTime>"
      "<ReceiptNumber>100</ReceiptNumber><DeviceSerialNumber>SN0</DeviceSerialNumber>"
      "<ServerSerialNumber>SRV</ServerSerialNumber><EJNumber>EJ</EJNumber>"
      "<EJClosingNumber>12</EJClosingNumber><ExcludeFPCheck>1</ExcludeFPCheck>"
      "<ReferenceType>EFTReceipt</ReferenceType><ExternalReference>ignored</ExternalReference>"
      "</OriginalReceipt></References>"
      "<Headers><Line1>ACME LTD</Line1><Other/><X>  spaced  </X><!-- note --></Headers>"
      "<Unknown>ignored</Unknown><Lines/><Taxes/><Payments/>");
  EXPECT_EQ(r.fLayout, "Invoice2");
  EXPECT_FALSE(r.fDefaultLayout);
  EXPECT_EQ(r.fBusinessDate, EncodeDate(2024, 2, 29));
  EXPECT_EQ(r.fReceiptType, tkReceiptType::rt_InvoiceSaleFromReceipt);
  EXPECT_EQ(r.fReceiptSubType, "B2B");
  EXPECT_EQ(r.fReceiptTypeDescription, "Invoice");
  EXPECT_EQ(r.fExternalReference, "EXT-9");
  EXPECT_EQ(r.fStoreCode, "S1");
  EXPECT_EQ(r.fTillCode, "T2");
  EXPECT_EQ(r.fReceiptNumber, "125");
  EXPECT_EQ(r.fReceiptDateTime, EncodeDateTime({2024, 3, 1, 14, 5, 9, 250}));
  EXPECT_EQ(r.fReceiptZReportNumber, "88");
  EXPECT_EQ(r.fDeviceSerialNumber, "SN1");
  EXPECT_EQ(r.fInvoiceNumber, "INV-1");
  EXPECT_EQ(r.fInvoiceDateTime, At(2024, 3, 2, 8, 0, 0));
  EXPECT_EQ(r.fTotalAmount, Amount("12.4"));
  EXPECT_EQ(r.fTipAmount, Amount("1.5"));
  EXPECT_EQ(r.fCountryCode, "GR");
  EXPECT_EQ(r.fFiscalAreaCode, "FA");
  EXPECT_EQ(r.fCompanyCode, "CO");
  EXPECT_EQ(r.fCompanyTaxCode, "EL123");
  EXPECT_EQ(r.fOperatorCode, "OP7");
  EXPECT_EQ(r.fReceiptBarcode, "RB");
  EXPECT_EQ(r.fCurrencyCode, "EUR");
  EXPECT_EQ(r.fCustomerCode, "CU");
  EXPECT_EQ(r.fCustomerCard, "CARD");
  EXPECT_EQ(r.fCustomerBusinessName, "ACME");
  EXPECT_EQ(r.fCustomerName, "Maria");
  EXPECT_EQ(r.fCustomerSurname, "Papa");
  EXPECT_EQ(r.fCustomerAddress, "Street 1");
  EXPECT_EQ(r.fCustomerZipCode, "10431");
  EXPECT_EQ(r.fCustomerCity, "Athens");
  EXPECT_EQ(r.fCustomerProvince, "Attica");
  EXPECT_EQ(r.fCustomerCountry, "Greece");
  EXPECT_EQ(r.fCustomerTaxCode, "CT");
  EXPECT_EQ(r.fCustomerIdNumber, "ID");
  EXPECT_EQ(r.fCustomerDateOfBirth, EncodeDate(1980, 5, 6));
  EXPECT_EQ(r.fLotteryIdCode, "LOT");
  EXPECT_TRUE(r.fToBeInvoiced);

  const tkOriginalReceipt& o = r.fOriginalReceipt;
  EXPECT_EQ(o.ReceiptDateTime, At(2024, 1, 2, 3, 4, 5));
  EXPECT_EQ(o.ReceiptNumber, "100");
  EXPECT_EQ(o.DeviceSerialNumber, "SN0");
  EXPECT_EQ(o.ServerSerialNumber, "SRV");
  EXPECT_EQ(o.EJNumber, "EJ");
  EXPECT_EQ(o.EJClosingNumber, "12");
  EXPECT_TRUE(o.ExcludeFPCheck);
  EXPECT_EQ(o.ReferenceType, tkReceiptReferenceType::rrt_EFTReceipt);
  EXPECT_EQ(o.ExternalReference, "");

  EXPECT_EQ(r.fHeaders, (std::vector<std::string>{"ACME LTD", "", "  spaced  "}));
}

TEST_F(ReceiptParser, MinimalReceiptHasDefaultsAndEmptyLists) {
  const kReceipt& r = Parse(kRequired);
  EXPECT_EQ(r.fLayout, "DocumentLayout");
  EXPECT_TRUE(r.fDefaultLayout);
  EXPECT_EQ(r.fBusinessDate, 0);
  EXPECT_EQ(r.fReceiptType, tkReceiptType::rt_Sale);
  EXPECT_EQ(r.fTotalAmount, Currency());
  EXPECT_EQ(r.GetCalculatedAmount(), Currency());
  EXPECT_FALSE(r.fToBeInvoiced);
  EXPECT_EQ(r.fOriginalReceipt.ReferenceType, tkReceiptReferenceType::rrt_OriginalReceipt);
  EXPECT_EQ(r.fOriginalReceipt.ReceiptNumber, "");
  EXPECT_TRUE(r.fLines.empty());
  EXPECT_TRUE(r.fTaxes.empty());
  EXPECT_TRUE(r.fPayments.empty());
  EXPECT_TRUE(r.fTrailerMessages.empty());
  EXPECT_TRUE(r.fLeaderLines.empty());
  EXPECT_TRUE(r.fHeaders.empty());
}

TEST_F(ReceiptParser, LayoutBusinessDateAndZipFallbacks) {
  const kReceipt& emptyLayout = Parse("<Layout></Layout>" + kRequired);
  EXPECT_EQ(emptyLayout.fLayout, "DocumentLayout");
  EXPECT_TRUE(emptyLayout.fDefaultLayout);

  // Without a business date the receipt's date and time stand in, time included.
  EXPECT_EQ(Parse("<DateTime>2024-03-01T14:05:09</DateTime>" + kRequired).fBusinessDate,
            At(2024, 3, 1, 14, 5, 9));
  EXPECT_EQ(Parse("<BusinessDate>2024-02-01T10:00:00</BusinessDate>"
                  "<DateTime>2024-03-01T14:05:09</DateTime>" +
                  kRequired)
                .fBusinessDate,
            At(2024, 2, 1, 10, 0, 0));

  struct ZipCase {
    const char* elements;
    const char* expected;
  };
  const ZipCase zips[] = {
      {"<CustomerZipCode>54622</CustomerZipCode>", "54622"},
      {"<CustomerZIPCode/><CustomerZipCode>54622</CustomerZipCode>", "54622"},
      {"<CustomerZipCode>54622</CustomerZipCode><CustomerZIPCode>10431</CustomerZIPCode>", "10431"},
      {"<CustomerZIPCode>10431</CustomerZIPCode>", "10431"},
      {"", ""},
  };
  for (const auto& z : zips) {
    EXPECT_EQ(Parse(std::string(z.elements) + kRequired).fCustomerZipCode, z.expected)
        << z.elements;
  }
}

TEST_F(ReceiptParser, ReceiptTypeWordsInAnyCase) {
  const std::pair<const char*, tkReceiptType> types[] = {
      {"sale", tkReceiptType::rt_Sale},
      {"REFUND", tkReceiptType::rt_Refund},
      {"Void", tkReceiptType::rt_Void},
      {"invoiceSale", tkReceiptType::rt_InvoiceSale},
  };
  for (const auto& [word, type] : types) {
    EXPECT_EQ(
        Parse(std::string("<Type>") + word + "</Type><Lines/><Taxes/><Payments/>").fReceiptType,
        type)
        << word;
  }
}

// ---- sale lines ----

// Every line element gets the same children; each kind must pick exactly the ones it reads.
const std::string kAllLineChildren =
    "<Code>C1</Code><Description>Item</Description><Quantity>2</Quantity><UOM>kg</UOM>"
    "<Department>D1</Department><TaxCode>A</TaxCode><Price>5</Price><Amount>10</Amount>"
    "<Tare>0.25</Tare><FreeOfCharge>true</FreeOfCharge><Attribute>product</Attribute>"
    "<Percentage>15</Percentage><AdditionalInfo>x</AdditionalInfo><NetAmount>3</NetAmount>";

TEST_F(ReceiptParser, EveryLineKindReadsItsOwnChildren) {
  struct Case {
    const char* element;  // letter case of the kind's word varies on purpose
    tkReceiptLineType kind;
    const char* amount;  // GetAmount: FreeOfCharge is true where the kind reads it
  };
  using T = tkReceiptLineType;
  const Case cases[] = {
      {"ProductSale", T::rlt_ProductSale, "0"},
      {"productreturn", T::rlt_ProductReturn, "0"},
      {"WEIGHTEDPRODUCTSALE", T::rlt_WeightedProductSale, "0"},
      {"VoucherSale", T::rlt_VoucherSale, "0"},
      {"VoucherRedeem", T::rlt_VoucherRedeem, "-5"},
      {"GiftCardSale", T::rlt_GiftCardSale, "0"},
      {"GiftCardRedeem", T::rlt_GiftCardRedeem, "-5"},
      {"SubTotal", T::rlt_SubTotal, "0"},
      {"Text", T::rlt_Text, "0"},
      {"DiscountAmount", T::rlt_DiscountAmount, "-10"},
      {"DiscountPercentage", T::rlt_DiscountPercentage, "-10"},
      {"DiscountAmountOnSubtotal", T::rlt_DiscountAmountOnSubtotal, "-10"},
      {"DiscountPercentageOnSubTotal", T::rlt_DiscountPercentageOnSubTotal, "-10"},
      {"MarkupAmount", T::rlt_MarkupAmount, "10"},
      {"MarkupPercentage", T::rlt_MarkupPercentage, "10"},
      {"MarkupAmountOnSubtotal", T::rlt_MarkupAmountOnSubtotal, "10"},
      {"markupPercentageOnSubTotal", T::rlt_MarkupPercentageOnSubTotal, "10"},
      {"CollectAmount", T::rlt_CollectAmount, "10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.element);
    const std::string element = c.element;
    kReceipt& r = Parse("<Type>Sale</Type><Lines><" + element + ">" + kAllLineChildren + "</" +
                        element + "></Lines><Taxes/><Payments/>");
    ASSERT_EQ(r.fLines.size(), 1u);
    const kReceiptLine& line = *r.fLines[0];
    EXPECT_EQ(line.fLineType, c.kind);
    EXPECT_EQ(line.fOwner, &r);
    EXPECT_EQ(line.GetAmount(), Amount(c.amount));
    EXPECT_EQ(line.fAdditionalInfo, "");
    EXPECT_EQ(line.fNetAmount, Currency());

    if (const auto* product = dynamic_cast<const kReceiptLineProductSale*>(&line)) {
      EXPECT_EQ(product->fCode, "C1");
      EXPECT_EQ(product->fDescription, "Item");
      EXPECT_EQ(product->fQuantity, Amount("2"));
      EXPECT_EQ(product->fUOM, "kg");
      EXPECT_EQ(product->fDepartment, "D1");
      EXPECT_EQ(product->fTaxCode, "A");
      EXPECT_EQ(product->fPrice, Amount("5"));
      EXPECT_EQ(product->fAmount, Amount("10"));
      EXPECT_TRUE(product->fFreeOfCharge);
      EXPECT_EQ(product->fAttribute, tkReceiptLineAttribute::rla_Product);
      EXPECT_EQ(product->fVoucherCode, "");
      const auto* weighted = dynamic_cast<const kReceiptLineWeightedProductSale*>(&line);
      EXPECT_EQ(weighted != nullptr, c.kind == T::rlt_WeightedProductSale);
      if (weighted) {
        EXPECT_EQ(weighted->fTare, Amount("0.25"));
      }
    } else if (const auto* voucher = dynamic_cast<const kReceiptLineVoucherSale*>(&line)) {
      EXPECT_EQ(voucher->fCode, "C1");
      EXPECT_EQ(voucher->fDescription, "Item");
      EXPECT_EQ(voucher->fDepartment, "D1");
      EXPECT_EQ(voucher->fTaxCode, "A");
      EXPECT_EQ(voucher->fPrice, Amount("5"));
    } else if (const auto* gift = dynamic_cast<const kReceiptLineGiftCardSale*>(&line)) {
      EXPECT_EQ(gift->fCode, "C1");
      EXPECT_EQ(gift->fDescription, "Item");
      EXPECT_EQ(gift->fDepartment, "D1");
      EXPECT_EQ(gift->fTaxCode, "A");
      EXPECT_EQ(gift->fPrice, Amount("5"));
      EXPECT_EQ(gift->fTaxMode, "");
    } else if (const auto* subtotal = dynamic_cast<const kReceiptLineSubtotal*>(&line)) {
      EXPECT_EQ(subtotal->fAmount, Amount("10"));
    } else if (const auto* text = dynamic_cast<const kReceiptLineText*>(&line)) {
      EXPECT_EQ(text->fDescription, "Item");
    } else if (const auto* discount = dynamic_cast<const kReceiptLineDiscountAmount*>(&line)) {
      EXPECT_EQ(discount->fAmount, Amount("10"));
      EXPECT_EQ(discount->fDescription, "Item");
      EXPECT_EQ(discount->fReasonCode, "");
    } else if (const auto* pct = dynamic_cast<const kReceiptLineDiscountPercentage*>(&line)) {
      EXPECT_EQ(pct->fPercentage, Amount("15"));
      EXPECT_EQ(pct->fAmount, Amount("10"));
      EXPECT_EQ(pct->fDescription, "Item");
    } else if (const auto* collect = dynamic_cast<const kReceiptLineCollectAmount*>(&line)) {
      EXPECT_EQ(collect->fDescription, "Item");
      EXPECT_EQ(collect->fDepartment, "D1");
      EXPECT_EQ(collect->fTaxCode, "A");
      EXPECT_EQ(collect->fAmount, Amount("10"));
    } else {
      ADD_FAILURE() << "unexpected line class";
    }
  }
}

TEST_F(ReceiptParser, LinesAbsentChildrenAndAttributeWords) {
  const kReceipt& r = Parse(
      "<Type>Sale</Type><Lines>\n  <!-- first -->\n  <ProductSale/>"
      "<ProductSale><Attribute>Product</Attribute></ProductSale>"
      "<ProductSale><Attribute>goods</Attribute><FreeOfCharge>0</FreeOfCharge>"
      "<Amount>3</Amount></ProductSale>"
      "text between<VoucherSale><Price>2</Price></VoucherSale></Lines><Taxes/><Payments/>");
  ASSERT_EQ(r.fLines.size(), 4u);
  const auto& empty = dynamic_cast<const kReceiptLineProductSale&>(*r.fLines[0]);
  EXPECT_EQ(empty.fCode, "");
  EXPECT_EQ(empty.fAmount, Currency());
  EXPECT_FALSE(empty.fFreeOfCharge);
  EXPECT_EQ(empty.fAttribute, tkReceiptLineAttribute::rla_Service);
  EXPECT_EQ(dynamic_cast<const kReceiptLineProductSale&>(*r.fLines[1]).fAttribute,
            tkReceiptLineAttribute::rla_Product);
  EXPECT_EQ(dynamic_cast<const kReceiptLineProductSale&>(*r.fLines[2]).fAttribute,
            tkReceiptLineAttribute::rla_Service);
  EXPECT_EQ(r.GetCalculatedAmount(), Amount("5"));
}

TEST_F(ReceiptParser, AThousandLinesKeepTheirOrder) {
  std::string lines;
  for (int i = 0; i < 1000; ++i) {
    lines += "<ProductSale><Code>" + std::to_string(i) + "</Code><Amount>0.01</Amount>" +
             "</ProductSale>";
  }
  const kReceipt& r = Parse("<Type>Sale</Type><Lines>" + lines + "</Lines><Taxes/><Payments/>");
  ASSERT_EQ(r.fLines.size(), 1000u);
  for (size_t i = 0; i < r.fLines.size(); ++i) {
    ASSERT_EQ(dynamic_cast<const kReceiptLineProductSale&>(*r.fLines[i]).fCode, std::to_string(i));
  }
  EXPECT_EQ(r.GetCalculatedAmount(), Amount("10"));
}

// ---- amounts ----

TEST_F(ReceiptParser, AmountsAtTheLimitsAndNegativeAmountsAreKept) {
  const kReceipt& r = Parse(
      "<Type>Sale</Type><TotalAmount>922337203685477.5807</TotalAmount>"
      "<TipAmount>-922337203685477.5808</TipAmount><Lines>"
      "<ProductSale><Amount>-3.50</Amount></ProductSale>"
      "<DiscountAmount><Amount>-1</Amount></DiscountAmount>"
      "<ProductSale><Amount>0.00005</Amount></ProductSale>"
      "</Lines><Taxes/><Payments><Payment><Type>change</Type><Amount>-2.5</Amount>"
      "<Quantity>-1</Quantity><UnitPrice>1e3</UnitPrice></Payment></Payments>");
  EXPECT_EQ(r.fTotalAmount.Raw(), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(r.fTipAmount.Raw(), std::numeric_limits<int64_t>::min());
  ASSERT_EQ(r.fLines.size(), 3u);
  // Stored as given; the kind of line still decides the sign it adds.
  EXPECT_EQ(r.fLines[0]->GetAmount(), Amount("-3.5"));
  EXPECT_EQ(r.fLines[1]->GetAmount(), Amount("1"));
  EXPECT_EQ(r.fLines[2]->GetAmount(), Currency());  // half a ten-thousandth rounds to even
  EXPECT_EQ(r.GetCalculatedAmount(), Amount("-2.5"));
  ASSERT_EQ(r.fPayments.size(), 1u);
  EXPECT_EQ(r.fPayments[0].fAmount, Amount("-2.5"));
  EXPECT_EQ(r.fPayments[0].fQuantity, Amount("-1"));
  EXPECT_EQ(r.fPayments[0].fUnitPrice, Amount("1000"));
}

// ---- taxes and payments ----

TEST_F(ReceiptParser, TaxesAndPaymentsInOrderOthersSkipped) {
  const kReceipt& r = Parse(
      "<Type>Sale</Type><Lines/><Taxes>"
      "<Tax><Type>VAT</Type><Code>A</Code><Description>VAT 24%</Description><Rate>24</Rate>"
      "<TaxableAmount>10</TaxableAmount><TaxAmount>2.4</TaxAmount>"
      "<TotalAmount>12.4</TotalAmount></Tax>"
      "<tax><Type>bogus</Type></tax><Summary/>"
      "<Tax><Type>salestax</Type></Tax></Taxes><Payments>"
      "<Payment><Type>Cash</Type><Description>Cash €</Description><Amount>10</Amount>"
      "<Currency>EUR</Currency><Quantity>1</Quantity><UnitPrice>10</UnitPrice></Payment>"
      "<payment><Type>card</Type></payment><Note>x</Note>"
      "<Payment><Type>MEALVOUCHER</Type><Amount>2.40</Amount></Payment></Payments>");
  ASSERT_EQ(r.fTaxes.size(), 2u);
  const kReceiptTaxLine& vat = r.fTaxes[0];
  EXPECT_EQ(vat.fOwner, &r);
  EXPECT_EQ(vat.fTaxType, tkReceiptTaxType::tt_VAT);
  EXPECT_EQ(vat.fTaxCode, "A");
  EXPECT_EQ(vat.fTaxDescription, "VAT 24%");
  EXPECT_EQ(vat.fTaxRate, Amount("24"));
  EXPECT_EQ(vat.fTaxableAmount, Amount("10"));
  EXPECT_EQ(vat.fTaxAmount, Amount("2.4"));
  EXPECT_EQ(vat.fTotalAmount, Amount("12.4"));
  EXPECT_EQ(r.fTaxes[1].fTaxType, tkReceiptTaxType::tt_SalesTax);
  EXPECT_EQ(r.fTaxes[1].fTaxRate, Currency());

  ASSERT_EQ(r.fPayments.size(), 2u);
  const kReceiptPaymentLine& cash = r.fPayments[0];
  EXPECT_EQ(cash.fOwner, &r);
  EXPECT_EQ(cash.fPaymentType, tkReceiptPaymentType::rpt_Cash);
  EXPECT_EQ(cash.fDescription, "Cash €");
  EXPECT_EQ(cash.fAmount, Amount("10"));
  EXPECT_EQ(cash.fCurrency, "EUR");
  EXPECT_EQ(cash.fQuantity, Amount("1"));
  EXPECT_EQ(cash.fUnitPrice, Amount("10"));
  EXPECT_EQ(r.fPayments[1].fPaymentType, tkReceiptPaymentType::Rpt_MealVoucher);
  EXPECT_EQ(r.fPayments[1].fAmount, Amount("2.4"));
}

// ---- message lines ----

TEST_F(ReceiptParser, TrailerAndLeaderMessageLines) {
  const std::string messages =
      "<Text><Value>Thank you</Value><Size>2</Size><Alignment>Center</Alignment>"
      "<Effects>bold</Effects></Text>"
      "<Barcode><Value>123456789012</Value><Type>EAN13</Type><HRI>true</HRI></Barcode>"
      "<Image><Value>logo.bmp</Value><Alignment>left</Alignment></Image>"
      "<text><Alignment>x</Alignment></text><Other/>";
  const kReceipt& r = Parse(kRequired + "<TrailerMessages>" + messages +
                            "</TrailerMessages><LeaderLines>" + messages + "</LeaderLines>");
  for (const kReceiptMessageLines* section : {&r.fTrailerMessages, &r.fLeaderLines}) {
    const bool trailer = section == &r.fTrailerMessages;
    SCOPED_TRACE(trailer ? "trailer" : "leader");
    ASSERT_EQ(section->size(), 3u);
    const auto* text = dynamic_cast<const kReceiptMessageTextLine*>((*section)[0].get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->fOwner, &r);
    EXPECT_EQ(text->fValue, "Thank you");
    EXPECT_EQ(text->fSize, 2);
    EXPECT_EQ(text->fAlignment, tkReceiptMessageLineAlignment::la_center);
    EXPECT_EQ(text->fSection, tkReceiptSection::rs_lead);
    EXPECT_TRUE(text->fEffects.empty());

    const auto* barcode = dynamic_cast<const kReceiptMessageBarcodeLine*>((*section)[1].get());
    ASSERT_NE(barcode, nullptr);
    EXPECT_EQ(barcode->fOwner, &r);
    EXPECT_EQ(barcode->fValue, "123456789012");
    EXPECT_EQ(barcode->fBarcodeType, tkReceiptMessageBarcodeType::bt_EAN13);
    EXPECT_EQ(barcode->fHRI, trailer);  // only trailer barcodes read the flag

    const auto* image = dynamic_cast<const kReceiptMessageImageLine*>((*section)[2].get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->fOwner, &r);
    EXPECT_EQ(image->fAlignment, tkReceiptMessageLineAlignment::la_left);
    EXPECT_EQ(image->fValue, "");
  }
  // A leader barcode's flag is never read, so a bad one is no fault.
  EXPECT_EQ(Parse(kRequired +
                  "<LeaderLines><Barcode><Type>qrcode</Type><HRI>x</HRI></Barcode></LeaderLines>")
                .fLeaderLines.size(),
            1u);
}

// ---- texts ----

TEST_F(ReceiptParser, SpecialCharactersAreStoredAsParsed) {
  // Greek, an emoji, markup characters, separators the device uses and control characters.
  const std::string raw = "Καφές 😀 & | ^ <\x01\t>";
  const std::string escaped = "Καφές 😀 &amp; | ^ &lt;&#x1;\t&gt;";
  const kReceipt& r = Parse(
      "<Type>Sale</Type><CustomerName>" + escaped + "</CustomerName><Headers><H>" + escaped +
      "</H></Headers><Lines><ProductSale><Description>" + escaped +
      "</Description></ProductSale><Text><Description><![CDATA[" + raw +
      "]]></Description></Text></Lines><Taxes><Tax><Type>vat</Type><Description>" + escaped +
      "</Description></Tax></Taxes><Payments><Payment><Type>cash</Type><Description>" + escaped +
      "</Description></Payment></Payments><TrailerMessages><Text><Value>" + escaped +
      "</Value><Alignment>left</Alignment></Text><Barcode><Type>qrcode</Type><Value>" + escaped +
      "</Value></Barcode></TrailerMessages>");
  EXPECT_EQ(r.fCustomerName, raw);
  EXPECT_EQ(r.fHeaders.at(0), raw);
  const auto& product = dynamic_cast<const kReceiptLineProductSale&>(*r.fLines.at(0));
  EXPECT_EQ(product.fDescription, raw);
  EXPECT_EQ(dynamic_cast<const kReceiptLineText&>(*r.fLines.at(1)).fDescription, raw);
  EXPECT_EQ(r.fTaxes.at(0).fTaxDescription, raw);
  EXPECT_EQ(r.fPayments.at(0).fDescription, raw);
  EXPECT_EQ(r.fTrailerMessages.at(0)->fValue, raw);
  EXPECT_EQ(r.fTrailerMessages.at(1)->Value(), raw);  // barcode data is never normalized

  // What goes to the device is printable: every character outside ASCII becomes blanks.
  // Five Greek letters, a blank, the emoji's two UTF-16 units and a blank: nine blanks.
  const std::string printable = std::string(9, ' ') + "& | ^ <  >";
  EXPECT_EQ(product.Description(), printable);
  EXPECT_EQ(r.fTrailerMessages.at(0)->Value(), printable);
}

}  // namespace
}  // namespace nvrp
