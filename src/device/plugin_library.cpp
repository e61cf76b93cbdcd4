#include "device/plugin_library.hpp"

#include <filesystem>
#include <system_error>

#include "base/host_environment.hpp"
#include "base/nv_exception.hpp"
#include "device/device_messages.hpp"

namespace nvrp {

namespace msg = device_messages;

std::string PluginLibraryPath(const std::string& aName) {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  return JoinPath(error ? std::string() : current.string(), aName);
}

std::string LibraryLoadFailureMessage(const std::string& aPath, int32_t aErrorCode) {
  return std::string(msg::kUnableToLoadLibrary) + aPath + std::string(msg::kErrorCodeOpen) +
         std::to_string(aErrorCode) + std::string(msg::kErrorCodeClose);
}

void LoadPluginLibrary(DynamicLibrary& aLibrary, const std::string& aPath) {
  if (!aLibrary.Load(aPath))
    throw Exception(LibraryLoadFailureMessage(aPath, aLibrary.ErrorCode()));
}

}  // namespace nvrp
