#pragma once

#include <string_view>

namespace nvrp::receipt_messages {

// Caller-visible texts of the fiscal receipt request. The missing-node messages end in a blank.
inline constexpr std::string_view kReceiptNodeNotFound = "Receipt node not found";
inline constexpr std::string_view kLinesNodeNotFound = "Unable to find Lines node ";
inline constexpr std::string_view kTaxesNodeNotFound = "Unable to find Taxes node ";
inline constexpr std::string_view kPaymentsNodeNotFound = "Unable to find Payments node ";

// The layout of a receipt whose request names none.
inline constexpr std::string_view kDefaultLayout = "DocumentLayout";

}  // namespace nvrp::receipt_messages
