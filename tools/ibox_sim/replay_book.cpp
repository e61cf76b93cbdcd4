#include "replay_book.hpp"

#include "sim_messages.hpp"

namespace nvrp::ibox_sim {

namespace {

// Codes at or above this are HTTP statuses; below it the driver's connection-failure reasons.
constexpr int kFirstHttpStatus = 100;

bool LooksLikeXml(std::string_view body) {
  const size_t first = body.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && body[first] == '<';
}

}  // namespace

ReplayAnswer RecordedAnswer(const LoggedExchange& exchange) {
  ReplayAnswer answer;
  const bool http_error = exchange.error_code && *exchange.error_code >= kFirstHttpStatus;
  if (!exchange.answered && !http_error) {
    answer.drop = true;
    return answer;
  }
  if (http_error) answer.status = *exchange.error_code;
  answer.body = exchange.answer;
  if (exchange.refused_content_type) {
    answer.content_type = *exchange.refused_content_type;
  } else {
    answer.content_type = LooksLikeXml(answer.body) ? kXmlContentType : kTextContentType;
  }
  return answer;
}

std::string RequestName(std::string_view method, std::string_view target, std::string_view body) {
  std::string name = std::string(method) + " " + std::string(target);
  if (!body.empty()) name += " with body " + std::string(body);
  return name;
}

ReplayBook::ReplayBook(std::vector<LoggedExchange> exchanges)
    : fExchanges(std::move(exchanges)), fUsed(fExchanges.size(), false) {}

std::optional<ReplayAnswer> ReplayBook::Answer(std::string_view method, std::string_view target,
                                               std::string_view body) {
  std::lock_guard lock(fMutex);
  for (size_t i = 0; i < fExchanges.size(); ++i) {
    const LoggedExchange& exchange = fExchanges[i];
    if (fUsed[i] || exchange.method != method || exchange.target != target ||
        exchange.body != body) {
      continue;
    }
    fUsed[i] = true;
    return RecordedAnswer(exchange);
  }
  fUnmatched.push_back(RequestName(method, target, body));
  return std::nullopt;
}

std::vector<std::string> ReplayBook::Unmatched() const {
  std::lock_guard lock(fMutex);
  return fUnmatched;
}

std::vector<std::string> ReplayBook::Unused() const {
  std::lock_guard lock(fMutex);
  std::vector<std::string> unused;
  for (size_t i = 0; i < fExchanges.size(); ++i) {
    if (fUsed[i]) continue;
    const LoggedExchange& exchange = fExchanges[i];
    unused.push_back("line " + std::to_string(exchange.line) + ": " +
                     RequestName(exchange.method, exchange.target, exchange.body));
  }
  return unused;
}

}  // namespace nvrp::ibox_sim
