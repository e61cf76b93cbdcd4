#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nvrp::fiscalctl {

// The value of element aName in a result fragment (the text between its start and end tags,
// as written); nothing when the fragment has no such element.
std::optional<std::string> FragmentElement(std::string_view aFragment, std::string_view aName);

// The fragment as shown on a terminal: CR LF becomes a plain line end, and a long
// ReceiptImage is shortened unless aFullImage.
std::string DisplayFragment(std::string_view aFragment, bool aFullImage);

}  // namespace nvrp::fiscalctl
