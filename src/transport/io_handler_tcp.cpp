#include "transport/io_handler_tcp.hpp"

#include <algorithm>

#include "transport/code_page.hpp"
#include "transport/io_handler_stream_messages.hpp"

namespace nvrp {

namespace msg = io_handler_stream_messages;

namespace {

bool IsWanted(const std::vector<uint8_t>& aChars, char aByte) {
  return std::find(aChars.begin(), aChars.end(), static_cast<uint8_t>(aByte)) != aChars.end();
}

}  // namespace

kIOHandler_TCP::kIOHandler_TCP(const kConnection* aConnection, std::string_view aDirectory,
                               std::string_view aFileName)
    : kIOHandler(aConnection, aDirectory, aFileName), fTCPClient(std::make_unique<TcpSocket>()) {
  if (aConnection != nullptr) {
    fHost = aConnection->Address();
    fPort = static_cast<uint16_t>(aConnection->Port() & 0xFFFF);
  }
}

kIOHandler_TCP::~kIOHandler_TCP() = default;

bool kIOHandler_TCP::Connected() const { return fTCPClient->IsOpen(); }

bool kIOHandler_TCP::Connect() {
  kIOHandler::Connect();
  Debug(tNV_MessageType::let_info, msg::HostLine(fHost));
  Debug(tNV_MessageType::let_info, msg::PortLine(fPort));
  if (fTCPClient->IsOpen()) {
    fTCPClient->Close();
    return true;
  }
  std::string error;
  if (!fTCPClient->Connect(fHost, fPort, ConnectTimeout(), error)) {
    const bool timedOut = error.empty();
    WriteLog(tNV_MessageType::let_error,
             std::string(timedOut ? msg::kConnectTimeoutTitle : msg::kConnectErrorTitle), error);
    return false;
  }
  fTCPClient->Close();
  return true;
}

bool kIOHandler_TCP::Disconnect() {
  fTCPClient->Close();
  return !fTCPClient->IsOpen();
}

void kIOHandler_TCP::ClearBuffers() { fTCPClient->DiscardInput(); }

bool kIOHandler_TCP::EnsureConnected(std::string_view aErrorTitle, std::string& aError) {
  if (fTCPClient->IsOpen()) return true;
  if (fTCPClient->Connect(fHost, fPort, ConnectTimeout(), aError)) return true;
  if (aError.empty()) aError = msg::kConnectTimeoutTitle;
  WriteLog(tNV_MessageType::let_error, std::string(aErrorTitle), aError);
  return false;
}

bool kIOHandler_TCP::Send(const std::string& aBytes) {
  std::string error;
  if (EnsureConnected(msg::kConnectErrorTitle, error) &&
      fTCPClient->Send(aBytes, WriteStallTimeout(), error)) {
    return true;
  }
  if (fTCPClient->IsOpen())
    WriteLog(tNV_MessageType::let_error, std::string(msg::kWriteErrorTitle), error);
  fTCPClient->Close();
  SetCustomError(0, error);
  return false;
}

bool kIOHandler_TCP::Write(const std::string& aMessage) {
  WriteLog(tNV_MessageType::let_info, std::string(msg::kWriteTitle), aMessage);
  std::string bytes;
  const bool encoded = CodePage() != 0 ? EncodeInCodePage(aMessage, CodePage(), bytes)
                                       : EncodeLatin1(aMessage, bytes);
  if (!encoded) {
    const std::string error =
        CodePage() != 0 ? msg::UnknownCodePage(CodePage()) : std::string(msg::kCharacterAbove255);
    WriteLog(tNV_MessageType::let_error, std::string(msg::kWriteErrorTitle), error);
    SetCustomError(0, error);
    return false;
  }
  return Send(bytes);
}

bool kIOHandler_TCP::WriteBytes(const std::string& aBytes) {
  WriteLog(tNV_MessageType::let_info, std::string(msg::kWriteTitle), DecodeLatin1(aBytes));
  return Send(aBytes);
}

int32_t kIOHandler_TCP::WriteStallTimeout() const {
  constexpr int32_t kDefaultStallMs = 1000;
  return ReadTimeout() > 0 ? ReadTimeout() : kDefaultStallMs;
}

TcpSocket::Clock::time_point kIOHandler_TCP::ReadDeadline() const {
  return TcpSocket::Clock::now() + std::chrono::milliseconds(std::max(ReadTimeout(), 0));
}

std::string kIOHandler_TCP::ReadChars(int32_t aCharsNum) {
  std::string bytes;
  std::string error;
  if (!EnsureConnected(msg::kReadCharsErrorTitle, error)) return "";
  const auto deadline = ReadDeadline();
  TcpSocket::tkReadResult result = TcpSocket::tkReadResult::Byte;
  char byte = 0;
  while (static_cast<int64_t>(bytes.size()) < aCharsNum &&
         (result = fTCPClient->ReadByte(deadline, byte, error)) == TcpSocket::tkReadResult::Byte) {
    bytes += byte;
  }
  const std::string text = DecodeLatin1(bytes);
  if (result == TcpSocket::tkReadResult::Closed) error = msg::kPeerClosed;
  if (result == TcpSocket::tkReadResult::Closed || result == TcpSocket::tkReadResult::Error) {
    fTCPClient->Close();
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadCharsErrorTitle), error);
  } else if (result == TcpSocket::tkReadResult::Byte) {
    WriteLog(tNV_MessageType::let_info, std::string(msg::kReadTitle), text);
  } else {
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadTimeoutTitle), text);
  }
  return text;
}

