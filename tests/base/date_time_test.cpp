#include "base/date_time.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>

#include "base/nv_exception.hpp"

namespace nvrp {
namespace {

DateTimeParts Parts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int millisecond = 0) {
  return DateTimeParts{year, month, day, hour, minute, second, millisecond};
}

void ExpectParts(const DateTimeParts& actual, const DateTimeParts& expected) {
  EXPECT_EQ(actual.year, expected.year);
  EXPECT_EQ(actual.month, expected.month);
  EXPECT_EQ(actual.day, expected.day);
  EXPECT_EQ(actual.hour, expected.hour);
  EXPECT_EQ(actual.minute, expected.minute);
  EXPECT_EQ(actual.second, expected.second);
  EXPECT_EQ(actual.millisecond, expected.millisecond);
}

TEST(DateTimeEncode, KnownDayNumbers) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);  // 1900 has no 29 February
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(2024, 3, 1), 45352.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(Parts(1899, 12, 30, 12)), 0.5);
  // Before day zero the time of day counts away from zero.
  EXPECT_DOUBLE_EQ(EncodeDateTime(Parts(1899, 12, 29, 6)), -1.25);
}

TEST(DateTimeEncode, RejectsImpossibleDatesAndTimes) {
  const DateTimeParts cases[] = {
      Parts(2024, 13, 1),
      Parts(2024, 0, 1),
      Parts(2024, 2, 30),
      Parts(2023, 2, 29),
      Parts(1900, 2, 29),
      Parts(2024, 4, 31),
      Parts(2024, 1, 0),
      Parts(0, 1, 1),
      Parts(10000, 1, 1),
      Parts(2024, 1, 1, 24),
      Parts(2024, 1, 1, 0, 60),
      Parts(2024, 1, 1, 0, 0, 60),
      Parts(2024, 1, 1, 0, 0, 0, 1000),
      Parts(2024, 1, 1, -1),
  };
  for (const DateTimeParts& p : cases) {
    SCOPED_TRACE(::testing::Message()
                 << p.year << "-" << p.month << "-" << p.day << " " << p.hour << ":" << p.minute
                 << ":" << p.second << "." << p.millisecond);
    DateTime value = 0;
    EXPECT_FALSE(TryEncodeDateTime(p, value));
    EXPECT_THROW(EncodeDateTime(p), Exception);
  }
  DateTime value = 0;
  EXPECT_TRUE(TryEncodeDateTime(Parts(2000, 2, 29), value));  // 2000 is a leap year
  EXPECT_TRUE(TryEncodeDateTime(Parts(2024, 2, 29, 23, 59, 59, 999), value));
}

TEST(DateTimeDecode, RoundTripsAcrossTheRange) {
  const DateTimeParts cases[] = {
      Parts(1899, 12, 30),
      Parts(1899, 12, 30, 23, 59, 59, 999),
      Parts(1899, 12, 29, 6, 0, 0, 1),
      Parts(1800, 1, 1, 13, 14, 15, 16),
      Parts(1, 1, 1, 0, 0, 0, 1),
      Parts(1900, 2, 28, 12),
      Parts(1900, 3, 1),
      Parts(2000, 2, 29, 0, 0, 0, 1),
      Parts(2024, 3, 1, 14, 5, 9, 250),
      Parts(2024, 12, 31, 23, 59, 59, 999),
      Parts(2038, 1, 19, 3, 14, 7, 500),
      Parts(9999, 12, 31, 23, 59, 59, 999),
  };
  for (const DateTimeParts& p : cases) {
    SCOPED_TRACE(::testing::Message() << p.year << "-" << p.month << "-" << p.day);
    ExpectParts(DecodeDateTime(EncodeDateTime(p)), p);
  }
  // Every millisecond value of a few times of day survives the double.
  for (int ms = 0; ms < 1000; ms += 7) {
    const DateTimeParts p = Parts(2024, 6, 15, 17, 42, 58, ms);
    ExpectParts(DecodeDateTime(EncodeDateTime(p)), p);
  }
}

TEST(DateTimeDecode, RoundsToTheMillisecondAndCarries) {
  const double ms = 1.0 / 86400000.0;
  const DateTime last_ms = EncodeDateTime(Parts(2024, 2, 28, 23, 59, 59, 999));
  ExpectParts(DecodeDateTime(last_ms + 0.6 * ms), Parts(2024, 2, 29));
  ExpectParts(DecodeDateTime(last_ms + 0.4 * ms), Parts(2024, 2, 28, 23, 59, 59, 999));
  const DateTime almost_new_year = EncodeDateTime(Parts(2024, 12, 31, 23, 59, 59)) + 999.7 * ms;
  ExpectParts(DecodeDateTime(almost_new_year), Parts(2025, 1, 1));
  ExpectParts(DecodeDateTime(EncodeDate(2024, 3, 1) - 0.2 * ms), Parts(2024, 3, 1));
  // Before day zero: whole part is the day, the absolute fraction the time.
  ExpectParts(DecodeDateTime(-1.5), Parts(1899, 12, 29, 12));
  ExpectParts(DecodeDateTime(-0.75), Parts(1899, 12, 30, 18));
}

