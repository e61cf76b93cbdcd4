#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_error_messages.hpp"
#include "ibox/ibox_registration.hpp"
#include "ibox/ibox_test_support.hpp"
#include "ibox_simulator.hpp"
#include "support/test_io_handler.hpp"
#include "transport/io_handler.hpp"
#include "transport/io_handler_factory.hpp"
#include "transport/io_handler_http.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;

constexpr const char* kClearErrorsTarget =
    "/db_otf_xml.xml?Order=Cmd&Action=Clr_Errors&Creator=0&Do=&Sync=&makexmlotf=stat";

std::string StatusTarget(int aSeqNo) {
  return "/db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=" + std::to_string(aSeqNo) +
         "&db=gen_par&Sync=&MakeXmlOtf=stat";
}

sim::Fault MakeFault(sim::FaultKind aKind, std::string aMatch) {
  sim::Fault fault;
  fault.kind = aKind;
  fault.match = std::move(aMatch);
  return fault;
}

sim::Fault DeviceError(int32_t aCode, std::string aMatch = "Status") {
  sim::Fault fault = MakeFault(sim::FaultKind::kDeviceError, std::move(aMatch));
  fault.device_error = aCode;
  return fault;
}

// A device object talking to the simulator.
class IBoxChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fSim.SetClock({2023, 6, 5, 9, 5, 0}, true);
    fSim.Start();
    fDevice = testing::MakeDevice(fSim.BaseUrl());
  }

  std::vector<std::string> Targets() const {
    std::vector<std::string> targets;
    for (const auto& request : fSim.Requests()) targets.push_back(request.target);
    return targets;
  }
  kIOHandler& Handler() const { return fDevice->IOHandler(); }

  sim::IboxSimulator fSim;
  std::unique_ptr<kFiscalPrinter_RORERER> fDevice;
};

TEST_F(IBoxChannelTest, ConstructionClearsErrorsThenNumbersFromOne) {
  ASSERT_EQ(Targets(), std::vector<std::string>{kClearErrorsTarget});
  EXPECT_FALSE(Handler().ErrorFound());

  ASSERT_TRUE(fDevice->PollStatus());
  const auto requests = fSim.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, StatusTarget(1));
  EXPECT_EQ(requests[1].method, "POST");
  auto header = [&](const std::string& aName) {
    for (const auto& [name, value] : requests[1].headers) {
      if (name == aName) return value;
    }
    return std::string("<none>");
  };
  EXPECT_EQ(header("User-Agent"), "Norvel Vela Driver");
  EXPECT_EQ(header("Content-Type"), "text/xml; charset=UTF-8");
  // The device reported the status request's own number; the next command continues from it.
  EXPECT_EQ(fDevice->SeqNo(), 1);
  EXPECT_EQ(fDevice->XmlResponseNode().name(), std::string("GEN_PAR"));
}

TEST_F(IBoxChannelTest, DeclaresTheDeviceProperties) {
  using FPC = tkFiscalPrinterCapability;
  EXPECT_EQ(fDevice->Capabilities(),
            (tkFiscalPrinterCapabilities{FPC::fpc_NoFiscalReceipt, FPC::fpc_ReadMemory,
                                         FPC::fpc_NegativePartialAmountReceipt,
                                         FPC::fpc_PrintHeaderOnNonFiscalReceipt}));
  EXPECT_EQ(fDevice->LineLength(), 46);
  EXPECT_EQ(fDevice->DisplayLineCount(), 2);
  EXPECT_EQ(fDevice->DisplayLineLength(), 20);
  EXPECT_EQ(fDevice->IOHandlerHTTP().ContentType(), "text/xml; charset=UTF-8");
  EXPECT_TRUE(fDevice->Init());
}