std::string kIOHandler_TCP::ReadUpTo(const std::vector<uint8_t>& aChars) {
  Debug(tNV_MessageType::let_info, WaitingForLine(aChars));
  std::string bytes;
  std::string error;
  if (!EnsureConnected(msg::kReadUpToErrorTitle, error)) return "";
  const auto deadline = ReadDeadline();
  TcpSocket::tkReadResult result;
  char byte = 0;
  while ((result = fTCPClient->ReadByte(deadline, byte, error)) == TcpSocket::tkReadResult::Byte) {
    bytes += byte;
    if (IsWanted(aChars, byte) || TcpSocket::Clock::now() > deadline) break;
  }
  const bool timedOut = TcpSocket::Clock::now() > deadline;
  const std::string text = DecodeLatin1(bytes);
  if (result == TcpSocket::tkReadResult::Closed) error = msg::kPeerClosed;
  if (result == TcpSocket::tkReadResult::Closed || result == TcpSocket::tkReadResult::Error) {
    fTCPClient->Close();
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadUpToErrorTitle), error);
    return text;
  }
  if (timedOut || result == TcpSocket::tkReadResult::Timeout) {
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadTimeoutTitle), text);
  } else {
    WriteLog(tNV_MessageType::let_info, std::string(msg::kReadTitle), text);
  }
  return text;
}

std::string kIOHandler_TCP::ReadAll() {
  std::string bytes;
  std::string error;
  if (!EnsureConnected(msg::kReadAllErrorTitle, error)) return "";
  const auto deadline = ReadDeadline();
  TcpSocket::tkReadResult result;
  char byte = 0;
  while ((result = fTCPClient->ReadByte(deadline, byte, error)) == TcpSocket::tkReadResult::Byte) {
    bytes += byte;
    if (TcpSocket::Clock::now() > deadline) {
      result = TcpSocket::tkReadResult::Timeout;
      break;
    }
  }
  const std::string text = DecodeLatin1(bytes);
  if (result == TcpSocket::tkReadResult::Closed) {
    fTCPClient->Close();
    WriteLog(tNV_MessageType::let_info, std::string(msg::kReadTitle), text);
  } else if (result == TcpSocket::tkReadResult::Timeout) {
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadTimeoutTitle), text);
  } else {
    fTCPClient->Close();
    WriteLog(tNV_MessageType::let_error, std::string(msg::kReadAllErrorTitle), error);
  }
  return text;
}

std::string kIOHandler_TCP::DecodeError(int32_t) { return ""; }

bool kIOHandler_TCP::InputBufferContainsData() { return fTCPClient->HasInput(); }

void kIOHandler_TCP::SetParameter(const std::string&, const std::string&) {}

std::string kIOHandler_TCP::ClassName() const { return std::string(msg::kTCPClassName); }

}  // namespace nvrp
