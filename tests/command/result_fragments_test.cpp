#include "command/result_fragments.hpp"

#include <gtest/gtest.h>

#include <string>

#include "base/date_time.hpp"

namespace nvrp {
namespace {

const std::string kOkTail =
    "<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n<LogFileName>log</LogFileName>";

DateTime March1st() { return EncodeDateTime({2024, 3, 1, 14, 5, 9, 0}); }

TEST(ResultFragment, PrintfrEscapesOnlyItsEscapedFields) {
  _int_PRINTFR_result r;
  r.ReceiptDateTime = March1st();
  r.ReceiptNumber = "1&2";
  r.EJNumber = "ej<";
  r.EJClosingNumber = "c>";
  r.DeviceSerialNumber = "d'";
  r.ServerSerialNumber = "s'";
  r.InvoiceNumber = "i\"";
  r.ReceiptText = "line 1 & \"2\"\r\nline 3";
  r.ReceiptImage = "/9j/+<";
  r.MessageText = "<m>";
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<ReceiptDateTime>2024-03-01T14:05:09</ReceiptDateTime>\r\n"
            "<ReceiptNumber>1&2</ReceiptNumber>\r\n"
            "<DeviceSerialNumber>d'</DeviceSerialNumber>\r\n"
            "<EJNumber>ej<</EJNumber>\r\n"
            "<EJClosingNumber>c></EJClosingNumber>\r\n"
            "<ServerSerialNumber>s&apos;</ServerSerialNumber>\r\n"
            "<ReceiptText>line 1 &amp; &quot;2&quot;\r\nline 3</ReceiptText>\r\n"
            "<ReceiptImage>/9j/+<</ReceiptImage>\r\n"
            "<InvoiceNumber>i\"</InvoiceNumber>\r\n"
            "<InvoiceDateTime>1899-12-30T00:00:00</InvoiceDateTime>\r\n"
            "<MessageText>&lt;m&gt;</MessageText>\r\n" +
                kOkTail);
}

TEST(ResultFragment, PrintzrJoinsTotalsAndTextWithoutLineBreaks) {
  _int_PRINTZR_result r;
  r.ZReportDateTime = March1st();
  r.ZReportNumber = "12";
  r.DeviceSerialNumber = "DS";
  r.ServerSerialNumber = "SS";
  r.EJNumber = "3";
  r.EJClosingNumber = "4";
  r.RemainingFiscalMemory = 777;
  r.GrandTotalAmount = Currency::FromRaw(12345000);
  r.GrandTotalRefundsAmount = Currency::FromUnits(10);
  r.GrandTotalVoidsAmount = Currency::FromRaw(-2500);
  r.DayTotalAmount = Currency::FromRaw(1);
  r.DayDiscountsAmount = Currency::FromRaw(125000);
  r.DayReturnsAmount = Currency();
  r.DayRefundsAmount = Currency::FromUnits(1000000);
  r.DayVoidsAmount = Currency::FromRaw(5);
  r.DayReceiptsNumber = 42;
  r.DayRefundsNumber = -1;
  r.Text = "Z REPORT\r\nTOTAL & <VAT>\nEND\r\n";
  r.MessageText = "<lost> & read";
  r.LogFileName = "log";
  EXPECT_EQ(
      ResultFragment(r),
      "<ZReportDateTime>2024-03-01T14:05:09</ZReportDateTime>\r\n"
      "<ZReportNumber>12</ZReportNumber>\r\n"
      "<DeviceSerialNumber>DS</DeviceSerialNumber>\r\n"
      "<ServerSerialNumber>SS</ServerSerialNumber>\r\n"
      "<EJNumber>3</EJNumber>\r\n"
      "<EJClosingNumber>4</EJClosingNumber>\r\n"
      "<MessageText>&lt;lost&gt; &amp; read</MessageText>\r\n"
      "<GrandTotalAmount>1234.5</GrandTotalAmount>"
      "<GrandTotalRefundsAmount>10</GrandTotalRefundsAmount>"
      "<GrandTotalVoidsAmount>-0.25</GrandTotalVoidsAmount>"
      "<DayTotalAmount>0.0001</DayTotalAmount>"
      "<DayDiscountsAmount>12.5</DayDiscountsAmount>"
      "<DayReturnsAmount>0</DayReturnsAmount>"
      "<DayRefundsAmount>1000000</DayRefundsAmount>"
      "<DayVoidsAmount>0.0005</DayVoidsAmount>"
      "<DayReceiptsNumber>42</DayReceiptsNumber>"
      "<DayRefundsNumber>-1</DayRefundsNumber>"
      "<Text><Line>Z REPORT</Line><Line>TOTAL &amp; &lt;VAT&gt;</Line><Line>END</Line></Text>" +
          kOkTail);
}

TEST(ResultFragment, EjreportPutsEachLineOnItsOwnRow) {
  _int_EJREPORT_result r;
  r.Text = "Z REPORT\r\nTOTAL & <VAT>\nEND";
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<Text><Line>Z REPORT</Line>\r\n<Line>TOTAL &amp; &lt;VAT&gt;</Line>\r\n"
            "<Line>END</Line>\r\n</Text>\r\n" +
                kOkTail);
  r.Text.clear();
  EXPECT_EQ(ResultFragment(r), "<Text></Text>\r\n" + kOkTail);
}

