#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/log_message_type.hpp"
#include "transport/http_auth_type.hpp"

namespace nvrp {

// Logging callback: entry type, title and message of one log line.
using tkWriteLogEvent = std::function<void(tNV_MessageType aEntryType, const std::string& aTitle,
                                           const std::string& aMessage)>;

// The header lines of a request, kept between the clients of one device: each request has a
// fresh client, and a client handed the cache builds the lines (and the HTTP library's own form
// of them) again only when its headers differ from those they were built for.
class NV_HttpHeaderCache {
 public:
  using tkHeaderList = std::vector<std::pair<std::string, std::string>>;

  // The "Name: value" lines last built.
  const std::vector<std::string>& Lines() const { return fLines; }

 private:
  friend class NV_HttpClient;

  tkHeaderList fHeaders;         // the stored headers the lines were built for
  std::string fPostContentType;  // and the content type of the POST, empty for a GET
  bool fBuilt = false;
  std::vector<std::string> fLines;
  std::shared_ptr<void> fPrepared;  // the lines in the HTTP library's form, made on first use
};

// Sends one HTTP request and keeps its outcome (status, status text, body, content type).
// Settings are handed to the underlying HTTP library before the first request; later changes
// other than the read time-out do not reach it. Redirects are returned, not followed, and the
// server certificate is not checked. Every step is reported through OnWriteLog.
class NV_HttpClient {
 public:
  NV_HttpClient();
  virtual ~NV_HttpClient();
  NV_HttpClient(const NV_HttpClient&) = delete;
  NV_HttpClient& operator=(const NV_HttpClient&) = delete;

  // POST of aMessage (may be empty). The kind of POST follows ContentType exactly:
  // "application/xml", "application/json", or else the body as given. True when a response came,
  // the exchange completed and its status is 200 to 299 or 301 to 308.
  bool Post(const std::string& aURL, const std::string& aMessage);
  // GET of aURL; true when the exchange completed with a status of 200 to 299.
  bool Get(const std::string& aURL);
  // Sets (or, with an empty value, removes) a header sent with every later request. A name or
  // value that would break the header line raises an error.
  void SetRequestHeader(const std::string& aKey, const std::string& aValue);

  tkHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(tkHTTPAuthType value) { fAuthType = value; }
  const std::string& User() const { return fUser; }
  void SetUser(const std::string& value) { fUser = value; }
  const std::string& Password() const { return fPassword; }
  void SetPassword(const std::string& value) { fPassword = value; }
  // Seconds without data before a request fails; 0 or less uses the default of 10.
  int32_t ReadTimeout() const { return fReadTimeout; }
  void SetReadTimeout(int32_t value) { fReadTimeout = value; }
  // Seconds to establish the connection; 0 or less uses the default of 5.
  int32_t ConnectTimeout() const { return fConnectTimeout; }
  void SetConnectTimeout(int32_t value) { fConnectTimeout = value; }
  const std::string& Bearer() const { return fBearer; }
  void SetBearer(const std::string& value) { fBearer = value; }
  const std::string& UserAgent() const { return fUserAgent; }
  void SetUserAgent(const std::string& value) { fUserAgent = value; }
  const std::string& ContentType() const { return fContentType; }
  void SetContentType(const std::string& value) { fContentType = value; }
  const std::string& ContentCharset() const { return fContentCharset; }
  void SetContentCharset(const std::string& value) { fContentCharset = value; }
  // HTTP status of the last request, or the connect-failure reason when no response came.
  int32_t LastStatusCode() const { return fLastStatusCode; }
  void SetLastStatusCode(int32_t value) { fLastStatusCode = value; }
  // HTTP status text of the last response, or the error text when no response came.
  const std::string& LastStatusText() const { return fLastStatusText; }
  // Whether the last request got an HTTP status line back (false: refused, timed out ...).
  bool ResponseReceived() const { return fResponseReceived; }
  void SetLastStatusText(const std::string& value) { fLastStatusText = value; }
  const std::string& Response() const { return fResponse; }
  const std::string& ResponseContentType() const { return fResponseContentType; }
  // Moves the body of the last successful response out of the client.
  std::string TakeResponse() { return std::move(fResponse); }
  // Header lines are kept in aCache (which must outlive the client) instead of the client's
  // own, so that the clients of one device build them once.
  void SetHeaderCache(NV_HttpHeaderCache* aCache) { fHeaderCache = aCache; }
  const tkWriteLogEvent& OnWriteLog() const { return fOnWriteLog; }
  void SetOnWriteLog(tkWriteLogEvent value) { fOnWriteLog = std::move(value); }

  static constexpr int32_t kDefaultReadTimeout = 10;
  static constexpr int32_t kDefaultConnectTimeout = 5;

 private:
  struct tkSession;   // the handles of the system's HTTP library (one source file per system)
  struct tkExchange;  // what one request produced

  void ApplySettings();
  void ApplySessionSettings();
  void ApplyReadTimeout();
  tkExchange Perform(const std::string& aURL, const std::string* aBody);
  tkExchange Transfer(const std::string& aURL, const std::string* aBody,
                      const std::string& aPostContentType);
  std::string PostContentType() const;
  std::vector<std::string> RequestHeaderLines(const std::string& aPostContentType) const;
  // The cache holding the header lines of a request with aPostContentType, built when due.
  NV_HttpHeaderCache& RequestHeaders(const std::string& aPostContentType);
  void StoreRequestHeader(const std::string& aKey, const std::string& aValue);
  bool RecordPostOutcome(tkExchange& exchange);
  void RecordNoResponse(const tkExchange& exchange);
  bool RecordGetOutcome(tkExchange& exchange);
  void KeepResponse(tkExchange& exchange);
  void Log(tNV_MessageType aEntryType, const std::string& aTitle, const std::string& aMessage);
  void LogHttpError(std::string_view aTitle);

  std::unique_ptr<tkSession> fHttp;
  bool fHTTPAlreadySet = false;
  NV_HttpHeaderCache::tkHeaderList fRequestHeaders;
  NV_HttpHeaderCache fOwnHeaderCache;
  NV_HttpHeaderCache* fHeaderCache = &fOwnHeaderCache;
  tkHTTPAuthType fAuthType = tkHTTPAuthType::at_None;
  std::string fUser;
  std::string fPassword;
  int32_t fReadTimeout = kDefaultReadTimeout;
  int32_t fConnectTimeout = kDefaultConnectTimeout;
  std::string fBearer;
  std::string fUserAgent;
  std::string fContentType;
  std::string fContentCharset;
  int32_t fLastStatusCode = 0;
  std::string fLastStatusText;
  bool fResponseReceived = false;
  std::string fResponse;
  std::string fResponseContentType;
  tkWriteLogEvent fOnWriteLog;
};

}  // namespace nvrp
