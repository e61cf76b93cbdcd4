#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Exact texts raised or shown by the log writer and the application object.
inline constexpr std::string_view kMsgLogFileNameEmpty = "Log filename is empty ";
inline constexpr std::string_view kMsgUnbalancedStack = "Unbalanced stack or queue operation";
inline constexpr std::string_view kMsgSingleInstanceRefused =
    "Impossible to enter single instance mode.";
inline constexpr std::string_view kMsgDuplicateMessageKey = "Duplicates not allowed";
inline constexpr std::string_view kMsgApplicationNotCreated = "Application object not created";

// Logged, as an error, before the next line that reaches a log file whose writer was closed
// with lines it could not write in time.
inline std::string MsgLogLinesDropped(int64_t aCount) {
  return std::to_string(aCount) +
         " earlier log lines were dropped: they could not be written before the log was closed";
}

inline std::string MsgFormatInvalid(std::string_view aPattern) {
  return "Format '" + std::string(aPattern) + "' invalid or incompatible with argument";
}

}  // namespace nvrp
