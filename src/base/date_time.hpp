#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Days since 1899-12-30 00:00, the time of day as the fraction.
using DateTime = double;

struct DateTimeParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// False for an impossible date or time (month 13, 30 February, hour 24 ...).
bool TryEncodeDateTime(const DateTimeParts& parts, DateTime& out);
// Throws nvrp::Exception for an impossible date or time.
DateTime EncodeDateTime(const DateTimeParts& parts);
DateTime EncodeDate(int year, int month, int day);
// Rounds to the nearest millisecond (23:59:59.9996 becomes midnight of the next day).
// Before day zero the whole part is the day and the fraction's absolute value the time.
// A value outside the years 1 to 9999 (or not finite) decodes to all zeros.
DateTimeParts DecodeDateTime(DateTime value);

// The local time of this moment, with milliseconds.
DateTime Now();
// The local date and time of a moment given in seconds since 1970-01-01 UTC, with the
// milliseconds as given.
DateTimeParts LocalTimeParts(int64_t aUnixSeconds, int aMillisecond);

// Formats with the tokens yyyy, mm, dd, hh, nn (minutes), ss and zzz (milliseconds);
// every other character is copied. Example: "yyyy-mm-dd hh:nn:ss:zzz". As "mm" directly
// after an "hh" token (other characters between allowed) stands for minutes, the
// pattern "yyyy-mm-dd hh:mm:ss:zzz" gives the same text.
std::string FormatDateTime(std::string_view pattern, DateTime value);

// 2024-03-01T14:05:09 (no fraction, no zone).
std::string DateTimeToText(DateTime value);

// Reads yyyy?mm?dd?hh?nn?ss[?zzz] by fixed positions; throws nvrp::Exception with
// "DateTime Format invalid: [" + text + "]" on any failure.
DateTime IsoTextToDateTime(std::string_view text);

// (hours * 3600 + minutes * 60 + seconds) * 1000 + milliseconds.
int32_t TimeOfDayMs(DateTime value);

}  // namespace nvrp
