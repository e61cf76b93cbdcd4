#include "device/fiscal_printer_device.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/dynamic_library.hpp"
#include "base/nv_exception.hpp"
#include "base/ole_string.hpp"
#include "device/device_test_support.hpp"
#include "device/fiscal_processor_caller.hpp"
#include "device/rt_server_bridge.hpp"
#include "support/recording_device.hpp"
#include "support/test_environment.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using testing::kRecordingDevice;
using testing::MakeHandler;
using Section = tkFiscalPrinterPrintSection;

const std::string kRule(60, '-');

class DeviceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::PrepareTestApplication(); }

  // A device logging into a fresh directory.
  std::unique_ptr<kRecordingDevice> MakeDevice(
      const std::map<std::string, std::string>& aParameters = {}) {
    handler_ = MakeHandler(aParameters);
    return std::make_unique<kRecordingDevice>(*handler_, logDir_);
  }

  // Frees the device, so that its log is complete, and returns the log's messages.
  static std::vector<std::string> CloseAndReadLog(std::unique_ptr<kRecordingDevice>& aDevice) {
    const std::string file = aDevice->IOHandler().GetLogFileName();
    aDevice.reset();
    return testing::ReadLogMessages(file);
  }

  static std::ptrdiff_t CountOf(const std::vector<std::string>& aLines, const std::string& aLine) {
    return std::count(aLines.begin(), aLines.end(), aLine);
  }

  std::string logDir_ = testing::MakeTemporaryDirectory();
  std::unique_ptr<kReceiptPrinterHandler> handler_;
};

// --- Public operation frame ----------------------------------------------------------------

struct BannerCase {
  const char* fWord;
  std::function<std::string(kFiscalPrinterDevice&, kReceiptPrinterHandler&)> fRun;
};

// Runs the operation and answers its log file name; an error raised by an operation that
// needs a request document does not matter here.
template <typename TOperation>
std::function<std::string(kFiscalPrinterDevice&, kReceiptPrinterHandler&)> Op(TOperation aOp) {
  return [aOp](kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler) {
    try {
      return (aDevice.*aOp)(aHandler).LogFileName;
    } catch (const Exception&) {
      return aDevice.IOHandler().GetLogFileName();
    }
  };
}

TEST_F(DeviceTest, EveryPublicOperationStartsWithItsBannerAndNamesTheLog) {
  using D = kFiscalPrinterDevice;
  const std::vector<BannerCase> cases = {
      {"Open", Op(&D::Pub_Open)},
      {"Close", Op(&D::Pub_Close)},
      {"PrintReceipt", Op(&D::Pub_PrintReceipt)},
      {"ReprintReceipt", Op(&D::Pub_RePrintReceipt)},
      {"PrintXReport", Op(&D::Pub_PrintXReport)},
      {"PrintZReport", Op(&D::Pub_PrintZReport)},
      {"EJReport", Op(&D::Pub_EJReport)},
      {"GetEJFiles", Op(&D::Pub_GetEJFiles)},
      {"GetLotteryRcptStatus", Op(&D::Pub_GetLotteryReceiptStatus)},
      {"GetStatus", Op(&D::Pub_GetStatus)},
      {"Set", Op(&D::Pub_Set)},
      {"SetDateTime", Op(&D::Pub_SetDateTime)},
      {"GetVATTable", Op(&D::Pub_GetVatTable)},
      {"SetVATTable", Op(&D::Pub_SetVatTable)},
      {"GetDeptTable", Op(&D::Pub_GetDeptTable)},
      {"SetDeptTable", Op(&D::Pub_SetDeptTable)},
      {"GetDrawerStatus", Op(&D::Pub_GetDrawerStatus)},
      {"OpenDrawer", Op(&D::Pub_OpenDrawer)},
      {"WriteDisplay", Op(&D::Pub_WriteDisplay)},
      {"PrintNFReceipt", Op(&D::Pub_PrintNFReceipt)},
      {"Pay", Op(&D::Pub_Pay)},
  };
  for (const BannerCase& c : cases) {
    SCOPED_TRACE(c.fWord);
    auto device = MakeDevice();
    const std::string logFile = device->IOHandler().GetLogFileName();
    ASSERT_FALSE(logFile.empty());
    EXPECT_EQ(c.fRun(*device, *handler_), logFile);
    const auto lines = CloseAndReadLog(device);
    EXPECT_EQ(CountOf(lines, kRule + " " + c.fWord), 1);
  }
}

