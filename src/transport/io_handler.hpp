#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/log_message_type.hpp"
#include "transport/connection.hpp"

namespace nvrp {

class tNV_LogWriter;

// Transport of one device: the operations every transport implements, the device's
// conversation log and the error state the device reports after every command.
class kIOHandler {
 public:
  // Copies the connection's time-outs (when given). With a directory and a name, opens the
  // daily log aDirectory/aFileName_yyyymmdd.log and writes the start banner.
  kIOHandler(const kConnection* aConnection, std::string_view aDirectory,
             std::string_view aFileName);
  kIOHandler(const kIOHandler&) = delete;
  kIOHandler& operator=(const kIOHandler&) = delete;
  // Writes the stop banner and closes the log after every queued line is written.
  virtual ~kIOHandler();

  virtual bool Connected() const = 0;
  // Writes the connection banner and returns true; a transport calls it first.
  virtual bool Connect();
  virtual bool Disconnect() = 0;
  virtual void ClearBuffers() = 0;
  virtual bool Write(const std::string& aMessage) = 0;
  // Reads until one of the byte values has arrived (included) or the read time-out passed.
  virtual std::string ReadUpTo(const std::vector<uint8_t>& aChars) = 0;
  virtual std::string ReadChars(int32_t aCharsNum) = 0;
  virtual std::string ReadAll() = 0;
  virtual std::string DecodeError(int32_t aErrorCode) = 0;
  virtual bool InputBufferContainsData() = 0;
  virtual void SetParameter(const std::string& aName, const std::string& aValue) = 0;
  // Name of the transport class, written into the connection banner.
  virtual std::string ClassName() const = 0;

  // Writes the message to the log unchanged; nothing without a log.
  void Debug(tNV_MessageType aEntryType, const std::string& aMessage);
  // Writes aTitle + ":" + aMessage, with " [" + hexadecimal dump + "]" when HexLog is on.
  void WriteLog(tNV_MessageType aEntryType, const std::string& aTitle, const std::string& aMessage);
  // Full path of the log file; "" for a handler without a log.
  std::string GetLogFileName() const;

  void SetCustomError(int32_t aErrorCode, const std::string& aErrorMessage);
  void ResetCustomError();

  // Replaces the read time-out (values of 0 or less are logged and ignored); the reset puts
  // the saved value back and keeps it saved.
  void SetTemporaryReadTimeout(int32_t aNewTimeout);
  void ResetTemporaryReadTimeout();

  bool ErrorFound() const { return fErrorFound; }
  int32_t ErrorCode() const { return fErrorCode; }
  const std::string& ErrorMessage() const { return fErrorMessage; }
  bool HexLog() const { return fHexLog; }
  void SetHexLog(bool aValue) { fHexLog = aValue; }
  int32_t ConnectTimeout() const { return fConnectTimeout; }
  void SetConnectTimeout(int32_t aValue) { fConnectTimeout = aValue; }
  int32_t ReadTimeout() const { return fReadTimeout; }
  void SetReadTimeout(int32_t aValue) { fReadTimeout = aValue; }
  const std::string& Version() const { return fVersion; }
  void SetVersion(std::string aValue) { fVersion = std::move(aValue); }
  int32_t CodePage() const { return fCodePage; }
  void SetCodePage(int32_t aValue) { fCodePage = aValue; }

 protected:
  // Lower-case hexadecimal code of every UTF-16 unit of the text, at least two digits,
  // blank-separated: "48 69 3b1" for "Hiα".
  static std::string HexDump(std::string_view aText);
  // The "Waiting for:" line of a read up to one of aChars: the characters separated by ",",
  // with HexLog followed by " [" + their codes separated by "," + "]".
  std::string WaitingForLine(const std::vector<uint8_t>& aChars) const;

 private:
  bool fErrorFound = false;
  int32_t fErrorCode = 0;
  std::string fErrorMessage;
  std::unique_ptr<tNV_LogWriter> fLogger;
  bool fHexLog = false;
  int32_t fConnectTimeout = 0;
  int32_t fReadTimeout = 0;
  int32_t fTemporaryReadTimeout = 0;
  std::string fVersion;
  int32_t fCodePage = 0;
};

}  // namespace nvrp
