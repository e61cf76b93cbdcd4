#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/nv_exception.hpp"
#include "documents/document_parsers.hpp"
#include "documents/request_xml.hpp"

namespace nvrp {
namespace {

using Parse = std::function<void(const pugi::xml_document&)>;

const std::string kCrLf = "\r\n";

pugi::xml_document Doc(const std::string& documents) {
  return ParseRequestXml("<Request><Handle>1</Handle>" + documents + "</Request>");
}

// A parse of the given document into a fresh object.
template <typename TDocument>
Parse Into(void (*aParser)(const pugi::xml_document&, TDocument&)) {
  return [aParser](const pugi::xml_document& document) {
    TDocument object;
    aParser(document, object);
  };
}

std::string ErrorOf(const Parse& parse, const std::string& documents) {
  try {
    parse(Doc(documents));
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

Currency Amount(const char* text) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(text, value)) << text;
  return value;
}

DateTime At(int year, int month, int day, int hour, int minute, int second) {
  return EncodeDateTime({year, month, day, hour, minute, second, 0});
}

template <typename TLine>
const TLine& LineAs(const kReceiptMessageLines& lines, size_t index) {
  const auto* line = dynamic_cast<const TLine*>(lines.at(index).get());
  if (line == nullptr) throw Exception("line " + std::to_string(index) + " has another kind");
  return *line;
}

// ---- errors of every document, in the order each parser meets them ----

TEST(DocumentParsers, ReportTheFirstFault) {
  const Parse nf = Into(DeserializeNFReceipt);
  const Parse display = Into(DeserializeCustomerDisplay);
  const Parse drawer = Into(DeserializeDrawer);
  const Parse ejReport = Into(DeserializeEJReport);
  const Parse vat = Into(DeserializeVatTable);
  const Parse activities = Into(DeserializeEconomicActivityTable);
  const Parse depts = Into(DeserializeDeptTable);
  const Parse payment = Into(DeserializePaymentReceipt);
  const Parse reference = Into(DeserializeReceiptReference);
  const Parse ejRequest = Into(DeserializeEJFilesRequest);
  const std::string text = "<Text><Value>v</Value><Alignment>left</Alignment>";
  const std::string ej =
      "<ReportType>zreport</ReportType><ReportDestination>memory"
      "</ReportDestination>";
  struct Case {
    const char* what;
    const Parse& parse;
    std::string documents;
    std::string expected;
  };
  const Case cases[] = {
      // Absent documents; the name is exact and must sit directly under the root.
      {"nf absent", nf, "<Receipt/>", "NFReceipt node not found"},
      {"nf lower case", nf, "<nfreceipt/>", "NFReceipt node not found"},
      {"display nested", display, "<Envelope><Display/></Envelope>", "Display node not found"},
      {"drawer", drawer, "", "Drawer node not found"},
      {"ejreport", ejReport, "", "EJReport node not found"},
      {"vat", vat, "<VatTable/>", "VATTable node not found"},
      {"activities", activities, "", "DeptTable node not found"},
      {"depts", depts, "", "DeptTable node not found"},
      {"payment", payment, "<Payments/>", "Payment node not found"},
      {"reference", reference, "", "ReceiptReference node not found"},
      {"ejrequest", ejRequest, "<EJReport/>", "EJRequest node not found"},

      // Non-fiscal receipt: header values, then header, body and footer lines.
      {"nf date", nf, "<NFReceipt><DateTime>2024-02-30T10:00:00</DateTime></NFReceipt>",
       "Error in processing node DateTime as datetime." + kCrLf +
           "DateTime Format invalid: [2024-02-30T10:00:00]"},
      {"nf layout first", nf, "<NFReceipt><Layout><a/></Layout><DateTime>x</DateTime></NFReceipt>",
       "Error in processing node Layout as string." + kCrLf + "Element has child elements"},
      {"nf text alignment", nf,
       "<NFReceipt><Lines><Text><Value>v</Value></Text></Lines></NFReceipt>",
       "Alignment  is invalid"},
      {"nf text size before alignment", nf,
       "<NFReceipt><Lines><Text><Size>2.5</Size></Text></Lines></NFReceipt>",
       "Error in processing node Size as integer." + kCrLf + "'2.5' is not a valid integer value"},
      {"nf effect with blank", nf,
       "<NFReceipt><Lines>" + text + "<Effects>bold, italic</Effects></Text></Lines></NFReceipt>",
       "Effect  italic is invalid"},
      {"nf barcode type", nf,
       "<NFReceipt><Lines><Barcode><Value>1</Value><Type>ean</Type></Barcode></Lines></NFReceipt>",
       "BarcodeType ean is invalid"},
      {"nf image alignment before source", nf,
       "<NFReceipt><Lines><Image><Source>disk</Source></Image></Lines></NFReceipt>",
       "Alignment  is invalid"},
      {"nf image source", nf,
       "<NFReceipt><Footer><Lines><Image><Alignment>center</Alignment><Source>Disk</Source>"
       "</Image></Lines></Footer></NFReceipt>",
       "Image Source disk is invalid"},
      {"nf header before body", nf,
       "<NFReceipt><Lines><Text/></Lines><Header><Lines><Barcode/></Lines></Header></NFReceipt>",
       "BarcodeType  is invalid"},
      {"nf body before footer", nf,
       "<NFReceipt><Footer><Lines><Image/></Lines></Footer><Lines><Barcode/></Lines></NFReceipt>",
       "BarcodeType  is invalid"},

      // Display.
      {"display clear", display, "<Display><Clear/></Display>",
       "Error in processing node Clear as boolean." + kCrLf + "'' is not a valid boolean value"},
      {"display alignment", display,
       "<Display><Lines><Text><Value>v</Value><Alignment>middle</Alignment></Text></Lines>"
       "</Display>",
       "Alignment middle is invalid"},

      {"drawer number", drawer, "<Drawer><Number>one</Number></Drawer>",
       "Error in processing node Number as integer." + kCrLf +
           "'one' is not a valid integer value"},

      // Journal report: type, destination, then the required dates without a node prefix.
      {"ej type", ejReport, "<EJReport><ReportType>receipt</ReportType></EJReport>",
       "ReportType receipt is invalid"},
      {"ej destination", ejReport,
       "<EJReport><ReportType>Invoice</ReportType><ReportDestination/></EJReport>",
       "ReportDestination  is invalid"},
      {"ej start date absent", ejReport,
       "<EJReport>" + ej + "<StartNumber>1</StartNumber><EndNumber>9</EndNumber></EJReport>",
       "DateTime Format invalid: []"},
      {"ej start date empty", ejReport,
       "<EJReport>" + ej + "<StartDate/><EndDate>2024-03-01T23:59:59</EndDate></EJReport>",
       "DateTime Format invalid: []"},
      {"ej end date", ejReport,
       "<EJReport>" + ej +
           "<StartDate>2024-03-01T00:00:00</StartDate><EndDate>2024-03-01"
           "</EndDate></EJReport>",
       "DateTime Format invalid: [2024-03-01]"},

      {"vat rate", vat, "<VATTable><Vat><Rate>22,0</Rate></Vat></VATTable>",
       "Error in processing node Rate as currency." + kCrLf +
           "'22,0' is not a valid floating point value"},
      {"activity code", activities, "<DeptTable><D><EACode><x/></EACode></D></DeptTable>",
       "Error in processing node EACode as string." + kCrLf + "Element has child elements"},
      {"dept sales type", depts, "<DeptTable><D><SalesType><x/></SalesType></D></DeptTable>",
       "Error in processing node SalesType as string." + kCrLf + "Element has child elements"},

      // Payment: copies, then the codes and amount, then the print location.
      {"payment copies first", payment, "<Payment><Copies>two</Copies><Amount>x</Amount></Payment>",
       "Error in processing node Copies as integer." + kCrLf +
           "'two' is not a valid integer value"},
      {"payment amount before location", payment,
       "<Payment><PrintLocation>X</PrintLocation><Amount>1,50</Amount></Payment>",
       "Error in processing node Amount as currency." + kCrLf +
           "'1,50' is not a valid floating point value"},
      {"payment location lower case", payment,
       "<Payment><PrintLocation>eft</PrintLocation></Payment>",
       "Payment Location eft invalid. Allowed values are: ECR,EFT."},
      {"payment location blank", payment, "<Payment><PrintLocation> ECR</PrintLocation></Payment>",
       "Payment Location  ECR invalid. Allowed values are: ECR,EFT."},

      // Receipt reference: the type is required; a given date must be valid.
      {"reference type", reference, "<ReceiptReference/>", "ReceiptType  is invalid"},
      {"reference date", reference,
       "<ReceiptReference><ReceiptType>sale</ReceiptType><ReceiptDateTime>2024-13-01T00:00:00"
       "</ReceiptDateTime></ReceiptReference>",
       "Error in processing node ReceiptDateTime as datetime." + kCrLf +
           "DateTime Format invalid: [2024-13-01T00:00:00]"},
      {"reference blank date", reference,
       "<ReceiptReference><ReceiptType>sale</ReceiptType><ReceiptDateTime> </ReceiptDateTime>"
       "</ReceiptReference>",
       "Error in processing node ReceiptDateTime as datetime." + kCrLf +
           "DateTime Format invalid: [ ]"},

      {"ejrequest type", ejRequest, "<EJRequest><RequestType>JSON</RequestType></EJRequest>",
       "EJ Request Type json is invalid"},
      {"ejrequest type absent", ejRequest, "<EJRequest/>", "EJ Request Type  is invalid"},
      {"ejrequest date", ejRequest,
       "<EJRequest><RequestType>xml</RequestType><EndDate>yesterday</EndDate></EJRequest>",
       "Error in processing node EndDate as datetime." + kCrLf +
           "DateTime Format invalid: [yesterday]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf(c.parse, c.documents), c.expected) << c.what;
  }
}

// ---- non-fiscal receipt ----

TEST(NFReceiptParser, ReadsHeaderValuesAndTheThreeSectionsInOrder) {
  const std::string request =
      "<NFReceipt><StoreCode>S1</StoreCode><TillCode>T2</TillCode><Number>77</Number>"
      "<DateTime>2024-03-01T14:05:09</DateTime><CountryCode>GR</CountryCode>"
      "<CompanyCode>C</CompanyCode><CompanyTaxCode>TX</CompanyTaxCode>"
      "<OperatorCode>OP</OperatorCode>"
      "<Header><Lines><Text><Value>Title</Value><Size>2</Size><Alignment>Center</Alignment>"
      "<Effects>bold,,italic</Effects></Text></Lines></Header>"
      "<Lines><Text><Value>body</Value><Alignment>left</Alignment></Text><Note/>"
      "<Barcode><Value>123</Value><Type>code128</Type><HRI>true</HRI></Barcode>"
      "<text><Value>skipped</Value></text></Lines>"
      "<Footer><Lines><Image><Value>logo.bmp</Value><Source>FileSystem</Source>"
      "<Alignment>right</Alignment></Image></Lines></Footer></NFReceipt>";
  kNFReceipt nf;
  DeserializeNFReceipt(Doc(request), nf);

  EXPECT_EQ(nf.fLayout, "DocumentLayout");
  EXPECT_TRUE(nf.fDefaultLayout);
  EXPECT_EQ(nf.fStoreCode, "S1");
  EXPECT_EQ(nf.fTillCode, "T2");
  EXPECT_EQ(nf.fReceiptNumber, "77");
  EXPECT_EQ(nf.fReceiptDateTime, At(2024, 3, 1, 14, 5, 9));
  EXPECT_EQ(nf.fCountryCode, "GR");
  EXPECT_EQ(nf.fCompanyCode, "C");
  EXPECT_EQ(nf.fCompanyTaxCode, "TX");
  EXPECT_EQ(nf.fOperatorCode, "OP");

  ASSERT_EQ(nf.fHeaderLines.size(), 1u);
  const auto& title = LineAs<kReceiptMessageTextLine>(nf.fHeaderLines, 0);
  EXPECT_EQ(title.fValue, "Title");
  EXPECT_EQ(title.fSize, 2);
  EXPECT_EQ(title.fAlignment, tkReceiptMessageLineAlignment::la_center);
  EXPECT_EQ(title.fEffects, tkReceiptMessageLineEffectSet{tkReceiptMessageLineEffect::le_bold});
  EXPECT_EQ(title.fSection, tkReceiptSection::rs_lead);
  EXPECT_EQ(title.fNFOwner, &nf);
  EXPECT_EQ(title.fOwner, nullptr);

  ASSERT_EQ(nf.fLines.size(), 2u);
  const auto& body = LineAs<kReceiptMessageTextLine>(nf.fLines, 0);
  EXPECT_EQ(body.fValue, "body");
  EXPECT_EQ(body.fSize, 0);
  EXPECT_TRUE(body.fEffects.empty());
  EXPECT_EQ(body.fSection, tkReceiptSection::rs_body);
  const auto& barcode = LineAs<kReceiptMessageBarcodeLine>(nf.fLines, 1);
  EXPECT_EQ(barcode.fValue, "123");
  EXPECT_EQ(barcode.fBarcodeType, tkReceiptMessageBarcodeType::bt_CODE128);
  EXPECT_FALSE(barcode.fHRI);
  EXPECT_EQ(barcode.fSection, tkReceiptSection::rs_body);
  EXPECT_EQ(barcode.fNFOwner, &nf);

  ASSERT_EQ(nf.fFooterLines.size(), 1u);
  const auto& logo = LineAs<kReceiptMessageImageLine>(nf.fFooterLines, 0);
  EXPECT_EQ(logo.fValue, "logo.bmp");
  EXPECT_EQ(logo.fSource, tkReceiptMessageImageSource::is_FileSystem);
  EXPECT_EQ(logo.fAlignment, tkReceiptMessageLineAlignment::la_right);
  EXPECT_EQ(logo.fSection, tkReceiptSection::rs_trail);
  EXPECT_EQ(logo.fNFOwner, &nf);
}

TEST(NFReceiptParser, NamedLayoutAndMissingSections) {
  kNFReceipt nf;
  DeserializeNFReceipt(
      Doc("<NFReceipt><Layout>Slim</Layout><Header/><Footer><Text/></Footer>"
          "<Lines><Text><Value>only</Value><Alignment>left</Alignment></Text></Lines>"
          "</NFReceipt>"),
      nf);
  EXPECT_EQ(nf.fLayout, "Slim");
  EXPECT_FALSE(nf.fDefaultLayout);
  EXPECT_EQ(nf.fReceiptDateTime, 0);
  EXPECT_TRUE(nf.fHeaderLines.empty());
  EXPECT_TRUE(nf.fFooterLines.empty());  // lines directly under "Footer" are not footer lines
  EXPECT_EQ(nf.fLines.size(), 1u);
}

// ---- customer display ----

TEST(CustomerDisplayParser, KeepsOnlyTextLinesWithValueAndAlignment) {
  kCustomerDisplay display;
  DeserializeCustomerDisplay(
      Doc("<Display><Clear>1</Clear><Lines>"
          "<Text><Value>Hello</Value><Size>x</Size><Effects>nope</Effects>"
          "<Alignment>right</Alignment></Text>"
          "<Barcode><Type>bad</Type></Barcode><Image/>"
          "<Text><Value>World</Value><Alignment>left</Alignment></Text></Lines></Display>"),
      display);
  EXPECT_TRUE(display.fClear);
  ASSERT_EQ(display.fLines.size(), 2u);
  const auto& hello = LineAs<kReceiptMessageTextLine>(display.fLines, 0);
  EXPECT_EQ(hello.fValue, "Hello");
  EXPECT_EQ(hello.fAlignment, tkReceiptMessageLineAlignment::la_right);
  EXPECT_EQ(hello.fSize, 0);
  EXPECT_TRUE(hello.fEffects.empty());
  EXPECT_EQ(hello.fSection, tkReceiptSection::rs_lead);
  EXPECT_EQ(hello.fOwner, nullptr);
  EXPECT_EQ(hello.fNFOwner, nullptr);
  EXPECT_EQ(LineAs<kReceiptMessageTextLine>(display.fLines, 1).fValue, "World");

  kCustomerDisplay bare;
  DeserializeCustomerDisplay(Doc("<Display/>"), bare);
  EXPECT_FALSE(bare.fClear);
  EXPECT_TRUE(bare.fLines.empty());
}

// ---- drawer ----

TEST(DrawerParser, NumberDefaultsToZero) {
  const struct {
    std::string documents;
    int32_t number;
  } cases[] = {
      {"<Drawer/>", 0},
      {"<Drawer><Number/></Drawer>", 0},
      {"<Drawer><Number>2</Number></Drawer>", 2},
      {"<Drawer><Number>-1</Number></Drawer>", -1},
  };
  for (const auto& c : cases) {
    kDrawer drawer;
    drawer.fNumber = 99;
    DeserializeDrawer(Doc(c.documents), drawer);
    EXPECT_EQ(drawer.fNumber, c.number) << c.documents;
  }
}

// ---- electronic journal ----

TEST(EJReportParser, ReadsTypeDestinationDatesAndLenientNumbers) {
  const std::string head =
      "<EJReport><ReportType>FiscalReceipt</ReportType><ReportDestination>Memory"
      "</ReportDestination><StartDate>2024-03-01T00:00:00</StartDate>"
      "<EndDate>2024-03-01 23:59:59.250</EndDate>";
  const struct {
    std::string numbers;
    int32_t start;
    int32_t end;
  } cases[] = {
      {"<StartNumber>12</StartNumber><EndNumber>-3</EndNumber>", 12, -3},
      {"<StartNumber>abc</StartNumber><EndNumber/>", 0, 0},
      {"<StartNumber> 5</StartNumber><EndNumber>99999999999</EndNumber>", 0, 0},
      {"", 0, 0},
  };
  for (const auto& c : cases) {
    kEJReport report;
    DeserializeEJReport(Doc(head + c.numbers + "</EJReport>"), report);
    EXPECT_EQ(report.fReportType, tkEJReportType::ejrt_FiscalReceipt);
    EXPECT_EQ(report.fDestination, tkEJReportDestination::rd_Memory);
    EXPECT_EQ(report.fStartDate, At(2024, 3, 1, 0, 0, 0));
    EXPECT_EQ(report.fEndDate, EncodeDateTime({2024, 3, 1, 23, 59, 59, 250}));
    EXPECT_EQ(report.fStartNumber, c.start) << c.numbers;
    EXPECT_EQ(report.fEndNumber, c.end) << c.numbers;
  }
}

TEST(EJFilesRequestParser, DatesAreOptional) {
  kEJFilesRequest request;
  DeserializeEJFilesRequest(
      Doc("<EJRequest><RequestType>XML</RequestType><StartDate/>"
          "<EndDate>2024-03-02T08:00:00</EndDate><OutputDir>/tmp/ej</OutputDir></EJRequest>"),
      request);
  EXPECT_EQ(request.fReqType, tkEJFilesRequestType::ej_xml);
  EXPECT_EQ(request.fStartDate, 0);
  EXPECT_EQ(request.fEndDate, At(2024, 3, 2, 8, 0, 0));
  EXPECT_EQ(request.fOutputDir, "/tmp/ej");
}

// ---- tables ----

TEST(VatTableParser, EveryChildIsARate) {
  kVatTable table;
  DeserializeVatTable(Doc("<VATTable><Vat><Code>A</Code><Description>Normal</Description>"
                          "<Rate>24</Rate></Vat>text<Anything><Code>B</Code><Rate>6.5</Rate>"
                          "</Anything><Vat/></VATTable>"),
                      table);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].fCode, "A");
  EXPECT_EQ(table[0].fDescription, "Normal");
  EXPECT_EQ(table[0].fRate, Amount("24"));
  EXPECT_EQ(table[1].fCode, "B");
  EXPECT_EQ(table[1].fRate, Amount("6.5"));
  EXPECT_EQ(table[2].fRate, Amount("0"));
  for (const kVat& vat : table) EXPECT_EQ(vat.fIndex, 0);
}

TEST(DeptTableParser, ActivitiesAreNumberedOnFirstAppearance) {
  const auto dept = [](const std::string& code, const std::string& salesType,
                       const std::string& eaCode, const std::string& eaExtra) {
    return "<Dept><Code>" + code + "</Code><Description>D" + code + "</Description><VATCode>V" +
           code + "</VATCode><SalesType>" + salesType + "</SalesType><EACode>" + eaCode +
           "</EACode>" + eaExtra + "</Dept>";
  };
  const std::string request =
      "<DeptTable>" +
      dept("1", "SERVICE", "EA1", "<EADescription>First</EADescription><EAVATMode>1</EAVATMode>") +
      dept("2", "services", "", "<EADescription>None</EADescription>") +
      dept("3", "product", "EA1", "<EADescription>Again</EADescription>") +
      dept("4", "", "ea1", "<EAVATMode>true</EAVATMode>") + "</DeptTable>";

  kEconomicActivityTable activities;
  DeserializeEconomicActivityTable(Doc(request), activities);
  ASSERT_EQ(activities.size(), 2u);
  EXPECT_EQ(activities[0].fIndex, 1);
  EXPECT_EQ(activities[0].fCode, "EA1");
  EXPECT_EQ(activities[0].fDescription, "First");
  EXPECT_TRUE(activities[0].fVentilazione);
  EXPECT_EQ(activities[1].fIndex, 2);
  EXPECT_EQ(activities[1].fCode, "ea1");
  EXPECT_FALSE(activities[1].fVentilazione);

  kDeptTable departments;
  DeserializeDeptTable(Doc(request), departments);
  ASSERT_EQ(departments.size(), 4u);
  using ST = tkDepartmentSalesType;
  const ST salesTypes[] = {ST::st_Service, ST::st_Product, ST::st_Product, ST::st_Product};
  const char* eaCodes[] = {"EA1", "", "EA1", "ea1"};
  for (size_t i = 0; i < departments.size(); ++i) {
    const std::string code = std::to_string(i + 1);
    EXPECT_EQ(departments[i].fIndex, 0);
    EXPECT_EQ(departments[i].fCode, code);
    EXPECT_EQ(departments[i].fDescription, "D" + code);
    EXPECT_EQ(departments[i].fVATCode, "V" + code);
    EXPECT_EQ(departments[i].fSalesType, salesTypes[i]) << i;
    EXPECT_EQ(departments[i].fEACode, eaCodes[i]);
  }
}

// ---- payment ----

TEST(PaymentParser, ReadsTheRequest) {
  kPaymentReceipt payment;
  DeserializePaymentReceipt(
      Doc("<Payment><StoreCode>S</StoreCode><TillCode>T</TillCode><Reference>R-1</Reference>"
          "<Amount>12.345</Amount><Currency>EUR</Currency><PrintLocation>EFT</PrintLocation>"
          "<Copies>2</Copies><ReceiptId>77</ReceiptId><RawResponse>x</RawResponse></Payment>"),
      payment);
  EXPECT_EQ(payment.fStoreCode, "S");
  EXPECT_EQ(payment.fTillCode, "T");
  EXPECT_EQ(payment.fReference, "R-1");
  EXPECT_EQ(payment.fAmount, Amount("12.345"));
  EXPECT_EQ(payment.fCurrency, "EUR");
  EXPECT_EQ(payment.fPrintLocation, TkPrintLocation::pl_EFT);
  EXPECT_EQ(payment.fCopies, 2);
  EXPECT_EQ(payment.fReceiptId, "77");
  EXPECT_EQ(payment.fRawResponse, "");  // filled by the payment, never by the request
  EXPECT_TRUE(payment.fReceiptLines.empty());
}

TEST(PaymentParser, CopiesAndPrintLocationDefaults) {
  const struct {
    std::string content;
    int32_t copies;
    TkPrintLocation location;
  } cases[] = {
      {"", 0, TkPrintLocation::pl_ECR},
      {"<Copies/><PrintLocation/>", 0, TkPrintLocation::pl_ECR},
      {"<Copies>-3</Copies><PrintLocation>ECR</PrintLocation>", 0, TkPrintLocation::pl_ECR},
      {"<Copies>0</Copies>", 0, TkPrintLocation::pl_ECR},
      {"<Copies>1</Copies><PrintLocation>EFT</PrintLocation>", 1, TkPrintLocation::pl_EFT},
  };
  for (const auto& c : cases) {
    kPaymentReceipt payment;
    DeserializePaymentReceipt(Doc("<Payment>" + c.content + "</Payment>"), payment);
    EXPECT_EQ(payment.fCopies, c.copies) << c.content;
    EXPECT_EQ(payment.fPrintLocation, c.location) << c.content;
  }
}

// ---- receipt reference ----

TEST(ReceiptReferenceParser, DateIsOptional) {
  const std::string tail =
      "<EJNumber>5</EJNumber><EJClosingNumber>12</EJClosingNumber>"
      "<ReceiptNumber>0042</ReceiptNumber><DeviceSerialNumber>SN9</DeviceSerialNumber>";
  const struct {
    std::string date;
    DateTime expected;
  } cases[] = {
      {"", 0},
      {"<ReceiptDateTime/>", 0},
      {"<ReceiptDateTime></ReceiptDateTime>", 0},
      {"<ReceiptDateTime>2024-03-01T14:05:09</ReceiptDateTime>", At(2024, 3, 1, 14, 5, 9)},
  };
  for (const auto& c : cases) {
    kReceiptReference reference;
    DeserializeReceiptReference(Doc("<ReceiptReference><ReceiptType>Refund</ReceiptType>" + c.date +
                                    tail + "</ReceiptReference>"),
                                reference);
    EXPECT_EQ(reference.fReceiptType, tkReceiptType::rt_Refund);
    EXPECT_EQ(reference.fEJNumber, "5");
    EXPECT_EQ(reference.fEJClosingNumber, "12");
    EXPECT_EQ(reference.fReceiptDateTime, c.expected) << c.date;
    EXPECT_EQ(reference.fReceiptNumber, "0042");
    EXPECT_EQ(reference.fDeviceSerialNumber, "SN9");
  }
}

// ---- X and Z reports ----

TEST(ReportRequestParsers, AbsentElementIsNoError) {
  kXReport x;
  kZReport z;
  DeserializeXReport(Doc(""), x);
  DeserializeZReport(Doc("<XReport><StoreCode>S</StoreCode></XReport>"), z);
  EXPECT_EQ(x.fStoreCode, "");
  EXPECT_EQ(x.fTillCode, "");
  EXPECT_EQ(z.fStoreCode, "");
  EXPECT_EQ(z.fTillCode, "");

  const std::string both =
      "<XReport><StoreCode>SX</StoreCode><TillCode>TX</TillCode></XReport>"
      "<ZReport><StoreCode>SZ</StoreCode><TillCode>TZ</TillCode></ZReport>";
  DeserializeXReport(Doc(both), x);
  DeserializeZReport(Doc(both), z);
  EXPECT_EQ(x.fStoreCode, "SX");
  EXPECT_EQ(x.fTillCode, "TX");
  EXPECT_EQ(z.fStoreCode, "SZ");
  EXPECT_EQ(z.fTillCode, "TZ");
}

}  // namespace
}  // namespace nvrp
