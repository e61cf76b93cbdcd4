#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// File operations of the log writer.

// The directory of a log file, kept by the writer's thread so that each line opens its file
// relative to it instead of resolving the whole path again (where the system can do so).
class tNV_LogDirectory {
 public:
  tNV_LogDirectory() = default;
  ~tNV_LogDirectory();
  tNV_LogDirectory(const tNV_LogDirectory&) = delete;
  tNV_LogDirectory& operator=(const tNV_LogDirectory&) = delete;

  // Opens the directory that holds aFilePath (the working directory for a bare name), closing
  // what was open before; aName receives the file's name within it.
  bool OpenParentOf(const std::string& aFilePath, std::string& aName);
  void Close();
  bool IsOpen() const { return fOpen; }

  // Renames aFrom to aTo within the directory; never replaces an existing file.
  bool RenameNoReplace(const std::string& aFrom, const std::string& aTo) const;

 private:
  friend class tNV_LogFile;
  static constexpr intptr_t kNoHandle = -1;
  bool fOpen = false;
  intptr_t fHandle = kNoHandle;  // the open directory, where files open relative to one
  std::string fPrefix;           // otherwise its path with a closing separator, or empty
};

// One log file open for appending (created when missing) and held as its only writer: while
// it is open others may read it, but no one else, in this process or another, may write it.
class tNV_LogFile {
 public:
  tNV_LogFile() = default;
  ~tNV_LogFile();
  tNV_LogFile(const tNV_LogFile&) = delete;
  tNV_LogFile& operator=(const tNV_LogFile&) = delete;

  // Opens aName in aDirectory as its only writer, closing what was open before; false when
  // the file cannot be opened or another writer has it open.
  bool Open(const tNV_LogDirectory& aDirectory, const std::string& aName);
  bool IsOpen() const { return fHandle != kNoHandle; }
  // After a failed Open: whether it failed only because another writer has the file open (a
  // lock or sharing violation, which ends when that writer is done), not for want of space,
  // permission or a folder.
  bool HeldByAnother() const { return fHeldByAnother; }
  // Size of the open file in bytes, -1 when it cannot be read.
  int64_t Size() const;
  // Writes the whole text at the end of the file; nothing is buffered in this process.
  bool Append(std::string_view aText);
  // Closes the file and gives up the writer's place; false when closing reported an error.
  bool Close();

 private:
  static constexpr intptr_t kNoHandle = -1;
  intptr_t fHandle = kNoHandle;
  bool fHeldByAnother = false;
};

// Size in bytes of the file at aPath, -1 when it cannot be read (for instance as it is missing).
int64_t FileSizeOf(const std::string& aPath);

// Names the calling thread as a log writer's thread, for process and thread listings.
void NameLogThread();

}  // namespace nvrp
