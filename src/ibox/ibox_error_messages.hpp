#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nvrp {

// One entry of the iBox error table: the code the device reports in LastError and the
// bilingual (English - Greek) message shown to the caller.
struct tkIBoxErrorMessage {
  int32_t Code;
  std::string_view Message;
};

// Message for codes the table does not list. It carries no final space and no code.
inline constexpr std::string_view kIBoxUnknownErrorText = "UNKNOWN ERROR - ΑΓΝΩΣΤΟ ΣΦΑΛΜΑ";

// The whole table, sorted by code, codes unique.
std::span<const tkIBoxErrorMessage> IBoxErrorTable();

// The iBox device's GetErrorText: the message for a LastError code, or the unknown-error
// text. Pure lookup; never contacts the device and never fails.
std::string IBoxErrorText(int32_t code);

}  // namespace nvrp