TEST_F(IBoxChannelTest, PendingErrorIsClearedBeforeCommandsThatAskForIt) {
  fSim.AddFault(DeviceError(1004));
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorCode(), 1004);

  // The status command does not clear first; the drawer command does.
  fSim.AddFault(DeviceError(1004));
  fSim.ClearRequests();
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Targets(), std::vector<std::string>{StatusTarget(2)});

  fSim.ClearRequests();
  EXPECT_TRUE(fDevice->SendCommand(tkIBoxCommandId::ibc_OpenDrawer));
  EXPECT_EQ(Targets(), (std::vector<std::string>{kClearErrorsTarget, "/keybd/LCDSTAT.XML?kbch=100",
                                                 StatusTarget(3)}));
  EXPECT_FALSE(Handler().ErrorFound());
}

TEST_F(IBoxChannelTest, EveryDeviceErrorBecomesItsBilingualMessage) {
  for (const tkIBoxErrorMessage& entry : IBoxErrorTable()) {
    // The device writes the code followed by ":ERROR"; only the code counts.
    fSim.AddFault(DeviceError(entry.Code));
    EXPECT_FALSE(fDevice->PollStatus()) << entry.Code;
    EXPECT_EQ(Handler().ErrorCode(), entry.Code);
    EXPECT_EQ(Handler().ErrorMessage(), entry.Message) << entry.Code;
  }
  fSim.AddFault(DeviceError(1252));
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorCode(), 1252);
  EXPECT_EQ(Handler().ErrorMessage(), "UNKNOWN ERROR - ΑΓΝΩΣΤΟ ΣΦΑΛΜΑ");
}

TEST_F(IBoxChannelTest, PolledCommandFailsWithTheDeviceError) {
  fSim.AddFault(DeviceError(1101, "PLU"));
  const tkIBoxArgument item[] = {
      {"Use", "Sale"}, {"Code", "1"}, {"Quant", "1,000"}, {"Price", "2,50"}};
  EXPECT_FALSE(fDevice->SendCommand(tkIBoxCommandId::ibc_Item, item, "Sale: Bread"));
  EXPECT_EQ(Handler().ErrorCode(), 1101);
  EXPECT_EQ(Handler().ErrorMessage(), IBoxErrorText(1101));
  const auto targets = Targets();
  ASSERT_EQ(targets.size(), 3u);
  EXPECT_EQ(targets[1],
            "/db_otf_xml.xml?Order=PLU&Use=Sale&Code=1&Quant=1,000&Price=2,50&SeqNo=1&Do=&Sync=&"
            "makexmlotf=stat");
  EXPECT_EQ(targets[2], StatusTarget(2));
}

TEST_F(IBoxChannelTest, HttpFailureIsRecordedAndClearedByTheNextSuccess) {
  sim::Fault busy = MakeFault(sim::FaultKind::kHttpStatus, "Status");
  busy.http_status = 503;
  busy.body = "busy";
  fSim.AddFault(busy);
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorCode(), 503);
  EXPECT_EQ(Handler().ErrorMessage(), Handler().DecodeError(503));

  fSim.AddFault(MakeFault(sim::FaultKind::kDropConnection, "Status"));
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_TRUE(Handler().ErrorFound());

  EXPECT_TRUE(fDevice->PollStatus());
  EXPECT_FALSE(Handler().ErrorFound());
}

TEST_F(IBoxChannelTest, AnswerThatIsNotXmlGoesToTheTextResponse) {
  ASSERT_TRUE(fDevice->PollStatus());
  const std::string serial =
      fDevice->XmlResponse().document_element().attribute("DeviceSerialNo").value();
  ASSERT_FALSE(serial.empty());

  sim::Fault html = MakeFault(sim::FaultKind::kContentType, "kbch=100");
  html.content_type = "text/html";
  fSim.AddFault(html);
  fSim.ClearRequests();
  EXPECT_TRUE(fDevice->SendCommand(tkIBoxCommandId::ibc_OpenDrawer));
  EXPECT_EQ(Targets().size(), 1u);  // no status request after a text answer
  EXPECT_NE(fDevice->TextResponse().find("GEN_PAR"), std::string::npos);
  EXPECT_EQ(fDevice->XmlResponse().document_element().attribute("DeviceSerialNo").value(), serial);
}

