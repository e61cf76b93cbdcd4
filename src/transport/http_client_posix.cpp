#include "transport/http_client.hpp"

#include <curl/curl.h>

#include <array>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "transport/http_client_messages.hpp"
#include "transport/url_masking.hpp"

namespace nvrp {

namespace msg = http_client_messages;

namespace {

constexpr std::string_view kContentTypeHeader = "Content-Type";

// Reasons reported as the status code when no response came.
constexpr int32_t kReasonConnectedThenFailed = 0;
constexpr int32_t kReasonBadAddress = 1;
constexpr int32_t kReasonNameLookupFailed = 2;
constexpr int32_t kReasonAborted = 4;
constexpr int32_t kReasonInternalFailure = 5;
constexpr int32_t kReasonConnectTimedOut = 6;
constexpr int32_t kReasonConnectRejected = 7;
constexpr int32_t kReasonTlsHandshakeFailed = 103;

void EnsureCurlInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int32_t ConnectFailReason(CURLcode code, bool request_sent) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return kReasonBadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
      return kReasonNameLookupFailed;
    case CURLE_COULDNT_CONNECT:
      return kReasonConnectRejected;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return kReasonTlsHandshakeFailed;
    case CURLE_ABORTED_BY_CALLBACK:
      return kReasonAborted;
    case CURLE_OPERATION_TIMEDOUT:
      return request_sent ? kReasonConnectedThenFailed : kReasonConnectTimedOut;
    default:
      return request_sent ? kReasonConnectedThenFailed : kReasonInternalFailure;
  }
}

bool IsSafeHeaderText(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IsValidHeaderName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7F || c == ':') return false;
  }
  return true;
}

bool IsAcceptedPostStatus(int32_t status) {
  return (status >= 200 && status <= 299) || (status >= 301 && status <= 308);
}

bool IsSuccessStatus(int32_t status) { return status >= 200 && status <= 299; }

long SecondsOrDefault(int32_t seconds, int32_t fallback) {
  return static_cast<long>(seconds > 0 ? seconds : fallback);
}

std::string LengthTitle(std::string_view prefix, const std::string& text) {
  return std::string(prefix) + std::to_string(Utf16Length(text)) +
         std::string(msg::kTitleLengthSuffix);
}

// "HTTP/1.1 404 Not Found" -> "Not Found".
std::string ReasonPhrase(std::string_view status_line) {
  const size_t code_start = status_line.find(' ');
  if (code_start == std::string_view::npos) return {};
  const size_t text_start = status_line.find(' ', code_start + 1);
  if (text_start == std::string_view::npos) return {};
  return std::string(status_line.substr(text_start + 1));
}

}  // namespace

// The libcurl handle with the headers it sends and what it captured of the last response.
struct NV_HttpClient::tkSession {
  CURL* handle = nullptr;
  curl_slist* headerList = nullptr;
  std::vector<std::pair<std::string, std::string>> requestHeaders;
  std::array<char, CURL_ERROR_SIZE> errorBuffer{};
  std::string body;
  std::string statusText;
  std::string contentType;

  tkSession() {
    EnsureCurlInitialized();
    handle = curl_easy_init();
    if (handle == nullptr) throw Exception(std::string(msg::kClientCreateFailedText));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROXY, "");  // the device is reached directly
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer.data());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &tkSession::OnBodyData);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &tkSession::OnHeaderLine);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, this);
  }
  ~tkSession() {
    curl_easy_cleanup(handle);
    curl_slist_free_all(headerList);
  }
  tkSession(const tkSession&) = delete;
  tkSession& operator=(const tkSession&) = delete;

  void SetHeader(const std::string& key, const std::string& value) {
    std::erase_if(requestHeaders,
                  [&](const auto& header) { return AsciiLower(header.first) == AsciiLower(key); });
    if (!value.empty()) requestHeaders.emplace_back(key, value);
  }

  const std::string* FindHeader(std::string_view key) const {
    for (const auto& [name, value] : requestHeaders) {
      if (AsciiLower(name) == AsciiLower(key)) return &value;
    }
    return nullptr;
  }

  bool HeadersAreSafe() const {
    for (const auto& [name, value] : requestHeaders) {
      if (!IsValidHeaderName(name) || !IsSafeHeaderText(value)) return false;
    }
    return true;
  }

  // Hands the stored headers to curl; a non-empty post_content_type replaces the stored one.
  bool InstallHeaders(const std::string& post_content_type) {
    curl_slist_free_all(headerList);
    headerList = nullptr;
    std::vector<std::string> lines;
    for (const auto& [name, value] : requestHeaders) {
      if (!post_content_type.empty() && AsciiLower(name) == AsciiLower(kContentTypeHeader)) {
        continue;
      }
      lines.push_back(name + ": " + value);
    }
    if (!post_content_type.empty()) {
      lines.push_back(std::string(kContentTypeHeader) + ": " + post_content_type);
      lines.emplace_back("Expect:");  // send the body at once, without waiting for a go-ahead
    }
    for (const auto& line : lines) {
      curl_slist* extended = curl_slist_append(headerList, line.c_str());
      if (extended == nullptr) return false;
      headerList = extended;
    }
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList);
    return true;
  }

  void ResetResponse() {
    body.clear();
    statusText.clear();
    contentType.clear();
    errorBuffer[0] = '\0';
  }

  static size_t OnBodyData(char* data, size_t size, size_t count, void* user_data) {
    auto* session = static_cast<tkSession*>(user_data);
    session->body.append(data, size * count);
    return size * count;
  }

  // Each response (an interim one, an authentication challenge, the final one) starts with a
  // status line; only the last response's status text, content type and body are kept.
  static size_t OnHeaderLine(char* data, size_t size, size_t count, void* user_data) {
    auto* session = static_cast<tkSession*>(user_data);
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
      session->statusText = ReasonPhrase(line);
      session->contentType.clear();
      session->body.clear();
    } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
      if (AsciiLower(line.substr(0, colon)) == AsciiLower(kContentTypeHeader)) {
        session->contentType = Trim(line.substr(colon + 1));
      }
    }
    return size * count;
  }
};

