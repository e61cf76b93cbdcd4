#include "base/log_time_stamp.hpp"

#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/date_time.hpp"

namespace nvrp {
namespace {

using namespace std::chrono;

// Runs a test under the time zone aZone and puts the process's zone back afterwards.
class ZoneScope {
 public:
  explicit ZoneScope(const char* aZone) {
    if (const char* old = ::getenv("TZ")) fOld = old;
    ::setenv("TZ", aZone, 1);
    ::tzset();
  }
  ~ZoneScope() {
    if (fOld) {
      ::setenv("TZ", fOld->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;

 private:
  std::optional<std::string> fOld;
};

// Milliseconds since 1970 of a UTC date and time.
int64_t UtcMs(int aYear, unsigned aMonth, unsigned aDay, int aHour, int aMinute, int aSecond,
              int aMillisecond) {
  const sys_days day = year{aYear} / month{aMonth} / std::chrono::day{aDay};
  const auto moment =
      day + hours{aHour} + minutes{aMinute} + seconds{aSecond} + milliseconds{aMillisecond};
  return duration_cast<milliseconds>(moment.time_since_epoch()).count();
}

struct StampCase {
  int64_t unix_ms;
  const char* expected;
};

// One builder runs through each table in order, so that every row also tests what the
// previous row left cached.
void ExpectStamps(const StampCase* aBegin, const StampCase* aEnd) {
  tNV_LogTimeStamp builder;
  for (const StampCase* c = aBegin; c != aEnd; ++c) {
    std::string out = "x";
    builder.Append(out, c->unix_ms);
    EXPECT_EQ(out, std::string("x") + c->expected) << "at " << c->unix_ms;
  }
}

TEST(LogTimeStamp, RollsOverMillisecondsSecondsAndDays) {
  ZoneScope zone("UTC0");
  const StampCase cases[] = {
      {UtcMs(2024, 5, 6, 9, 5, 7, 0), "2024-05-06 09:05:07:000"},
      {UtcMs(2024, 5, 6, 9, 5, 7, 42), "2024-05-06 09:05:07:042"},  // same second, cached
      {UtcMs(2024, 5, 6, 9, 5, 7, 999), "2024-05-06 09:05:07:999"},
      {UtcMs(2024, 5, 6, 9, 5, 8, 0), "2024-05-06 09:05:08:000"},  // millisecond rollover
      {UtcMs(2024, 5, 6, 9, 59, 59, 999), "2024-05-06 09:59:59:999"},
      {UtcMs(2024, 5, 6, 10, 0, 0, 1), "2024-05-06 10:00:00:001"},
      {UtcMs(2024, 2, 28, 23, 59, 59, 999), "2024-02-28 23:59:59:999"},
      {UtcMs(2024, 2, 29, 0, 0, 0, 0), "2024-02-29 00:00:00:000"},  // day rollover, leap day
      {UtcMs(2024, 12, 31, 23, 59, 59, 999), "2024-12-31 23:59:59:999"},
      {UtcMs(2025, 1, 1, 0, 0, 0, 0), "2025-01-01 00:00:00:000"},  // year rollover
      {UtcMs(2025, 1, 1, 0, 0, 0, 500), "2025-01-01 00:00:00:500"},
      {UtcMs(2024, 12, 31, 23, 59, 59, 500), "2024-12-31 23:59:59:500"},  // clock set back
      {UtcMs(1969, 12, 31, 23, 59, 59, 250), "1969-12-31 23:59:59:250"},  // before 1970
      {UtcMs(1970, 1, 1, 0, 0, 0, 0), "1970-01-01 00:00:00:000"},
  };
  ExpectStamps(std::begin(cases), std::end(cases));
}

TEST(LogTimeStamp, FollowsLocalTimeAcrossSummerTime) {
  ZoneScope zone("EET-2EEST,M3.5.0/3,M10.5.0/4");  // Athens
  const StampCase cases[] = {
      {UtcMs(2024, 3, 31, 0, 59, 59, 999), "2024-03-31 02:59:59:999"},
      {UtcMs(2024, 3, 31, 1, 0, 0, 0), "2024-03-31 04:00:00:000"},  // clocks go forward
      {UtcMs(2024, 10, 27, 0, 59, 59, 999), "2024-10-27 03:59:59:999"},
      {UtcMs(2024, 10, 27, 1, 0, 0, 0), "2024-10-27 03:00:00:000"},  // and back
      {UtcMs(2024, 12, 31, 21, 59, 59, 999), "2024-12-31 23:59:59:999"},
      {UtcMs(2024, 12, 31, 22, 0, 0, 0), "2025-01-01 00:00:00:000"},  // local new year
  };
  ExpectStamps(std::begin(cases), std::end(cases));
}

// The stamp reads as the general date formatter writes the same local time.
TEST(LogTimeStamp, AgreesWithTheDateFormatter) {
  ZoneScope zone("EET-2EEST,M3.5.0/3,M10.5.0/4");
  tNV_LogTimeStamp builder;
  const int64_t start = UtcMs(2024, 3, 30, 23, 0, 0, 3);
  for (int64_t step = 0; step < 5000; ++step) {
    const int64_t unix_ms = start + step * 997;  // crosses the summer-time switch
    std::string stamp;
    builder.Append(stamp, unix_ms);
    const DateTimeParts parts = LocalTimeParts(unix_ms / 1000, static_cast<int>(unix_ms % 1000));
    ASSERT_EQ(stamp, FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", EncodeDateTime(parts)));
  }
}

TEST(LogTimeStamp, NowIsTheCurrentLocalTime) {
  tNV_LogTimeStamp builder;
  const std::string before = FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", Now());
  std::string stamp;
  builder.AppendNow(stamp);
  const std::string after = FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", Now());
  ASSERT_EQ(stamp.size(), tNV_LogTimeStamp::kLength);
  EXPECT_LE(before, stamp);
  EXPECT_GE(after, stamp);
}

}  // namespace
}  // namespace nvrp
