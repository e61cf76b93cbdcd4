#include "base/date_time.hpp"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>

#include "base/nv_exception.hpp"
#include "base/value_messages.hpp"

namespace nvrp {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// 1899-12-30 counted in days from 1970-01-01.
constexpr int64_t kDayZeroFromUnixEpoch = -25569;
// Largest and smallest day numbers that still decode to years 1 and 9999.
constexpr int64_t kFirstDay = -693593;  // 0001-01-01
constexpr int64_t kLastDay = 2958465;   // 9999-12-31

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = month <= 2 ? year - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t year_of_era = y - era * 400;
  const int64_t shifted_month = month > 2 ? month - 3 : month + 9;
  const int64_t day_of_year = (153 * shifted_month + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(int64_t days, DateTimeParts& parts) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t day_of_era = z - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t shifted_month = (5 * day_of_year + 2) / 153;
  parts.day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  parts.month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  parts.year = static_cast<int>(year_of_era + era * 400 + (parts.month <= 2 ? 1 : 0));
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool IsValidTime(const DateTimeParts& p) {
  return p.hour >= 0 && p.hour < 24 && p.minute >= 0 && p.minute < 60 && p.second >= 0 &&
         p.second < 60 && p.millisecond >= 0 && p.millisecond < 1000;
}

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

// A field of fixed position read like an integer: optional sign, then digits only.
std::optional<int> ParseField(std::string_view field) {
  size_t pos = 0;
  bool negative = false;
  if (!field.empty() && (field[0] == '+' || field[0] == '-')) {
    negative = field[0] == '-';
    pos = 1;
  }
  if (pos == field.size()) return std::nullopt;
  int value = 0;
  for (; pos < field.size(); ++pos) {
    if (field[pos] < '0' || field[pos] > '9') return std::nullopt;
    value = value * 10 + (field[pos] - '0');
  }
  return negative ? -value : value;
}

Exception InvalidIsoText(std::string_view text) {
  std::string message(kMsgDateTimeFormatInvalid);
  message += text;
  message += kMsgDateTimeFormatInvalidEnd;
  return Exception(message);
}

}  // namespace

bool TryEncodeDateTime(const DateTimeParts& parts, DateTime& out) {
  if (!IsValidDate(parts.year, parts.month, parts.day) || !IsValidTime(parts)) return false;
  const int64_t day = DaysFromCivil(parts.year, parts.month, parts.day) - kDayZeroFromUnixEpoch;
  const int64_t ms =
      ((parts.hour * 60LL + parts.minute) * 60 + parts.second) * 1000 + parts.millisecond;
  const double time = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  // Before day zero the time of day is stored as a negative fraction.
  out = static_cast<double>(day) + (day >= 0 ? time : -time);
  return true;
}

DateTime EncodeDateTime(const DateTimeParts& parts) {
  DateTime value = 0;
  if (!TryEncodeDateTime(parts, value)) throw Exception(std::string(kMsgInvalidDateEncode));
  return value;
}

DateTime EncodeDate(int year, int month, int day) {
  DateTimeParts parts;
  parts.year = year;
  parts.month = month;
  parts.day = day;
  return EncodeDateTime(parts);
}

DateTimeParts DecodeDateTime(DateTime value) {
  DateTimeParts parts{0, 0, 0, 0, 0, 0, 0};
  if (!std::isfinite(value) || value <= static_cast<double>(kFirstDay - 1) ||
      value >= static_cast<double>(kLastDay + 1)) {
    return parts;
  }
  const double whole = std::trunc(value);
  int64_t day = static_cast<int64_t>(whole);
  int64_t ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {  // rounded up to midnight: the next day begins
    ms -= kMsPerDay;
    ++day;
  }
  if (day > kLastDay) return parts;
  CivilFromDays(day + kDayZeroFromUnixEpoch, parts);
  parts.millisecond = static_cast<int>(ms % 1000);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.hour = static_cast<int>(ms / 3600000);
  return parts;
}

DateTimeParts LocalTimeParts(int64_t aUnixSeconds, int aMillisecond) {
  const auto seconds = static_cast<time_t>(aUnixSeconds);
  tm local{};
#if defined(_WIN32)
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  DateTimeParts parts;
  parts.year = local.tm_year + 1900;
  parts.month = local.tm_mon + 1;
  parts.day = local.tm_mday;
  parts.hour = local.tm_hour;
  parts.minute = local.tm_min;
  parts.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second stays in its minute
  parts.millisecond = aMillisecond;
  return parts;
}

DateTime Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return EncodeDateTime(LocalTimeParts(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000)));
}

std::string FormatDateTime(std::string_view pattern, DateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  std::string out;
  bool after_hour = false;  // "mm" right after an hour token means minutes
  size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    if (rest.starts_with("yyyy")) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "%04d", p.year);
      out += buffer;
      i += 4;
      after_hour = false;
    } else if (rest.starts_with("zzz")) {
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "%03d", p.millisecond);
      out += buffer;
      i += 3;
      after_hour = false;
    } else if (rest.starts_with("mm")) {
      out += TwoDigits(after_hour ? p.minute : p.month);
      i += 2;
      after_hour = false;
    } else if (rest.starts_with("hh")) {
      out += TwoDigits(p.hour);
      i += 2;
      after_hour = true;
    } else if (rest.starts_with("dd") || rest.starts_with("nn") || rest.starts_with("ss")) {
      const char token = rest[0];
      out += TwoDigits(token == 'd' ? p.day : token == 'n' ? p.minute : p.second);
      i += 2;
      after_hour = false;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

std::string DateTimeToText(DateTime value) { return FormatDateTime("yyyy-mm-ddThh:nn:ss", value); }

DateTime IsoTextToDateTime(std::string_view text) {
  if (text.size() < 19) throw InvalidIsoText(text);
  const auto year = ParseField(text.substr(0, 4));
  const auto month = ParseField(text.substr(5, 2));
  const auto day = ParseField(text.substr(8, 2));
  const auto hour = ParseField(text.substr(11, 2));
  const auto minute = ParseField(text.substr(14, 2));
  const auto second = ParseField(text.substr(17, 2));
  if (!year || !month || !day || !hour || !minute || !second) throw InvalidIsoText(text);
  const auto millisecond = text.size() > 20 ? ParseField(text.substr(20, 3)) : std::nullopt;
  const DateTimeParts parts{*year, *month, *day, *hour, *minute, *second, millisecond.value_or(0)};
  DateTime value = 0;
  if (!TryEncodeDateTime(parts, value)) throw InvalidIsoText(text);
  return value;
}

int32_t TimeOfDayMs(DateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  return ((p.hour * 3600 + p.minute * 60 + p.second) * 1000) + p.millisecond;
}

}  // namespace nvrp