TEST(ResultFragment, SmallDocumentFragments) {
  _int_PRINTNFR_result nfr;
  nfr.NFReceiptDateTime = March1st();
  nfr.NFReceiptNumber = "7&";
  nfr.LogFileName = "log";
  EXPECT_EQ(ResultFragment(nfr),
            "<NFReceiptDateTime>2024-03-01T14:05:09</NFReceiptDateTime>\r\n"
            "<NFReceiptNumber>7&</NFReceiptNumber>\r\n" +
                kOkTail);

  _int_PRINTXR_result xr;
  xr.XReportDateTime = March1st();
  xr.XReportNumber = "5";
  xr.DeviceSerialNumber = "D&";
  xr.ServerSerialNumber = "S<";
  xr.EJNumber = "1";
  xr.EJClosingNumber = "2";
  xr.LogFileName = "log";
  EXPECT_EQ(ResultFragment(xr),
            "<XReportDateTime>2024-03-01T14:05:09</XReportDateTime>\r\n"
            "<XReportNumber>5</XReportNumber>\r\n"
            "<DeviceSerialNumber>D&</DeviceSerialNumber>\r\n"
            "<ServerSerialNumber>S<</ServerSerialNumber>\r\n"
            "<EJNumber>1</EJNumber>\r\n"
            "<EJClosingNumber>2</EJClosingNumber>\r\n" +
                kOkTail);

  _int_GETEJFILES_result files;
  files.FilesCount = 3;
  files.LogFileName = "log";
  EXPECT_EQ(ResultFragment(files), "<FilesCount>3</FilesCount>\r\n" + kOkTail);

  _int_GETLOTTERYRCPTSTATUS_result lottery;
  lottery.CorrectlySent = true;
  lottery.StatusCode = "0&";
  lottery.StatusDescription = "ok <sent>";
  lottery.ReferenceId = "R1";
  lottery.LogFileName = "log";
  EXPECT_EQ(ResultFragment(lottery),
            "<CorrectlySent>True</CorrectlySent>\r\n<StatusCode>0&</StatusCode>\r\n"
            "<StatusDescription>ok <sent></StatusDescription>\r\n"
            "<ReferenceId>R1</ReferenceId>\r\n" +
                kOkTail);
}

TEST(ResultFragment, PayWritesSelectedFieldsWithTheirConversions) {
  _int_PAY_result r;
  r.DeviceId = "T&1";
  r.PaymentDateTime = March1st();
  r.PaymentNumber = "N<1>";
  r.PaymentAmount = Currency::FromRaw(15000);
  r.PaymentCurrency = "EUR";
  r.MaskedPAN = "****1234";
  r.SerialNumber = "not written";
  r.TransactionType = tkPaymentTransactionType::ptt_ClessChip;
  r.PaymentNetwork = tkPaymentNetwork::NHS;
  r.AuthCode = "A'";
  r.TraceAuditId = "T\"";
  r.ExchangeRate = Currency::FromRaw(15000);
  r.PaymentAmountCurrency = Currency::FromRaw(-2500);
  r.TippedAmount = Currency::FromUnits(9);
  r.RawResponse = "<raw/>";
  r.ReceiptText = "a&b";
  r.CashierReceiptText = "not written";
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<DeviceId>T&amp;1</DeviceId>\r\n"
            "<PaymentDateTime>2024-03-01T14:05:09</PaymentDateTime>\r\n"
            "<PaymentNumber>N&lt;1&gt;</PaymentNumber>\r\n"
            "<PaymentAmount>1.5</PaymentAmount>\r\n"
            "<PaymentCurrency>EUR</PaymentCurrency>\r\n"
            "<ExchangeRate>1.5</ExchangeRate>\r\n"
            "<PaymentAmountCurrency>-0.25</PaymentAmountCurrency>\r\n"
            "<MaskedPAN>****1234</MaskedPAN>\r\n"
            "<PaymentNetwork>NHS</PaymentNetwork>\r\n"
            "<TransactionType>CLESSCHIP</TransactionType>\r\n"
            "<AuthCode>A&apos;</AuthCode>\r\n"
            "<TraceAuditId>T&quot;</TraceAuditId>\r\n"
            "<RawResponse>&lt;raw/&gt;</RawResponse>\r\n"
            "<ReceiptText>a&amp;b</ReceiptText>\r\n" +
                kOkTail);
  r.TransactionType = tkPaymentTransactionType::ptt_RFID;
  EXPECT_NE(ResultFragment(r).find("<TransactionType></TransactionType>\r\n"), std::string::npos);
}

