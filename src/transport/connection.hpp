#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "transport/http_auth_type.hpp"

namespace nvrp {

// Which I/O handler class serves a device.
enum class tkConnectionType { OPOS, TCP, HTTP, Serial, DLL, Com, Spool };

// Parity of a serial line.
enum class tkParity { None, Even, Odd };

// How the spooler transport hands text to the printer.
enum class tkSpoolOutputType { Raw, Normal };

// Connection settings of one device, as given by the request envelope.
class kConnection {
 public:
  static constexpr int32_t kDefaultTimeout = 1000;  // milliseconds

  kConnection() = default;

  const std::string& Address() const { return fAddress; }
  void SetAddress(std::string aValue) { fAddress = std::move(aValue); }
  int32_t Port() const { return fPort; }
  void SetPort(int32_t aValue) { fPort = aValue; }
  const std::string& URL() const { return fURL; }
  void SetURL(std::string aValue) { fURL = std::move(aValue); }
  tkHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(tkHTTPAuthType aValue) { fAuthType = aValue; }
  const std::string& User() const { return fUser; }
  void SetUser(std::string aValue) { fUser = std::move(aValue); }
  const std::string& Password() const { return fPassword; }
  void SetPassword(std::string aValue) { fPassword = std::move(aValue); }
  const std::string& SerialPort() const { return fSerialPort; }
  void SetSerialPort(std::string aValue) { fSerialPort = std::move(aValue); }
  int32_t Speed() const { return fSpeed; }
  void SetSpeed(int32_t aValue) { fSpeed = aValue; }
  int32_t DataBits() const { return fDataBits; }
  void SetDataBits(int32_t aValue) { fDataBits = aValue; }
  tkParity Parity() const { return fParity; }
  void SetParity(tkParity aValue) { fParity = aValue; }
  int32_t StopBits() const { return fStopBits; }
  void SetStopBits(int32_t aValue) { fStopBits = aValue; }
  const std::string& DeviceName() const { return fDeviceName; }
  void SetDeviceName(std::string aValue) { fDeviceName = std::move(aValue); }
  const std::string& LibraryName() const { return fLibraryName; }
  void SetLibraryName(std::string aValue) { fLibraryName = std::move(aValue); }
  const std::string& PrinterName() const { return fPrinterName; }
  void SetPrinterName(std::string aValue) { fPrinterName = std::move(aValue); }
  tkConnectionType ConnectionType() const { return fConnectionType; }
  void SetConnectionType(tkConnectionType aValue) { fConnectionType = aValue; }

  // Time-outs in milliseconds; a value of 0 or less leaves the setting unchanged.
  int32_t ConnectTimeOut() const { return fConnectTimeout; }
  void SetConnectTimeOut(int32_t aValue);
  int32_t ReadTimeOut() const { return fReadTimeout; }
  void SetReadTimeOut(int32_t aValue);

  // Request words, compared in lower case as whole words. The first two throw
  // nvrp::Exception quoting the text unchanged; an unknown authentication word is at_None.
  static tkConnectionType ConvertConnectionType(std::string_view aString);
  static tkParity ConvertParity(std::string_view aString);
  static tkHTTPAuthType ConvertAuthType(std::string_view aString);

 private:
  std::string fAddress;
  int32_t fPort = 0;
  std::string fURL;
  tkHTTPAuthType fAuthType = tkHTTPAuthType::at_None;
  std::string fUser;
  std::string fPassword;
  std::string fSerialPort;
  int32_t fSpeed = 0;
  int32_t fDataBits = 0;
  tkParity fParity = tkParity::None;
  int32_t fStopBits = 0;
  std::string fDeviceName;
  std::string fLibraryName;
  std::string fPrinterName;
  tkConnectionType fConnectionType = tkConnectionType::OPOS;
  int32_t fConnectTimeout = kDefaultTimeout;
  int32_t fReadTimeout = kDefaultTimeout;
};

}  // namespace nvrp
