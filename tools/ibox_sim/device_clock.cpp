#include "device_clock.hpp"

#include <array>
#include <cstdio>
#include <ctime>

namespace nvrp::ibox_sim {

namespace {

std::tm ToTm(const CivilTime& time) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  tm.tm_isdst = -1;
  return tm;
}

CivilTime FromTimeT(std::time_t seconds) {
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &seconds);
#else
  localtime_r(&seconds, &tm);
#endif
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// Day of week, 0 = Sunday (Sakamoto's method).
int Weekday(const CivilTime& time) {
  static constexpr std::array<int, 12> kMonthShift{0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int year = time.month < 3 ? time.year - 1 : time.year;
  const int month_index = (time.month - 1) % 12;
  return (year + year / 4 - year / 100 + year / 400 +
          kMonthShift[static_cast<size_t>(month_index < 0 ? 0 : month_index)] + time.day) %
         7;
}

// True when the fields name an existing date and time of day.
bool IsValid(const CivilTime& t) {
  if (t.year < 1970 || t.year > 9999 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return false;
  }
  std::tm tm = ToTm(t);
  std::tm back{};
#if defined(_WIN32)
  const std::time_t seconds = _mkgmtime(&tm);
  gmtime_s(&back, &seconds);
#else
  const std::time_t seconds = timegm(&tm);
  gmtime_r(&seconds, &back);
#endif
  return back.tm_year + 1900 == t.year && back.tm_mon + 1 == t.month && back.tm_mday == t.day;
}

}  // namespace

std::optional<CivilTime> ParseCivilTime(const std::string& text) {
  CivilTime t;
  char separator = ' ';
  int consumed = 0;
  const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &t.year, &t.month,
                                 &t.day, &separator, &t.hour, &t.minute, &t.second, &consumed);
  if (fields == 6) {
    t.second = 0;
    consumed = 0;
    std::sscanf(text.c_str(), "%*4d-%*2d-%*2d%*c%*2d:%*2d%n", &consumed);
  }
  if (fields < 6 || (separator != ' ' && separator != 'T') ||
      static_cast<size_t>(consumed) != text.size() || !IsValid(t)) {
    return std::nullopt;
  }
  return t;
}

std::string FormatDeviceDateTime(const CivilTime& time, bool omega) {
  static constexpr std::array<const char*, 7> kWeekdays{"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %02d/%02d/%04d%s%02d:%02d:%02d",
                kWeekdays[static_cast<size_t>(Weekday(time))], time.day, time.month, time.year,
                omega ? " \xCE\xA9 " : " ", time.hour, time.minute, time.second);
  return buffer;
}

CivilTime DeviceClock::Now() const {
  std::lock_guard lock(fMutex);
  if (fFrozen) return *fFrozen;
  const auto now = std::chrono::system_clock::now() + fOffset;
  return FromTimeT(std::chrono::system_clock::to_time_t(now));
}

void DeviceClock::Set(const CivilTime& time, bool frozen) {
  std::lock_guard lock(fMutex);
  if (frozen) {
    fFrozen = time;
    return;
  }
  fFrozen.reset();
  std::tm tm = ToTm(time);
  const std::time_t target = std::mktime(&tm);
  const std::time_t host = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  fOffset = std::chrono::seconds(static_cast<int64_t>(target - host));
}

void DeviceClock::Reset() {
  std::lock_guard lock(fMutex);
  fFrozen.reset();
  fOffset = std::chrono::seconds(0);
}

}  // namespace nvrp::ibox_sim
