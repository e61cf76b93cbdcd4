#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nvrp {

// With rest false, field `index` (1-based) of the text split at `separator`, empty when
// there are fewer fields; with rest true, everything from the start of that field on.
std::string ExtractToken(std::string_view text, int index, char separator, bool rest);

// Value with `decimals` decimals ("." replaced by `separator`), left-padded with zeros and
// cut to the last `width` characters; with `with_sign`, the first character becomes "-" or "+".
// The value is rounded half away from zero. Without `with_sign` a negative value (one not
// rounded to zero) still gets "-" as its first character; width <= 0 gives the empty text.
std::string FormatFixedNumber(double value, int width, int decimals, bool with_sign,
                              std::string_view separator);

// Removes leading and trailing characters up to and including the blank (as Delphi's Trim).
std::string Trim(std::string_view text);

// The text split at CR LF, CR or LF; a final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Replaces every occurrence of `from` by `to` (from must not be empty).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace nvrp
