#include <gtest/gtest.h>

#include <string>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"

namespace nvrp {
namespace {

using LA = tkReceiptMessageLineAlignment;

TEST(IBoxFormatDescription, EscapesForTheDevice) {
  struct Case {
    const char* text;
    LA alignment;
    int32_t size;
    const char* expected;
  };
  const Case cases[] = {
      {"A&B", LA::la_left, 1, "A%26B"},
      {"Total 5€", LA::la_center, 2, "%7C%7B%3E+Total%205%E2%82%AC"},
      {"a|b^c", LA::la_left, 1, "a%20b%20c"},
      {"Right", LA::la_right, 1, "%3E%3ERight"},
      {"Big", LA::la_left, 3, "%7C%7BBig"},
      {"none", LA::la_none, 0, "none"},
      // The fourteen escaped characters; "^" and "|" were already blanks.
      {"*<>#%\"{}\\[]`", LA::la_left, 1, "%2A%3C%3E%23%25%22%7B%7D%5C%5B%5D%60"},
      // Kept as they are.
      {"az09=+/,.:;?!$'()-_~", LA::la_left, 1, "az09=+/,.:;?!$'()-_~"},
      // Controls, DEL included: the HTTP client refuses a URL with a raw DEL.
      {"\t\r\n\x7F", LA::la_left, 1, "%09%0D%0A%7F"},
      {"Καφές", LA::la_left, 1, "%CE%9A%CE%B1%CF%86%CE%AD%CF%82"},
      {"", LA::la_center, 2, "%7C%7B%3E+"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kFiscalPrinter_RORERER::FormatDescription(c.text, c.alignment, c.size), c.expected)
        << c.text;
  }
}

TEST(IBoxParseDeviceDateTime, ReadsBothClockForms) {
  struct Case {
    const char* text;
    DateTimeParts expected;
  };
  const Case cases[] = {
      {"Mo 5/6/2023 9:05", {2023, 6, 5, 9, 5, 0, 0}},
      {"Mo 05/06/2023 09:05:07", {2023, 6, 5, 9, 5, 7, 0}},
      {"Mo 05/06/2023", {2023, 6, 5, 0, 0, 0, 0}},
      {"xx  31/12/1999   23:59:59  ", {1999, 12, 31, 23, 59, 59, 0}},
      {"Mo 05/06/2023 Ω 09:05:00", {2023, 6, 5, 9, 5, 0, 0}},
      {"Mo 05/06/2023 Ω 09:05:33", {2023, 6, 5, 9, 5, 33, 0}},
      {"Mo 1/2/2024 10:11:x", {2024, 2, 1, 10, 11, 0, 0}},  // seconds not a number
      {"Mo 1/2/2024 10:11:", {2024, 2, 1, 10, 11, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(kFiscalPrinter_RORERER::ParseDeviceDateTime(c.text),
                     EncodeDateTime(c.expected))
        << c.text;
  }
}

TEST(IBoxParseDeviceDateTime, RaisesForFieldsThatAreNotIntegersOrDatesThatDoNotExist) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"Mo 05/Jun/2023 09:05", "'Jun' is not a valid integer value"},
      {"Mo 05/06/2023 9h05", "'9h05' is not a valid integer value"},
      {"Mo 05/06/2023 09", "'' is not a valid integer value"},  // no minutes
      {"", "'' is not a valid integer value"},
      {"Ω", "'' is not a valid integer value"},
      {"Mo 31/02/2023 10:00", "Invalid argument to date encode"},
      {"Mo 05/06/2023 24:00", "Invalid argument to date encode"},
  };
  for (const Case& c : cases) {
    try {
      kFiscalPrinter_RORERER::ParseDeviceDateTime(c.text);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), c.message) << c.text;
    }
  }
}

}  // namespace
}  // namespace nvrp
