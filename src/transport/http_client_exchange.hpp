#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "transport/http_client.hpp"

// Shared by the HTTP client's common part and its system-specific transfer code.

namespace nvrp {

namespace http_client_reasons {
// Reasons reported as the status code when no response came.
inline constexpr int32_t kConnectedThenFailed = 0;
inline constexpr int32_t kBadAddress = 1;
inline constexpr int32_t kNameLookupFailed = 2;
inline constexpr int32_t kAborted = 4;
inline constexpr int32_t kInternalFailure = 5;
inline constexpr int32_t kConnectTimedOut = 6;
inline constexpr int32_t kConnectRejected = 7;
inline constexpr int32_t kTlsHandshakeFailed = 103;
}  // namespace http_client_reasons

inline constexpr std::string_view kHttpContentTypeHeader = "Content-Type";

struct NV_HttpClient::tkExchange {
  bool completed = false;  // the library finished the exchange without error
  int32_t statusCode = 0;  // HTTP status of the last response; 0 when none came
  int32_t failReason = 0;  // connect-failure reason when no response came
  std::string errorText;   // the library's error text when it did not complete
  std::string statusText;  // reason phrase of the last response
  std::string contentType;
  std::string body;
};

}  // namespace nvrp
