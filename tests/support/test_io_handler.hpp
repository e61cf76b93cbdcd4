#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transport/io_handler.hpp"

namespace nvrp::testing {

// An I/O handler without a transport: records Connect and Disconnect, can be told to record an
// error on either, and keeps a real log when given a directory and a file name.
class kTestIOHandler : public kIOHandler {
 public:
  // Without a directory or name there is no log.
  kTestIOHandler(std::string_view aDirectory, std::string_view aFileName);

  bool Connected() const override { return fConnected; }
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override {}
  bool Write(const std::string& aMessage) override;
  std::string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  std::string ReadChars(int32_t aCharsNum) override;
  std::string ReadAll() override;
  std::string DecodeError(int32_t aErrorCode) override;
  bool InputBufferContainsData() override { return false; }
  void SetParameter(const std::string& aName, const std::string& aValue) override;
  std::string ClassName() const override { return "kTestIOHandler"; }

  // Connect (or Disconnect) records this error and answers false.
  void FailConnect(int32_t aCode, const std::string& aMessage);
  void FailDisconnect(int32_t aCode, const std::string& aMessage);

  // "Connect", "Disconnect", "Write:<text>", "SetParameter:<name>=<value>" in call order.
  const std::vector<std::string>& Calls() const { return fCalls; }

 private:
  struct Failure {
    bool fActive = false;
    int32_t fCode = 0;
    std::string fMessage;
  };
  bool Answer(const char* aCall, const Failure& aFailure);

  bool fConnected = false;
  Failure fConnectFailure;
  Failure fDisconnectFailure;
  std::vector<std::string> fCalls;
};

}  // namespace nvrp::testing
