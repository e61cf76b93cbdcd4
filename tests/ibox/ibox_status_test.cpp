#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_test_support.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {
namespace {

using testing::StatusValues;

// Status values the simulator never produces, from a scripted device.
class IBoxStatusTest : public ::testing::Test {
 protected:
  void SetUp() override { fDevice = testing::MakeDevice(fBox.Url()); }

  kIOHandler& Handler() const { return fDevice->IOHandler(); }

  testing::ScriptedIBox fBox;
  std::unique_ptr<kFiscalPrinter_RORERER> fDevice;
};

TEST_F(IBoxStatusTest, SeqNoContinuesFromTheDevicesLastOrder) {
  struct Case {
    const char* lastOrderSeqNo;
    const char* next;
  };
  const Case cases[] = {
      {"1.234", "1235"}, {"1.000.000", "1000001"}, {"12", "13"},   {"", "2"},
      {"abc", "2"},      {"1,234", "2"},           {"1 234", "2"}, {"2147483647", "1"},
  };
  for (const Case& c : cases) {
    fBox.SetStatus({{"LastOrderSeqNo", c.lastOrderSeqNo}, {"LastError", "0"}});
    EXPECT_TRUE(fDevice->PollStatus()) << c.lastOrderSeqNo;
    EXPECT_EQ(fDevice->NextSeqNo(), c.next) << c.lastOrderSeqNo;
  }
}

TEST_F(IBoxStatusTest, LastErrorCountsUpToItsFirstColon) {
  struct Case {
    const char* lastError;
    bool ok;
    int32_t code;
  };
  const Case cases[] = {
      {"0", true, 0},      {"0:OK", true, 0}, {"1004:open receipt", false, 1004},
      {"101", false, 101}, {"x:1", false, 0}, {"", false, 0},
      {"00", false, 0},  // not the text "0": an error whose code reads 0
  };
  for (const Case& c : cases) {
    Handler().ResetCustomError();
    fBox.SetStatus({{"LastOrderSeqNo", "5"}, {"LastError", c.lastError}});
    EXPECT_EQ(fDevice->PollStatus(), c.ok) << c.lastError;
    EXPECT_EQ(Handler().ErrorFound(), !c.ok) << c.lastError;
    if (c.ok) continue;
    EXPECT_EQ(Handler().ErrorCode(), c.code) << c.lastError;
    EXPECT_EQ(Handler().ErrorMessage(), kFiscalPrinter_RORERER::GetErrorText(c.code));
  }
  EXPECT_EQ(kFiscalPrinter_RORERER::GetErrorText(0), "UNKNOWN ERROR - ΑΓΝΩΣΤΟ ΣΦΑΛΜΑ");
}

TEST_F(IBoxStatusTest, ReceiptStateFromCurrentReceiptType) {
  struct Case {
    const char* receiptType;
    int32_t state;
  };
  const Case cases[] = {{"0", 0}, {"033:xyz", 1},        {"33", 1}, {"033", 1}, {"034", 2},
                        {"3", 2}, {"041:NON FISCAL", 2}, {"", 2}};
  for (const Case& c : cases) {
    fBox.SetStatus(
        {{"LastOrderSeqNo", "1"}, {"LastError", "0"}, {"CurrentReceiptType", c.receiptType}});
    EXPECT_EQ(fDevice->GetReceiptState(), c.state) << c.receiptType;
  }
  fBox.SetAnswer(500, "text/plain", "down");
  EXPECT_EQ(fDevice->GetReceiptState(), 0);
  EXPECT_EQ(Handler().ErrorCode(), 500);
}

TEST_F(IBoxStatusTest, MissingStatusElementsFailNamingThem) {
  struct Case {
    StatusValues values;
    const char* message;
  };
  const Case cases[] = {
      {{{"LastError", "0"}}, "The device's status answer has no LastOrderSeqNo element"},
      {{{"LastOrderSeqNo", "1"}}, "The device's status answer has no LastError element"},
  };
  for (const Case& c : cases) {
    Handler().ResetCustomError();
    fBox.SetStatus(c.values);
    EXPECT_FALSE(fDevice->PollStatus());
    EXPECT_EQ(Handler().ErrorMessage(), c.message);
  }
  fBox.SetStatus({{"LastOrderSeqNo", "1"}, {"LastError", "0"}});
  EXPECT_EQ(fDevice->GetReceiptState(), 0);
  EXPECT_EQ(Handler().ErrorMessage(),
            "The device's status answer has no CurrentReceiptType element");

  fBox.SetAnswer(200, "text/xml", "<OTHER><X/></OTHER>");
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorMessage(), "The device's status answer has no GEN_PAR element");
}

