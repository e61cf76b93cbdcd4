#include "log_checks.hpp"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include <pugixml.hpp>

namespace nvrp::fiscalctl {

namespace {

using ibox_sim::LoggedExchange;

// More problems than this are counted, not listed.
constexpr size_t kListedProblems = 3;

std::optional<long long> Integer(std::string_view aText) {
  long long value = 0;
  const char* end = aText.data() + aText.size();
  const auto [ptr, ec] = std::from_chars(aText.data(), end, value);
  if (aText.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::string_view BeforeColon(std::string_view aText) { return aText.substr(0, aText.find(':')); }

std::string WithoutDots(std::string_view aText) {
  std::string text;
  for (const char c : aText) {
    if (c != '.') text += c;
  }
  return text;
}

// "dd/mm/yyyy hh:mm[:ss]" from the third character on, or with "Ω" between date and time.
bool ReadableDateTime(std::string_view aText) {
  if (aText.size() < 3) return false;
  std::string text(aText.substr(2));
  if (const size_t omega = text.find("\xCE\xA9"); omega != std::string::npos) {
    text.replace(omega, 2, " ");
  }
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return false;
  text.erase(0, start);
  const size_t space = text.find(' ');
  if (space == std::string::npos) return false;
  const std::string date = text.substr(0, space);
  const std::string time = text.substr(text.find_first_not_of(' ', space));
  const size_t slash1 = date.find('/');
  const size_t slash2 = date.find('/', slash1 + 1);
  const size_t colon = time.find(':');
  if (slash2 == std::string::npos || colon == std::string::npos) return false;
  const auto day = Integer(date.substr(0, slash1));
  const auto month = Integer(date.substr(slash1 + 1, slash2 - slash1 - 1));
  const auto year = Integer(date.substr(slash2 + 1));
  const auto hour = Integer(time.substr(0, colon));
  return day && month && year && hour && *day >= 1 && *day <= 31 && *month >= 1 && *month <= 12 &&
         *hour >= 0 && *hour <= 23;
}

// What is wrong with the value of one GEN_PAR child; empty when it reads as the driver reads it.
std::string ValueProblem(std::string_view aName, std::string_view aText) {
  bool readable = true;
  if (aName == "DayFiscalRcptCnt" || aName == "CurrentZNo") {
    readable = Integer(aText).has_value();
  } else if (aName == "LastOrderSeqNo") {
    readable = Integer(WithoutDots(aText)).has_value();
  } else if (aName == "CurrentDateTime") {
    readable = ReadableDateTime(aText);
  } else {
    readable = Integer(BeforeColon(aText)).has_value();
  }
  if (readable) return {};
  return std::string(aName) + " \"" + std::string(aText) + "\" is not readable";
}

constexpr std::array<std::string_view, 7> kStatusElements{
    "DayFiscalRcptCnt", "CurrentZNo",     "CurrentDateTime",   "CurrentReceiptType",
    "LastError",        "LastOrderSeqNo", "DrawerSensorIsHigh"};

void StatusAnswerProblems(const std::string& aAnswer, std::vector<std::string>& aProblems) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_string(aAnswer.c_str());
  if (!parsed) {
    aProblems.push_back(std::string("not well-formed XML: ") + parsed.description());
    return;
  }
  const pugi::xml_node root = document.document_element();
  if (std::string_view(root.attribute("DeviceSerialNo").value()).empty()) {
    aProblems.emplace_back("no DeviceSerialNo attribute");
  }
  const pugi::xml_node genPar = root.child("GEN_PAR");
  if (!genPar) {
    aProblems.emplace_back("no GEN_PAR element");
    return;
  }
  for (const std::string_view name : kStatusElements) {
    const pugi::xml_node element = genPar.child(std::string(name).c_str());
    if (!element) {
      aProblems.push_back("no " + std::string(name) + " element");
    } else if (std::string problem = ValueProblem(name, element.text().get()); !problem.empty()) {
      aProblems.push_back(std::move(problem));
    }
  }
}

std::string Where(const LoggedExchange& aExchange) {
  return "log line " + std::to_string(aExchange.line) + ": ";
}

// The listed problems joined, with how many more there were.
std::string Summary(const std::vector<std::string>& aProblems) {
  std::string text;
  for (size_t i = 0; i < aProblems.size() && i < kListedProblems; ++i) {
    if (!text.empty()) text += "; ";
    text += aProblems[i];
  }
  if (aProblems.size() > kListedProblems) {
    text += "; and " + std::to_string(aProblems.size() - kListedProblems) + " more";
  }
  return text;
}

}  // namespace

bool IsStatusRequest(const LoggedExchange& aExchange) {
  return aExchange.target.find("Action=Status") != std::string::npos;
}

std::string CheckStatusAnswers(const std::vector<LoggedExchange>& aExchanges) {
  std::vector<std::string> problems;
  size_t answers = 0;
  for (const LoggedExchange& exchange : aExchanges) {
    if (!IsStatusRequest(exchange) || !exchange.answered) continue;
    ++answers;
    std::vector<std::string> found;
    StatusAnswerProblems(exchange.answer, found);
    for (const std::string& problem : found) problems.push_back(Where(exchange) + problem);
  }
  if (answers == 0) return "no status answer in the device log";
  return Summary(problems);
}

std::string CheckDeviceErrors(const std::vector<LoggedExchange>& aExchanges) {
  std::vector<std::string> problems;
  for (const LoggedExchange& exchange : aExchanges) {
    if (!IsStatusRequest(exchange) || !exchange.answered) continue;
    pugi::xml_document document;
    if (!document.load_string(exchange.answer.c_str())) continue;
    const std::string lastError =
        document.document_element().child("GEN_PAR").child("LastError").text().get();
    if (!lastError.empty() && BeforeColon(lastError) != "0") {
      problems.push_back(Where(exchange) + "LastError " + lastError);
    }
  }
  return Summary(problems);
}

std::string CheckRefusedContentTypes(const std::vector<LoggedExchange>& aExchanges) {
  std::vector<std::string> problems;
  for (const LoggedExchange& exchange : aExchanges) {
    if (!exchange.refused_content_type) continue;
    problems.push_back(Where(exchange) + exchange.target + " answered as \"" +
                       *exchange.refused_content_type + "\", not text/xml");
  }
  return Summary(problems);
}

std::string CheckAnswerTimes(const std::vector<LoggedExchange>& aExchanges,
                             std::chrono::milliseconds aSlow) {
  std::vector<std::string> problems;
  for (const LoggedExchange& exchange : aExchanges) {
    if (exchange.answered_ms == 0) {
      problems.push_back(Where(exchange) + exchange.target + " never answered");
      continue;
    }
    const int64_t took = exchange.answered_ms - exchange.sent_ms;
    if (took > aSlow.count()) {
      problems.push_back(Where(exchange) + exchange.target + " took " + std::to_string(took) +
                         " ms (limit " + std::to_string(aSlow.count()) + " ms)");
    }
  }
  return Summary(problems);
}

}  // namespace nvrp::fiscalctl