TEST(ResultFragment, GetstatusHoldsElevenElementsBeforeError) {
  _int_GETSTATUS_result r;
  r.DayOpened = true;
  r.DateTime = March1st();
  r.PaperNearEnd = true;
  r.TrainingMode = true;
  r.FirmwareVersion = "1.0<b>";
  r.SerialNumber = "S&N";
  r.FiscalMode = "'fiscal'";
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<DayOpened>True</DayOpened>\r\n<DateTime>2024-03-01T14:05:09</DateTime>\r\n"
            "<PaperEnd>False</PaperEnd>\r\n<PaperNearEnd>True</PaperNearEnd>\r\n"
            "<CoverOpen>False</CoverOpen>\r\n<FiscalReceiptOpen>False</FiscalReceiptOpen>\r\n"
            "<ReceiptOpen>False</ReceiptOpen>\r\n<TrainingMode>True</TrainingMode>\r\n"
            "<FirmwareVersion>1.0&lt;b&gt;</FirmwareVersion>\r\n"
            "<SerialNumber>S&amp;N</SerialNumber>\r\n"
            "<FiscalMode>&apos;fiscal&apos;</FiscalMode>\r\n" +
                kOkTail);
}

TEST(ResultFragment, DeviceCommandFragments) {
  _int_OPEN_result open;
  open.Handle = 12;
  open.LogFileName = "log";
  EXPECT_EQ(ResultFragment(open), "<Handle>12</Handle>\r\n" + kOkTail);

  _int_SETDATETIME_result setDateTime;
  setDateTime.DateTime = March1st();
  setDateTime.LogFileName = "log";
  EXPECT_EQ(ResultFragment(setDateTime), "<DateTime>2024-03-01T14:05:09</DateTime>\r\n" + kOkTail);

  _int_GETDRSTATUS_result drawer;
  drawer.IsOpen = true;
  drawer.LogFileName = "log";
  EXPECT_EQ(ResultFragment(drawer), "<IsOpen>True</IsOpen>\r\n" + kOkTail);

  _int_CLOSE_result close;
  close.Error = true;
  close.ErrorText = "Paper <end> & \"jam\"";
  close.LogFileName = "C:\\Logs\\a&b.log";
  EXPECT_EQ(ResultFragment(close),
            "<Error>True</Error>\r\n<ErrorText>Paper &lt;end&gt; &amp; &quot;jam&quot;</ErrorText>"
            "\r\n<LogFileName>C:\\Logs\\a&amp;b.log</LogFileName>");
}

TEST(ResultFragment, VatTableOneElementPerLine) {
  _int_GETVATTABLE_result r;
  r.VATTable.push_back({1, "A&", "Standard <24%>", Currency::FromUnits(24)});
  r.VATTable.push_back({2, "B", "Reduced", Currency::FromRaw(65000)});
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<VATTable>\r\n"
            "<VAT>\r\n<Index>1</Index>\r\n<Code>A&amp;</Code>\r\n"
            "<Description>Standard &lt;24%&gt;</Description>\r\n<Rate>24</Rate>\r\n</VAT>\r\n"
            "<VAT>\r\n<Index>2</Index>\r\n<Code>B</Code>\r\n"
            "<Description>Reduced</Description>\r\n<Rate>6.5</Rate>\r\n</VAT>\r\n"
            "</VATTable>\r\n" +
                kOkTail);
  r.VATTable.clear();
  EXPECT_EQ(ResultFragment(r), "<VATTable>\r\n</VATTable>\r\n" + kOkTail);
}

TEST(ResultFragment, DeptTableEscapesDescriptionsButNotCodesOfVatAndSalesType) {
  _int_GETDEPTTABLE_result r;
  r.DeptTable.push_back({3, "D&", "Food <hot>", "A<", "S&", "EA'", "Act \"1\"", "M>"});
  r.LogFileName = "log";
  EXPECT_EQ(ResultFragment(r),
            "<DeptTable>\r\n<Department>\r\n<Index>3</Index>\r\n<Code>D&amp;</Code>\r\n"
            "<Description>Food &lt;hot&gt;</Description>\r\n<VATCode>A<</VATCode>\r\n"
            "<SalesType>S&</SalesType>\r\n<EACode>EA&apos;</EACode>\r\n"
            "<EADescription>Act &quot;1&quot;</EADescription>\r\n<EAVATMode>M></EAVATMode>\r\n"
            "</Department>\r\n</DeptTable>\r\n" +
                kOkTail);
  r.DeptTable.clear();
  EXPECT_EQ(ResultFragment(r), "<DeptTable>\r\n</DeptTable>\r\n" + kOkTail);
}

}  // namespace
}  // namespace nvrp
