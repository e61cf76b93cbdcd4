#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nvrp {

// Builds the log's time stamp "yyyy-mm-dd hh:nn:ss:zzz" in local time. The part up to the
// seconds is worked out (through the time-zone rules) once per second and reused for every
// later stamp of that second; only the milliseconds are written anew.
class tNV_LogTimeStamp {
 public:
  static constexpr size_t kLength = 23;

  // Appends the stamp of aUnixMilliseconds (milliseconds since 1970-01-01 UTC).
  void Append(std::string& aOut, int64_t aUnixMilliseconds);
  // Appends the stamp of this moment.
  void AppendNow(std::string& aOut);

 private:
  static constexpr size_t kSecondsLength = kLength - 3;  // "yyyy-mm-dd hh:nn:ss:"

  void FormatSeconds(int64_t aUnixSeconds);

  int64_t fCachedSecond = INT64_MIN;
  std::array<char, kSecondsLength> fSeconds{};
};

}  // namespace nvrp
