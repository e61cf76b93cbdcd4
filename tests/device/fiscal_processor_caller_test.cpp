#include "device/fiscal_processor_caller.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/nv_exception.hpp"
#include "device/device_test_support.hpp"
#include "support/recording_device.hpp"
#include "support/test_environment.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::unique_ptr<kFiscalProcessorCaller> LoadedProcessor(const std::string& aPath) {
  auto processor = std::make_unique<kFiscalProcessorCaller>(aPath);
  processor->Init();
  return processor;
}

std::string LoadFailure(const std::string& aName) {
  kFiscalProcessorCaller processor(aName);
  try {
    processor.Init();
  } catch (const Exception& error) {
    return error.what();
  }
  return "no error raised";
}

TEST(FiscalProcessorCallerTest, LibraryPathIsTheCurrentDirectoryUnlessRooted) {
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(LoadFailure("missing_processor.so"), "Unable to load library " + cwd +
                                                     "/missing_processor.so. Error code: [" +
                                                     testing::kMissingLibraryCode + "]");
  EXPECT_EQ(LoadFailure("/nonexistent/dir/processor.so"),
            "Unable to load library /nonexistent/dir/processor.so. Error code: [" +
                testing::kMissingLibraryCode + "]");
}

TEST(FiscalProcessorCallerTest, FileThatIsNotALibraryFailsToLoad) {
  const std::string path = testing::MakeTemporaryDirectory() + "/not_a_library.so";
  std::ofstream(path) << "plain text";
  EXPECT_THAT(LoadFailure(path),
              ::testing::AllOf(::testing::StartsWith("Unable to load library "),
                               ::testing::HasSubstr("/not_a_library.so. Error code: ["),
                               ::testing::EndsWith("]")));
}

TEST(FiscalProcessorCallerTest, WithoutNameItIsInactiveAndAnswersNeutrally) {
  kFiscalProcessorCaller processor("");
  processor.Init();
  EXPECT_FALSE(processor.Active());
  EXPECT_TRUE(processor.OpenProcessor("<x/>"));
  std::string out = "unchanged";
  EXPECT_TRUE(processor.ProcessReceipt("<x/>", out));
  EXPECT_EQ(out, "unchanged");
  tkFiscalCounters counters;
  EXPECT_FALSE(processor.ProcessZReport("<x/>", counters));
  EXPECT_EQ(processor.ErrorMessage(), "");
}

TEST(FiscalProcessorCallerTest, OpenStoresHandleAndErrorText) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_FULL);
  EXPECT_TRUE(processor->Active());
  EXPECT_TRUE(processor->OpenProcessor("<Open/>"));
  EXPECT_EQ(processor->ProcessorHandle(), 42);
  EXPECT_EQ(processor->ErrorMessage(), "opened");
  EXPECT_FALSE(processor->OpenProcessor("<Open>fail</Open>"));
  EXPECT_EQ(processor->ErrorMessage(), "refused: <Open>fail</Open>");
}

TEST(FiscalProcessorCallerTest, ProcessReceiptTakesTheAnswersInEveryCase) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_FULL);
  std::string out;
  EXPECT_TRUE(processor->ProcessReceipt("<Receipt>Ωmega</Receipt>", out));
  EXPECT_EQ(out, "processed:<Receipt>Ωmega</Receipt>");
  EXPECT_EQ(processor->ErrorMessage(), "");
  EXPECT_FALSE(processor->ProcessReceipt("fail", out));
  EXPECT_EQ(out, "processed:fail");
  EXPECT_EQ(processor->ErrorMessage(), "refused: fail");
}

TEST(FiscalProcessorCallerTest, ReportAnswersFillEveryCounter) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_FULL);
  tkFiscalCounters x;
  ASSERT_TRUE(processor->ProcessXReport("<X/>", x));
  EXPECT_EQ(x.GrandTotalAmount, Currency::FromRaw(10005000));
  EXPECT_EQ(x.GrandTotalRefundsAmount, Currency::FromUnits(20));
  EXPECT_EQ(x.GrandTotalVoidsAmount, Currency::FromUnits(30));
  EXPECT_EQ(x.DayTotalAmount, Currency::FromRaw(402500));
  EXPECT_EQ(x.DayDiscountsAmount, Currency::FromUnits(5));
  EXPECT_EQ(x.DayReturnsAmount, Currency::FromUnits(6));
  EXPECT_EQ(x.DayRefundsAmount, Currency::FromUnits(7));
  EXPECT_EQ(x.DayVoidsAmount, Currency::FromUnits(8));
  EXPECT_EQ(x.DayReceiptsNumber, 12);
  EXPECT_EQ(x.DayRefundsNumber, 2);
  EXPECT_EQ(x.ZReportNumber, 7);
  EXPECT_EQ(x.ZReportDateTime, IsoTextToDateTime("2024-03-01T14:05:09"));
  EXPECT_EQ(x.Text, "REPORT\r\nline 2");

  tkFiscalCounters z;
  ASSERT_TRUE(processor->ProcessZReport("<Z/>", z));
  EXPECT_EQ(z.ZReportNumber, 8);
}