// What one request produced.
struct NV_HttpClient::tkExchange {
  bool completed = false;  // the library finished the exchange without error
  int32_t statusCode = 0;  // HTTP status of the last response; 0 when none came
  int32_t failReason = 0;  // connect-failure reason when no response came
  std::string errorText;   // the library's error text when it did not complete
};

NV_HttpClient::NV_HttpClient()
    : fHttp(std::make_unique<tkSession>()), fContentCharset(msg::kDefaultContentCharset) {}

NV_HttpClient::~NV_HttpClient() = default;

void NV_HttpClient::SetRequestHeader(const std::string& aKey, const std::string& aValue) {
  if (!IsValidHeaderName(aKey) || !IsSafeHeaderText(aValue)) {
    throw Exception(std::string(msg::kInvalidHeaderText) + aKey);
  }
  fHttp->SetHeader(aKey, aValue);
}

void NV_HttpClient::ApplySettings() {
  CURL* handle = fHttp->handle;
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT,
                   SecondsOrDefault(fConnectTimeout, kDefaultConnectTimeout));
  ApplyReadTimeout();
  // libcurl sends no Accept-Charset, Accept-Language or Accept-Encoding unless asked to, so
  // answers come uncompressed.
  curl_easy_setopt(handle, CURLOPT_USERAGENT, fUserAgent.empty() ? nullptr : fUserAgent.c_str());
  fHttp->SetHeader(std::string(kContentTypeHeader), fContentType);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  switch (fAuthType) {
    case tkHTTPAuthType::at_Basic:
      curl_easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
      curl_easy_setopt(handle, CURLOPT_USERNAME, fUser.c_str());
      curl_easy_setopt(handle, CURLOPT_PASSWORD, fPassword.c_str());
      break;
    case tkHTTPAuthType::at_Digest:
      curl_easy_setopt(handle, CURLOPT_USERNAME, fUser.c_str());
      curl_easy_setopt(handle, CURLOPT_PASSWORD, fPassword.c_str());
      curl_easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_DIGEST));
      break;
    case tkHTTPAuthType::at_Bearer:
      curl_easy_setopt(handle, CURLOPT_XOAUTH2_BEARER, fBearer.c_str());
      curl_easy_setopt(handle, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BEARER));
      break;
    case tkHTTPAuthType::at_None:
      break;
  }
  fHTTPAlreadySet = true;
}

