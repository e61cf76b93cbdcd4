#include "transport/http_client.hpp"

#include <windows.h>
#include <winhttp.h>

#include <string_view>
#include <utility>
#include <vector>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "base/win32_text.hpp"
#include "transport/http_client_messages.hpp"

// The HTTP client over WinHTTP: one session, a connection and request per exchange, the
// device reached without a proxy.

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

constexpr DWORD kMillisecondsPerSecond = 1000;

int32_t ConnectFailReason(DWORD code, bool request_sent) {
  switch (code) {
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return kReasonBadAddress;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return kReasonNameLookupFailed;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return kReasonConnectRejected;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return kReasonTlsHandshakeFailed;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return kReasonAborted;
    case ERROR_WINHTTP_TIMEOUT:
      return request_sent ? kReasonConnectedThenFailed : kReasonConnectTimedOut;
    default:
      return request_sent ? kReasonConnectedThenFailed : kReasonInternalFailure;
  }
}

// WinHTTP's own texts of the failures a device exchange meets; others come from the system.
std::string WinHttpErrorText(DWORD code) {
  switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "Could not connect to the server";
    case ERROR_WINHTTP_TIMEOUT:
      return "The operation timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return "The server name could not be resolved";
    case ERROR_WINHTTP_INVALID_URL:
      return "The URL is invalid";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return "The URL scheme is not supported";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "The connection with the server was ended";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return "The server returned an invalid response";
    case ERROR_WINHTTP_SECURE_FAILURE:
      return "The secure connection could not be made";
    default:
      return SystemErrorText(code, GetModuleHandleW(L"winhttp.dll"));
  }
}

// The error text with the address it concerns and WinHTTP's code, as a log reader needs it.
std::string ExchangeErrorText(DWORD code, const std::string& url) {
  return WinHttpErrorText(code) + ": " + url + " (WinHTTP error " + std::to_string(code) + ")";
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

std::string LengthTitle(std::string_view prefix, const std::string& text) {
  return std::string(prefix) + std::to_string(Utf16Length(text)) +
         std::string(msg::kTitleLengthSuffix);
}

// Closes a WinHTTP handle when it goes out of scope.
struct tkHandle {
  HINTERNET handle = nullptr;
  explicit tkHandle(HINTERNET aHandle) : handle(aHandle) {}
  ~tkHandle() {
    if (handle != nullptr) WinHttpCloseHandle(handle);
  }
  tkHandle(const tkHandle&) = delete;
  tkHandle& operator=(const tkHandle&) = delete;
};

// A text header of the response, empty when absent.
std::string QueryHeader(HINTERNET request, DWORD what) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                          WINHTTP_NO_HEADER_INDEX) == 0) {
    return {};
  }
  return Utf8Of(text.data(), bytes / sizeof(wchar_t));
}

DWORD QueryStatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD bytes = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &bytes, WINHTTP_NO_HEADER_INDEX);
  return status;
}

// The parts of a URL that WinHTTP's calls take separately.
struct tkUrlParts {
  std::wstring host;
  std::wstring path;  // path and query
  INTERNET_PORT port = 0;
  bool secure = false;
};

// An address without a scheme is an http one, as the device's addresses are written.
bool CrackUrl(const std::string& aURL, tkUrlParts& aParts) {
  const std::wstring url = WideOf(aURL.find("://") == std::string::npos ? "http://" + aURL : aURL);
  URL_COMPONENTS components{};
  components.dwStructSize = sizeof(components);
  components.dwHostNameLength = static_cast<DWORD>(-1);
  components.dwUrlPathLength = static_cast<DWORD>(-1);
  components.dwExtraInfoLength = static_cast<DWORD>(-1);
  components.dwSchemeLength = static_cast<DWORD>(-1);
  if (WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &components) == 0) {
    return false;
  }
  aParts.host.assign(components.lpszHostName, components.dwHostNameLength);
  aParts.path.assign(components.lpszUrlPath, components.dwUrlPathLength);
  if (components.lpszExtraInfo != nullptr) {
    aParts.path.append(components.lpszExtraInfo, components.dwExtraInfoLength);
  }
  if (aParts.path.empty()) aParts.path = L"/";
  aParts.port = components.nPort;
  aParts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

}  // namespace

// The WinHTTP session with the headers it sends and what it captured of the last response.
struct NV_HttpClient::tkSession {
  HINTERNET session = nullptr;
  std::vector<std::pair<std::string, std::string>> requestHeaders;
  std::string body;
  std::string statusText;
  std::string contentType;
  DWORD connectTimeoutMs = 0;
  DWORD readTimeoutMs = 0;

  tkSession() = default;
  ~tkSession() {
    if (session != nullptr) WinHttpCloseHandle(session);
  }
  tkSession(const tkSession&) = delete;
  tkSession& operator=(const tkSession&) = delete;