TEST(FiscalProcessorCallerTest, RefusedOrUnreadableReportLeavesTheCounters) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_FULL);
  tkFiscalCounters counters;
  counters.ZReportNumber = 99;
  EXPECT_FALSE(processor->ProcessZReport("fail", counters));
  EXPECT_EQ(processor->ErrorMessage(), "refused: fail");
  EXPECT_EQ(counters.ZReportNumber, 99);

  try {
    processor->ProcessXReport("badxml", counters);
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& error) {
    EXPECT_THAT(error.what(), StartsWith("Invalid XML: "));
  }
  try {
    processor->ProcessXReport("badvalue", counters);
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& error) {
    EXPECT_THAT(error.what(), StartsWith("Error in processing node GrandTotalAmount as currency."));
  }
  EXPECT_EQ(counters.ZReportNumber, 99);
}

TEST(FiscalProcessorCallerTest, StatusAnswerOverridesTheSixValues) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_FULL);
  bool dayOpened = false;
  DateTime dateTime = 0;
  bool training = true;  // absent from the answer: becomes false
  std::string firmware, serial, mode;
  EXPECT_TRUE(
      processor->ProcessGetStatus("<S/>", dayOpened, dateTime, training, firmware, serial, mode));
  EXPECT_TRUE(dayOpened);
  EXPECT_EQ(dateTime, IsoTextToDateTime("2024-03-01T14:05:09"));
  EXPECT_FALSE(training);
  EXPECT_EQ(firmware, "FW1");
  EXPECT_EQ(serial, "SN1");
  EXPECT_EQ(mode, "FISCAL");
}

TEST(FiscalProcessorCallerTest, MissingExportsKeepReceiptsAndFailZReports) {
  auto processor = LoadedProcessor(NVRP_TEST_PROCESSOR_PARTIAL);
  EXPECT_FALSE(processor->OpenProcessor("<Open/>"));
  EXPECT_EQ(processor->ProcessorHandle(), 7);
  EXPECT_EQ(processor->ErrorMessage(), "partial refuses to open");

  std::string receipt = "<Receipt/>";
  EXPECT_TRUE(processor->ProcessReceipt(receipt, receipt));
  EXPECT_EQ(receipt, "<Receipt/>");

  // Without PROCESSZREPORT a Z report fails with the last error text of the processor.
  tkFiscalCounters counters;
  EXPECT_FALSE(processor->ProcessZReport("<Z/>", counters));
  EXPECT_EQ(processor->ErrorMessage(), "partial refuses to open");
  EXPECT_FALSE(processor->ProcessXReport("<X/>", counters));
  EXPECT_EQ(processor->ErrorMessage(), "no X report today");

  bool dayOpened = true;
  DateTime dateTime = 1;
  bool training = true;
  std::string firmware = "old", serial = "old", mode = "old";
  EXPECT_FALSE(
      processor->ProcessGetStatus("<S/>", dayOpened, dateTime, training, firmware, serial, mode));
  EXPECT_EQ(processor->ErrorMessage(), "status unavailable");
  EXPECT_TRUE(dayOpened);
  EXPECT_EQ(firmware, "old");
}

TEST(FiscalProcessorCallerTest, PrintReportSendsATitledNonFiscalDocument) {
  testing::PrepareTestApplication();
  auto handler = testing::MakeHandler();
  testing::kRecordingDevice device(*handler);
  kFiscalProcessorCaller processor("");

  EXPECT_TRUE(processor.PrintReport("Z REPORT\r\nTotal 10.00\nEnd\r", device));
  EXPECT_THAT(device.CallNames(),
              ElementsAre("BeginNonFiscal", "PrintNonFiscalTextLine", "PrintNonFiscalTextLine",
                          "PrintNonFiscalTextLine", "EndNonFiscal"));
  EXPECT_EQ(device.Calls().front().fArgument, "DocumentLayout");
  const auto& lines = device.NonFiscalTextLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].fValue, "Z REPORT");
  EXPECT_EQ(lines[0].fEffects, tkReceiptMessageLineEffectSet{tkReceiptMessageLineEffect::le_bold});
  EXPECT_EQ(lines[0].fSize, 2);
  EXPECT_EQ(lines[0].fAlignment, tkReceiptMessageLineAlignment::la_center);
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].fEffects.empty());
    EXPECT_EQ(lines[i].fSize, 1);
    EXPECT_EQ(lines[i].fAlignment, tkReceiptMessageLineAlignment::la_left);
    EXPECT_FALSE(lines[i].fWithReceipt);
  }
  EXPECT_EQ(lines[1].fValue, "Total 10.00");
  EXPECT_EQ(lines[2].fValue, "End");
}

TEST(FiscalProcessorCallerTest, PrintReportGoesOnWhenPrimitivesFail) {
  testing::PrepareTestApplication();
  auto handler = testing::MakeHandler();
  testing::kRecordingDevice device(*handler);
  device.SetAnswer("BeginNonFiscal", false);
  device.SetAnswer("PrintNonFiscalTextLine", false);
  kFiscalProcessorCaller processor("");
  EXPECT_TRUE(processor.PrintReport("A\n\nB", device));
  EXPECT_EQ(device.NonFiscalTextLines().size(), 3u);
  EXPECT_EQ(device.CallNames().back(), "EndNonFiscal");
}

}  // namespace
}  // namespace nvrp
