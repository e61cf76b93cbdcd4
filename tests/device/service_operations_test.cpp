// Service operations over a device whose primitives answer as each test arranges: the
// department table with its activities, training mode, display, non-fiscal documents, status
// from the processor and payments.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "documents/table_items.hpp"
#include "support/recording_device.hpp"
#include "support/test_environment.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using testing::kRecordedCall;
using testing::kRecordingDevice;
using DT = tkReceiptHandlerDocumentType;

class ServiceOperationsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::PrepareTestApplication(); }

  // A device for a request with these parameters and documents.
  kRecordingDevice& Device(const std::string& aBody = "", const std::string& aParameters = "",
                           tkReceiptHandlerDocumentTypes aDocuments = {}) {
    fHandler = std::make_unique<kReceiptPrinterHandler>();
    fHandler->Deserialize(
        "<Request><Driver>NVRP_RORERER_10</Driver><LogId>svc</LogId>"
        "<Parameters>" +
            aParameters + "</Parameters>" + aBody + "</Request>",
        aDocuments);
    fDevice = std::make_unique<kRecordingDevice>(*fHandler);
    return *fDevice;
  }

  std::unique_ptr<kReceiptPrinterHandler> fHandler;
  std::unique_ptr<kRecordingDevice> fDevice;
};

kDepartment Department(int32_t aIndex, const std::string& aEACode,
                       tkDepartmentSalesType aType = tkDepartmentSalesType::st_Product) {
  kDepartment department;
  department.fIndex = aIndex;
  department.fCode = "D" + std::to_string(aIndex);
  department.fDescription = "Dept <" + std::to_string(aIndex) + ">";
  department.fVATCode = "A";
  department.fSalesType = aType;
  department.fEACode = aEACode;
  return department;
}

TEST_F(ServiceOperationsTest, DepartmentsCarryTheirActivity) {
  kRecordingDevice& device = Device();
  device.EATable().push_back({1, "EA1", "Retail", true});
  device.EATable().push_back({2, "EA2", "Food", false});
  device.EATable().push_back({3, "EA1", "Shadowed", false});  // only the first of a code counts
  device.DeptTable().push_back(Department(1, "EA1"));
  device.DeptTable().push_back(Department(2, "EA2", tkDepartmentSalesType::st_Service));
  device.DeptTable().push_back(Department(3, ""));
  device.DeptTable().push_back(Department(4, "EA9"));  // no such activity

  const _int_GETDEPTTABLE_result result = device.Pub_GetDeptTable(*fHandler);
  ASSERT_FALSE(result.Error) << result.ErrorText;
  EXPECT_THAT(device.CallNames(), ElementsAre("ReadEATable", "ReadDeptTable"));
  struct Expected {
    std::string salesType, eaCode, eaDescription, eaVATMode;
  };
  const Expected expected[] = {{"Product", "EA1", "Retail", "1"},
                               {"Service", "EA2", "Food", "0"},
                               {"Product", "", "", ""},
                               {"Product", "EA9", "", "0"}};
  ASSERT_EQ(result.DeptTable.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    const _int_Dept& dept = result.DeptTable[i];
    EXPECT_EQ(dept.Index, static_cast<int32_t>(i + 1));
    EXPECT_EQ(dept.Code, "D" + std::to_string(i + 1));
    EXPECT_EQ(dept.VatCode, "A");
    EXPECT_EQ(dept.SalesType, expected[i].salesType) << i;
    EXPECT_EQ(dept.EACode, expected[i].eaCode) << i;
    EXPECT_EQ(dept.EADescription, expected[i].eaDescription) << i;
    EXPECT_EQ(dept.EAVATMode, expected[i].eaVATMode) << i;
  }
}

TEST_F(ServiceOperationsTest, LongDepartmentTablesStayFastAndFailedReadsGiveEmptyLists) {
  kRecordingDevice& device = Device();
  for (int32_t i = 0; i < 10000; ++i) {
    device.EATable().push_back({i, "EA" + std::to_string(i), "Activity", i % 2 == 0});
    device.DeptTable().push_back(Department(i, "EA" + std::to_string(i % 50)));
  }
  const auto start = std::chrono::steady_clock::now();
  const _int_GETDEPTTABLE_result result = device.Pub_GetDeptTable(*fHandler);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  ASSERT_EQ(result.DeptTable.size(), 10000u);
  EXPECT_EQ(result.DeptTable[49].EAVATMode, "0");
  EXPECT_EQ(result.DeptTable[50].EAVATMode, "1");

  device.SetAnswerWithError("ReadDeptTable", 7, "table unreadable");
  const _int_GETDEPTTABLE_result failed = device.Pub_GetDeptTable(*fHandler);
  EXPECT_TRUE(failed.Error);
  EXPECT_EQ(failed.ErrorText, "table unreadable");
  EXPECT_TRUE(failed.DeptTable.empty());

  device.VatTable().push_back({1, "A", "Standard", Currency::FromUnits(24)});
  device.SetAnswerWithError("ReadVatTable", 7, "vat unreadable");
  EXPECT_TRUE(device.Pub_GetVatTable(*fHandler).VATTable.empty());
  device.IOHandler().ResetCustomError();
  device.SetAnswer("ReadVatTable", true);
  const _int_GETVATTABLE_result vat = device.Pub_GetVatTable(*fHandler);
  ASSERT_EQ(vat.VATTable.size(), 1u);
  EXPECT_EQ(vat.VATTable[0].Rate, Currency::FromUnits(24));
}

