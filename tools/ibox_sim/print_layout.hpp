#pragma once

#include <string>
#include <string_view>

namespace nvrp::ibox_sim {

// Characters per printed line of the simulated printer.
inline constexpr size_t kPrintWidth = 46;

// Number of characters (code points) of a UTF-8 text.
size_t CountCharacters(std::string_view text);

// The text cut to `width` characters without splitting a character.
std::string CutToWidth(std::string_view text, size_t width);

// `left` and `right` on one line, `right` flush with the right margin.
std::string TwoColumns(std::string_view left, std::string_view right);

std::string Centered(std::string_view text);

// The printed form of a decoded description as the device receives it: a leading "|{" asks
// for double size (printed as the text spaced out), ">>" right and ">+" centre alignment,
// and "`[Q...]" / "`[1...]" print a QR code or a barcode (shown as a marker line).
std::string RenderDescription(std::string_view decoded);

}  // namespace nvrp::ibox_sim
