#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transport/io_handler.hpp"

namespace nvrp {

// Placeholder transport: connects, sends nothing (Write answers false) and reads nothing.
class kIOHandler_Com : public kIOHandler {
 public:
  kIOHandler_Com(const kConnection* aConnection, std::string_view aDirectory,
                 std::string_view aFileName)
      : kIOHandler(aConnection, aDirectory, aFileName) {}

  bool Connected() const override { return true; }
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::string&) override { return false; }
  std::string ReadUpTo(const std::vector<uint8_t>&) override { return ""; }
  std::string ReadChars(int32_t) override { return ""; }
  std::string ReadAll() override;
  std::string DecodeError(int32_t) override { return ""; }
  bool InputBufferContainsData() override;
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override;
};

}  // namespace nvrp
