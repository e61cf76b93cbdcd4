#include "wire_query.hpp"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace nvrp::ibox_sim {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "-" followed by the digits, built by appending (GCC 12 warns falsely about "-" + string).
std::string NegativeOf(const std::string& digits) {
  std::string out("-");
  out += digits;
  return out;
}

constexpr int64_t kMaxMagnitude = std::numeric_limits<int64_t>::max() / 100;

}  // namespace

QueryParams QueryParams::Parse(std::string_view raw_query) {
  QueryParams params;
  size_t start = 0;
  while (start <= raw_query.size()) {
    size_t end = raw_query.find('&', start);
    if (end == std::string_view::npos) end = raw_query.size();
    const std::string_view part = raw_query.substr(start, end - start);
    if (!part.empty()) {
      const size_t eq = part.find('=');
      if (eq == std::string_view::npos) {
        params.fItems.emplace_back(PercentDecode(part), std::string());
      } else {
        params.fItems.emplace_back(PercentDecode(part.substr(0, eq)),
                                   PercentDecode(part.substr(eq + 1)));
      }
    }
    start = end + 1;
  }
  return params;
}

std::optional<std::string> QueryParams::Find(std::string_view name) const {
  for (const auto& [key, value] : fItems) {
    if (EqualsNoCase(key, name)) return value;
  }
  return std::nullopt;
}

std::string QueryParams::Value(std::string_view name) const { return Find(name).value_or(""); }

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
  return out;
}

std::optional<int64_t> ParseScaled(std::string_view text, int decimals) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const size_t sep = text.find_first_of(",.");
  const std::string_view whole = text.substr(0, sep);
  const std::string_view fraction =
      sep == std::string_view::npos ? std::string_view() : text.substr(sep + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (fraction.size() > static_cast<size_t>(decimals)) return std::nullopt;
  int64_t value = 0;
  for (const char c : whole) {
    if (!IsDigit(c) || value > kMaxMagnitude) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  for (int i = 0; i < decimals; ++i) {
    const size_t index = static_cast<size_t>(i);
    const char c = index < fraction.size() ? fraction[index] : '0';
    if (!IsDigit(c) || value > kMaxMagnitude) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::optional<int64_t> ParseWhole(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string FormatScaled(int64_t value, int decimals, char separator) {
  const bool negative = value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  const size_t places = static_cast<size_t>(decimals);
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  if (places > 0) digits.insert(digits.size() - places, 1, separator);
  return negative ? NegativeOf(digits) : digits;
}

std::string FormatGrouped(int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back('.');
    grouped.push_back(digits[i]);
  }
  return value < 0 ? NegativeOf(grouped) : grouped;
}

std::string FourDigits(int64_t value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04d",
                static_cast<int>((value < 0 ? -value : value) % 10000));
  return buffer;
}

}  // namespace nvrp::ibox_sim
