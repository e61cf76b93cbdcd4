#include "transport/http_client.hpp"

#include <windows.h>
#include <winhttp.h>

#include <charconv>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/win32_text.hpp"
#include "transport/http_client_exchange.hpp"
#include "transport/http_client_messages.hpp"
#include "transport/url_masking.hpp"

// The HTTP client's transfers over WinHTTP: one session, a connection and request per exchange,
// the device reached without a proxy.

namespace nvrp {

namespace msg = http_client_messages;
namespace reason = http_client_reasons;

namespace {

constexpr DWORD kMillisecondsPerSecond = 1000;

int32_t ConnectFailReason(DWORD code, bool request_sent) {
  switch (code) {
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return reason::kBadAddress;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return reason::kNameLookupFailed;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return reason::kConnectRejected;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return reason::kTlsHandshakeFailed;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return reason::kAborted;
    case ERROR_WINHTTP_TIMEOUT:
      return request_sent ? reason::kConnectedThenFailed : reason::kConnectTimedOut;
    default:
      return request_sent ? reason::kConnectedThenFailed : reason::kInternalFailure;
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

// The error text with the address it concerns (user info masked) and WinHTTP's code, as a log
// reader needs it.
std::string ExchangeErrorText(DWORD code, const std::string& url) {
  return WinHttpErrorText(code) + ": " + MaskUrlUserInfo(url) + " (WinHTTP error " +
         std::to_string(code) + ")";
}

// The header block of one request: the header lines, then the authorization if any.
std::wstring HeaderBlock(const std::vector<std::string>& lines, const std::string& authorization) {
  std::string block;
  for (const auto& line : lines) block += line + "\r\n";
  if (!authorization.empty()) block += "Authorization: " + authorization + "\r\n";
  return WideOf(block);
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

// The announced Content-Length, when the response has one.
std::optional<uint64_t> QueryContentLength(HINTERNET request) {
  const std::string text = QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH);
  if (text.empty()) return std::nullopt;
  uint64_t length = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return length;
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

// Time-outs (the wait for the response head included), redirects returned rather than followed,
// and no check of the server certificate.
void ConfigureRequest(HINTERNET request, DWORD connect_timeout_ms, DWORD read_timeout_ms,
                      bool secure) {
  const int read_ms = static_cast<int>(read_timeout_ms);
  WinHttpSetTimeouts(request, 0, static_cast<int>(connect_timeout_ms), read_ms, read_ms);
  WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &read_timeout_ms,
                   sizeof(read_timeout_ms));
  DWORD option = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &option, sizeof(option));
  if (secure) {
    option = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
             SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &option, sizeof(option));
  }
}

// Appends the rest of the response body to aBody.
bool ReadBody(HINTERNET request, std::string& aBody) {
  for (;;) {
    DWORD available = 0;
    if (WinHttpQueryDataAvailable(request, &available) == 0) return false;
    if (available == 0) return true;
    const size_t start = aBody.size();
    aBody.resize(start + available);
    DWORD read = 0;
    if (WinHttpReadData(request, aBody.data() + start, available, &read) == 0) return false;
    aBody.resize(start + read);
    if (read == 0) return true;
  }
}

}  // namespace

// The WinHTTP session and its time-outs.
struct NV_HttpClient::tkSession {
  HINTERNET session = nullptr;
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
};

NV_HttpClient::NV_HttpClient()
    : fHttp(std::make_unique<tkSession>()), fContentCharset(msg::kDefaultContentCharset) {}

NV_HttpClient::~NV_HttpClient() = default;

void NV_HttpClient::ApplySessionSettings() {
  // WinHTTP sends no Accept-Charset, Accept-Language or Accept-Encoding unless asked to, so
  // answers come uncompressed.
  fHttp->Open(fUserAgent);
  fHttp->connectTimeoutMs =
      static_cast<DWORD>(fConnectTimeout > 0 ? fConnectTimeout : kDefaultConnectTimeout) *
      kMillisecondsPerSecond;
}

// The read time-out is the longest wait for a send or a receive to make progress.
void NV_HttpClient::ApplyReadTimeout() {
  fHttp->readTimeoutMs = static_cast<DWORD>(fReadTimeout > 0 ? fReadTimeout : kDefaultReadTimeout) *
                         kMillisecondsPerSecond;
}

NV_HttpClient::tkExchange NV_HttpClient::Transfer(const std::string& aURL, const std::string* aBody,
                                                  const std::string& aPostContentType) {
  tkSession& session = *fHttp;
  tkExchange exchange;
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
  // The path and query go out exactly as written, without WinHTTP's escaping.
  const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                      (url.secure ? WINHTTP_FLAG_SECURE : 0);
  tkHandle request(WinHttpOpenRequest(connection.handle, aBody != nullptr ? L"POST" : L"GET",
                                      url.path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (request.handle == nullptr) return fail(GetLastError(), false);
  ConfigureRequest(request.handle, session.connectTimeoutMs, session.readTimeoutMs, url.secure);
  const std::wstring user = WideOf(fUser);
  const std::wstring password = WideOf(fPassword);
  if (fAuthType == tkHTTPAuthType::at_Basic) {
    WinHttpSetCredentials(request.handle, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                          user.c_str(), password.c_str(), nullptr);
  }
  const std::string bearer = fAuthType == tkHTTPAuthType::at_Bearer ? "Bearer " + fBearer : "";
  const std::wstring headers = HeaderBlock(RequestHeaders(aPostContentType).Lines(), bearer);
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
        std::string challenge_body;
        ReadBody(request.handle, challenge_body);
        continue;
      }
    }
    exchange.statusCode = static_cast<int32_t>(status);
    break;
  }
  exchange.statusText = QueryHeader(request.handle, WINHTTP_QUERY_STATUS_TEXT);
  exchange.contentType = Trim(QueryHeader(request.handle, WINHTTP_QUERY_CONTENT_TYPE));
  if (!ReadBody(request.handle, exchange.body)) return fail(GetLastError(), true);
  // A body that ends before its announced length broke off with the connection.
  if (const auto length = QueryContentLength(request.handle);
      length.has_value() && exchange.body.size() < *length) {
    return fail(ERROR_WINHTTP_CONNECTION_ERROR, true);
  }
  exchange.completed = true;
  return exchange;
}

}  // namespace nvrp
