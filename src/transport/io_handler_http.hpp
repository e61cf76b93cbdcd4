#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "transport/http_auth_type.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

class NV_HttpClient;

// I/O handler of a device reached over HTTP: holds the device's base URL and credentials,
// posts texts to it and words HTTP status codes for error messages.
//
// Each Write is one complete request through a fresh HTTP client made from the current
// settings, so nothing stays connected between operations. Both time-outs are handed to the
// client unchanged, which counts them in seconds: devices answer only after printing, and an
// early time-out would report a printed receipt as failed.
class kIOHandler_HTTP : public kIOHandler {
 public:
  // Takes the URL (or address and port), credentials and time-outs from the connection.
  kIOHandler_HTTP(const kConnection* aConnection, std::string_view aDirectory,
                  std::string_view aFileName);
  ~kIOHandler_HTTP() override;

  bool Connected() const override;
  // Connection banner and the URL line; does not contact the device.
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override;
  // Posts the text to URL. False, with the error recorded, unless the status is 200 to 299.
  bool Write(const std::string& aMessage) override;
  // Nothing is ever waiting to be read: both answer "".
  std::string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  std::string ReadChars(int32_t aCharsNum) override;
  // Not offered by this transport: throw nvrp::Exception.
  std::string ReadAll() override;
  bool InputBufferContainsData() override;
  // Status text of an HTTP code; "Unknown" for any other number.
  std::string DecodeError(int32_t aErrorCode) override;
  // Sets a header sent with every later request; names compare without regard to letter case.
  // A name or value that would break the header line throws nvrp::Exception.
  void SetParameter(const std::string& aName, const std::string& aValue) override;
  std::string ClassName() const override;

  const std::string& ContentType() const { return fContentType; }
  void SetContentType(std::string aValue) { fContentType = std::move(aValue); }
  const std::string& URL() const { return fURL; }
  void SetURL(std::string aValue) { fURL = std::move(aValue); }
  tkHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(tkHTTPAuthType aValue) { fAuthType = aValue; }
  const std::string& User() const { return fUser; }
  void SetUser(std::string aValue) { fUser = std::move(aValue); }
  const std::string& Password() const { return fPassword; }
  void SetPassword(std::string aValue) { fPassword = std::move(aValue); }
  const std::string& Response() const { return fResponse; }
  void SetResponse(std::string aValue) { fResponse = std::move(aValue); }
  int32_t ResponseCode() const { return fResponseCode; }
  void SetResponseCode(int32_t aValue) { fResponseCode = aValue; }

  // Base URL of a connection: its URL when set, else the address with ":port" for a port above 0.
  static std::string BuildURL(const kConnection& aConnection);

 private:
  struct tkPostOutcome;

  void ConfigureClient(NV_HttpClient& aClient) const;
  tkPostOutcome Post(const std::string& aMessage) const;
  void RecordPostError(const tkPostOutcome& aOutcome);

  std::string fContentType;
  std::string fURL;
  tkHTTPAuthType fAuthType = tkHTTPAuthType::at_None;
  std::string fUser;
  std::string fPassword;
  std::string fResponse;
  int32_t fResponseCode = 0;
  // Headers set through SetParameter, in the order first set.
  std::vector<std::pair<std::string, std::string>> fRequestHeaders;
};

}  // namespace nvrp
