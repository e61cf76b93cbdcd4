#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nvrp::ibox_sim {

// One request exactly as it arrived.
struct RecordedRequest {
  std::string method;
  std::string target;  // request target of the request line, undecoded
  std::string path;    // target up to "?"
  std::string query;   // target after "?", without it; empty when there is none
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order
  std::string body;
};

// Request line and header fields of the raw bytes of a request (up to the empty line);
// nullopt when they do not form a request head.
std::optional<RecordedRequest> ParseRequestHead(std::string_view raw);

// Splits a target into path and query.
void SplitTarget(RecordedRequest& request);

// Requests in arrival order, oldest dropped beyond the limit; thread-safe.
class RequestLog {
 public:
  explicit RequestLog(size_t limit) : fLimit(limit) {}
  void Add(RecordedRequest request);
  std::vector<RecordedRequest> Snapshot() const;
  void Clear();

 private:
  mutable std::mutex fMutex;
  size_t fLimit;
  std::deque<RecordedRequest> fRequests;
};

}  // namespace nvrp::ibox_sim
