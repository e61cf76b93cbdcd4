#include "ibox/ibox_error_messages.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

namespace nvrp {
namespace {

struct KnownMessage {
  int32_t code;
  const char* message;
};

TEST(IBoxErrorText, ReturnsExactMessagesOfKnownCodes) {
  const KnownMessage cases[] = {
      {101, "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! "},
      {504, "Missing XML FILE! - ΛΕΙΠΕΙ ΑΡΧΕΙΟ XML! "},
      {823, "H MNHMH EFORIA EINAI EMPTY! - H MNHMH ΕΦΟΡΙΑΣ EINAI ΚΕΝΗ! "},
      {1004, "THERE IS OPEN PROOF! - ΥΠΑΡΧΕΙ ΑΝΟΙΚΤΗ ΑΠΟΔΕΙΞΗ! "},
      {1152, "YOU MUST CHOOSE \"CREDIT\"! - ΠΡΕΠΕΙ ΝΑ ΕΠΙΛΕΞΕΤΕ \"ΠΙΣΤΩΣΗ\"! "},
      {1155, "CLOSE THE PROOF WITH \"CREDIT\"! - ΚΛΕΙΣΤΕ ΤΗΝ ΑΠΟΔΕΙΞΗ ΜΕ \"ΠΙΣΤΩΣΗ\"! "},
      {1186, "CHANGE OF AMOUNT STATION IS PROHIBITED! - ΑΠΑΓΟΡΕΥΕΤΑΙ Η ΑΛΛΑΓΗ ΣΤΑθ.ΠΟΣΟΥ! "},
      {1251, "BREAK POINT 1 - BREAK POINT 1 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IBoxErrorText(c.code), c.message) << "code " << c.code;
  }
}

TEST(IBoxErrorText, KeepsLatinLettersAmongGreekOnes) {
  // "TO", "X" and "I" in the Greek half of 101 are Latin letters.
  const std::string text = IBoxErrorText(101);
  EXPECT_NE(text.find(" - ΕΛΕΓΞΤΕ TO X"), std::string::npos);
  EXPECT_NE(text.find("ΑΡΤI "), std::string::npos);
  EXPECT_EQ(text.find("ΤΟ"), std::string::npos);  // Greek Tau-Omicron is not used here
}

TEST(IBoxErrorText, FallsBackForUnlistedCodes) {
  for (const int32_t code : {0, -1, -101, 1, 100, 104, 999, 1252, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(IBoxErrorText(code), "UNKNOWN ERROR - ΑΓΝΩΣΤΟ ΣΦΑΛΜΑ") << "code " << code;
  }
}

TEST(IBoxErrorTable, HasUniqueAscendingCodes) {
  const auto table = IBoxErrorTable();
  ASSERT_EQ(table.size(), 143u);
  EXPECT_EQ(table.front().Code, 101);
  EXPECT_EQ(table.back().Code, 1251);
  std::set<int32_t> codes;
  for (const auto& entry : table) {
    EXPECT_TRUE(codes.insert(entry.Code).second) << "duplicate code " << entry.Code;
    EXPECT_EQ(IBoxErrorText(entry.Code), entry.Message);
  }
  EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                             [](const auto& a, const auto& b) { return a.Code < b.Code; }));
}

TEST(IBoxErrorTable, EveryMessageIsBilingualWithFinalSpaceAndNoCode) {
  for (const auto& entry : IBoxErrorTable()) {
    const std::string message(entry.Message);
    SCOPED_TRACE(entry.Code);
    EXPECT_NE(message.find(" - "), std::string::npos);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(message.back(), ' ');
    EXPECT_NE(message[message.size() - 2], ' ');
    EXPECT_EQ(message.find(std::to_string(entry.Code)), std::string::npos);
  }
}

}  // namespace
}  // namespace nvrp
