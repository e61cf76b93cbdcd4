#include "base/utf.hpp"

#include <cstring>

namespace nvrp {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

Utf8Char DecodeUtf8Char(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1Fu;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0Fu;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (text.size() - pos < length) return {kReplacement, 1};
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return {kReplacement, 1};
    code = (code << 6) | (byte & 0x3Fu);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (code < minimum || code > 0x10FFFF || surrogate) return {kReplacement, 1};
  return {code, length};
}

namespace {

size_t Utf16Units(char32_t code) { return code >= 0x10000 ? 2 : 1; }

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8Char(text, pos);
    pos += c.length;
    if (c.code >= 0x10000) {
      const char32_t offset = c.code - 0x10000;
      out += static_cast<char16_t>(0xD800 + (offset >> 10));
      out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.code);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t high = unit - 0xD800u;
      const char32_t low = text[++i] - 0xDC00u;
      AppendUtf8(out, 0x10000 + (high << 10) + low);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    // Runs of ASCII, the bulk of device answers, are counted eight bytes at a time.
    uint64_t word = 0;
    while (text.size() - pos >= sizeof word) {
      std::memcpy(&word, text.data() + pos, sizeof word);
      if ((word & 0x8080808080808080u) != 0) break;
      pos += sizeof word;
      units += sizeof word;
    }
    if (pos == text.size()) break;
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      ++units;
      continue;
    }
    const Utf8Char c = DecodeUtf8Char(text, pos);
    pos += c.length;
    units += Utf16Units(c.code);
  }
  return units;
}

std::string Utf16Left(std::string_view text, size_t units) {
  size_t taken = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const Utf8Char c = DecodeUtf8Char(text, pos);
    if (taken + Utf16Units(c.code) > units) break;
    taken += Utf16Units(c.code);
    pos += c.length;
  }
  return std::string(text.substr(0, pos));
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace nvrp
