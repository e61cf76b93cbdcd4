#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Internal text is UTF-8. These helpers count and cut in UTF-16 code units wherever a rule
// is stated in those units. Invalid UTF-8 input is read as U+FFFD per bad byte; a lone
// surrogate in UTF-16 input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// One character read from UTF-8 text.
struct Utf8Char {
  char32_t code;  // U+FFFD for a byte that starts no valid sequence
  size_t length;  // bytes taken from the text
};
// Decodes the character at `pos` (below text.size()); an invalid or incomplete sequence
// yields U+FFFD for its first byte only, so that decoding resumes at the next byte.
Utf8Char DecodeUtf8Char(std::string_view text, size_t pos);

// Number of UTF-16 code units the text has, counted from the UTF-8 bytes without converting.
size_t Utf16Length(std::string_view text);

// The first `units` UTF-16 code units of the text. A cut that would split a surrogate pair
// drops the whole character.
std::string Utf16Left(std::string_view text, size_t units);

// ASCII-only case mapping, as used for request words and parameter names.
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);

}  // namespace nvrp
