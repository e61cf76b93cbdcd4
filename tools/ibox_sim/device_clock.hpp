#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

namespace nvrp::ibox_sim {

// A calendar date and time of day on the device (local time, no time zone).
struct CivilTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// Parses "yyyy-mm-dd hh:mm[:ss]" (a "T" may stand for the space); nullopt when malformed.
std::optional<CivilTime> ParseCivilTime(const std::string& text);

// How the device writes its clock: the weekday's two letters, a space, then
// "dd/mm/yyyy hh:mm:ss"; with `omega`, the time follows " Ω " instead of a space.
std::string FormatDeviceDateTime(const CivilTime& time, bool omega);

// The device clock: the host's local time moved by an offset, or a frozen instant.
class DeviceClock {
 public:
  CivilTime Now() const;
  // Sets the clock to `time`; a frozen clock stays there, otherwise it runs on from it.
  void Set(const CivilTime& time, bool frozen);
  // Back to the host's local time.
  void Reset();

 private:
  mutable std::mutex fMutex;
  std::chrono::seconds fOffset{0};
  std::optional<CivilTime> fFrozen;
};

}  // namespace nvrp::ibox_sim
