#include "transport/io_handler_dll.hpp"

#include "base/nv_exception.hpp"
#include "transport/io_handler_device_messages.hpp"

namespace nvrp {

namespace msg = io_handler_device_messages;

kIOHandler_Dll::kIOHandler_Dll(const kConnection* aConnection, std::string_view aDirectory,
                               std::string_view aFileName)
    : kIOHandler(aConnection, aDirectory, aFileName) {
  const std::string name = aConnection != nullptr ? aConnection->LibraryName() : "";
  const std::string title(msg::kDllCreateTitle);
  WriteLog(tNV_MessageType::let_info, title, msg::LoadingDll(name));
  if (name.empty()) throw Exception(msg::UnableToLoadLibrary(name, msg::kNoLibraryName, 0));
  if (!fLibraryHandle.Load(name)) {
    throw Exception(
        msg::UnableToLoadLibrary(name, fLibraryHandle.ErrorText(), fLibraryHandle.ErrorCode()));
  }
  WriteLog(tNV_MessageType::let_info, title, std::string(msg::kDllLoaded));
}

kIOHandler_Dll::~kIOHandler_Dll() {
  if (!fLibraryHandle.Loaded()) return;
  const std::string title(msg::kDllDestroyTitle);
  WriteLog(tNV_MessageType::let_info, title, std::string(msg::kUnloadingDll));
  fLibraryHandle.Unload();
  WriteLog(tNV_MessageType::let_info, title, std::string(msg::kDllUnloaded));
}

std::string kIOHandler_Dll::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }

bool kIOHandler_Dll::InputBufferContainsData() {
  throw Exception(std::string(msg::kInputBufferUnsupported));
}

std::string kIOHandler_Dll::ClassName() const { return std::string(msg::kDllClassName); }

void* kIOHandler_Dll::GetAddress(const std::string& aProcName) const {
  void* address = fLibraryHandle.Symbol(aProcName.c_str());
  if (address == nullptr) throw Exception(msg::UnableToGetAddress(aProcName));
  return address;
}

}  // namespace nvrp
