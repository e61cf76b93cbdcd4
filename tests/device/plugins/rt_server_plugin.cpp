// An RT signing server. The password "wrong" is refused and leaves the till closed (the
// plug-in stays loaded from one test to the next, so an earlier test's open till would
// otherwise still be open); signing and reports need an open till; a receipt numbered FAIL
// is refused and one numbered ZERO is signed as document 0.
// RTS_TEST_LASTOPEN answers the arguments of the last open-till call, joined by "|";
// RTS_TEST_CLOSINGS the number of till closures. A till opened as UNREADABLE is closed with an
// answer that is no till report.
#include <string>

#include "plugin_export.hpp"

using namespace nvrp;
using nvrp::test_plugin::Answer;
using nvrp::test_plugin::Contains;

namespace {

bool gTillOpen = false;
int gSigned = 0;
std::string gLastOpen;
int gClosings = 0;

int16_t Fail(BSTR* aErrorMessage, const std::string& aText) {
  Answer(aErrorMessage, aText);
  return 1;
}

std::string TillReport(int aClosure) {
  return "<TillReport><TillSerialNumber>TILL-9</TillSerialNumber><ServerSerialNumber>SRV-1"
         "</ServerSerialNumber><RecNumber>" +
         std::to_string(gSigned) + "</RecNumber><ZRepNumber>" + std::to_string(aClosure) +
         "</ZRepNumber><ZRepDateTime>2024-03-01T22:30:00</ZRepDateTime><DailyAmount>150.5"
         "</DailyAmount><SalesAmount>160.5</SalesAmount><VoidsAmount>4</VoidsAmount>"
         "<RefundsAmount>6</RefundsAmount></TillReport>";
}

}  // namespace

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL RTS_OPENTILL(BSTR aHost, int32_t aPort, BSTR aUser,
                                                     BSTR aPassword, BSTR aTillId,
                                                     BSTR* aErrorMessage) {
  gLastOpen = OleToUtf8(aHost) + "|" + std::to_string(aPort) + "|" + OleToUtf8(aUser) + "|" +
              OleToUtf8(aPassword) + "|" + OleToUtf8(aTillId);
  gTillOpen = OleToUtf8(aPassword) != "wrong";
  if (!gTillOpen) return Fail(aErrorMessage, "invalid credentials");
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL RTS_SIGNRECEIPT(BSTR aReceiptXml, BSTR* aAnswerXml,
                                                        BSTR* aErrorMessage) {
  if (!gTillOpen) return Fail(aErrorMessage, "till not open");
  if (Contains(aReceiptXml, "<ReceiptNumber>FAIL</ReceiptNumber>")) {
    return Fail(aErrorMessage, "signature refused");
  }
  const bool zero = Contains(aReceiptXml, "<ReceiptNumber>ZERO</ReceiptNumber>");
  const int document = zero ? 0 : ++gSigned;
  Answer(aAnswerXml,
         "<Signed><VatTotal>3.61</VatTotal><TillId>TILL-9</TillId>"
         "<ServerSerialNumber>SRV-1</ServerSerialNumber><Signature>SIG" +
             std::to_string(document) + "</Signature><DocumentNumber>" + std::to_string(document) +
             "</DocumentNumber><ClosureNumber>5</ClosureNumber><Headers><Header>"
             "SHOP</Header><Header>Via Roma 1</Header></Headers></Signed>");
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL RTS_XREPORT(BSTR* aAnswerXml, BSTR* aErrorMessage) {
  if (!gTillOpen) return Fail(aErrorMessage, "till not open");
  Answer(aAnswerXml, TillReport(5));
  return 0;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL RTS_CLOSETILL(BSTR* aAnswerXml, BSTR* aErrorMessage) {
  if (!gTillOpen) return Fail(aErrorMessage, "till not open");
  gTillOpen = false;
  ++gClosings;
  Answer(aAnswerXml, gLastOpen.ends_with("|UNREADABLE") ? "<TillReport>" : TillReport(6));
  return 0;
}

NVRP_PLUGIN_EXPORT void RTS_TEST_LASTOPEN(BSTR* aOut) { Answer(aOut, gLastOpen); }

NVRP_PLUGIN_EXPORT int32_t RTS_TEST_CLOSINGS() { return gClosings; }
