#pragma once

#include <string_view>

namespace nvrp {

// Exact texts raised by the value types and utilities of the base library.
inline constexpr std::string_view kMsgDivisionByZero = "Division by zero";
inline constexpr std::string_view kMsgCurrencyOutOfRange = "Currency value out of range";
inline constexpr std::string_view kMsgInvalidDateEncode = "Invalid argument to date encode";
// Followed by the offending text and kMsgDateTimeFormatInvalidEnd.
inline constexpr std::string_view kMsgDateTimeFormatInvalid = "DateTime Format invalid: [";
inline constexpr std::string_view kMsgDateTimeFormatInvalidEnd = "]";
inline constexpr std::string_view kMsgInvalidPathCharacters = "Invalid characters in path";

}  // namespace nvrp