TEST_F(IBoxChannelTest, StatusAnswerThatCannotBeUsedFailsNamingWhatIsMissing) {
  ASSERT_TRUE(fDevice->PollStatus());  // a usable document is left behind

  sim::Fault html = MakeFault(sim::FaultKind::kContentType, "Status");
  html.content_type = "text/html";
  fSim.AddFault(html);
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorMessage(),
            "The device's status answer is not XML (content type \"text/html\")");

  fSim.AddFault(MakeFault(sim::FaultKind::kMissingGenPar, "Status"));
  EXPECT_FALSE(fDevice->PollStatus());
  EXPECT_EQ(Handler().ErrorMessage(), "The device's status answer has no GEN_PAR element");
  EXPECT_EQ(fDevice->GetReceiptState(), 0);  // the next status is fine again: nothing open
}

TEST_F(IBoxChannelTest, JournalCommandSendsItsPathWithoutParameters) {
  fSim.ClearRequests();
  EXPECT_FALSE(
      fDevice->SendCommand(tkIBoxCommandId::ibc_GetReceiptText, {}, {}, IBoxReceiptTextPath(1, 7)));
  EXPECT_EQ(Targets(), std::vector<std::string>{"/*/Z0001/F0007_A."});
  EXPECT_EQ(Handler().ErrorCode(), 404);
  EXPECT_EQ(Handler().ErrorMessage(), Handler().DecodeError(404));
}

TEST_F(IBoxChannelTest, CommandWithoutItsValuesIsRefused) {
  fSim.ClearRequests();
  EXPECT_THROW(fDevice->SendCommand(tkIBoxCommandId::ibc_Total), Exception);
  EXPECT_THROW(fDevice->SendCommand(tkIBoxCommandId::ibc_Discount), Exception);    // no label
  EXPECT_THROW(fDevice->SendCommand(tkIBoxCommandId::ibc_ZReportXml), Exception);  // no path
  EXPECT_TRUE(Targets().empty());
}

TEST(IBoxDeviceClass, RefusesAConnectionThatIsNotHttp) {
  testing::PrepareTestApplication();
  RegisterIOHandlerClass(tkConnectionType::TCP,
                         [](const kConnection&, const std::string&, const std::string&) {
                           return std::make_unique<testing::kTestIOHandler>("", "");
                         });
  kReceiptPrinterHandler handler;
  handler.Deserialize(
      "<Request><Driver>NVRP_RORERER_10</Driver><Connection><Type>tcp</Type></Connection>"
      "</Request>",
      tkReceiptHandlerDocumentTypes{});
  try {
    kFiscalPrinter_RORERER device(handler);
    ADD_FAILURE() << "a TCP device was built";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Invalid class typecast");
  }
  UnregisterIOHandlerClass(tkConnectionType::TCP);
}

// Records what the iBox unit registers, as the driver registry would.
struct RecordingRegistry {
  std::string fName;
  std::unique_ptr<kFiscalPrinterDevice> (*fCreate)(kReceiptPrinterHandler&) = nullptr;

  template <typename Device>
  void Add(const std::string& aName) {
    fName = aName;
    fCreate = [](kReceiptPrinterHandler& aHandler) -> std::unique_ptr<kFiscalPrinterDevice> {
      return std::make_unique<Device>(aHandler);
    };
  }
};

TEST(IBoxDeviceClass, RegistersUnderItsDriverName) {
  testing::ScriptedIBox box;
  RecordingRegistry registry;
  RegisterIBoxDeviceClass(registry);
  EXPECT_EQ(registry.fName, "NVRP_RORERER_10");
  ASSERT_NE(registry.fCreate, nullptr);
  testing::PrepareTestApplication();
  const auto device = registry.fCreate(*testing::MakeHttpHandler(box.Url()));
  EXPECT_NE(dynamic_cast<kFiscalPrinter_RORERER*>(device.get()), nullptr);
  EXPECT_EQ(box.Targets(), std::vector<std::string>{kClearErrorsTarget});
}

}  // namespace
}  // namespace nvrp
