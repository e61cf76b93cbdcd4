#include "transport/io_handler_http.hpp"

#include <algorithm>

#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "transport/http_client.hpp"
#include "transport/io_handler_http_messages.hpp"
#include "transport/url_masking.hpp"

namespace nvrp {

namespace msg = io_handler_http_messages;

namespace {

bool IsSuccessStatus(int32_t aCode) { return aCode >= 200 && aCode <= 299; }

// Final HTTP statuses; the client reports smaller numbers when no answer came.
bool IsHttpStatus(int32_t aCode) { return aCode >= 200 && aCode <= 599; }

// The handler sends no bearer token.
tkHTTPAuthType ClientAuthType(tkHTTPAuthType aAuthType) {
  return aAuthType == tkHTTPAuthType::at_Bearer ? tkHTTPAuthType::at_None : aAuthType;
}

bool SameHeaderName(std::string_view aLeft, std::string_view aRight) {
  return AsciiLower(aLeft) == AsciiLower(aRight);
}

}  // namespace

// What one post produced: the client's verdict, the status (or the client's failure reason
// when no answer came), the body, and the error text M for a failed post.
struct kIOHandler_HTTP::tkPostOutcome {
  bool posted = false;
  int32_t code = 0;
  std::string body;
  std::string errorText;
};

kIOHandler_HTTP::kIOHandler_HTTP(const kConnection* aConnection, std::string_view aDirectory,
                                 std::string_view aFileName)
    : kIOHandler(aConnection, aDirectory, aFileName) {
  if (aConnection == nullptr) return;
  fURL = BuildURL(*aConnection);
  fAuthType = aConnection->AuthType();
  fUser = aConnection->User();
  fPassword = aConnection->Password();
}

kIOHandler_HTTP::~kIOHandler_HTTP() = default;

std::string kIOHandler_HTTP::BuildURL(const kConnection& aConnection) {
  if (!aConnection.URL().empty()) return aConnection.URL();
  std::string url = aConnection.Address();
  if (aConnection.Port() > 0) {
    url += ':';
    url += std::to_string(aConnection.Port());
  }
  return url;
}

std::string kIOHandler_HTTP::ClassName() const { return "kIOHandler_HTTP"; }

// Every request ends with its own client, so no connection outlives an operation.
bool kIOHandler_HTTP::Connected() const { return false; }

bool kIOHandler_HTTP::Connect() {
  kIOHandler::Connect();
  Debug(tNV_MessageType::let_info, std::string(msg::kUrlLinePrefix) + MaskUrlUserInfo(fURL));
  return true;
}

bool kIOHandler_HTTP::Disconnect() { return !Connected(); }

void kIOHandler_HTTP::ClearBuffers() {}

std::string kIOHandler_HTTP::ReadUpTo(const std::vector<uint8_t>& /*aChars*/) { return ""; }

std::string kIOHandler_HTTP::ReadChars(int32_t /*aCharsNum*/) { return ""; }

std::string kIOHandler_HTTP::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }

bool kIOHandler_HTTP::InputBufferContainsData() {
  throw Exception(std::string(msg::kInputBufferContainsDataUnsupported));
}

std::string kIOHandler_HTTP::DecodeError(int32_t aErrorCode) {
  const auto* const end = std::end(msg::kHttpStatusTexts);
  const auto* const found =
      std::find_if(std::begin(msg::kHttpStatusTexts), end,
                   [&](const auto& entry) { return entry.code == aErrorCode; });
  return std::string(found == end ? msg::kUnknownStatus : found->text);
}

void kIOHandler_HTTP::SetParameter(const std::string& aName, const std::string& aValue) {
  // Checked at once with the client's own rule, so that a bad header fails here and not in a
  // later Write.
  NV_HttpClient().SetRequestHeader(aName, aValue);
  const auto found =
      std::find_if(fRequestHeaders.begin(), fRequestHeaders.end(),
                   [&](const auto& header) { return SameHeaderName(header.first, aName); });
  if (found == fRequestHeaders.end()) {
    fRequestHeaders.emplace_back(aName, aValue);
  } else {
    found->second = aValue;
  }
}

bool kIOHandler_HTTP::Write(const std::string& aMessage) {
  WriteLog(tNV_MessageType::let_info, msg::WriteTitle(aMessage.size()), aMessage);
  const tkPostOutcome outcome = Post(aMessage);
  if (outcome.posted && IsSuccessStatus(outcome.code)) {
    fResponse = outcome.body;
    fResponseCode = outcome.code;
  } else {
    RecordPostError(outcome);
  }
  WriteLog(
      tNV_MessageType::let_info, std::string(msg::kTitleRead),
      std::string(msg::kResponseCodePrefix) + std::to_string(fResponseCode) + "\r\n" + fResponse);
  return IsSuccessStatus(fResponseCode);
}

void kIOHandler_HTTP::ConfigureClient(NV_HttpClient& aClient) const {
  aClient.SetAuthType(ClientAuthType(fAuthType));
  aClient.SetUser(fUser);
  aClient.SetPassword(fPassword);
  aClient.SetContentType(fContentType);
  aClient.SetConnectTimeout(ConnectTimeout());
  aClient.SetReadTimeout(ReadTimeout());
  for (const auto& [name, value] : fRequestHeaders) aClient.SetRequestHeader(name, value);
}

kIOHandler_HTTP::tkPostOutcome kIOHandler_HTTP::Post(const std::string& aMessage) const {
  tkPostOutcome outcome;
  try {
    NV_HttpClient client;
    ConfigureClient(client);
    outcome.posted = client.Post(fURL, aMessage);
    outcome.code = client.LastStatusCode();
    if (outcome.posted) outcome.body = client.Response();
    if (outcome.posted && IsSuccessStatus(outcome.code)) return outcome;
    if (!IsHttpStatus(outcome.code)) {
      outcome.errorText = client.LastStatusText();
    } else if (IsSuccessStatus(outcome.code)) {
      outcome.errorText = msg::kIncompleteAnswer;
    } else {
      outcome.errorText = msg::HttpStatusText(outcome.code);
    }
  } catch (const Exception& error) {
    outcome.posted = false;
    outcome.code = 0;
    outcome.errorText = error.what();
  }
  return outcome;
}

// A failed post leaves the last response body as it was.
void kIOHandler_HTTP::RecordPostError(const tkPostOutcome& aOutcome) {
  WriteLog(tNV_MessageType::let_error, std::string(msg::kTitlePostError), aOutcome.errorText);
  if (!IsSuccessStatus(aOutcome.code)) {
    const std::string status_text = DecodeError(aOutcome.code);
    fResponseCode = aOutcome.code;
    SetCustomError(aOutcome.code, aOutcome.errorText + " " + status_text);
    WriteLog(tNV_MessageType::let_error, std::string(msg::kTitlePostError),
             std::to_string(aOutcome.code) + " " + status_text);
  } else {
    fResponseCode = msg::kIncompleteAnswerCode;
    SetCustomError(msg::kIncompleteAnswerCode, aOutcome.errorText);
  }
}

}  // namespace nvrp
