#include "base/text_utils.hpp"

#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace nvrp {

namespace {

// Digits written after the requested decimals before rounding by hand; far more than a
// double can hold, so an exact tie is told apart from a value just below it.
constexpr int kGuardDigits = 25;

// Increments the decimal number in `digits` (no sign; "." kept in place).
void IncrementDecimal(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '.') continue;
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// |value| with `decimals` decimals, a tie rounded away from zero.
std::string FormatMagnitude(double magnitude, int decimals) {
  const int written = decimals + kGuardDigits;
  // A finite double needs at most 309 integer digits in fixed notation.
  std::vector<char> buffer(static_cast<size_t>(written) + 330);
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                       std::chars_format::fixed, written);
  std::string text(buffer.data(), ec == std::errc() ? end : buffer.data());
  const size_t point = text.find('.');
  const bool round_up = text[point + static_cast<size_t>(decimals) + 1] >= '5';
  text.resize(decimals > 0 ? point + 1 + static_cast<size_t>(decimals) : point);
  if (round_up) IncrementDecimal(text);
  return text;
}

bool IsZeroText(std::string_view text) { return text.find_first_not_of("0.") == text.npos; }

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string ExtractToken(std::string_view text, int index, char separator, bool rest) {
  if (index < 1) return {};
  size_t start = 0;
  for (int field = 1; field < index; ++field) {
    const size_t next = text.find(separator, start);
    if (next == text.npos) return {};
    start = next + 1;
  }
  if (rest) return std::string(text.substr(start));
  const size_t end = text.find(separator, start);
  return std::string(text.substr(start, end == text.npos ? text.npos : end - start));
}

std::string FormatFixedNumber(double value, int width, int decimals, bool with_sign,
                              std::string_view separator) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  const int places = decimals > 0 ? decimals : 0;
  std::string number = FormatMagnitude(std::fabs(value), places);
  const bool negative = value < 0 && !IsZeroText(number);
  if (places > 0) number.replace(number.find('.'), 1, separator);
  if (width <= 0) return {};
  std::string padded = std::string(static_cast<size_t>(width), '0') + number;
  padded.erase(0, padded.size() - static_cast<size_t>(width));
  // The sign takes the first position; a negative value keeps its "-" even unasked.
  if (with_sign) {
    padded[0] = value < 0 ? '-' : '+';
  } else if (negative) {
    padded[0] = '-';
  }
  return padded;
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t start = 0;
  for (size_t found = text.find(from); found != text.npos; found = text.find(from, start)) {
    out.append(text.substr(start, found - start));
    out.append(to);
    start = found + from.size();
  }
  out.append(text.substr(start));
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

}  // namespace nvrp
