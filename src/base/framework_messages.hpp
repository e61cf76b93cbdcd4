#pragma once

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

inline std::string MsgFormatInvalid(std::string_view aPattern) {
  return "Format '" + std::string(aPattern) + "' invalid or incompatible with argument";
}

}  // namespace nvrp
