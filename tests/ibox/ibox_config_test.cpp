#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/host_environment.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_test_support.hpp"

namespace nvrp {
namespace {

using PT = tkReceiptPaymentType;

// The payment-code file beside the host executable (NVRP_HOST_DIR, a temporary directory).
class IBoxConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::PrepareTestApplication();
    RemoveFiles();
  }
  void TearDown() override { RemoveFiles(); }

  static std::string PathOf(const std::string& aName) { return JoinPath(ExeDirectory(), aName); }
  static void Write(const std::string& aContent, const std::string& aName = "NVRP_RORERER_10.ini") {
    std::ofstream(PathOf(aName), std::ios::binary) << aContent;
  }
  static void RemoveFiles() {
    for (const char* name : {"NVRP_RORERER_10.ini", "nvrp_rorerer_10.ini"}) {
      std::filesystem::remove(PathOf(name));
    }
  }

  testing::ScriptedIBox fBox;
};

TEST_F(IBoxConfigTest, ConstructionReadsThePaymentCodes) {
  Write("CreditCard=4\r\nvoucher=9\r\n");
  const auto device = testing::MakeDevice(fBox.Url());
  EXPECT_EQ(device->ConfigList().size(), 2u);
  EXPECT_EQ(device->GetPaymentCode(PT::rpt_CreditCard), "4");
  EXPECT_EQ(device->GetPaymentCode(PT::Rpt_Voucher), "9");
  EXPECT_EQ(device->GetPaymentCode(PT::rpt_Cash), "1");
}

TEST_F(IBoxConfigTest, NamesMatchInAnyCaseAndValuesAreSentAsWritten) {
  struct Case {
    const char* content;
    PT type;
    const char* code;
  };
  const Case cases[] = {
      {"CreditCard=4", PT::rpt_CreditCard, "4"},
      {"CREDITCARD=4", PT::rpt_CreditCard, "4"},
      {" CreditCard=4", PT::rpt_CreditCard, "1"},  // a leading blank is part of the name
      {"CreditCard =4", PT::rpt_CreditCard, "1"},
      {"cash= 7 ", PT::rpt_Cash, " 7 "},
      {"cash=2\ncash=3", PT::rpt_Cash, "2"},
      {"cash", PT::rpt_Cash, "1"},
      {"cash=", PT::rpt_Cash, ""},
      {"credit=5", PT::rpt_CreditCard, "1"},
      {"creditcard=5", PT::rpt_Credit, "1"},
      {"[Payments]\rMealVoucher=8\r", PT::Rpt_MealVoucher, "8"},
      {"\xEF\xBB\xBFnhscard=6", PT::Rpt_NHSCard, "6"},
      {"giftcard=a=b", PT::Rpt_GiftCard, "a=b"},
      {"CreditOnProducts=11\r\nCreditOnServices=12", PT::rpt_CreditOnServices, "12"},
  };
  const auto device = testing::MakeDevice(fBox.Url());
  for (const Case& c : cases) {
    Write(c.content);
    EXPECT_TRUE(device->LoadConfig()) << c.content;
    EXPECT_EQ(device->GetPaymentCode(c.type), c.code) << c.content;
  }
}

TEST_F(IBoxConfigTest, MissingFileLeavesEveryCodeAtOne) {
  Write("cheque=3");
  const auto device = testing::MakeDevice(fBox.Url());
  RemoveFiles();
  EXPECT_FALSE(device->LoadConfig());
  EXPECT_TRUE(device->ConfigList().empty());
  for (const PT type : {PT::rpt_Cash, PT::rpt_Cheque, PT::Rpt_NHSCard}) {
    EXPECT_EQ(device->GetPaymentCode(type), "1");
  }
}

TEST_F(IBoxConfigTest, FileNameIsFoundInAnyCase) {
  Write("debitcard=2", "nvrp_rorerer_10.ini");
  const auto device = testing::MakeDevice(fBox.Url());
  EXPECT_EQ(device->GetPaymentCode(PT::rpt_DebitCard), "2");
}

}  // namespace
}  // namespace nvrp
