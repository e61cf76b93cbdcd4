#include "base/application_info.hpp"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "base/version_resource.hpp"

namespace nvrp {
namespace {

tNV_ApplicationInfo LoadFrom(std::map<int32_t, std::string> aStrings) {
  tNV_ApplicationInfo info;
  info.Load(tNV_StringTableMap(std::move(aStrings)));
  return info;
}

std::vector<std::string> VersionsOf(const tNV_ApplicationInfo& aInfo) {
  std::vector<std::string> versions;
  for (const auto& entry : aInfo.History()) versions.push_back(entry.Version());
  return versions;
}

TEST(ApplicationInfoTest, LibraryVersionHistory) {
  struct Expected {
    const char* version;
    int year, month, day;
    const char* text;
  };
  const Expected expected[] = {
      {"1.0", 2020, 12, 31, "Initial Release"},
      {"1.1", 2021, 1, 4, "Support of GETSTATUS"},
      {"1.2", 2021, 3, 3, "Barcode printed either on Fiscal and NoFiscal receipts"},
      {"1.3", 2021, 3, 8, "Set lines limit (6) to trailer messages"},
      {"1.4", 2021, 7, 2, "Reset errors in component creation"},
      {"1.5", 2021, 7, 2, "Solved bug in datetime parser when day is one digit"},
      {"1.6", 2021, 8, 24, "Configuration of Payments via configuration file"},
      {"1.7", 2021, 10, 6,
       "Fixed error: consecutive text messages in the body of the fiscal receipt caused error"},
      {"1.8", 2022, 4, 7, "Fixed error when sequence number is greater than 1000"},
  };
  tNV_ApplicationInfo info;
  info.Load(LibraryStringTable());

  EXPECT_EQ(info.Version(), "1.8");
  EXPECT_EQ(info.ReleaseDate(), EncodeDate(2022, 4, 7));
  EXPECT_EQ(info.VersionString(), "[1.8 - 07/04/2022]");
  EXPECT_FALSE(info.Description().empty());
  EXPECT_FALSE(info.Copyright().empty());
  ASSERT_EQ(info.History().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const auto& entry = info.History()[i];
    EXPECT_EQ(entry.Version(), expected[i].version);
    EXPECT_EQ(entry.ReleaseDate(), EncodeDate(expected[i].year, expected[i].month, expected[i].day))
        << entry.Version();
    EXPECT_FALSE(entry.Author().empty());
    EXPECT_EQ(entry.Text(), std::vector<std::string>{expected[i].text});
  }
}

TEST(ApplicationInfoTest, ReadingStopsAfterElevenMissesInARow) {
  struct Case {
    int32_t gap;
    std::vector<std::string> versions;
  };
  const Case cases[] = {{10, {"1", "2"}}, {11, {"1"}}};
  for (const Case& c : cases) {
    const int32_t second = 10001 + c.gap;
    const auto info = LoadFrom({{10000, "$VERSION=1"}, {second, "$VERSION=2"}});
    EXPECT_EQ(VersionsOf(info), c.versions) << "gap " << c.gap;
  }
}

TEST(ApplicationInfoTest, KeysAndValues) {
  const auto info = LoadFrom({
      {10000, "$author=before any version"},
      {10001, "$text=ignored too"},
      {10002, "$version=2.0=beta"},
      {10003, "$Author=Someone"},
      {10004, "$PTEXT=first"},
      {10005, "$TEXT=a=b"},
      {10006, "$UNKNOWN=x"},
      {10007, "no key at all"},
      {10008, "$appdescription=Driver"},
  });
  EXPECT_EQ(info.Version(), "2.0=beta");
  EXPECT_EQ(info.Description(), "Driver");
  ASSERT_EQ(info.History().size(), 1u);
  EXPECT_EQ(info.History()[0].Author(), "Someone");
  EXPECT_EQ(info.History()[0].Text(), (std::vector<std::string>{"first", "a=b"}));
}

TEST(ApplicationInfoTest, ReleaseDateReadByFixedPositions) {
  struct Case {
    const char* text;
    DateTime expected;
  };
  const Case cases[] = {
      {"07/04/2022", EncodeDate(2022, 4, 7)},
      // One-digit day: "5/" and "/2" are no numbers, the year is "21".
      {"5/1/2021", EncodeDate(21, 1, 1)},
      {"xx/yy/zzzz", EncodeDate(1, 1, 1)},
      {"", EncodeDate(1, 1, 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(ReleaseDateFromText(c.text), c.expected) << c.text;
  EXPECT_NE(ReleaseDateFromText("5/1/2021"), EncodeDate(2021, 1, 5));

  for (const char* impossible : {"31/02/2021", "00/01/2021", "01/13/2021", "-5/01/2021"}) {
    EXPECT_THROW(ReleaseDateFromText(impossible), Exception) << impossible;
  }
  EXPECT_THROW(LoadFrom({{10000, "$VERSION=1"}, {10001, "$RELEASEDATE=30/02/2021"}}), Exception);
}

TEST(ApplicationInfoTest, LastVersionIsCurrent) {
  const auto info = LoadFrom({{10000, "$VERSION=1"},
                              {10001, "$RELEASEDATE=01/02/2020"},
                              {10002, "$VERSION=2"},
                              {10003, "$RELEASEDATE=03/04/2021"}});
  EXPECT_EQ(info.VersionString(), "[2 - 03/04/2021]");
  EXPECT_EQ(info.History()[0].ReleaseDate(), EncodeDate(2020, 2, 1));
}

}  // namespace
}  // namespace nvrp