TEST_F(DeviceTest, OperationOutcomeFollowsTheHandlerErrorState) {
  auto device = MakeDevice();
  _int_CLOSE_result result = device->Pub_Close(*handler_);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ErrorText, "");
  EXPECT_EQ(result.LogFileName, device->IOHandler().GetLogFileName());

  device->TestIOHandler().FailDisconnect(10, "port closed");
  result = device->Pub_Close(*handler_);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, "port closed");
  EXPECT_THAT(device->TestIOHandler().Calls(), ElementsAre("Disconnect", "Disconnect"));
}

// --- Readiness step and the primitive guard --------------------------------------------------

struct ReadinessCase {
  const char* fName;
  bool fReady;
  bool fVoidResult;
  const char* fVoidError;  // recorded by VoidReceipt when not null
  bool fExpected;
  std::vector<std::string> fCalls;
  const char* fHandlerError;  // expected recorded error, null for none
};

TEST_F(DeviceTest, ReadinessStepVoidsOnlyWhenTheDeviceIsNotReady) {
  const std::vector<ReadinessCase> cases = {
      {"ready", true, false, nullptr, true, {"CheckDeviceReady"}, nullptr},
      {"voided", false, true, nullptr, true, {"CheckDeviceReady", "VoidReceipt"}, nullptr},
      {"void fails silently",
       false,
       false,
       nullptr,
       false,
       {"CheckDeviceReady", "VoidReceipt"},
       "VoidReceipt failed"},
      {"void fails with its error",
       false,
       false,
       "paper out",
       false,
       {"CheckDeviceReady", "VoidReceipt"},
       "paper out"},
  };
  for (const ReadinessCase& c : cases) {
    SCOPED_TRACE(c.fName);
    auto device = MakeDevice();
    device->SetAnswer("CheckDeviceReady", c.fReady);
    if (c.fVoidError != nullptr) {
      device->SetAnswerWithError("VoidReceipt", 5, c.fVoidError, c.fVoidResult);
    } else {
      device->SetAnswer("VoidReceipt", c.fVoidResult);
    }
    EXPECT_EQ(device->ReadinessStep(), c.fExpected);
    EXPECT_EQ(device->CallNames(), c.fCalls);
    EXPECT_EQ(device->IOHandler().ErrorFound(), c.fHandlerError != nullptr);
    if (c.fHandlerError != nullptr) {
      EXPECT_EQ(device->IOHandler().ErrorMessage(), c.fHandlerError);
    }
  }
}

TEST_F(DeviceTest, SilentPrimitiveFailureIsRecordedSoTheOperationCannotSucceed) {
  auto device = MakeDevice();
  EXPECT_TRUE(device->Call(true, "PrintProductSale"));
  EXPECT_FALSE(device->IOHandler().ErrorFound());

  EXPECT_FALSE(device->Call(false, "PrintProductSale"));
  EXPECT_EQ(device->IOHandler().ErrorMessage(), "PrintProductSale failed");
  EXPECT_EQ(device->IOHandler().ErrorCode(), kRecordingDevice::kPrimitiveFailedCode);

  device->IOHandler().SetCustomError(404, "not found");
  EXPECT_FALSE(device->Call(false, "PrintPayment"));
  EXPECT_EQ(device->IOHandler().ErrorMessage(), "not found");
  EXPECT_EQ(device->IOHandler().ErrorCode(), 404);
}

// --- Construction --------------------------------------------------------------------------

TEST_F(DeviceTest, ConstructionSetsTheDefaultsAndTheDriverVersion) {
  auto device = MakeDevice();
  EXPECT_THAT(device->PrintSequence(), ElementsAre(Section::fpps_Lines, Section::fpps_Payments,
                                                   Section::fpps_TrailerMessages));
  EXPECT_EQ(kFiscalPrinterDevice::GetDriverVersion(), "Version 1.8 - 07/04/2022");
  EXPECT_EQ(device->IOHandler().Version(), kFiscalPrinterDevice::GetDriverVersion());
  EXPECT_FALSE(device->Processor().Active());
  EXPECT_FALSE(device->RTServerActive());
  EXPECT_EQ(device->RTServer(), nullptr);
  EXPECT_TRUE(device->CallNames().empty());
}