TEST_F(ServiceOperationsTest, TrainingModeOnADeviceThatHasIt) {
  kRecordingDevice& device = Device("", "<TrainingMode>-1</TrainingMode>");
  EXPECT_FALSE(device.Pub_Set(*fHandler).Error);
  EXPECT_EQ(device.Calls(), (std::vector<kRecordedCall>{{"SetTrainingMode", "true"}}));

  // Switching it off on a device that refuses is harmless; a recorded error is reported.
  kRecordingDevice& off = Device("", "<TrainingMode>0</TrainingMode>");
  off.SetAnswer("SetTrainingMode", false);
  EXPECT_FALSE(off.Pub_Set(*fHandler).Error);
  kRecordingDevice& failing = Device("", "<TrainingMode>true</TrainingMode>");
  failing.SetAnswerWithError("SetTrainingMode", 3, "busy");
  EXPECT_EQ(failing.Pub_Set(*fHandler).ErrorText, "busy");

  kRecordingDevice& bad = Device("", "<TrainingMode>1,5x</TrainingMode>");
  EXPECT_THROW(bad.Pub_Set(*fHandler), Exception);
  EXPECT_TRUE(bad.Calls().empty());
}

TEST_F(ServiceOperationsTest, DisplayClearsFirstOnlyWhenAskedAndStopsWhenClearingFails) {
  const std::string display =
      "<Display><Clear>true</Clear><Lines><Text><Value>a</Value>"
      "<Alignment>left</Alignment></Text><Text><Value>b</Value>"
      "<Alignment>left</Alignment></Text></Lines></Display>";
  const tkReceiptHandlerDocumentTypes documents{DT::dt_Display};
  kRecordingDevice& cleared = Device(display, "", documents);
  EXPECT_FALSE(cleared.Pub_WriteDisplay(*fHandler).Error);
  EXPECT_EQ(cleared.Calls(),
            (std::vector<kRecordedCall>{{"ClearDisplay", ""}, {"WriteDisplayLine", "2"}}));

  kRecordingDevice& refused = Device(display, "", documents);
  refused.SetAnswer("ClearDisplay", false);
  const _int_DISPLAY_result result = refused.Pub_WriteDisplay(*fHandler);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, "ClearDisplay failed");
  EXPECT_THAT(refused.CallNames(), ElementsAre("ClearDisplay"));

  std::string plain = display;
  plain.replace(plain.find("true"), 4, "false");
  kRecordingDevice& unclear = Device(plain, "", documents);
  unclear.SetAnswer("WriteDisplayLine", false);  // its result is not the operation's
  EXPECT_FALSE(unclear.Pub_WriteDisplay(*fHandler).Error);
  EXPECT_THAT(unclear.CallNames(), ElementsAre("WriteDisplayLine"));
}

