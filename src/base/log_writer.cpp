#include "base/log_writer.hpp"

#include <chrono>
#include <string_view>
#include <utility>

#include "base/date_time.hpp"
#include "base/framework_messages.hpp"
#include "base/host_environment.hpp"
#include "base/log_file.hpp"
#include "base/nv_exception.hpp"
#include "base/utf.hpp"

namespace nvrp {

namespace {

constexpr int kAppendAttempts = 10;
constexpr std::chrono::milliseconds kAttemptPause{50};
constexpr int32_t kSizeCheckInterval = 20;
constexpr std::string_view kStampPattern = "yyyy-mm-dd hh:nn:ss:zzz";
constexpr std::string_view kRotationStampPattern = "yyyymmddhhnnsszzz";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Separator(tNV_MessageType aEntryType) {
  return aEntryType == tNV_MessageType::let_error ? " - ERROR - " : " - ";
}

// The path without the extension of its last component.
std::string WithoutExtension(const std::string& aPath) {
  const size_t name_start = aPath.find_last_of("/\\");
  const size_t dot = aPath.rfind('.');
  if (dot == std::string::npos || (name_start != std::string::npos && dot < name_start)) {
    return aPath;
  }
  return aPath.substr(0, dot);
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
  {
    std::lock_guard lock(fMutex);
    fQueue.push_back(std::move(aLine));
  }
  fWake.notify_one();
}

void tNV_LogThread::Execute() {
  std::unique_lock lock(fMutex);
  for (;;) {
    fWake.wait(lock, [this] { return fTerminated || !fQueue.empty(); });
    if (fQueue.empty()) return;  // terminated and fully drained
    // The head stays queued until its write has ended.
    const std::string line = fQueue.front();
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

void tNV_LogWriter::Write(tNV_MessageType aEntryType, const std::string& aMessage) {
  if (FileName().empty()) throw Exception(std::string(kMsgLogFileNameEmpty));
  std::string line = FormatDateTime(kStampPattern, Now());
  line += Separator(aEntryType);
  if (fMaxMessageLength > 0) {
    line += Utf16Left(aMessage, static_cast<size_t>(fMaxMessageLength));
  } else {
    line += aMessage;
  }
  fThread->Push(std::move(line));
}

int64_t tNV_LogWriter::GetLogFileSize() const { return FileSizeOf(FileName()); }

bool tNV_LogWriter::CheckLogfileSize() const { return fCounter.load() % kSizeCheckInterval == 0; }

std::string tNV_LogWriter::Directory() const {
  std::lock_guard lock(fPathMutex);
  return fDirectory;
}

void tNV_LogWriter::SetDirectory(const std::string& aDirectory) {
  {
    std::lock_guard lock(fPathMutex);
    // Joined first, so that an invalid value leaves the writer unchanged.
    std::string file_name = JoinPath(aDirectory, ExtractFileName(fFileName));
    fDirectory = aDirectory;
    fFileName = std::move(file_name);
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
  fFileName = JoinPath(fDirectory, ExtractFileName(aFileName));
}

void tNV_LogWriter::RotateIfTooLarge(const std::string& aFileName) {
  const int64_t limit = static_cast<int64_t>(MaxLogFileSize()) * 1024;
  const int64_t size = FileSizeOf(aFileName);
  if (size < 0 || size <= limit) return;
  RenameNoReplace(aFileName, WithoutExtension(aFileName) + "_" +
                                 FormatDateTime(kRotationStampPattern, Now()) + ".log");
}

void tNV_LogWriter::WriteToFile(const std::string& aLine) {
  try {
    const std::string file_name = FileName();
    // The size check runs for the 1st, 21st, 41st ... line.
    if (CheckLogfileSize()) RotateIfTooLarge(file_name);
    fCounter.store((fCounter.load() + 1) % kSizeCheckInterval);

    const std::string text = aLine + std::string(kLineEnd);
    for (int attempt = 1; attempt <= kAppendAttempts; ++attempt) {
      if (AppendLogText(file_name, text)) return;
      if (attempt < kAppendAttempts) std::this_thread::sleep_for(kAttemptPause);
    }
    // Given up without report after the last attempt.
  } catch (...) {
    // The background thread must survive anything one line can cause.
  }
}

}  // namespace nvrp
