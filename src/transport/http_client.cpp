#include "transport/http_client.hpp"

#include <algorithm>
#include <string_view>
#include <utility>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "transport/http_client_exchange.hpp"
#include "transport/http_client_messages.hpp"
#include "transport/url_masking.hpp"

// The part of the HTTP client that does not depend on the system's HTTP library: request
// headers, checks of the texts that reach the wire, the kind of POST, outcomes and log lines.

namespace nvrp {

namespace msg = http_client_messages;

namespace {

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

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameHeaderName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

}  // namespace

void NV_HttpClient::SetRequestHeader(const std::string& aKey, const std::string& aValue) {
  if (!IsValidHeaderName(aKey) || !IsSafeHeaderText(aValue)) {
    throw Exception(std::string(msg::kInvalidHeaderText) + aKey);
  }
  StoreRequestHeader(aKey, aValue);
}

void NV_HttpClient::StoreRequestHeader(const std::string& aKey, const std::string& aValue) {
  std::erase_if(fRequestHeaders,
                [&](const auto& header) { return SameHeaderName(header.first, aKey); });
  if (!aValue.empty()) fRequestHeaders.emplace_back(aKey, aValue);
}

// "Name: value" lines of the stored headers; a non-empty aPostContentType replaces the stored
// content type.
std::vector<std::string> NV_HttpClient::RequestHeaderLines(
    const std::string& aPostContentType) const {
  std::vector<std::string> lines;
  for (const auto& [name, value] : fRequestHeaders) {
    if (!aPostContentType.empty() && SameHeaderName(name, kHttpContentTypeHeader)) continue;
    lines.push_back(name + ": " + value);
  }
  if (!aPostContentType.empty()) {
    lines.push_back(std::string(kHttpContentTypeHeader) + ": " + aPostContentType);
  }
  return lines;
}

NV_HttpHeaderCache& NV_HttpClient::RequestHeaders(const std::string& aPostContentType) {
  NV_HttpHeaderCache& cache = *fHeaderCache;
  if (cache.fBuilt && cache.fHeaders == fRequestHeaders &&
      cache.fPostContentType == aPostContentType) {
    return cache;
  }
  cache.fLines = RequestHeaderLines(aPostContentType);
  cache.fHeaders = fRequestHeaders;
  cache.fPostContentType = aPostContentType;
  cache.fPrepared.reset();
  cache.fBuilt = true;
  return cache;
}

// The content type of a POST follows ContentType exactly: XML and JSON get their own, anything
// else is sent with the stored header or as a form.
std::string NV_HttpClient::PostContentType() const {
  if (fContentType == msg::kXmlContentType) return std::string(msg::kXmlPostContentType);
  if (fContentType == msg::kJsonContentType) return std::string(msg::kJsonContentType);
  for (const auto& [name, value] : fRequestHeaders) {
    if (SameHeaderName(name, kHttpContentTypeHeader)) return value;
  }
  return std::string(msg::kUrlEncodedContentType);
}

void NV_HttpClient::ApplySettings() {
  ApplySessionSettings();
  ApplyReadTimeout();
  StoreRequestHeader(std::string(kHttpContentTypeHeader), fContentType);
  fHTTPAlreadySet = true;
}

NV_HttpClient::tkExchange NV_HttpClient::Perform(const std::string& aURL,
                                                 const std::string* aBody) {
  bool texts_safe = IsSafeHeaderText(aURL) && IsSafeHeaderText(fUserAgent) &&
                    IsSafeHeaderText(fUser) && IsSafeHeaderText(fBearer);
  for (const auto& [name, value] : fRequestHeaders) {
    texts_safe = texts_safe && IsValidHeaderName(name) && IsSafeHeaderText(value);
  }
  if (!texts_safe) {
    tkExchange refused;
    refused.failReason = http_client_reasons::kInternalFailure;
    refused.errorText = msg::kInvalidRequestText;
    return refused;
  }
  return Transfer(aURL, aBody, aBody != nullptr ? PostContentType() : std::string());
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
  tkExchange exchange = Perform(aURL, &aMessage);
  return RecordPostOutcome(exchange);
}

bool NV_HttpClient::RecordPostOutcome(tkExchange& exchange) {
  fResponseReceived = exchange.statusCode != 0;
  if (exchange.statusCode == 0) {
    RecordNoResponse(exchange);
    return false;
  }
  fLastStatusCode = exchange.statusCode;
  fLastStatusText = std::move(exchange.statusText);
  bool success = false;
  if (exchange.completed) {
    KeepResponse(exchange);
    fResponseContentType = std::move(exchange.contentType);
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
  tkExchange exchange = Perform(aURL, nullptr);
  return RecordGetOutcome(exchange);
}

bool NV_HttpClient::RecordGetOutcome(tkExchange& exchange) {
  fLastStatusCode = exchange.statusCode;
  bool success = false;
  if (exchange.completed) {
    KeepResponse(exchange);
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

void NV_HttpClient::KeepResponse(tkExchange& exchange) {
  fResponse = std::move(exchange.body);
  Log(tNV_MessageType::let_info, LengthTitle(msg::kTitleReadLengthPrefix, fResponse), fResponse);
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
