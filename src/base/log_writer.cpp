#include "base/log_writer.hpp"

#include <array>
#include <chrono>
#include <map>
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

// Lines dropped when a writer was closed, by file path, until a line reaches that file again.
// Made with the first dropped line and never freed: the writers of devices left open may still
// be writing while the process ends. A process that drops nothing allocates nothing.
struct DroppedLines {
  std::mutex fMutex;
  std::map<std::string, int64_t> fCounts;
  std::atomic<bool> fAny{false};
};

std::atomic<DroppedLines*> gDropped{nullptr};

DroppedLines& Dropped() {
  static auto* dropped = new DroppedLines;
  gDropped.store(dropped);
  return *dropped;
}

int64_t DroppedBefore(const std::string& aPath) {
  DroppedLines* dropped = gDropped.load();
  if (dropped == nullptr || !dropped->fAny.load()) return 0;
  std::lock_guard lock(dropped->fMutex);
  const auto found = dropped->fCounts.find(aPath);
  return found == dropped->fCounts.end() ? 0 : found->second;
}

// aCount of the lines dropped before aPath's last line have now been told in the file.
void DroppedTold(const std::string& aPath, int64_t aCount) {
  DroppedLines& dropped = Dropped();
  std::lock_guard lock(dropped.fMutex);
  const auto found = dropped.fCounts.find(aPath);
  if (found == dropped.fCounts.end()) return;
  found->second -= aCount;
  if (found->second <= 0) dropped.fCounts.erase(found);
  dropped.fAny.store(!dropped.fCounts.empty());
}

std::string DroppedNote(int64_t aCount) {
  std::string note;
  tNV_LogTimeStamp stamp;
  stamp.AppendNow(note);
  note += Separator(tNV_MessageType::let_error);
  note += MsgLogLinesDropped(aCount);
  note += kLineEnd;
  return note;
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
    std::unique_lock lock(fMutex);
    fTerminated = true;
    fWake.notify_all();
    if (!fEnded.wait_for(lock, kDrainLimit, [this] { return fBodyEnded; })) {
      fAbandoned = true;
      fWake.notify_all();
    }
  }
  if (fThread.joinable()) fThread.join();
}

void tNV_LogThread::Push(std::string aLine) {
  std::lock_guard lock(fMutex);
  fQueue.push_back(std::move(aLine));
}

bool tNV_LogThread::PauseBeforeRetry(std::chrono::milliseconds aPause) {
  std::unique_lock lock(fMutex);
  return !fWake.wait_for(lock, aPause, [this] { return fAbandoned; });
}

void tNV_LogThread::Execute() {
  NameLogThread();
  std::unique_lock lock(fMutex);
  for (;;) {
    if (fAbandoned) {
      fDropped += static_cast<int64_t>(fQueue.size());
      fQueue.clear();
      break;
    }
    if (fQueue.empty()) {
      if (fTerminated) break;  // terminated and fully drained
      fWake.wait_for(lock, kIdlePause);
      continue;
    }
    // The head stays queued until its write has ended; appending lines at the back leaves it
    // where it is.
    const std::string& line = fQueue.front();
    lock.unlock();
    const bool written = fWriter->WriteToFile(line, *this);
    lock.lock();
    fQueue.pop_front();
    if (!written && fAbandoned) ++fDropped;
  }
  if (fDropped > 0) fWriter->RecordDropped(fDropped);
  fBodyEnded = true;
  fEnded.notify_all();
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
  fThreadUnwritable = false;  // a new file gets its full tries again
  fThreadDirectory.Close();   // opened again with the next attempt
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
tNV_LogWriter::tkAppendOutcome tNV_LogWriter::AppendOnce(const std::string& aText,
                                                         bool& aSizeCheckDue) {
  if (!fThreadDirectory.IsOpen() && !fThreadDirectory.OpenParentOf(fThreadFilePath, fThreadName)) {
    return tkAppendOutcome::Failed;
  }
  tNV_LogFile file;
  if (!file.Open(fThreadDirectory, fThreadName)) {
    if (file.HeldByAnother()) return tkAppendOutcome::HeldByAnother;
    // The directory may have been removed or replaced meanwhile: look it up afresh next time.
    fThreadDirectory.Close();
    return tkAppendOutcome::Failed;
  }
  if (aSizeCheckDue) {
    aSizeCheckDue = false;
    if (!RotateIfTooLarge(file)) {
      return file.HeldByAnother() ? tkAppendOutcome::HeldByAnother : tkAppendOutcome::Failed;
    }
  }
  const bool appended = file.Append(aText);
  return file.Close() && appended ? tkAppendOutcome::Written : tkAppendOutcome::Failed;
}

// Up to ten tries while another writer holds the file. A file that cannot be written for want
// of space, permission or a folder gets its ten tries for the first line only: the lines
// behind it are tried once each until one is written again, so that a full or read-only disk
// never makes the queue wait.
bool tNV_LogWriter::AppendWithRetries(const std::string& aText, bool& aSizeCheckDue,
                                      tNV_LogThread& aThread) {
  for (int attempt = 1;; ++attempt) {
    const tkAppendOutcome outcome = AppendOnce(aText, aSizeCheckDue);
    if (outcome == tkAppendOutcome::Written) {
      fThreadUnwritable = false;
      return true;
    }
    const bool unwritable = outcome == tkAppendOutcome::Failed;
    if (attempt >= kAppendAttempts || (unwritable && fThreadUnwritable) ||
        !aThread.PauseBeforeRetry(kAttemptPause)) {
      fThreadUnwritable = fThreadUnwritable || unwritable;
      return false;  // given up without report
    }
  }
}

bool tNV_LogWriter::WriteToFile(const std::string& aLine, tNV_LogThread& aThread) {
  try {
    FollowPathChange();
    // The size check runs for the 1st, 21st, 41st ... line.
    bool size_check_due = CheckLogfileSize();
    // The directory is looked up again with every size check, so that within 20 lines the
    // writer follows a directory that was moved away and replaced by a new one.
    if (size_check_due) fThreadDirectory.Close();
    fCounter.store((fCounter.load() + 1) % kSizeCheckInterval);
    // Lines an earlier writer of this file had to drop are told before this one.
    const int64_t dropped = DroppedBefore(fThreadFilePath);
    if (dropped == 0) return AppendWithRetries(aLine, size_check_due, aThread);
    if (!AppendWithRetries(DroppedNote(dropped) + aLine, size_check_due, aThread)) return false;
    DroppedTold(fThreadFilePath, dropped);
    return true;
  } catch (...) {
    // The background thread must survive anything one line can cause.
    return false;
  }
}

void tNV_LogWriter::RecordDropped(int64_t aCount) const {
  DroppedLines& dropped = Dropped();
  std::lock_guard lock(dropped.fMutex);
  dropped.fCounts[fThreadFilePath] += aCount;
  dropped.fAny.store(true);
}

}  // namespace nvrp
