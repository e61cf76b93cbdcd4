#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nvrp::ibox_sim {

// One HTTP exchange as the driver's device log holds it: the request line ("Write:URL" for a
// POST, "GET:URL"), the posted body ("Write [n]:"), the body read back ("Read [n]:") and the
// "HTTP Error" line of a failed request.
struct LoggedExchange {
  std::string method;     // "POST" or "GET"
  std::string url;        // as logged
  std::string target;     // the URL's path and query: what reaches the device as request target
  std::string body;       // the posted body; empty when none was logged
  bool answered = false;  // a body was read back
  std::string answer;
  std::optional<int> error_code;  // of the "HTTP Error" line: an HTTP status, or a small
                                  // connection-failure reason when no answer came
  std::string error_text;
  // The content type the driver named when it could not read the answer as XML.
  std::optional<std::string> refused_content_type;
  int64_t sent_ms = 0;      // time stamp of the request line, in milliseconds
  int64_t answered_ms = 0;  // time stamp of the answer or error line; 0 when there is none
  size_t line = 0;          // line number of the request line, from 1
};

// The exchanges of a device log, in order. Answers that span several lines are taken whole:
// a counted line ("Read [n]:") takes its n UTF-16 code units whatever they hold, and any other
// entry runs up to the next line that starts with a time stamp. A hexadecimal dump after a
// counted message (HexLog) is skipped. Lines that are not exchanges are passed over.
std::vector<LoggedExchange> ReadDeviceLog(std::string_view text);

// "http://host:port/path?query" -> "/path?query"; a URL without a path gives "/".
std::string UrlTarget(std::string_view url);

}  // namespace nvrp::ibox_sim
