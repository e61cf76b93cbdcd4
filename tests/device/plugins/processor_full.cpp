// A fiscal processor with all five exports. Requests containing "fail" are refused with the
// error "refused: <request>"; "badxml" and "badvalue" give answers that cannot be read. A
// receipt request containing "rewrite" is answered with a request for another receipt (one
// sale "Rewritten" of 7 in department 1 paid "Processed cash", no total); any other receipt request
// with "processed:" before it.
#include <string>

#include "plugin_export.hpp"

using namespace nvrp;
using nvrp::test_plugin::Answer;
using nvrp::test_plugin::Contains;

namespace {

int16_t Refuse(BSTR aXmlIn, BSTR* aErrorMessage) {
  Answer(aErrorMessage, "refused: " + OleToUtf8(aXmlIn));
  return 1;
}

constexpr const char* kRewrittenRequest =
    "<Request><Receipt><Type>Sale</Type><Lines><ProductSale><Description>Rewritten</Description>"
    "<Quantity>1</Quantity><Department>1</Department><Price>7</Price><Amount>7</Amount>"
    "</ProductSale></Lines><Taxes/><Payments><Payment><Type>cash</Type>"
    "<Description>Processed cash</Description><Amount>7</Amount></Payment></Payments>"
    "</Receipt></Request>";

std::string ReportAnswer(BSTR aXmlIn, int aNumber) {
  if (Contains(aXmlIn, "badxml")) return "<Report><Text>open";
  const std::string grandTotal = Contains(aXmlIn, "badvalue") ? "abc" : "1000.5";
  return "<Report><GrandTotalAmount>" + grandTotal +
         "</GrandTotalAmount><GrandTotalRefundsAmount>20</GrandTotalRefundsAmount>"
         "<GrandTotalVoidsAmount>30</GrandTotalVoidsAmount><DayTotalAmount>40.25"
         "</DayTotalAmount><DayDiscountsAmount>5</DayDiscountsAmount><DayReturnsAmount>6"
         "</DayReturnsAmount><DayRefundsAmount>7</DayRefundsAmount><DayVoidsAmount>8"
         "</DayVoidsAmount><DayReceiptsNumber>12</DayReceiptsNumber><DayRefundsNumber>2"
         "</DayRefundsNumber><ReportNumber>" +
         std::to_string(aNumber) +
         "</ReportNumber><ReportDateTime>2024-03-01T14:05:09</ReportDateTime>"
         "<Text>REPORT&#13;&#10;line 2</Text></Report>";
}

}  // namespace

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL OPEN(BSTR aXmlIn, int32_t* aHandle, BSTR* aErrorMessage) {
  *aHandle = 42;
  if (Contains(aXmlIn, "fail")) return Refuse(aXmlIn, aErrorMessage);
  Answer(aErrorMessage, "opened");
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSRECEIPT(BSTR aXmlIn, BSTR* aXmlOut,
                                                       BSTR* aErrorMessage) {
  Answer(aXmlOut,
         Contains(aXmlIn, "rewrite") ? kRewrittenRequest : "processed:" + OleToUtf8(aXmlIn));
  if (Contains(aXmlIn, "fail")) return Refuse(aXmlIn, aErrorMessage);
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSXREPORT(BSTR aXmlIn, BSTR* aXmlOut,
                                                       BSTR* aErrorMessage) {
  if (Contains(aXmlIn, "fail")) return Refuse(aXmlIn, aErrorMessage);
  Answer(aXmlOut, ReportAnswer(aXmlIn, 7));
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSZREPORT(BSTR aXmlIn, BSTR* aXmlOut,
                                                       BSTR* aErrorMessage) {
  if (Contains(aXmlIn, "fail")) return Refuse(aXmlIn, aErrorMessage);
  Answer(aXmlOut, ReportAnswer(aXmlIn, 8));
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSGETSTATUS(BSTR aXmlIn, BSTR* aXmlOut,
                                                         BSTR* aErrorMessage) {
  if (Contains(aXmlIn, "fail")) return Refuse(aXmlIn, aErrorMessage);
  Answer(aXmlOut,
         "<Status><DayOpened>true</DayOpened><DateTime>2024-03-01T14:05:09</DateTime>"
         "<FirmwareVersion>FW1</FirmwareVersion><SerialNumber>SN1</SerialNumber>"
         "<FiscalMode>FISCAL</FiscalMode></Status>");
  return 0;
}
