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
#include "transport/http_client_exchange.hpp"
#include "transport/http_client_messages.hpp"

// The HTTP client's transfers over libcurl.

namespace nvrp {

namespace msg = http_client_messages;
namespace reason = http_client_reasons;

namespace {

void EnsureCurlInitialized() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int32_t ConnectFailReason(CURLcode code, bool request_sent) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return reason::kBadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
      return reason::kNameLookupFailed;
    case CURLE_COULDNT_CONNECT:
      return reason::kConnectRejected;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return reason::kTlsHandshakeFailed;
    case CURLE_ABORTED_BY_CALLBACK:
      return reason::kAborted;
    case CURLE_OPERATION_TIMEDOUT:
      return request_sent ? reason::kConnectedThenFailed : reason::kConnectTimedOut;
    default:
      return request_sent ? reason::kConnectedThenFailed : reason::kInternalFailure;
  }
}

long SecondsOrDefault(int32_t seconds, int32_t fallback) {
  return static_cast<long>(seconds > 0 ? seconds : fallback);
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

// The libcurl handle with the header list it sends and what it captured of the last response.
struct NV_HttpClient::tkSession {
  CURL* handle = nullptr;
  std::shared_ptr<void> headerList;  // held while the handle may send it
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
  ~tkSession() { curl_easy_cleanup(handle); }
  tkSession(const tkSession&) = delete;
  tkSession& operator=(const tkSession&) = delete;

  // Hands the cached header lines to curl, as a curl list made once per cache; a POST also
  // sends its body at once, without waiting for a go-ahead.
  bool InstallHeaders(NV_HttpHeaderCache& cache, bool post) {
    if (!cache.fPrepared) {
      curl_slist* list = nullptr;
      std::vector<std::string> lines = cache.Lines();
      if (post) lines.emplace_back("Expect:");
      for (const auto& line : lines) {
        curl_slist* extended = curl_slist_append(list, line.c_str());
        if (extended == nullptr) {
          curl_slist_free_all(list);
          return false;
        }
        list = extended;
      }
      cache.fPrepared = std::shared_ptr<curl_slist>(list, curl_slist_free_all);
    }
    headerList = cache.fPrepared;
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(headerList.get()));
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
      if (AsciiLower(line.substr(0, colon)) == AsciiLower(kHttpContentTypeHeader)) {
        session->contentType = Trim(line.substr(colon + 1));
      }
    }
    return size * count;
  }
};

NV_HttpClient::NV_HttpClient()
    : fHttp(std::make_unique<tkSession>()), fContentCharset(msg::kDefaultContentCharset) {}

NV_HttpClient::~NV_HttpClient() = default;

void NV_HttpClient::ApplySessionSettings() {
  CURL* handle = fHttp->handle;
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT,
                   SecondsOrDefault(fConnectTimeout, kDefaultConnectTimeout));
  // libcurl sends no Accept-Charset, Accept-Language or Accept-Encoding unless asked to, so
  // answers come uncompressed.
  curl_easy_setopt(handle, CURLOPT_USERAGENT, fUserAgent.empty() ? nullptr : fUserAgent.c_str());
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
}

// The read time-out is the longest wait without any data: slower than one byte per second for
// that many seconds ends the request.
void NV_HttpClient::ApplyReadTimeout() {
  curl_easy_setopt(fHttp->handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(fHttp->handle, CURLOPT_LOW_SPEED_TIME,
                   SecondsOrDefault(fReadTimeout, kDefaultReadTimeout));
}

NV_HttpClient::tkExchange NV_HttpClient::Transfer(const std::string& aURL, const std::string* aBody,
                                                  const std::string& aPostContentType) {
  tkSession& session = *fHttp;
  session.ResetResponse();
  tkExchange exchange;
  if (aBody != nullptr) {
    curl_easy_setopt(session.handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(aBody->size()));
    curl_easy_setopt(session.handle, CURLOPT_COPYPOSTFIELDS, aBody->c_str());
  } else {
    curl_easy_setopt(session.handle, CURLOPT_HTTPGET, 1L);
  }
  if (!session.InstallHeaders(RequestHeaders(aPostContentType), aBody != nullptr)) {
    exchange.failReason = reason::kInternalFailure;
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
  exchange.statusText = std::move(session.statusText);
  exchange.contentType = std::move(session.contentType);
  exchange.body = std::move(session.body);
  if (!exchange.completed) {
    exchange.failReason = ConnectFailReason(code, request_size > 0);
    exchange.errorText =
        session.errorBuffer[0] != '\0' ? session.errorBuffer.data() : curl_easy_strerror(code);
  }
  return exchange;
}

}  // namespace nvrp
