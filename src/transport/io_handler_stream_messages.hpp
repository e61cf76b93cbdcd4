#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp::io_handler_stream_messages {

// Exact texts of the TCP and serial transports: log titles, log lines and errors.

inline constexpr std::string_view kTCPClassName = "kIOHandler_TCP";
inline constexpr std::string_view kSerialClassName = "kIOHandler_Serial";

inline std::string HostLine(std::string_view aHost) { return "Host=" + std::string(aHost); }
inline std::string PortLine(uint16_t aPort) { return "Port=" + std::to_string(aPort); }

inline constexpr std::string_view kConnectTimeoutTitle = "Connect Timeout";
inline constexpr std::string_view kConnectErrorTitle = "Connect Error";
inline constexpr std::string_view kWriteTitle = "Write";
inline constexpr std::string_view kWriteErrorTitle = "Write Error";
inline constexpr std::string_view kReadTitle = "Read";
inline constexpr std::string_view kReadTimeoutTitle = "Read Timeout";
inline constexpr std::string_view kReadErrorTitle = "Read Error";
inline constexpr std::string_view kReadCharsErrorTitle = "ReadChars Unexpected error";
inline constexpr std::string_view kReadUpToErrorTitle = "ReadUpTo Unexpected error";
inline constexpr std::string_view kReadAllErrorTitle = "ReadAll Unexpected error";

inline constexpr std::string_view kReadAllUnsupported = "ReadAll Unsupported";
inline constexpr std::string_view kPeerClosed = "Connection closed by the device.";
inline constexpr std::string_view kNotConnected = "Not connected.";
inline std::string WriteStalled(int32_t aStallMs) {
  return "The device took no byte for " + std::to_string(aStallMs) + " ms.";
}
// A character the TCP line cannot carry when no code page is set.
inline constexpr std::string_view kCharacterAbove255 =
    "The text holds a character above 255, which cannot be sent without a code page";
inline std::string UnknownCodePage(int32_t aCodePage) {
  return "Code page " + std::to_string(aCodePage) + " is not known";
}

// Serial handler settings.
inline constexpr std::string_view kParityInvalid = "Parity invalid";
inline std::string StopBitsInvalid(int32_t aStopBits) {
  return "Stop Bits " + std::to_string(aStopBits) + " invalid";
}
inline std::string NotAValidInteger(std::string_view aText) {
  return "'" + std::string(aText) + "' is not a valid integer value";
}

// Serial connection banner.
inline constexpr std::string_view kSerialDriverVersionLine = "Serial Driver Version: ";
inline std::string SerialPortLine(uint32_t aNumber) {
  return "SerialPort=COM" + std::to_string(aNumber);
}
inline std::string SpeedLine(uint32_t aSpeed) { return "Speed=" + std::to_string(aSpeed); }
inline std::string DataBitsLine(uint32_t aBits) { return "DataBits=" + std::to_string(aBits); }
// In the order of TParity and TStopBits.
inline constexpr std::string_view kParityLines[] = {"Parity=none", "Parity=odd", "Parity=even",
                                                    "Parity=mark", "Parity=space"};
inline constexpr std::string_view kStopBitsLines[] = {"StopBits=1", "StopBits=1.5", "StopBits=2"};

// TComPort.
inline constexpr std::string_view kDriverVersion = "1.0";
inline std::string NotAValidComPort(std::string_view aName) {
  return std::string(aName) + " is not a valid COM port.";
}
inline std::string ComName(uint32_t aNumber) { return "COM" + std::to_string(aNumber); }
inline std::string CannotOpenCom(uint32_t aNumber, int32_t aError) {
  return "Cannot open COM" + std::to_string(aNumber) + " (error #" + std::to_string(aError) + ").";
}
inline constexpr std::string_view kGetCommStateFailed = "GetCommState failed!";
inline constexpr std::string_view kSetCommStateFailed = "SetCommState failed!";
inline constexpr std::string_view kGetCommTimeoutsFailed = "GetCommTimeouts failed.";
inline constexpr std::string_view kSetCommTimeoutsFailed = "SetCommTimeouts failed.";
inline constexpr std::string_view kReadNotOpen = "Cannot read because COM port is not open.";
inline constexpr std::string_view kWriteNotOpen = "Cannot write because COM port is not open.";
inline constexpr std::string_view kWriteFailed = "Write to com port failed.";
inline constexpr std::string_view kPurgeFailed = "PurgeComm failed!";
inline constexpr std::string_view kSetRTSNotOpen = "SetRTS failed because COM port not open.";
inline constexpr std::string_view kSetDTRNotOpen = "SetDTR failed because COM port not open.";
inline constexpr std::string_view kSetRTSFailed = "SetRTS failed.";
inline constexpr std::string_view kSetDTRFailed = "SetDTR failed.";

}  // namespace nvrp::io_handler_stream_messages