TEST_F(ServiceOperationsTest, NonFiscalDocumentStopsAtTheFirstFailure) {
  const std::string body =
      "<NFReceipt><Lines><Text><Value>one</Value><Alignment>left</Alignment></Text>"
      "<Barcode><Value>123</Value><Type>EAN13</Type></Barcode>"
      "<Image><Value>logo</Value><Source>Resource</Source><Alignment>left</Alignment></Image>"
      "</Lines></NFReceipt>";
  const tkReceiptHandlerDocumentTypes documents{DT::dt_NFReceipt};
  kRecordingDevice& device = Device(body, "", documents);
  device.Outputs().fDeviceDateTime = 45000.5;
  const _int_PRINTNFR_result printed = device.Pub_PrintNFReceipt(*fHandler);
  EXPECT_FALSE(printed.Error);
  EXPECT_EQ(printed.NFReceiptDateTime, 45000.5);
  EXPECT_THAT(device.CallNames(),
              ElementsAre("CheckDeviceReady", "BeginNonFiscal", "PrintNonFiscalTextLine",
                          "PrintNonFiscalBarcodeLine", "PrintNonFiscalImageLine", "EndNonFiscal",
                          "ReadDateTime"));
  ASSERT_EQ(device.NonFiscalTextLines().size(), 1u);
  EXPECT_TRUE(device.NonFiscalTextLines()[0].fWithReceipt);

  struct Case {
    const char* failing;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"BeginNonFiscal", {"CheckDeviceReady", "BeginNonFiscal"}},
      {"PrintNonFiscalBarcodeLine",
       {"CheckDeviceReady", "BeginNonFiscal", "PrintNonFiscalTextLine",
        "PrintNonFiscalBarcodeLine"}},
      {"EndNonFiscal",
       {"CheckDeviceReady", "BeginNonFiscal", "PrintNonFiscalTextLine", "PrintNonFiscalBarcodeLine",
        "PrintNonFiscalImageLine", "EndNonFiscal"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    kRecordingDevice& failing = Device(body, "", documents);
    failing.SetAnswer(c.failing, false);
    const _int_PRINTNFR_result result = failing.Pub_PrintNFReceipt(*fHandler);
    EXPECT_TRUE(result.Error);
    EXPECT_EQ(result.ErrorText, std::string(c.failing) + " failed");
    EXPECT_EQ(result.NFReceiptDateTime, 0);
    EXPECT_EQ(failing.CallNames(), c.calls);
  }
}

TEST_F(ServiceOperationsTest, StatusIsStoredOnlyWhenReadAndTheProcessorMayOverrideIt) {
  kRecordingDevice& device = Device();
  device.Outputs().fSerialNumber = "S-1";
  device.Outputs().fFiscalMode = "RT";
  EXPECT_FALSE(device.Pub_GetStatus(*fHandler).Error);
  EXPECT_EQ(device.SerialNumber(), "S-1");
  EXPECT_EQ(device.FiscalMode(), "RT");

  device.Outputs().fSerialNumber = "S-2";
  device.SetAnswerWithError("ReadStatus", 101, "paper");
  const _int_GETSTATUS_result failed = device.Pub_GetStatus(*fHandler);
  EXPECT_TRUE(failed.Error);
  EXPECT_EQ(device.SerialNumber(), "S-1") << "a failed read keeps the last serial number";

  fHandler = std::make_unique<kReceiptPrinterHandler>();
  fHandler->Deserialize(std::string("<Request><Driver>NVRP_RORERER_10</Driver><Parameters>"
                                    "<Processor>") +
                            NVRP_TEST_PROCESSOR_FULL + "</Processor></Parameters></Request>",
                        {});
  fDevice = std::make_unique<kRecordingDevice>(*fHandler);
  fDevice->SetXmlString("<Request/>");
  const _int_GETSTATUS_result processed = fDevice->Pub_GetStatus(*fHandler);
  EXPECT_FALSE(processed.Error) << processed.ErrorText;
  EXPECT_TRUE(processed.DayOpened);
  EXPECT_EQ(processed.FirmwareVersion, "FW1");
  EXPECT_EQ(fDevice->SerialNumber(), "SN1");
  EXPECT_EQ(fDevice->FiscalMode(), "FISCAL");
}

TEST_F(ServiceOperationsTest, PaymentReceiptLinesEachEndWithCrLf) {
  const tkReceiptHandlerDocumentTypes documents{DT::dt_Pay};
  kRecordingDevice& device = Device(
      "<Payment><Amount>5</Amount><PrintLocation>EFT</PrintLocation></Payment>", "", documents);
  device.OnCall("PayPrimitive", [this] {
    fHandler->PaymentReceipt().fReceiptLines = {"APPROVED", "", "€ 5,00"};
    fHandler->PaymentReceipt().fRawResponse = "<raw/>";
  });
  const _int_PAY_result paid = device.Pub_Pay(*fHandler);
  EXPECT_FALSE(paid.Error);
  EXPECT_EQ(paid.ReceiptText, "APPROVED\r\n\r\n€ 5,00\r\n");
  EXPECT_EQ(paid.RawResponse, "<raw/>");
  EXPECT_EQ(paid.TransactionType, tkPaymentTransactionType::ptt_Manual);
  EXPECT_EQ(paid.PaymentNetwork, tkPaymentNetwork::Other);
  EXPECT_EQ(device.Calls(), (std::vector<kRecordedCall>{{"PayPrimitive", "5"}}));

  device.SetAnswerWithError("PayPrimitive", 9, "terminal offline");
  const _int_PAY_result failed = device.Pub_Pay(*fHandler);
  EXPECT_TRUE(failed.Error);
  EXPECT_EQ(failed.ErrorText, "terminal offline");
  EXPECT_EQ(failed.ReceiptText, "");
  EXPECT_EQ(failed.TransactionType, tkPaymentTransactionType::ptt_Manual);
}

}  // namespace
}  // namespace nvrp
