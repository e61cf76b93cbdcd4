#include "support/test_io_handler.hpp"

namespace nvrp::testing {

kTestIOHandler::kTestIOHandler(std::string_view aDirectory, std::string_view aFileName)
    : kIOHandler(nullptr, aDirectory, aFileName) {}

bool kTestIOHandler::Answer(const char* aCall, const Failure& aFailure) {
  fCalls.emplace_back(aCall);
  if (!aFailure.fActive) return true;
  SetCustomError(aFailure.fCode, aFailure.fMessage);
  return false;
}

bool kTestIOHandler::Connect() {
  kIOHandler::Connect();
  fConnected = Answer("Connect", fConnectFailure);
  return fConnected;
}

bool kTestIOHandler::Disconnect() {
  const bool ok = Answer("Disconnect", fDisconnectFailure);
  if (ok) fConnected = false;
  return ok;
}

bool kTestIOHandler::Write(const std::string& aMessage) {
  fCalls.push_back("Write:" + aMessage);
  return true;
}

std::string kTestIOHandler::ReadUpTo(const std::vector<uint8_t>&) { return {}; }

std::string kTestIOHandler::ReadChars(int32_t) { return {}; }

std::string kTestIOHandler::ReadAll() { return {}; }

std::string kTestIOHandler::DecodeError(int32_t aErrorCode) {
  return "test error " + std::to_string(aErrorCode);
}

void kTestIOHandler::SetParameter(const std::string& aName, const std::string& aValue) {
  fCalls.push_back("SetParameter:" + aName + "=" + aValue);
}

void kTestIOHandler::FailConnect(int32_t aCode, const std::string& aMessage) {
  fConnectFailure = {true, aCode, aMessage};
}

void kTestIOHandler::FailDisconnect(int32_t aCode, const std::string& aMessage) {
  fDisconnectFailure = {true, aCode, aMessage};
}

}  // namespace nvrp::testing