TEST_F(DeviceTest, RTServerIsUsedOnlyForTrueInAnyLetterCase) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"TRUE", true}, {"true", true}, {"True", true}, {"yes", false}, {"1", false}, {"", false}};
  for (const auto& [value, active] : cases) {
    SCOPED_TRACE(value);
    auto device = MakeDevice({{"RTServer", value}, {"RTServerDriver", "epson_rt"}});
    EXPECT_EQ(device->RTServerActive(), active);
    ASSERT_EQ(device->RTServer() != nullptr, active);
    if (active) {
      EXPECT_EQ(device->RTServer()->LibraryName(), "epson_rt" + testing::kLibrarySuffix);
    }
  }
}

TEST_F(DeviceTest, RTServerWithoutDriverGetsAnEmptyLibraryName) {
  auto device = MakeDevice({{"RTServer", "true"}});
  ASSERT_NE(device->RTServer(), nullptr);
  EXPECT_EQ(device->RTServer()->LibraryName(), "");
}

TEST_F(DeviceTest, ProcessorThatCannotBeLoadedFailsTheConstruction) {
  // The library joins the working directory and the name with "/".
  const std::string path = std::filesystem::current_path().string() + "/no_such_processor.so";
  try {
    MakeDevice({{"Processor", "no_such_processor.so"}});
    FAIL() << "no error raised";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to load library " + path + ". Error code: [" +
                                             testing::kMissingLibraryCode + "]");
  }
}

TEST_F(DeviceTest, ProcessorIsLoadedAtConstruction) {
  auto device = MakeDevice({{"Processor", NVRP_TEST_PROCESSOR_FULL}});
  EXPECT_TRUE(device->Processor().Active());
  EXPECT_EQ(device->Processor().Name(), NVRP_TEST_PROCESSOR_FULL);
}

// --- Open and close -----------------------------------------------------------------------

TEST_F(DeviceTest, OpenConnectsAndReportsConnectionFailures) {
  auto device = MakeDevice();
  _int_OPEN_result result = device->Pub_Open(*handler_);
  EXPECT_FALSE(result.Error);
  EXPECT_TRUE(device->IOHandler().Connected());

  device->TestIOHandler().FailConnect(-2, "Connection refused");
  result = device->Pub_Open(*handler_);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, "Connection refused");
  EXPECT_EQ(result.LogFileName, device->IOHandler().GetLogFileName());
}

TEST_F(DeviceTest, OpenTellsTheProcessorTheOpenRequest) {
  auto device = MakeDevice({{"Processor", NVRP_TEST_PROCESSOR_FULL}});
  device->SetXmlString("<Open>request</Open>");
  EXPECT_FALSE(device->Pub_Open(*handler_).Error);
  EXPECT_EQ(device->Processor().ProcessorHandle(), 42);
  EXPECT_EQ(device->Processor().ErrorMessage(), "opened");

  // The processor's refusal does not fail the open.
  device->SetXmlString("<Open>fail</Open>");
  EXPECT_FALSE(device->Pub_Open(*handler_).Error);
  EXPECT_EQ(device->Processor().ErrorMessage(), "refused: <Open>fail</Open>");

  const auto lines = CloseAndReadLog(device);
  EXPECT_EQ(CountOf(lines, "Processor:Open"), 2);
}

// The open-till arguments the RT test plug-in last received, "host|port|user|password|till".
std::string LastOpenTill() {
  DynamicLibrary library;  // the device's copy is already loaded: same library, same state
  EXPECT_TRUE(library.Load(NVRP_TEST_RT_SERVER_PLUGIN));
  const auto query = library.Function<void (*)(BSTR*)>("RTS_TEST_LASTOPEN");
  BSTR text = nullptr;
  query(&text);
  const std::string result = OleToUtf8(text);
  OleFreeString(text);
  return result;
}

