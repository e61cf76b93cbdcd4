#include <gtest/gtest.h>

#include <utility>

#include "documents/table_items.hpp"

namespace nvrp {
namespace {

TEST(EconomicActivityTable, GetFindsTheFirstExactCode) {
  kEconomicActivityTable table;
  EXPECT_EQ(table.Get("A1"), nullptr);
  table.push_back({1, "A1", "first", false});
  table.push_back({2, "a1", "lower case", false});
  table.push_back({3, "A1", "duplicate", true});

  const kEconomicActivity* found = std::as_const(table).Get("A1");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->fIndex, 1);
  ASSERT_NE(table.Get("a1"), nullptr);
  EXPECT_EQ(table.Get("a1")->fIndex, 2);
  EXPECT_EQ(table.Get("A"), nullptr);
  EXPECT_EQ(table.Get(""), nullptr);

  table.Get("A1")->fDescription = "renamed";
  EXPECT_EQ(table[0].fDescription, "renamed");
}

}  // namespace
}  // namespace nvrp
