#include "base/log_writer.hpp"

#include <array>
#include <chrono>
#include <string_view>
#include <utility>

#include "base/date_time.hpp"
#include "base/framework_messages.hpp"
#include "base/host_environment.hpp"
#include "base/log_time_stamp.hpp"
#include "base/nv_exception.hpp"
#include "base/utf.hpp"

namespace nvrp {

namespace {

constexpr int kAppendAttempts = 10;
constexpr std::chrono::milliseconds kAttemptPause{50};
constexpr std::chrono::milliseconds kIdlePause{60};
constexpr int32_t kSizeCheckInterval = 20;
constexpr std::string_view kRotationStampPattern = "yyyymmddhhnnsszzz";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Separator(tNV_MessageType aEntryType) {
  return aEntryType == tNV_MessageType::let_error ? " - ERROR - " : " - ";
}

// The name without the extension of its last component.
std::string WithoutExtension(const std::string& aName) {
  const size_t dot = aName.rfind('.');
  return dot == std::string::npos ? aName : aName.substr(0, dot);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// tNV_LogThread

tNV_LogThread::tNV_LogThread(tNV_LogWriter& aWriter)
    : fWriter(&aWriter), fThread([this] { Execute(); }) {}

tNV_LogThread::~tNV_LogThread() {
  {
    std::lock_guard lock(fMutex);
    fTerminated = true;
  }
  fWake.notify_all();
  if (fThread.joinable()) fThread.join();
}

void tNV_LogThread::Push(std::string aLine) {
  std::lock_guard lock(fMutex);
  fQueue.push_back(std::move(aLine));
}

void tNV_LogThread::Execute() {
  NameLogThread();
  std::unique_lock lock(fMutex);
  for (;;) {
    if (fQueue.empty()) {
      if (fTerminated) return;  // terminated and fully drained
      fWake.wait_for(lock, kIdlePause);
      continue;
    }
    // The head stays queued until its write has ended; appending lines at the back leaves it
    // where it is.
    const std::string& line = fQueue.front();
    lock.unlock();
    fWriter->WriteToFile(line);
    lock.lock();
    fQueue.pop_front();
  }
}

// ---------------------------------------------------------------------------------------------
// tNV_LogWriter

tNV_LogWriter::tNV_LogWriter(const std::string& aFileName, const std::string& aDirectory,
                             int32_t aMaxMessageLength, bool aDaily)
    : fMaxMessageLength(aMaxMessageLength), fDaily(aDaily) {
  fFileName =
      aDaily ? aFileName + "_" + FormatDateTime("yyyymmdd", Now()) + ".log" : aFileName + ".log";
  SetDirectory(aDirectory);
  fThread = std::make_unique<tNV_LogThread>(*this);
}

tNV_LogWriter::~tNV_LogWriter() { fThread.reset(); }

void tNV_LogWriter::Write(tNV_MessageType aEntryType, std::string_view aMessage) {
  Write(aEntryType, std::span<const std::string_view>(&aMessage, 1));
}

void tNV_LogWriter::Write(tNV_MessageType aEntryType,
                          std::span<const std::string_view> aMessageParts) {
  if (fFileNameEmpty.load(std::memory_order_relaxed)) {
    throw Exception(std::string(kMsgLogFileNameEmpty));
  }
  // Each thread keeps its own stamp of the current second.
  thread_local tNV_LogTimeStamp stamp;
  const std::string_view separator = Separator(aEntryType);
  size_t message_size = 0;
  for (const std::string_view part : aMessageParts) message_size += part.size();

  std::string line;
  line.reserve(tNV_LogTimeStamp::kLength + separator.size() + message_size + kLineEnd.size());
  stamp.AppendNow(line);
  line += separator;
  if (fMaxMessageLength > 0) {
    std::string message;
    message.reserve(message_size);
    for (const std::string_view part : aMessageParts) message += part;
    line += Utf16Left(message, static_cast<size_t>(fMaxMessageLength));
  } else {
    for (const std::string_view part : aMessageParts) line += part;
  }
  line += kLineEnd;
  fThread->Push(std::move(line));
}

int64_t tNV_LogWriter::GetLogFileSize() const { return FileSizeOf(FileName()); }

bool tNV_LogWriter::CheckLogfileSize() const { return fCounter.load() % kSizeCheckInterval == 0; }

std::string tNV_LogWriter::Directory() const {
  std::lock_guard lock(fPathMutex);
  return fDirectory;
}

void tNV_LogWriter::SetPath(std::string aDirectory, std::string aFileName) {
  fDirectory = std::move(aDirectory);
  fFileName = std::move(aFileName);
  fFileNameEmpty.store(fFileName.empty());
  fPathVersion.fetch_add(1);
}

void tNV_LogWriter::SetDirectory(const std::string& aDirectory) {
  {
    std::lock_guard lock(fPathMutex);
    // Joined first, so that an invalid value leaves the writer unchanged.
    std::string file_name = JoinPath(aDirectory, ExtractFileName(fFileName));
    SetPath(aDirectory, std::move(file_name));
  }
  // A directory that cannot be created shows later as lines given up.
  if (!aDirectory.empty()) (void)ForceDirectories(aDirectory);
}

std::string tNV_LogWriter::FileName() const {
  std::lock_guard lock(fPathMutex);
  return fFileName;
}

void tNV_LogWriter::SetFileName(const std::string& aFileName) {
  std::lock_guard lock(fPathMutex);
  std::string file_name = JoinPath(fDirectory, ExtractFileName(aFileName));
  SetPath(fDirectory, std::move(file_name));
}

void tNV_LogWriter::FollowPathChange() {
  const uint32_t version = fPathVersion.load();
  if (version == fThreadPathVersion) return;
  {
    std::lock_guard lock(fPathMutex);
    fThreadFilePath = fFileName;
  }
  fThreadPathVersion = version;
  fThreadDirectory.Close();  // opened again with the next attempt
}

// The file is closed while it is moved aside, as not every system renames an open file, and
// opened again under its name: a new file after the rename, the same one when it failed.
bool tNV_LogWriter::RotateIfTooLarge(tNV_LogFile& aFile) {
  const int64_t limit = static_cast<int64_t>(MaxLogFileSize()) * 1024;
  if (aFile.Size() <= limit) return true;
  const std::string rotated =
      WithoutExtension(fThreadName) + "_" + FormatDateTime(kRotationStampPattern, Now()) + ".log";
  (void)aFile.Close();
  // A failed rename is ignored: the line goes to the file as it is.
  (void)fThreadDirectory.RenameNoReplace(fThreadName, rotated);
  return aFile.Open(fThreadDirectory, fThreadName);
}

// One open-append-close cycle, with the size check before the first append.
bool tNV_LogWriter::AppendOnce(const std::string& aLine, bool& aSizeCheckDue) {
  if (!fThreadDirectory.IsOpen() && !fThreadDirectory.OpenParentOf(fThreadFilePath, fThreadName)) {
    return false;
  }
  tNV_LogFile file;
  if (!file.Open(fThreadDirectory, fThreadName)) {
    // The directory may have been removed or replaced meanwhile: look it up afresh next time.
    fThreadDirectory.Close();
    return false;
  }
  if (aSizeCheckDue) {
    aSizeCheckDue = false;
    if (!RotateIfTooLarge(file)) return false;
  }
  const bool appended = file.Append(aLine);
  return file.Close() && appended;
}

void tNV_LogWriter::WriteToFile(const std::string& aLine) {
  try {
    FollowPathChange();
    // The size check runs for the 1st, 21st, 41st ... line.
    bool size_check_due = CheckLogfileSize();
    // The directory is looked up again with every size check, so that within 20 lines the
    // writer follows a directory that was moved away and replaced by a new one.
    if (size_check_due) fThreadDirectory.Close();
    fCounter.store((fCounter.load() + 1) % kSizeCheckInterval);
    for (int attempt = 1; attempt <= kAppendAttempts; ++attempt) {
      if (AppendOnce(aLine, size_check_due)) return;
      if (attempt < kAppendAttempts) std::this_thread::sleep_for(kAttemptPause);
    }
    // Given up without report after the last attempt.
  } catch (...) {
    // The background thread must survive anything one line can cause.
  }
}

}  // namespace nvrp