// The read time-out is the longest wait without any data: slower than one byte per second for
// that many seconds ends the request.
void NV_HttpClient::ApplyReadTimeout() {
  curl_easy_setopt(fHttp->handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(fHttp->handle, CURLOPT_LOW_SPEED_TIME,
                   SecondsOrDefault(fReadTimeout, kDefaultReadTimeout));
}

NV_HttpClient::tkExchange NV_HttpClient::Perform(const std::string& aURL,
                                                 const std::string* aBody) {
  tkSession& session = *fHttp;
  session.ResetResponse();
  tkExchange exchange;
  const bool texts_safe = IsSafeHeaderText(aURL) && IsSafeHeaderText(fUserAgent) &&
                          IsSafeHeaderText(fUser) && IsSafeHeaderText(fBearer) &&
                          session.HeadersAreSafe();
  if (!texts_safe) {
    exchange.failReason = kReasonInternalFailure;
    exchange.errorText = msg::kInvalidRequestText;
    return exchange;
  }
  if (aBody != nullptr) {
    curl_easy_setopt(session.handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(aBody->size()));
    curl_easy_setopt(session.handle, CURLOPT_COPYPOSTFIELDS, aBody->c_str());
  } else {
    curl_easy_setopt(session.handle, CURLOPT_HTTPGET, 1L);
  }
  std::string post_content_type;
  if (aBody != nullptr) {
    if (fContentType == msg::kXmlContentType) {
      post_content_type = msg::kXmlPostContentType;
    } else if (fContentType == msg::kJsonContentType) {
      post_content_type = msg::kJsonContentType;
    } else {
      const std::string* stored = session.FindHeader(kContentTypeHeader);
      post_content_type = stored != nullptr ? *stored : std::string(msg::kUrlEncodedContentType);
    }
  }
  if (!session.InstallHeaders(post_content_type)) {
    exchange.failReason = kReasonInternalFailure;
    exchange.errorText = curl_easy_strerror(CURLE_OUT_OF_MEMORY);
    return exchange;
  }
  curl_easy_setopt(session.handle, CURLOPT_URL, aURL.c_str());

  const CURLcode code = curl_easy_perform(session.handle);
  long status = 0;
  curl_easy_getinfo(session.handle, CURLINFO_RESPONSE_CODE, &status);
  long request_size = 0;
  curl_easy_getinfo(session.handle, CURLINFO_REQUEST_SIZE, &request_size);
  exchange.completed = code == CURLE_OK;
  exchange.statusCode = static_cast<int32_t>(status);
  if (!exchange.completed) {
    exchange.failReason = ConnectFailReason(code, request_size > 0);
    exchange.errorText =
        session.errorBuffer[0] != '\0' ? session.errorBuffer.data() : curl_easy_strerror(code);
  }
  return exchange;
}

bool NV_HttpClient::Post(const std::string& aURL, const std::string& aMessage) {
  Log(tNV_MessageType::let_info, std::string(msg::kTitleWrite), MaskUrlUserInfo(aURL));
  if (!aMessage.empty()) {
    Log(tNV_MessageType::let_info, LengthTitle(msg::kTitleWriteLengthPrefix, aMessage), aMessage);
  }
  if (!fHTTPAlreadySet) {
    ApplySettings();
  } else {
    ApplyReadTimeout();
  }
  return RecordPostOutcome(Perform(aURL, &aMessage));
}

bool NV_HttpClient::RecordPostOutcome(const tkExchange& exchange) {
  fResponseReceived = exchange.statusCode != 0;
  if (exchange.statusCode == 0) {
    RecordNoResponse(exchange);
    return false;
  }
  fLastStatusCode = exchange.statusCode;
  fLastStatusText = fHttp->statusText;
  bool success = false;
  if (exchange.completed) {
    fResponse = fHttp->body;
    Log(tNV_MessageType::let_info, LengthTitle(msg::kTitleReadLengthPrefix, fResponse), fResponse);
    fResponseContentType = fHttp->contentType;
    success = true;
  } else {
    fResponse.clear();
    LogHttpError(msg::kTitleMethodError);
  }
  if (!IsAcceptedPostStatus(fLastStatusCode)) {
    success = false;
    LogHttpError(msg::kTitleHttpError);
  }
  return success;
}

void NV_HttpClient::RecordNoResponse(const tkExchange& exchange) {
  fLastStatusCode = exchange.failReason;
  fLastStatusText = exchange.errorText;
  LogHttpError(msg::kTitleHttpError);
}

bool NV_HttpClient::Get(const std::string& aURL) {
  if (!fHTTPAlreadySet) ApplySettings();
  Log(tNV_MessageType::let_info, std::string(msg::kTitleGet), MaskUrlUserInfo(aURL));
  const tkExchange exchange = Perform(aURL, nullptr);
  fLastStatusCode = exchange.statusCode;
  bool success = false;
  if (exchange.completed) {
    fResponse = fHttp->body;
    Log(tNV_MessageType::let_info, LengthTitle(msg::kTitleReadLengthPrefix, fResponse), fResponse);
    success = true;
  } else {
    fResponse.clear();
  }
  if (!IsSuccessStatus(fLastStatusCode)) {
    success = false;
    LogHttpError(msg::kTitleHttpError);
  }
  return success;
}

void NV_HttpClient::Log(tNV_MessageType aEntryType, const std::string& aTitle,
                        const std::string& aMessage) {
  if (fOnWriteLog) fOnWriteLog(aEntryType, aTitle, aMessage);
}

void NV_HttpClient::LogHttpError(std::string_view aTitle) {
  Log(tNV_MessageType::let_error, std::string(aTitle),
      std::to_string(fLastStatusCode) + std::string(msg::kCodeTextSeparator) + fLastStatusText);
}

}  // namespace nvrp
