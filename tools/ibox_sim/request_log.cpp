#include "request_log.hpp"

namespace nvrp::ibox_sim {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Next line of `text` from `pos` without its CR LF (or LF); advances `pos`.
std::string_view NextLine(std::string_view text, size_t& pos) {
  const size_t end = text.find('\n', pos);
  std::string_view line = text.substr(pos, end == std::string_view::npos ? text.npos : end - pos);
  pos = end == std::string_view::npos ? text.size() : end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

std::optional<RecordedRequest> ParseRequestHead(std::string_view raw) {
  size_t pos = 0;
  const std::string_view request_line = NextLine(raw, pos);
  const size_t first_space = request_line.find(' ');
  const size_t last_space = request_line.rfind(' ');
  if (first_space == std::string_view::npos || last_space <= first_space) return std::nullopt;
  RecordedRequest request;
  request.method = std::string(request_line.substr(0, first_space));
  request.target = std::string(request_line.substr(first_space + 1, last_space - first_space - 1));
  SplitTarget(request);
  while (pos < raw.size()) {
    const std::string_view line = NextLine(raw, pos);
    if (line.empty()) return request;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    request.headers.emplace_back(std::string(line.substr(0, colon)),
                                 std::string(TrimBlanks(line.substr(colon + 1))));
  }
  return std::nullopt;
}

void SplitTarget(RecordedRequest& request) {
  const size_t question = request.target.find('?');
  request.path = request.target.substr(0, question);
  request.query = question == std::string::npos ? "" : request.target.substr(question + 1);
}

void RequestLog::Add(RecordedRequest request) {
  std::lock_guard lock(fMutex);
  fRequests.push_back(std::move(request));
  while (fRequests.size() > fLimit) fRequests.pop_front();
}

std::vector<RecordedRequest> RequestLog::Snapshot() const {
  std::lock_guard lock(fMutex);
  return {fRequests.begin(), fRequests.end()};
}

void RequestLog::Clear() {
  std::lock_guard lock(fMutex);
  fRequests.clear();
}

}  // namespace nvrp::ibox_sim