TEST_F(DeviceTest, OpenOpensTheRTServerTillOnce) {
  auto device =
      MakeDevice({{"RTServer", "true"},
                  {"RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)},
                  {"RTServerHost", "rt.local"},
                  {"RTServerPort", "8443"},
                  {"RTServerUser", "cashier"},
                  {"RTServerPassword", "secret"},
                  {"RTServerTillSerial", "TILL-9"}});
  EXPECT_FALSE(device->Pub_Open(*handler_).Error);
  EXPECT_TRUE(device->RTServer()->TillOpened());
  EXPECT_EQ(LastOpenTill(), "rt.local|8443|cashier|secret|TILL-9");

  EXPECT_FALSE(device->Pub_Open(*handler_).Error);
  const auto lines = CloseAndReadLog(device);
  EXPECT_EQ(CountOf(lines, "RTServer:OpenTill"), 1);
}

TEST_F(DeviceTest, RTServerPortThatIsNotANumberIsZero) {
  auto device =
      MakeDevice({{"RTServer", "true"},
                  {"RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)},
                  {"RTServerPort", "84x"},
                  {"RTServerPassword", "wrong"}});
  // A refused till changes nothing in the open's outcome; the next open tries again.
  EXPECT_FALSE(device->Pub_Open(*handler_).Error);
  EXPECT_FALSE(device->RTServer()->TillOpened());
  EXPECT_EQ(LastOpenTill(), "|0||wrong|");
  EXPECT_EQ(device->RTServer()->ErrorMessage(), "invalid credentials");
  device->Pub_Open(*handler_);
  const auto lines = CloseAndReadLog(device);
  EXPECT_EQ(CountOf(lines, "RTServer:OpenTill"), 2);
}

TEST_F(DeviceTest, CloseDisconnectsAndLeavesThePartnersAlone) {
  auto device = MakeDevice();
  device->Pub_Open(*handler_);
  EXPECT_FALSE(device->Pub_Close(*handler_).Error);
  EXPECT_FALSE(device->IOHandler().Connected());
  EXPECT_THAT(device->TestIOHandler().Calls(), ElementsAre("Connect", "Disconnect"));
  EXPECT_TRUE(device->CallNames().empty());
}

// --- Base operations -------------------------------------------------------------------------

TEST_F(DeviceTest, ResetCountersKeepsTheReportDateAndText) {
  auto device = MakeDevice();
  tkFiscalCounters& counters = device->MutableCounters();
  const Currency some = Currency::FromUnits(9);
  counters = {some, some, some, some, some, some, some, some, 3, 4, 5, 45000.5, "Z text"};
  device->ResetCounters();
  const tkFiscalCounters& reset = device->Counters();
  for (Currency amount :
       {reset.GrandTotalAmount, reset.GrandTotalRefundsAmount, reset.GrandTotalVoidsAmount,
        reset.DayTotalAmount, reset.DayDiscountsAmount, reset.DayReturnsAmount,
        reset.DayRefundsAmount, reset.DayVoidsAmount}) {
    EXPECT_EQ(amount, Currency());
  }
  EXPECT_EQ(reset.DayReceiptsNumber, 0);
  EXPECT_EQ(reset.DayRefundsNumber, 0);
  EXPECT_EQ(reset.ZReportNumber, 0);
  EXPECT_EQ(reset.ZReportDateTime, 45000.5);
  EXPECT_EQ(reset.Text, "Z text");
}

TEST_F(DeviceTest, AddPrintSectionKeepsTheFirstInsertionOrderWithoutDuplicates) {
  auto device = MakeDevice();
  device->AddPrintSection(Section::fpps_Lines);
  EXPECT_THAT(device->PrintSequence(), ElementsAre(Section::fpps_Lines, Section::fpps_Payments,
                                                   Section::fpps_TrailerMessages));
  device->ClearPrintSequence();
  EXPECT_TRUE(device->PrintSequence().empty());
  for (Section s : {Section::fpps_TrailerMessages, Section::fpps_Lines,
                    Section::fpps_TrailerMessages, Section::fpps_Payments, Section::fpps_Lines}) {
    device->AddPrintSection(s);
  }
  EXPECT_THAT(device->PrintSequence(), ElementsAre(Section::fpps_TrailerMessages,
                                                   Section::fpps_Lines, Section::fpps_Payments));
}

TEST(FormatAmountTest, FixedDecimalsRoundedHalfAwayFromZero) {
  struct Case {
    int32_t fDecimals;
    int64_t fRaw;  // ten-thousandths
    const char* fExpected;
  };
  const Case cases[] = {
      {2, 125000, "12.50"},
      {0, 125000, "13"},
      {-1, 125000, "13"},
      {0, -5000, "-1"},
      {2, -123450, "-12.35"},
      {3, 5, "0.001"},
      {2, 12345678912, "1234567.89"},
      {6, 15000, "1.500000"},
      {2, 0, "0.00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kFiscalPrinterDevice::FormatAmount(c.fDecimals, Currency::FromRaw(c.fRaw)),
              c.fExpected)
        << c.fDecimals << " decimals of " << c.fRaw;
  }
}

}  // namespace
}  // namespace nvrp
