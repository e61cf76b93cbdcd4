#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nvrp::ibox_sim {

enum class FaultKind {
  kDeviceError,     // an order fails with the code; a status request reports it
  kHttpStatus,      // answer with an HTTP status and body, the device does nothing
  kDropConnection,  // close the connection without answering, the device does nothing
  kDelay,           // wait before answering
  kContentType,     // answer with another content type
  kMissingGenPar,   // status answer without GEN_PAR
  kDropAfter,       // carry the request out, then close the connection without answering
  kStatusValue,     // a value of the status answer replaced or left out
};

struct Fault {
  FaultKind kind = FaultKind::kDeviceError;
  // Empty: any request (a device error: any status request). Otherwise a command name as
  // CommandName gives it (compared without regard to case) or text found in the raw target.
  std::string match;
  bool sticky = false;  // stays until the faults are cleared; otherwise used up once
  int32_t device_error = 0;
  int http_status = 500;
  std::string body;
  std::chrono::milliseconds delay{0};
  std::string content_type = "text/html";
  // kStatusValue: a child of GEN_PAR, or the root's attribute DeviceSerialNo, and its text;
  // no text leaves it out.
  std::string status_name;
  std::optional<std::string> status_text;
};

// Parses "KIND[:VALUE][@MATCH]" (see the program's usage text); false when malformed.
bool ParseFaultOption(std::string_view option, bool sticky, Fault& fault);

// Faults waiting for requests; thread-safe.
class FaultInjector {
 public:
  void Add(Fault fault);
  void Clear();
  std::vector<Fault> Pending() const;
  // The faults that apply to one request, at most one of each kind (the first added);
  // faults that are not sticky are used up.
  std::vector<Fault> Take(std::string_view command, std::string_view target);

 private:
  mutable std::mutex fMutex;
  std::vector<Fault> fFaults;
};

}  // namespace nvrp::ibox_sim
