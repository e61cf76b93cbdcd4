#include "command/command_wrappers.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "command/command_tables.hpp"
#include "command/result_text.hpp"
#include "support/wrapper_run.hpp"

namespace nvrp {
namespace {

using testing::Formatted;
using testing::RunWrapper;

// Every failed command still writes its complete fragment with the initial values.
class FailedCommand : public ::testing::Test {
 protected:
  void SetUp() override { CreateCommandTables(); }
  void TearDown() override { DestroyCommandTables(); }
};

std::string Tail(const std::string& aEscapedMessage) {
  return "<Error>True</Error>\r\n<ErrorText>" + aEscapedMessage +
         "</ErrorText>\r\n<LogFileName></LogFileName>";
}

// Fails in the envelope parser, before any document or device is looked at.
const std::string kNotXml = "not xml";

TEST_F(FailedCommand, WritesEveryElementWithInitialValues) {
  const std::string zero = "1899-12-30T00:00:00";
  struct Case {
    const char* command;
    std::function<Formatted()> run;
    std::string fragment;
  };
  const Case cases[] = {
      {"PRINTFR", [] { return RunWrapper<kFiscalPrinterWrapper_PRINTFR>(kNotXml); },
       "<ReceiptDateTime>" + zero +
           "</ReceiptDateTime>\r\n<ReceiptNumber></ReceiptNumber>\r\n"
           "<DeviceSerialNumber></DeviceSerialNumber>\r\n<EJNumber></EJNumber>\r\n"
           "<EJClosingNumber></EJClosingNumber>\r\n<ServerSerialNumber></ServerSerialNumber>\r\n"
           "<ReceiptText></ReceiptText>\r\n<ReceiptImage></ReceiptImage>\r\n"
           "<InvoiceNumber></InvoiceNumber>\r\n<InvoiceDateTime>" +
           zero + "</InvoiceDateTime>\r\n<MessageText></MessageText>\r\n"},
      {"REPRINTFR", [] { return RunWrapper<kFiscalPrinterWrapper_REPRINTFR>(kNotXml); }, ""},
      {"PRINTNFR", [] { return RunWrapper<kFiscalPrinterWrapper_PRINTNFR>(kNotXml); },
       "<NFReceiptDateTime>" + zero +
           "</NFReceiptDateTime>\r\n<NFReceiptNumber></NFReceiptNumber>\r\n"},
      {"PRINTXR", [] { return RunWrapper<kFiscalPrinterWrapper_PRINTXR>(kNotXml); },
       "<XReportDateTime>" + zero +
           "</XReportDateTime>\r\n<XReportNumber></XReportNumber>\r\n"
           "<DeviceSerialNumber></DeviceSerialNumber>\r\n<ServerSerialNumber></"
           "ServerSerialNumber>\r\n"
           "<EJNumber></EJNumber>\r\n<EJClosingNumber></EJClosingNumber>\r\n"},
      {"PRINTZR", [] { return RunWrapper<kFiscalPrinterWrapper_PRINTZR>(kNotXml); },
       "<ZReportDateTime>" + zero +
           "</ZReportDateTime>\r\n<ZReportNumber></ZReportNumber>\r\n"
           "<DeviceSerialNumber></DeviceSerialNumber>\r\n<ServerSerialNumber></"
           "ServerSerialNumber>\r\n"
           "<EJNumber></EJNumber>\r\n<EJClosingNumber></EJClosingNumber>\r\n"
           "<MessageText></MessageText>\r\n"
           "<GrandTotalAmount>0</GrandTotalAmount><GrandTotalRefundsAmount>0</"
           "GrandTotalRefundsAmount>"
           "<GrandTotalVoidsAmount>0</GrandTotalVoidsAmount><DayTotalAmount>0</DayTotalAmount>"
           "<DayDiscountsAmount>0</DayDiscountsAmount><DayReturnsAmount>0</DayReturnsAmount>"
           "<DayRefundsAmount>0</DayRefundsAmount><DayVoidsAmount>0</DayVoidsAmount>"
           "<DayReceiptsNumber>0</DayReceiptsNumber><DayRefundsNumber>0</DayRefundsNumber>"
           "<Text></Text>"},
      {"EJREPORT", [] { return RunWrapper<kFiscalPrinterWrapper_EJREPORT>(kNotXml); },
       "<Text></Text>\r\n"},
      {"GETEJFILES", [] { return RunWrapper<kFiscalPrinterWrapper_GETEJFILES>(kNotXml); },
       "<FilesCount>0</FilesCount>\r\n"},
      {"GETLOTTERYRCPTSTATUS",
       [] { return RunWrapper<kFiscalPrinterWrapper_GETLOTTERYRCPTSTATUS>(kNotXml); },
       "<CorrectlySent>False</CorrectlySent>\r\n<StatusCode></StatusCode>\r\n"
       "<StatusDescription></StatusDescription>\r\n<ReferenceId></ReferenceId>\r\n"},
      {"GETSTATUS", [] { return RunWrapper<kFiscalPrinterWrapper_GETSTATUS>(kNotXml); },
       "<DayOpened>False</DayOpened>\r\n<DateTime>" + zero +
           "</DateTime>\r\n"
           "<PaperEnd>False</PaperEnd>\r\n<PaperNearEnd>False</PaperNearEnd>\r\n"
           "<CoverOpen>False</CoverOpen>\r\n<FiscalReceiptOpen>False</FiscalReceiptOpen>\r\n"
           "<ReceiptOpen>False</ReceiptOpen>\r\n<TrainingMode>False</TrainingMode>\r\n"
           "<FirmwareVersion></FirmwareVersion>\r\n<SerialNumber></SerialNumber>\r\n"
           "<FiscalMode></FiscalMode>\r\n"},
      {"SETDATETIME", [] { return RunWrapper<kFiscalPrinterWrapper_SETDATETIME>(kNotXml); },
       "<DateTime>" + zero + "</DateTime>\r\n"},
      {"GETDRSTATUS", [] { return RunWrapper<kFiscalPrinterWrapper_GETDRSTATUS>(kNotXml); },
       "<IsOpen>False</IsOpen>\r\n"},
      {"GETVATTABLE", [] { return RunWrapper<kFiscalPrinterWrapper_GETVATTABLE>(kNotXml); },
       "<VATTable>\r\n</VATTable>\r\n"},
      {"GETDEPTTABLE", [] { return RunWrapper<kFiscalPrinterWrapper_GETDEPTTABLE>(kNotXml); },
       "<DeptTable>\r\n</DeptTable>\r\n"},
      {"CLOSE", [] { return RunWrapper<kFiscalPrinterWrapper_CLOSE>(kNotXml); }, ""},
      {"SET", [] { return RunWrapper<kFiscalPrinterWrapper_SET>(kNotXml); }, ""},
      {"DISPLAY", [] { return RunWrapper<kFiscalPrinterWrapper_DISPLAY>(kNotXml); }, ""},
      {"OPENDR", [] { return RunWrapper<kFiscalPrinterWrapper_OPENDR>(kNotXml); }, ""},
      {"SETVATTABLE", [] { return RunWrapper<kFiscalPrinterWrapper_SETVATTABLE>(kNotXml); }, ""},
      {"SETDEPTTABLE", [] { return RunWrapper<kFiscalPrinterWrapper_SETDEPTTABLE>(kNotXml); }, ""},
  };
  for (const Case& c : cases) {
    const Formatted f = c.run();
    EXPECT_FALSE(f.errorMessage.empty()) << c.command;
    EXPECT_EQ(f.output, c.fragment + Tail(EscapeXml(f.errorMessage))) << c.command;
    EXPECT_EQ(f.result, -1) << c.command;
  }
}

TEST_F(FailedCommand, CreatingCommandsNameTheUnregisteredDriverRawAndEscaped) {
  const std::string request =
      "<Request><Driver>nvrp_&lt;x&gt;</Driver><Handle>0</Handle>"
      "<Payment><Amount>1</Amount></Payment></Request>";
  const std::string message = "Fiscal Printer Driver [nvrp_<x>] not registered.";
  const std::string escaped = "Fiscal Printer Driver [nvrp_&lt;x&gt;] not registered.";

  const Formatted open = RunWrapper<kFiscalPrinterWrapper_OPEN>(request);
  EXPECT_EQ(open.output, "<Handle>0</Handle>\r\n" + Tail(escaped));
  EXPECT_EQ(open.errorMessage, message);
  EXPECT_EQ(open.result, -1);

  const Formatted pay = RunWrapper<kFiscalPrinterWrapper_PAY>(request);
  EXPECT_EQ(pay.output,
            "<DeviceId></DeviceId>\r\n<PaymentDateTime>1899-12-30T00:00:00</PaymentDateTime>\r\n"
            "<PaymentNumber></PaymentNumber>\r\n<PaymentAmount>0</PaymentAmount>\r\n"
            "<PaymentCurrency></PaymentCurrency>\r\n<ExchangeRate>0</ExchangeRate>\r\n"
            "<PaymentAmountCurrency>0</PaymentAmountCurrency>\r\n<MaskedPAN></MaskedPAN>\r\n"
            "<PaymentNetwork>other</PaymentNetwork>\r\n<TransactionType>OTHER</TransactionType>\r\n"
            "<AuthCode></AuthCode>\r\n<TraceAuditId></TraceAuditId>\r\n"
            "<RawResponse></RawResponse>\r\n<ReceiptText></ReceiptText>\r\n" +
                Tail(escaped));
  EXPECT_EQ(pay.errorMessage, message);
  EXPECT_EQ(CommandTables().LastDeviceHandle, 0);
}

TEST_F(FailedCommand, LookupAndParseErrors) {
  struct Case {
    const char* name;
    std::string request;
    std::string message;
  };
  const Case cases[] = {
      {"unknown handle", "<Request><Handle>7</Handle></Request>", "Printer Handle not found"},
      {"driver differs in letter case",
       "<Request><Driver>nvrp_rorerer_10</Driver><Handle>0</Handle></Request>",
       "Fiscal Printer Driver [nvrp_rorerer_10] not registered."},
      {"negative handle may create", "<Request><Driver>X</Driver><Handle>-3</Handle></Request>",
       "Fiscal Printer Driver [X] not registered."},
  };
  for (const Case& c : cases) {
    const Formatted f = RunWrapper<kFiscalPrinterWrapper_OPEN>(c.request);
    EXPECT_EQ(f.errorMessage, c.message) << c.name;
    EXPECT_EQ(f.result, -1) << c.name;
  }
  for (const std::string& bad :
       {std::string(), std::string("not xml"), std::string("<a><b></a>")}) {
    const Formatted f = RunWrapper<kFiscalPrinterWrapper_GETSTATUS>(bad);
    EXPECT_EQ(f.result, -1) << bad;
    EXPECT_FALSE(f.errorMessage.empty()) << bad;
  }
}

TEST(CommandTables, AbsentTablesAreAnErrorNotACrash) {
  const Formatted f =
      RunWrapper<kFiscalPrinterWrapper_OPEN>("<Request><Driver>X</Driver></Request>");
  EXPECT_EQ(f.result, -1);
  EXPECT_EQ(f.errorMessage, "Device table not created");
}

}  // namespace
}  // namespace nvrp
