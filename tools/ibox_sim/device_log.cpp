#include "device_log.hpp"

#include <charconv>

namespace nvrp::ibox_sim {

namespace {

constexpr std::string_view kInfoSeparator = " - ";
constexpr std::string_view kErrorSeparator = " - ERROR - ";
constexpr size_t kStampLength = 23;  // "yyyy-mm-dd hh:mm:ss:zzz"
constexpr std::string_view kNotXmlStart = "The device's status answer is not XML (content type \"";
constexpr std::string_view kNotXmlEnd = "\")";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<int64_t> Number(std::string_view text) {
  int64_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// Days since 1970-01-01 of a civil date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Milliseconds of a "yyyy-mm-dd hh:mm:ss:zzz" stamp at `pos`; nothing when there is none.
std::optional<int64_t> StampAt(std::string_view text, size_t pos) {
  if (text.size() - pos < kStampLength) return std::nullopt;
  const std::string_view stamp = text.substr(pos, kStampLength);
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd:ddd";
  for (size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == 'd' ? !IsDigit(stamp[i]) : stamp[i] != kShape[i]) return std::nullopt;
  }
  const auto field = [&stamp](size_t at, size_t length) {
    return Number(stamp.substr(at, length)).value_or(0);
  };
  const int64_t days = DaysFromCivil(field(0, 4), field(5, 2), field(8, 2));
  const int64_t seconds = ((days * 24 + field(11, 2)) * 60 + field(14, 2)) * 60 + field(17, 2);
  return seconds * 1000 + field(20, 3);
}

// Byte length of the first `units` UTF-16 code units of text from `pos`; nothing when the
// text is shorter.
std::optional<size_t> Utf16Bytes(std::string_view text, size_t pos, size_t units) {
  size_t at = pos;
  size_t counted = 0;
  while (counted < units) {
    if (at >= text.size()) return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 1;
    if (lead >= 0xF0) {
      length = 4;
    } else if (lead >= 0xE0) {
      length = 3;
    } else if (lead >= 0xC0) {
      length = 2;
    }
    counted += length == 4 ? 2 : 1;
    at += length;
  }
  return at > text.size() ? std::nullopt : std::optional<size_t>(at - pos);
}

struct Entry {
  int64_t ms = 0;
  bool error = false;
  std::string title;    // text before the first ":", for the exchange lines
  std::string message;  // what follows the title's ":", or the whole message
  std::string whole;    // the whole message of an entry that is not counted
  size_t line = 0;
};

// "Write [12]" -> 12.
std::optional<size_t> CountOf(std::string_view title, std::string_view name) {
  if (!title.starts_with(name) || !title.ends_with("]")) return std::nullopt;
  const std::string_view inner = title.substr(name.size(), title.size() - name.size() - 1);
  if (!inner.starts_with(" [")) return std::nullopt;
  const auto count = Number(inner.substr(2));
  if (!count || *count < 0) return std::nullopt;
  return static_cast<size_t>(*count);
}

class LogScanner {
 public:
  explicit LogScanner(std::string_view text) : fText(text) {}

  bool Next(Entry& entry) {
    while (fPos < fText.size()) {
      if (auto ms = StampAt(fText, fPos); ms && ReadEntry(*ms, entry)) return true;
      SkipLine();
    }
    return false;
  }

 private:
  bool ReadEntry(int64_t ms, Entry& entry) {
    size_t start = fPos + kStampLength;
    const std::string_view rest = fText.substr(start);
    entry = Entry{ms, rest.starts_with(kErrorSeparator), {}, {}, {}, fLine};
    if (!entry.error && !rest.starts_with(kInfoSeparator)) return false;
    start += entry.error ? kErrorSeparator.size() : kInfoSeparator.size();
    const size_t line_end = fText.find('\n', start);
    const size_t colon = fText.find(':', start);
    if (colon != std::string_view::npos && colon < line_end) {
      const std::string_view title = fText.substr(start, colon - start);
      const auto count = CountOf(title, "Read") ? CountOf(title, "Read") : CountOf(title, "Write");
      if (count) {
        if (auto bytes = Utf16Bytes(fText, colon + 1, *count)) {
          entry.title = std::string(title);
          entry.message = std::string(fText.substr(colon + 1, *bytes));
          MoveTo(colon + 1 + *bytes);
          SkipLine();  // a hexadecimal dump, then the line end
          return true;
        }
      }
    }
    const size_t end = EntryEnd(start);
    std::string_view message = fText.substr(start, end - start);
    if (message.ends_with("\r\n")) {
      message.remove_suffix(2);
    } else if (message.ends_with("\n")) {
      message.remove_suffix(1);
    }
    entry.whole = std::string(message);
    const size_t split = message.find(':');
    const bool titled = split != std::string_view::npos &&
                        message.substr(0, split).find('\n') == std::string_view::npos;
    entry.title = titled ? std::string(message.substr(0, split)) : std::string();
    entry.message = std::string(titled ? message.substr(split + 1) : message);
    MoveTo(end);
    return true;
  }

