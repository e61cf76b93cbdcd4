#include "base/log_file.hpp"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

bool WriteAll(HANDLE aFile, std::string_view aData) {
  while (!aData.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(aData.size(), 1U << 30));
    DWORD written = 0;
    if (WriteFile(aFile, aData.data(), chunk, &written, nullptr) == 0) return false;
    aData.remove_prefix(written);
  }
  return true;
}

}  // namespace

// Share mode "read": others may read the file while the line is written, but an open for
// writing (another writer object or process) fails until the handle is closed.
bool AppendLogText(const std::string& aFileName, const std::string& aText) {
  HANDLE file = CreateFileW(WideOf(aFileName).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, aText);
  return (CloseHandle(file) != 0) && written;
}

void RenameNoReplace(const std::string& aFrom, const std::string& aTo) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
  (void)MoveFileExW(WideOf(aFrom).c_str(), WideOf(aTo).c_str(), 0);
}

int64_t FileSizeOf(const std::string& aFileName) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(WideOf(aFileName).c_str(), GetFileExInfoStandard, &data) == 0) {
    return -1;
  }
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace nvrp
