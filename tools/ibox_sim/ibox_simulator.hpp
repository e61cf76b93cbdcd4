#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device_clock.hpp"
#include "device_types.hpp"
#include "fault_injector.hpp"
#include "replay_book.hpp"
#include "request_log.hpp"

namespace nvrp::ibox_sim {

struct SimulatorOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0: a free port chosen by the system
  DeviceSettings device;
  size_t max_recorded_requests = 10000;
};

// The iBox simulator: an HTTP server on a background thread in front of a simulated device.
// Every member function is thread-safe.
class IboxSimulator {
 public:
  explicit IboxSimulator(SimulatorOptions options = {});
  IboxSimulator(const IboxSimulator&) = delete;
  IboxSimulator& operator=(const IboxSimulator&) = delete;
  ~IboxSimulator();

  // Binds and starts serving; throws nvrp::Exception when it cannot listen or already runs.
  void Start();
  // Stops serving; requests being delayed are given up. The device state stays.
  void Stop();
  bool Running() const;
  // The bound port (after Start), otherwise the requested one.
  int Port() const;
  // "http://HOST:PORT", the base URL the driver is given.
  std::string BaseUrl() const;

  std::vector<RecordedRequest> Requests() const;
  void ClearRequests();

  void AddFault(Fault fault);
  void ClearFaults();
  std::vector<Fault> PendingFaults() const;

  // From now on every device request is answered from `book` (a device log played back)
  // instead of the simulated device, and faults are not applied; a request the book holds no
  // answer for gets 404 with a body that names it. Nothing ends the replay.
  void Replay(std::shared_ptr<ReplayBook> book);
  // The book being played back; empty when the device answers.
  std::shared_ptr<ReplayBook> ReplaySource() const;

  DeviceSnapshot Device() const;
  std::vector<PrintedDocument> Printed() const;
  // A journal file by name under the device folder, e.g. "Z0013/F0034_A.".
  std::optional<std::string> JournalFile(const std::string& name) const;
  // The device clock now.
  CivilTime ClockNow() const;
  // Sets the device clock; a frozen clock does not advance.
  void SetClock(const CivilTime& time, bool frozen);
  void SetDrawerOpen(bool open);

 private:
  struct Impl;
  std::unique_ptr<Impl> fImpl;
};

}  // namespace nvrp::ibox_sim
