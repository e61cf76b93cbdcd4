#include "base/log_file.hpp"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

HANDLE FileHandle(intptr_t aHandle) { return reinterpret_cast<HANDLE>(aHandle); }

}  // namespace

// Windows opens files by their full path only: the directory is kept as its path.
tNV_LogDirectory::~tNV_LogDirectory() { Close(); }

bool tNV_LogDirectory::OpenParentOf(const std::string& aFilePath, std::string& aName) {
  Close();
  const size_t separator = aFilePath.find_last_of("\\/");
  const size_t name_start = separator == std::string::npos ? 0 : separator + 1;
  fPrefix = aFilePath.substr(0, name_start);
  aName = aFilePath.substr(name_start);
  fOpen = true;
  return true;
}

void tNV_LogDirectory::Close() {
  fPrefix.clear();
  fOpen = false;
}

bool tNV_LogDirectory::RenameNoReplace(const std::string& aFrom, const std::string& aTo) const {
  if (!fOpen) return false;
  // Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
  return MoveFileExW(WideOf(fPrefix + aFrom).c_str(), WideOf(fPrefix + aTo).c_str(), 0) != 0;
}

tNV_LogFile::~tNV_LogFile() { (void)Close(); }

// Share mode "read": others may read the file while the line is written, but an open for
// writing (another writer object or process) fails until the handle is closed.
bool tNV_LogFile::Open(const tNV_LogDirectory& aDirectory, const std::string& aName) {
  (void)Close();
  fHeldByAnother = false;
  if (!aDirectory.IsOpen()) return false;
  HANDLE file = CreateFileW(WideOf(aDirectory.fPrefix + aName).c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    fHeldByAnother = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    return false;
  }
  fHandle = reinterpret_cast<intptr_t>(file);
  return true;
}

int64_t tNV_LogFile::Size() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || GetFileSizeEx(FileHandle(fHandle), &size) == 0) return -1;
  return static_cast<int64_t>(size.QuadPart);
}

bool tNV_LogFile::Append(std::string_view aText) {
  if (!IsOpen()) return false;
  while (!aText.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(aText.size(), 1U << 30));
    DWORD written = 0;
    if (WriteFile(FileHandle(fHandle), aText.data(), chunk, &written, nullptr) == 0) return false;
    aText.remove_prefix(written);
  }
  return true;
}

bool tNV_LogFile::Close() {
  if (!IsOpen()) return true;
  const bool closed = CloseHandle(FileHandle(fHandle)) != 0;
  fHandle = kNoHandle;
  return closed;
}

int64_t FileSizeOf(const std::string& aPath) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(WideOf(aPath).c_str(), GetFileExInfoStandard, &data) == 0) {
    return -1;
  }
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Windows builds leave the thread unnamed.
void NameLogThread() {}

}  // namespace nvrp