TEST(DateTimeDecode, OutOfRangeGivesZeros) {
  ExpectParts(DecodeDateTime(-700000.0), Parts(0, 0, 0));
  ExpectParts(DecodeDateTime(3000000.0), Parts(0, 0, 0));
  ExpectParts(DecodeDateTime(std::nan("")), Parts(0, 0, 0));
}

TEST(DateTimeFormat, TokensAndText) {
  const DateTime value = EncodeDateTime(Parts(2024, 3, 1, 14, 5, 9, 7));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", value), "2024-03-01 14:05:09:007");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:mm:ss:zzz", value), "2024-03-01 14:05:09:007");
  EXPECT_EQ(FormatDateTime("ddmmyyyy [x] hhnn", value), "01032024 [x] 1405");
  EXPECT_EQ(DateTimeToText(value), "2024-03-01T14:05:09");
  EXPECT_EQ(DateTimeToText(0), "1899-12-30T00:00:00");
  EXPECT_EQ(DateTimeToText(EncodeDateTime(Parts(2024, 3, 1, 23, 59, 59, 999))),
            "2024-03-01T23:59:59");
}

TEST(DateTimeIsoText, AcceptedLayouts) {
  const struct {
    const char* text;
    DateTimeParts parts;
  } cases[] = {
      {"2024-03-01T14:05:09", Parts(2024, 3, 1, 14, 5, 9)},
      {"2024-03-01 14:05:09.250", Parts(2024, 3, 1, 14, 5, 9, 250)},
      {"2024/03/01-14.05.09", Parts(2024, 3, 1, 14, 5, 9)},
      {"2024-03-01T14:05:09.", Parts(2024, 3, 1, 14, 5, 9)},
      {"2024-03-01T14:05:09.25", Parts(2024, 3, 1, 14, 5, 9, 25)},
      {"2024-03-01T14:05:09+01:00", Parts(2024, 3, 1, 14, 5, 9)},  // "01:" is no number
      {"2024-03-01T14:05:09.123456Z", Parts(2024, 3, 1, 14, 5, 9, 123)},
      {"1899-12-30T00:00:00", Parts(1899, 12, 30)},
      {"2024-02-29T23:59:59.999", Parts(2024, 2, 29, 23, 59, 59, 999)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectParts(DecodeDateTime(IsoTextToDateTime(c.text)), c.parts);
  }
  EXPECT_EQ(DateTimeToText(IsoTextToDateTime("2024-03-01T14:05:09")), "2024-03-01T14:05:09");
}

TEST(DateTimeIsoText, RejectedTextsNameTheText) {
  const char* cases[] = {
      "",
      "2024-03-01",
      "2024-03-01T14:05:0",
      "2024-3-01T14:05:09",
      "2024-13-01T00:00:00",
      "2024-02-30T10:00:00",
      "2023-02-29T10:00:00",
      "2024-03-01T24:00:00",
      "2024-03-01T14:60:09",
      "2024-03-01T14:05:09.-12",
      "abcd-03-01T14:05:09",
      "2024-03-01T1 :05:09",
      "0000-01-01T00:00:00",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    try {
      IsoTextToDateTime(text);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), std::string("DateTime Format invalid: [") + text + "]");
    }
  }
}

TEST(DateTimeNow, MatchesTheLocalClock) {
  const std::time_t before = std::time(nullptr);
  const DateTime now = Now();
  const std::time_t after = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &before);
#else
  localtime_r(&before, &local);
#endif
  const DateTimeParts parts = DecodeDateTime(now);
  EXPECT_EQ(parts.year, local.tm_year + 1900);
  EXPECT_EQ(parts.month, local.tm_mon + 1);
  if (before == after) {
    EXPECT_EQ(parts.hour, local.tm_hour);
    EXPECT_EQ(parts.minute, local.tm_min);
    EXPECT_EQ(parts.second, local.tm_sec);
  }
}

TEST(DateTimeTimeOfDay, CountsMillisecondsSinceMidnight) {
  EXPECT_EQ(TimeOfDayMs(EncodeDateTime(Parts(2024, 3, 1, 14, 5, 9, 250))), 50709250);
  EXPECT_EQ(TimeOfDayMs(EncodeDate(2024, 3, 1)), 0);
  EXPECT_EQ(TimeOfDayMs(EncodeDateTime(Parts(2024, 3, 1, 23, 59, 59, 999))), 86399999);
  EXPECT_EQ(TimeOfDayMs(-1.25), 6 * 3600 * 1000);
}

}  // namespace
}  // namespace nvrp
