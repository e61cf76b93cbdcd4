#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nvrp::ibox_sim {

// Query parameters in the order they arrived; names and values percent-decoded.
class QueryParams {
 public:
  // Splits a raw query (without "?") at "&"; each part at its first "=". A part without "="
  // is a name with an empty value.
  static QueryParams Parse(std::string_view raw_query);

  // First value of the named parameter, names compared without regard to case.
  std::optional<std::string> Find(std::string_view name) const;
  // Value of the named parameter, empty when missing.
  std::string Value(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name).has_value(); }

  const std::vector<std::pair<std::string, std::string>>& Items() const { return fItems; }

 private:
  std::vector<std::pair<std::string, std::string>> fItems;
};

// "%XX" sequences become their byte ("+" stays as it is); a malformed sequence is kept as text.
std::string PercentDecode(std::string_view text);

// Case-insensitive comparison of ASCII texts.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view text);

// A decimal number with "," or "." as decimal separator and at most `decimals` decimals,
// scaled to an integer count of 10^-decimals (so "12,50" with 2 decimals is 1250).
std::optional<int64_t> ParseScaled(std::string_view text, int decimals);

// A whole decimal number without sign or separators.
std::optional<int64_t> ParseWhole(std::string_view text);

// Scaled integer in the device's notation: "," as decimal separator ("-12,50").
std::string FormatScaled(int64_t value, int decimals, char separator = ',');

// Number with "." between groups of three digits (1234 gives "1.234").
std::string FormatGrouped(int64_t value);

// Last four digits, zero-padded (12 gives "0012", 12345 gives "2345").
std::string FourDigits(int64_t value);

}  // namespace nvrp::ibox_sim
