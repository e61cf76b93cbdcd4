// Valid requests for the request fuzz target: one of each document kind, behind a full envelope.

#include <string>
#include <string_view>
#include <vector>

#include "fuzz_seeds.hpp"

namespace nvrp::fuzz {

namespace {

constexpr std::string_view kEnvelope = R"(<?xml version="1.0" encoding="UTF-8"?>
<Request>
  <Driver>NVRP_RORERER_10</Driver>
  <Handle>3</Handle>
  <LogId>fuzz</LogId>
  <Connection>
    <Type>http</Type>
    <Address>192.0.2.10</Address>
    <Port>80</Port>
    <AuthType>basic</AuthType>
    <ConnectTimeout>500</ConnectTimeout>
  </Connection>
  <Parameters>
    <GetReceiptText>true</GetReceiptText>
    <ConnectTimeout>750</ConnectTimeout>
  </Parameters>
)";

constexpr std::string_view kReceipt = R"(<Receipt>
  <Type>Sale</Type>
  <Number>1042</Number>
  <DateTime>2024-03-01T14:05:09</DateTime>
  <StoreCode>ATH01</StoreCode>
  <TotalAmount>17.60</TotalAmount>
  <Headers><H><Value>Deli Plaka</Value><Alignment>center</Alignment></H></Headers>
  <Lines>
    <ProductSale><Code>520100</Code><Description>Φέτα ΠΟΠ 400g</Description>
      <Quantity>2</Quantity><Department>1</Department><TaxCode>A</TaxCode><Price>2.50</Price>
      <Amount>5.00</Amount><Attribute>product</Attribute></ProductSale>
    <WeightedProductSale><Description>Olives</Description><Quantity>0.350</Quantity>
      <Tare>0.010</Tare><UnitPrice>12.00</UnitPrice><Amount>4.20</Amount></WeightedProductSale>
    <ProductReturn><Description>Bottle</Description><Quantity>1</Quantity><Price>0.10</Price>
      <Amount>0.10</Amount></ProductReturn>
    <VoucherSale><Description>Gift voucher</Description><Amount>10</Amount></VoucherSale>
    <Text><Value>&lt;promo&gt; &amp; <![CDATA[raw ]] text]]></Value></Text>
    <SubTotal><Amount>19.10</Amount></SubTotal>
    <DiscountAmount><Amount>0.90</Amount><Description>Loyalty</Description></DiscountAmount>
    <DiscountPercentage><Percentage>5</Percentage><Amount>0.90</Amount></DiscountPercentage>
    <MarkupAmountOnSubtotal><Amount>0.30</Amount></MarkupAmountOnSubtotal>
    <CollectAmount><Description>Deposit</Description><Amount>1.00</Amount></CollectAmount>
  </Lines>
  <Taxes><Tax><Type>VAT</Type><Code>A</Code><Rate>24</Rate><TaxableAmount>14.19</TaxableAmount>
    <TaxAmount>3.41</TaxAmount><TotalAmount>17.60</TotalAmount></Tax></Taxes>
  <Payments>
    <Payment><Type>Cash</Type><Description>Cash</Description><Amount>10.00</Amount></Payment>
    <Payment><Type>CreditCard</Type><Amount>7.60</Amount><TipAmount>0.50</TipAmount></Payment>
  </Payments>
  <References><Reference><Type>OriginalReceipt</Type><ReceiptNumber>12</ReceiptNumber>
    <ReceiptDateTime>2024-02-28T10:00:00</ReceiptDateTime></Reference></References>
  <TrailerMessages><Text><Value>Efcharistoume!</Value><Size>2</Size>
    <Alignment>center</Alignment><Effects>bold,italic</Effects></Text>
    <Barcode><Value>https://example.org/r?id=1&amp;x=2</Value><Type>qrcode</Type>
    <HRI>true</HRI></Barcode></TrailerMessages>
</Receipt>
)";

