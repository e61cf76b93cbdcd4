#include "transport/io_handler_serial.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/utf.hpp"
#include "transport/code_page.hpp"
#include "transport/io_handler_stream_messages.hpp"

namespace nvrp {

namespace msg = io_handler_stream_messages;

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kByteTimeoutMs = 100;
// After a line error, so that a line that keeps failing fills the log at this pace at most.
constexpr auto kLineErrorPause = std::chrono::milliseconds(10);
constexpr size_t kMaxComDigits = 3;

TParity ComParity(tkParity aParity) {
  switch (aParity) {
    case tkParity::None:
      return TParity::ptNone;
    case tkParity::Even:
      return TParity::ptEven;
    case tkParity::Odd:
      return TParity::ptOdd;
  }
  throw Exception(std::string(msg::kParityInvalid));
}

TStopBits ComStopBits(int32_t aStopBits) {
  if (aStopBits == 1) return TStopBits::sbOne;
  if (aStopBits == 2) return TStopBits::sbTwo;
  throw Exception(msg::StopBitsInvalid(aStopBits));
}

std::unique_ptr<TComPort> PortOf(const kConnection& aConnection) {
  const uint32_t number = kIOHandler_Serial::ComNumberOf(aConnection.SerialPort());
  const TParity parity = ComParity(aConnection.Parity());
  const TStopBits stopBits = ComStopBits(aConnection.StopBits());
  return std::make_unique<TComPort>(number, static_cast<uint32_t>(aConnection.Speed()),
                                    static_cast<uint8_t>(aConnection.DataBits()), stopBits, parity);
}

bool TimePassed(Clock::time_point aStart, int32_t aTimeoutMs) {
  return Clock::now() - aStart > std::chrono::milliseconds(aTimeoutMs);
}

}  // namespace

uint32_t kIOHandler_Serial::ComNumberOf(const std::string& aSerialPort) {
  const std::string digits = aSerialPort.size() > 3 ? aSerialPort.substr(3) : "";
  const bool allDigits = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  if (!allDigits) throw Exception(msg::NotAValidInteger(digits));
  // A longer number or COM0 names no port; taking only its first digits would open another.
  if (AsciiUpper(aSerialPort.substr(0, 3)) != "COM" || digits.size() > kMaxComDigits ||
      std::stoul(digits) == 0) {
    throw Exception(msg::NotAValidComPort(aSerialPort));
  }
  return static_cast<uint32_t>(std::stoul(digits));
}

kIOHandler_Serial::kIOHandler_Serial(const kConnection* aConnection, std::string_view aDirectory,
                                     std::string_view aFileName)
    : kIOHandler(aConnection, aDirectory, aFileName),
      fComPort(PortOf(aConnection != nullptr ? *aConnection : kConnection())) {}

kIOHandler_Serial::~kIOHandler_Serial() = default;

bool kIOHandler_Serial::Connected() const { return fComPort->ComIsOpen(); }

bool kIOHandler_Serial::Connect() {
  kIOHandler::Connect();
  const auto info = [this](const std::string& aLine) { Debug(tNV_MessageType::let_info, aLine); };
  info(std::string(msg::kSerialDriverVersionLine) + TComPort::DriverVersion());
  info(msg::SerialPortLine(fComPort->ComNumber()));
  info(msg::SpeedLine(fComPort->BaudRate()));
  info(std::string(msg::kParityLines[static_cast<size_t>(fComPort->Parity())]));
  info(msg::DataBitsLine(fComPort->DataBits()));
  info(std::string(msg::kStopBitsLines[static_cast<size_t>(fComPort->StopBits())]));
  fComPort->Open();
  return fComPort->ComIsOpen();
}

bool kIOHandler_Serial::Disconnect() {
  fComPort->Close();
  return !fComPort->ComIsOpen();
}

void kIOHandler_Serial::ClearBuffers() { fComPort->ClearBuffers(); }

bool kIOHandler_Serial::Write(const std::string& aMessage) {
  WriteLog(tNV_MessageType::let_info, std::string(msg::kWriteTitle), aMessage);
  std::string bytes;
  if (!EncodeInCodePage(aMessage, SystemAnsiCodePage(), bytes)) {
    throw Exception(msg::UnknownCodePage(SystemAnsiCodePage()));
  }
  fComPort->WriteText(bytes);
  return true;
}

kIOHandler_Serial::tkByteRead kIOHandler_Serial::ReadOneByte(char& aByte) {
  int32_t errorCode = 0;
  const int32_t count = fComPort->Read(&aByte, 1, kByteTimeoutMs, errorCode);
  if (count > 0) return tkByteRead::Byte;
  if (count < 0) {
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadErrorTitle),
             std::to_string(errorCode));
    if (fComPort->LineGone()) return tkByteRead::LineGone;
    std::this_thread::sleep_for(kLineErrorPause);
    return tkByteRead::LineError;
  }
  return tkByteRead::Nothing;
}

std::string kIOHandler_Serial::ReadChars(int32_t aCharsNum) {
  const Clock::time_point start = Clock::now();
  std::string bytes;
  while (static_cast<int64_t>(bytes.size()) < aCharsNum && !TimePassed(start, ReadTimeout())) {
    char byte = 0;
    const tkByteRead read = ReadOneByte(byte);
    if (read == tkByteRead::LineGone) break;
    if (read == tkByteRead::Byte) bytes += byte;
  }
  const std::string text = DecodeLatin1(bytes);
  const bool complete = static_cast<int64_t>(bytes.size()) >= aCharsNum;
  WriteLog(complete ? tNV_MessageType::let_info : tNV_MessageType::let_error,
           std::string(complete ? msg::kReadTitle : msg::kReadTimeoutTitle), text);
  return text;
}

std::string kIOHandler_Serial::ReadUpTo(const std::vector<uint8_t>& aChars) {
  Debug(tNV_MessageType::let_info, WaitingForLine(aChars));
  const Clock::time_point start = Clock::now();
  std::string bytes;
  bool found = false;
  while (!found) {
    char byte = 0;
    const tkByteRead read = ReadOneByte(byte);
    if (read == tkByteRead::LineGone) break;
    if (read == tkByteRead::Byte) {
      bytes += byte;
      found = std::find(aChars.begin(), aChars.end(), static_cast<uint8_t>(byte)) != aChars.end();
    }
    // Checked after every attempt, so a line that keeps sending unwanted bytes cannot hold
    // the caller past the time-out.
    if (!found && TimePassed(start, ReadTimeout())) break;
  }
  const std::string text = DecodeLatin1(bytes);
  WriteLog(found ? tNV_MessageType::let_info : tNV_MessageType::let_error,
           std::string(found ? msg::kReadTitle : msg::kReadTimeoutTitle), text);
  return text;
}

std::string kIOHandler_Serial::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }

std::string kIOHandler_Serial::DecodeError(int32_t) { return ""; }

bool kIOHandler_Serial::InputBufferContainsData() { return fComPort->GetBytesPending() > 0; }

void kIOHandler_Serial::SetParameter(const std::string&, const std::string&) {}

std::string kIOHandler_Serial::ClassName() const { return std::string(msg::kSerialClassName); }

}  // namespace nvrp