  // Where the entry that starts before `from` ends: the start of the next line with a stamp.
  size_t EntryEnd(size_t from) const {
    size_t at = fText.find('\n', from);
    while (at != std::string_view::npos) {
      if (StampAt(fText, at + 1)) return at + 1;
      at = fText.find('\n', at + 1);
    }
    return fText.size();
  }

  void MoveTo(size_t pos) {
    for (size_t i = fPos; i < pos && i < fText.size(); ++i) {
      if (fText[i] == '\n') ++fLine;
    }
    fPos = pos;
  }

  void SkipLine() {
    const size_t end = fText.find('\n', fPos);
    MoveTo(end == std::string_view::npos ? fText.size() : end + 1);
  }

 private:
  std::string_view fText;
  size_t fPos = 0;
  size_t fLine = 1;
};

// A message without its HexLog dump: " [" + hexadecimal codes + "]" at its end.
std::string WithoutHexDump(std::string_view message) {
  const size_t open = message.rfind(" [");
  if (open == std::string_view::npos || !message.ends_with("]")) return std::string(message);
  const std::string_view dump = message.substr(open + 2, message.size() - open - 3);
  const bool hex = dump.find_first_not_of("0123456789abcdef ") == std::string_view::npos;
  return std::string(hex ? message.substr(0, open) : message);
}

void ApplyError(const Entry& entry, LoggedExchange& exchange) {
  // "code - text"; the text may span lines.
  const size_t dash = entry.message.find(" - ");
  const auto code = Number(entry.message.substr(0, dash));
  if (!code) return;
  exchange.error_code = static_cast<int>(*code);
  exchange.error_text = dash == std::string::npos ? "" : entry.message.substr(dash + 3);
  exchange.answered_ms = entry.ms;
}

}  // namespace

std::string UrlTarget(std::string_view url) {
  const size_t scheme = url.find("://");
  const size_t authority = scheme == std::string_view::npos ? 0 : scheme + 3;
  const size_t slash = url.find('/', authority);
  return slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
}

std::vector<LoggedExchange> ReadDeviceLog(std::string_view text) {
  std::vector<LoggedExchange> exchanges;
  LogScanner scanner(text);
  Entry entry;
  while (scanner.Next(entry)) {
    if (!entry.error && (entry.title == "Write" || entry.title == "GET")) {
      LoggedExchange exchange;
      exchange.method = entry.title == "Write" ? "POST" : "GET";
      exchange.url = WithoutHexDump(entry.message);
      exchange.target = UrlTarget(exchange.url);
      exchange.sent_ms = entry.ms;
      exchange.line = entry.line;
      exchanges.push_back(std::move(exchange));
      continue;
    }
    if (exchanges.empty()) continue;
    LoggedExchange& current = exchanges.back();
    if (CountOf(entry.title, "Write")) {
      current.body = entry.message;
    } else if (CountOf(entry.title, "Read")) {
      current.answered = true;
      current.answer = entry.message;
      current.answered_ms = entry.ms;
    } else if (entry.error && entry.title == "HTTP Error") {
      ApplyError(entry, current);
    } else if (entry.error && entry.whole.starts_with(kNotXmlStart)) {
      const std::string& message = entry.whole;
      const size_t end = message.rfind(kNotXmlEnd);
      if (end != std::string::npos && end >= kNotXmlStart.size()) {
        current.refused_content_type =
            message.substr(kNotXmlStart.size(), end - kNotXmlStart.size());
      }
    }
  }
  return exchanges;
}

}  // namespace nvrp::ibox_sim
