#include <gtest/gtest.h>

#include <string>

#include "base/currency.hpp"
#include "ibox/ibox_commands.hpp"

namespace nvrp {
namespace {

TEST(IBoxJournalPaths, UseTheLastFourDigitsOfEachNumber) {
  EXPECT_EQ(IBoxFourDigits(12), "0012");
  EXPECT_EQ(IBoxFourDigits(12345), "2345");
  EXPECT_EQ(IBoxFourDigits(0), "0000");
  EXPECT_EQ(IBoxReceiptTextPath(13, 34), "*/Z0013/F0034_A.");
  EXPECT_EQ(IBoxZReportFilePath(10012, "J"), "*/Z0012/Z0012_J.");
  EXPECT_EQ(IBoxZReportFilePath(7, "M"), "*/Z0007/Z0007_M.");
}

TEST(IBoxWireNumbers, UseACommaAndFixedDecimals) {
  struct Case {
    Currency value;
    const char* amount;
    const char* quantity;
  };
  const Case cases[] = {
      {Currency::FromRaw(125000), "12,50", "12,500"},
      {Currency::FromUnits(1), "1,00", "1,000"},
      {Currency::FromRaw(-32500), "-3,25", "-3,250"},
      {Currency::FromRaw(5), "0,00", "0,001"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IBoxAmount(c.value), c.amount);
    EXPECT_EQ(IBoxQuantity(c.value), c.quantity);
  }
}

TEST(IBoxCommandTable, EveryOrderOnTheDeviceFileEndsWithItsStatusRequestParameter) {
  for (const tkIBoxCommand& command : IBoxCommands()) {
    if (command.File != "db_otf_xml.xml") continue;
    ASSERT_FALSE(command.Params.empty()) << command.Label;
    const std::string_view last = command.Params.back().Name;
    EXPECT_EQ(last, command.Id == tkIBoxCommandId::ibc_GetStatus ? "MakeXmlOtf" : "makexmlotf")
        << command.Label;
  }
}

}  // namespace
}  // namespace nvrp
