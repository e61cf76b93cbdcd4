#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/dynamic_library.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

// I/O handler of a device served by a plug-in library: loads it on creation and hands out the
// addresses of its functions; the byte-stream operations do nothing.
class kIOHandler_Dll : public kIOHandler {
 public:
  // Loads the connection's library; throws nvrp::Exception with the system's reason when it
  // cannot.
  kIOHandler_Dll(const kConnection* aConnection, std::string_view aDirectory,
                 std::string_view aFileName);
  ~kIOHandler_Dll() override;

  bool Connected() const override { return true; }
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::string&) override { return true; }
  std::string ReadUpTo(const std::vector<uint8_t>&) override { return ""; }
  std::string ReadChars(int32_t) override { return ""; }
  // Not offered: throws nvrp::Exception.
  std::string ReadAll() override;
  std::string DecodeError(int32_t) override { return ""; }
  // Not offered: throws nvrp::Exception.
  bool InputBufferContainsData() override;
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override;

  // The address of the library's exported function; throws nvrp::Exception when absent.
  void* GetAddress(const std::string& aProcName) const;

 private:
  DynamicLibrary fLibraryHandle;
};

}  // namespace nvrp