  void Open(const std::string& user_agent) {
    if (session != nullptr) WinHttpCloseHandle(session);
    session = WinHttpOpen(WideOf(user_agent).c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY,
                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  }

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

  // The header block of one request; a non-empty post_content_type replaces the stored one.
  std::wstring HeaderBlock(const std::string& post_content_type,
                           const std::string& authorization) const {
    std::string block;
    for (const auto& [name, value] : requestHeaders) {
      if (!post_content_type.empty() && AsciiLower(name) == AsciiLower(kContentTypeHeader)) {
        continue;
      }
      block += name + ": " + value + "\r\n";
    }
    if (!post_content_type.empty()) {
      block += std::string(kContentTypeHeader) + ": " + post_content_type + "\r\n";
    }
    if (!authorization.empty()) block += "Authorization: " + authorization + "\r\n";
    return WideOf(block);
  }

  void ResetResponse() {
    body.clear();
    statusText.clear();
    contentType.clear();
  }

  bool ReadBody(HINTERNET request) {
    for (;;) {
      DWORD available = 0;
      if (WinHttpQueryDataAvailable(request, &available) == 0) return false;
      if (available == 0) return true;
      const size_t start = body.size();
      body.resize(start + available);
      DWORD read = 0;
      if (WinHttpReadData(request, body.data() + start, available, &read) == 0) return false;
      body.resize(start + read);
      if (read == 0) return true;
    }
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
  // WinHTTP sends no Accept-Charset, Accept-Language or Accept-Encoding unless asked to, so
  // answers come uncompressed.
  fHttp->Open(fUserAgent);
  fHttp->connectTimeoutMs =
      static_cast<DWORD>(fConnectTimeout > 0 ? fConnectTimeout : kDefaultConnectTimeout) *
      kMillisecondsPerSecond;
  ApplyReadTimeout();
  fHttp->SetHeader(std::string(kContentTypeHeader), fContentType);
  fHTTPAlreadySet = true;
}

// The read time-out is the longest wait for a send or a receive to make progress.
void NV_HttpClient::ApplyReadTimeout() {
  fHttp->readTimeoutMs = static_cast<DWORD>(fReadTimeout > 0 ? fReadTimeout : kDefaultReadTimeout) *
                         kMillisecondsPerSecond;
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
  const auto fail = [&exchange, &aURL](DWORD code, bool sent) {
    exchange.failReason = ConnectFailReason(code, sent);
    exchange.errorText = ExchangeErrorText(code, aURL);
    return exchange;
  };
  tkUrlParts url;
  if (session.session == nullptr) return fail(GetLastError(), false);
  if (!CrackUrl(aURL, url)) return fail(ERROR_WINHTTP_INVALID_URL, false);
  tkHandle connection(WinHttpConnect(session.session, url.host.c_str(), url.port, 0));
  if (connection.handle == nullptr) return fail(GetLastError(), false);
  tkHandle request(WinHttpOpenRequest(
      connection.handle, aBody != nullptr ? L"POST" : L"GET", url.path.c_str(), nullptr,
      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, url.secure ? WINHTTP_FLAG_SECURE : 0));
  if (request.handle == nullptr) return fail(GetLastError(), false);
  const int timeout_ms = static_cast<int>(session.readTimeoutMs);
  WinHttpSetTimeouts(request.handle, 0, static_cast<int>(session.connectTimeoutMs), timeout_ms,
                     timeout_ms);
  DWORD option = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(request.handle, WINHTTP_OPTION_DISABLE_FEATURE, &option, sizeof(option));
  if (url.secure) {
    option = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
             SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    WinHttpSetOption(request.handle, WINHTTP_OPTION_SECURITY_FLAGS, &option, sizeof(option));
  }
  const std::wstring user = WideOf(fUser);
  const std::wstring password = WideOf(fPassword);
  if (fAuthType == tkHTTPAuthType::at_Basic) {
    WinHttpSetCredentials(request.handle, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                          user.c_str(), password.c_str(), nullptr);
  }
  const std::string bearer = fAuthType == tkHTTPAuthType::at_Bearer ? "Bearer " + fBearer : "";
  const std::wstring headers = session.HeaderBlock(post_content_type, bearer);
  // Digest answers the server's challenge: the first 401 is answered once with credentials.
  bool challenged = false;
  for (;;) {
    const BOOL sent = WinHttpSendRequest(
        request.handle, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
        static_cast<DWORD>(headers.size()),
        aBody != nullptr ? const_cast<char*>(aBody->data()) : WINHTTP_NO_REQUEST_DATA,
        aBody != nullptr ? static_cast<DWORD>(aBody->size()) : 0,
        aBody != nullptr ? static_cast<DWORD>(aBody->size()) : 0, 0);
    if (sent == 0) return fail(GetLastError(), false);
    if (WinHttpReceiveResponse(request.handle, nullptr) == 0) return fail(GetLastError(), true);
    const DWORD status = QueryStatusCode(request.handle);
    if (status == HTTP_STATUS_DENIED && fAuthType == tkHTTPAuthType::at_Digest && !challenged) {
      DWORD supported = 0;
      DWORD first = 0;
      DWORD target = 0;
      challenged = true;
      if (WinHttpQueryAuthSchemes(request.handle, &supported, &first, &target) != 0 &&
          (supported & WINHTTP_AUTH_SCHEME_DIGEST) != 0) {
        WinHttpSetCredentials(request.handle, target, WINHTTP_AUTH_SCHEME_DIGEST, user.c_str(),
                              password.c_str(), nullptr);
        session.ReadBody(request.handle);  // the challenge's own body
        continue;
      }
    }
    exchange.statusCode = static_cast<int32_t>(status);
    break;
  }
  session.statusText = QueryHeader(request.handle, WINHTTP_QUERY_STATUS_TEXT);
  session.contentType = Trim(QueryHeader(request.handle, WINHTTP_QUERY_CONTENT_TYPE));
  session.body.clear();
  if (!session.ReadBody(request.handle)) {
    return fail(GetLastError(), true);
  }
  exchange.completed = true;
  return exchange;
}

bool NV_HttpClient::Post(const std::string& aURL, const std::string& aMessage) {
  Log(tNV_MessageType::let_info, std::string(msg::kTitleWrite), aURL);
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
  Log(tNV_MessageType::let_info, std::string(msg::kTitleGet), aURL);
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