TEST_F(IBoxStatusTest, StatusIntegersRaiseTheConversionError) {
  fBox.SetStatus({{"LastOrderSeqNo", "1"},
                  {"LastError", "0"},
                  {"CurrentZNo", "12"},
                  {"DayFiscalRcptCnt", "3a"}});
  ASSERT_TRUE(fDevice->PollStatus());
  int32_t value = 0;
  EXPECT_TRUE(fDevice->StatusInteger("CurrentZNo", value));
  EXPECT_EQ(value, 12);
  try {
    fDevice->StatusInteger("DayFiscalRcptCnt", value);
    ADD_FAILURE() << "no conversion error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "'3a' is not a valid integer value");
  }
  EXPECT_FALSE(fDevice->StatusInteger("DrawerSensorIsHigh", value));
  EXPECT_TRUE(Handler().ErrorFound());
}

TEST_F(IBoxStatusTest, AnswersThatAreNotWellFormedRaise) {
  fBox.SetAnswer(200, "text/xml; charset=utf-8", "<OTF_STATUS><GEN_PAR>");
  EXPECT_THROW(fDevice->PollStatus(), Exception);
  fBox.SetAnswer(200, "text/xml", "");
  EXPECT_THROW(fDevice->PollStatus(), Exception);
  // The content type the command expects decides as well.
  fBox.SetAnswer(200, "text/plain", "not xml");
  EXPECT_THROW(
      fDevice->SendCommand(tkIBoxCommandId::ibc_ZReportXml, {}, {}, IBoxZReportFilePath(3, "M")),
      Exception);
  fBox.SetAnswer(200, "text/plain", "<FM_RECORDS><FMEM/></FM_RECORDS>");
  EXPECT_TRUE(
      fDevice->SendCommand(tkIBoxCommandId::ibc_ZReportXml, {}, {}, IBoxZReportFilePath(3, "M")));
  EXPECT_STREQ(fDevice->XmlResponse().document_element().name(), "FM_RECORDS");
}

TEST_F(IBoxStatusTest, CommandsGoOutAsTheirRowsSay) {
  struct Case {
    tkIBoxCommandId id;
    std::vector<tkIBoxArgument> arguments;
    const char* label;
    const char* target;  // of the command itself; polled commands are followed by a status
  };
  const std::string descr =
      kFiscalPrinter_RORERER::FormatDescription("A&B", tkReceiptMessageLineAlignment::la_left, 1);
  const Case cases[] = {
      {tkIBoxCommandId::ibc_ClearTrailerMessages,
       {},
       "",
       "/?db=Titles&Code=2&Line_1=&Line_2=&Line_3=&Line_4=&Line_5=&Line_6=&store=="},
      {tkIBoxCommandId::ibc_PrintTrailerMessages,
       {{"Line_1", "a"},
        {"Line_2", ""},
        {"Line_3", ""},
        {"Line_4", ""},
        {"Line_5", ""},
        {"Line_6", "f"}},
       "",
       "/?db=Titles&Code=2&Line_1=a&Line_2=&Line_3=&Line_4=&Line_5=&Line_6=f&store=&Sync="},
      {tkIBoxCommandId::ibc_PrintDescription,
       {{"Descr", descr}, {"Use", "Line"}},
       "",
       "/db_otf_xml.xml?Order=COMMENT&Descr=A%26B&Use=Line&SeqNo=8&Do=&Sync=&makexmlotf=stat"},
      {tkIBoxCommandId::ibc_Markup,
       {{"Amount", "1,50"}},
       "Markup",
       "/db_otf_xml.xml?Order=MOD&MarkupOrDiscount=MarkUp&Amount=1,50&SeqNo=8&Do=&Sync=&"
       "makexmlotf=stat"},
      {tkIBoxCommandId::ibc_Total,
       {{"Amount", "10,00"}, {"Code", "3"}},
       "",
       "/db_otf_xml.xml?Order=PAY&SeqNo=8&Amount=10,00&Code=3&Do=&Sync=&makexmlotf=stat"},
      {tkIBoxCommandId::ibc_XReport,
       {},
       "",
       "/db_otf_xml.xml?ReportDBaseType=50:&ReportFilterType=0:&ReportContentType=4:&kbch=29&"
       "Sync=&makexmlotf=stat"},
      {tkIBoxCommandId::ibc_SubTotal, {}, "", "/keybd/LCDSTAT.XML?kbch=115"},
  };
  fBox.SetStatus({{"LastOrderSeqNo", "7"}, {"LastError", "0"}});
  for (const Case& c : cases) {
    fBox.ClearTargets();
    EXPECT_TRUE(fDevice->SendCommand(c.id, c.arguments, c.label)) << c.target;
    const std::vector<std::string> targets = fBox.Targets();
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets.front(), c.target);
    EXPECT_EQ(targets.size(), IBoxCommand(c.id).PollStatus ? 2u : 1u) << c.target;
  }
}

}  // namespace
}  // namespace nvrp