constexpr std::string_view kNFReceipt = R"(<NFReceipt><StoreCode>S1</StoreCode><Number>77</Number>
  <DateTime>2024-03-01 14:05:09.250</DateTime>
  <Header><Lines><Text><Value>Title</Value><Size>2</Size><Alignment>Center</Alignment>
    <Effects>bold,,italic</Effects></Text></Lines></Header>
  <Lines><Text><Value>body</Value><Alignment>left</Alignment></Text>
    <Barcode><Value>123</Value><Type>code128</Type><HRI>true</HRI></Barcode></Lines>
  <Footer><Lines><Image><Value>logo.bmp</Value><Source>FileSystem</Source>
    <Alignment>right</Alignment></Image></Lines></Footer>
</NFReceipt>
)";

constexpr std::string_view kTables = R"(<VATTable>
  <Vat><Code>A</Code><Description>Normal</Description><Rate>24</Rate></Vat>
  <Vat><Code>B</Code><Rate>6.5</Rate></Vat>
</VATTable>
<DeptTable>
  <Dept><Code>1</Code><Description>Food</Description><VATCode>A</VATCode>
    <SalesType>product</SalesType><EACode>EA1</EACode><EADescription>Retail</EADescription>
    <EAVATMode>1</EAVATMode></Dept>
  <Dept><Code>2</Code><Description>Service</Description><SalesType>services</SalesType>
    <EACode>ea1</EACode></Dept>
</DeptTable>
)";

constexpr std::string_view kPayment = R"(<Payment><StoreCode>S</StoreCode><TillCode>T</TillCode>
  <Reference>R-1</Reference><Amount>12.345</Amount><Currency>EUR</Currency>
  <PrintLocation>EFT</PrintLocation><Copies>2</Copies><ReceiptId>77</ReceiptId>
</Payment>
)";

constexpr std::string_view kJournal = R"(<EJReport><ReportType>FiscalReceipt</ReportType>
  <ReportDestination>Memory</ReportDestination><StartDate>2024-03-01T00:00:00</StartDate>
  <EndDate>2024-03-01T23:59:59</EndDate><StartNumber>1</StartNumber><EndNumber>9</EndNumber>
</EJReport>
<EJRequest><RequestType>XML</RequestType><StartDate/><EndDate>2024-03-02T08:00:00</EndDate>
  <OutputDir>/tmp/ej</OutputDir></EJRequest>
)";

constexpr std::string_view kSmallDocuments = R"(<Display><Clear>true</Clear><Lines>
  <Text><Value>Hello</Value><Alignment>right</Alignment></Text></Lines></Display>
<Drawer><Number>1</Number></Drawer>
<ReceiptReference><ReceiptType>Refund</ReceiptType><ReceiptNumber>0042</ReceiptNumber>
  <ReceiptDateTime>2024-03-01T14:05:09</ReceiptDateTime></ReceiptReference>
<XReport><StoreCode>SX</StoreCode><TillCode>TX</TillCode></XReport>
<ZReport><StoreCode>SZ</StoreCode><TillCode>TZ</TillCode></ZReport>
)";

std::string Request(std::string_view aDocuments) {
  return std::string(kEnvelope) + std::string(aDocuments) + "</Request>\n";
}

}  // namespace

std::vector<std::string> FuzzSeeds() {
  std::string everything;
  for (const std::string_view part :
       {kReceipt, kNFReceipt, kTables, kPayment, kJournal, kSmallDocuments}) {
    everything += part;
  }
  return {Request(kReceipt), Request(kNFReceipt),      Request(kTables),   Request(kPayment),
          Request(kJournal), Request(kSmallDocuments), Request(everything)};
}

std::vector<std::string_view> FuzzValues() {
  return {"",
          " ",
          "-",
          "0",
          "-0",
          "+1",
          "2147483648",
          "-2147483649",
          "99999999999999999999",
          "922337203685477.5808",
          "-922337203685477.5809",
          "1e309",
          "1e-400",
          "1E+15",
          "0.00005",
          "NaN",
          "inf",
          "2024-02-30T10:00:00",
          "0000-00-00T00:00:00",
          "9999-12-31T23:59:59.999",
          "2024-03-01T24:00:00",
          "2024-03-01",
          "true",
          "FALSE",
          "sale",
          "INVOICESALEFROMRECEIPT",
          "bold,italic,,",
          ",",
          "TOTALE",
          "ÀÉÎÕÜ€",
          "&amp;&lt;&#x20AC;",
          "<x/>",
          "<![CDATA[<Receipt/>]]>"};
}

}  // namespace nvrp::fuzz
