#include "base/version_resource.hpp"

#include <windows.h>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

// Strings are read into a buffer of this many characters; longer ones are cut.
constexpr int kStringBufferLength = 1024;

// The module this code is linked into (the library, not the host).
HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

// The string-table resource of the library (command/shared/version.rc).
class tNV_ResourceStringTable : public tNV_StringTable {
 public:
  std::string StringById(int32_t aId) const override {
    wchar_t buffer[kStringBufferLength];
    const int length =
        LoadStringW(OwnModule(), static_cast<UINT>(aId), buffer, kStringBufferLength);
    return length > 0 ? Utf8Of(buffer, static_cast<size_t>(length)) : std::string();
  }
};

}  // namespace

const tNV_StringTable& LibraryStringTable() {
  static const tNV_ResourceStringTable kTable;
  return kTable;
}

}  // namespace nvrp
