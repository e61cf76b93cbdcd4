#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_log.hpp"

namespace nvrp::ibox_sim {

// What the simulator answers for a recorded exchange.
struct ReplayAnswer {
  bool drop = false;  // close the connection without answering
  int status = 200;
  std::string body;
  std::string content_type;
};

// The recorded answer: the body read back with its HTTP status, the status alone, or a
// dropped connection when the driver got no answer. The log does not hold content types:
// the one the driver named when it refused an answer is used, otherwise text/xml for a body
// that starts with "<" and text/plain for any other.
ReplayAnswer RecordedAnswer(const LoggedExchange& exchange);

// How a request is named in the 404 answer and the lists: method, target and the body.
std::string RequestName(std::string_view method, std::string_view target, std::string_view body);

// The exchanges of a device log, answered in order; thread-safe.
class ReplayBook {
 public:
  explicit ReplayBook(std::vector<LoggedExchange> exchanges);

  // The answer of the next unused exchange with this method, target and body; nothing (the
  // request is noted as unmatched) when none is left.
  std::optional<ReplayAnswer> Answer(std::string_view method, std::string_view target,
                                     std::string_view body);

  size_t Size() const { return fExchanges.size(); }
  // Requests that found no recorded answer, in arrival order.
  std::vector<std::string> Unmatched() const;
  // Recorded requests never asked for, as "line N: " + the request's name.
  std::vector<std::string> Unused() const;

 private:
  mutable std::mutex fMutex;
  std::vector<LoggedExchange> fExchanges;
  std::vector<bool> fUsed;
  std::vector<std::string> fUnmatched;
};

}  // namespace nvrp::ibox_sim
