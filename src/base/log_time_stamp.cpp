#include "base/log_time_stamp.hpp"

#include <algorithm>

#include "base/date_time.hpp"

namespace nvrp {

namespace {

// Writes aValue as exactly aDigits decimal digits (aValue is never negative here).
char* PutDigits(char* aOut, int aValue, int aDigits) {
  for (int i = aDigits - 1; i >= 0; --i) {
    aOut[i] = static_cast<char>('0' + aValue % 10);
    aValue /= 10;
  }
  return aOut + aDigits;
}

char* Put(char* aOut, char aChar) {
  *aOut = aChar;
  return aOut + 1;
}

// Floor division, so that moments before 1970 fall into the right second.
int64_t FloorDiv(int64_t aValue, int64_t aDivisor) {
  const int64_t quotient = aValue / aDivisor;
  return (aValue % aDivisor != 0 && aValue < 0) ? quotient - 1 : quotient;
}

}  // namespace

void tNV_LogTimeStamp::FormatSeconds(int64_t aUnixSeconds) {
  const DateTimeParts parts = LocalTimeParts(aUnixSeconds, 0);
  char* out = fSeconds.data();
  out = Put(PutDigits(out, parts.year, 4), '-');
  out = Put(PutDigits(out, parts.month, 2), '-');
  out = Put(PutDigits(out, parts.day, 2), ' ');
  out = Put(PutDigits(out, parts.hour, 2), ':');
  out = Put(PutDigits(out, parts.minute, 2), ':');
  (void)Put(PutDigits(out, parts.second, 2), ':');
  fCachedSecond = aUnixSeconds;
}

void tNV_LogTimeStamp::Append(std::string& aOut, int64_t aUnixMilliseconds) {
  const int64_t second = FloorDiv(aUnixMilliseconds, 1000);
  // Any other second, earlier ones included (the clock may be set back), is worked out anew.
  if (second != fCachedSecond) FormatSeconds(second);
  char stamp[kLength];
  std::copy(fSeconds.begin(), fSeconds.end(), stamp);
  PutDigits(stamp + kSecondsLength, static_cast<int>(aUnixMilliseconds - second * 1000), 3);
  aOut.append(stamp, kLength);
}

void tNV_LogTimeStamp::AppendNow(std::string& aOut) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  Append(aOut, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace nvrp
