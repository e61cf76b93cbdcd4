#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp::io_handler_http_messages {

// Errors of the read operations the HTTP handler does not offer.
inline constexpr std::string_view kReadAllUnsupported = "ReadAll Unsupported";
inline constexpr std::string_view kInputBufferContainsDataUnsupported =
    "InputBufferContainsData Unsupported";

// Lines of the device log.
inline constexpr std::string_view kUrlLinePrefix = "URL=";
inline constexpr std::string_view kTitlePostError = "Post Error";
inline constexpr std::string_view kTitleRead = "Read";
inline constexpr std::string_view kResponseCodePrefix = "ResponseCode:";

// "Write [n]": n is the size of the posted text in UTF-8 bytes.
inline std::string WriteTitle(size_t aByteCount) {
  return "Write [" + std::to_string(aByteCount) + "]";
}

// Error text of a post answered with an HTTP status outside 200 to 299.
inline std::string HttpStatusText(int32_t aCode) { return "HTTP status " + std::to_string(aCode); }

// A post whose status was 200 to 299 but whose answer did not arrive completely: recorded
// with its own code, since the status alone would read as success.
inline constexpr int32_t kIncompleteAnswerCode = 999;
inline constexpr std::string_view kIncompleteAnswer = "The answer was not received completely";

// Answer of DecodeError for every code without a text of its own.
inline constexpr std::string_view kUnknownStatus = "Unknown";

struct tkHttpStatusText {
  int32_t code;
  std::string_view text;
};

// Status texts of DecodeError, by code. The 305 text ends in a blank.
inline constexpr tkHttpStatusText kHttpStatusTexts[] = {
    {100, "Continue"},
    {101, "Switching Protocol"},
    {102, "Processing (WebDAV)"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {207, "Multi-Status (WebDAV)"},
    {208, "Already Reported (WebDAV)"},
    {226, "IM Used (HTTP Delta encoding)"},
    {300, "Multiple Choice"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy "},
    {306, "unused"},
    {307, "Temporary Redirect"},
    {308, "Permanent Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Precondition Failed"},
    {413, "Payload Too Large"},
    {414, "URI Too Long"},
    {415, "Unsupported Media Type"},
    {416, "Requested Range Not Satisfiable"},
    {417, "Expectation Failed"},
    {418, "I'm a teapot"},
    {421, "Misdirected Request"},
    {422, "Unprocessable Entity (WebDAV)"},
    {423, "Locked (WebDAV)"},
    {424, "Failed Dependency (WebDAV)"},
    {426, "Upgrade Required"},
    {428, "Precondition Required"},
    {429, "Too Many Requests"},
    {431, "Request Header Fields Too Large"},
    {451, "Unavailable For Legal Reasons"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
    {505, "HTTP Version Not Supported"},
    {506, "Variant Also Negotiates"},
    {507, "Insufficient Storage"},
    {508, "Loop Detected (WebDAV)"},
    {510, "Not Extended"},
    {511, "Network Authentication Required"},
};

}  // namespace nvrp::io_handler_http_messages
