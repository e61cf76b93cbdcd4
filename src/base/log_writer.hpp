#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "base/log_file.hpp"
#include "base/log_message_type.hpp"

namespace nvrp {

class tNV_LogWriter;

// Background thread of one log writer: takes finished lines off its queue and hands them to
// the writer's file. A line leaves the queue only after its write has ended, so an empty
// queue means every line has been dealt with. An idle thread looks at its queue every 60 ms,
// so that queuing a line never has to wake it.
class tNV_LogThread {
 public:
  // How long closing waits for the queue to be worked off.
  static constexpr std::chrono::milliseconds kDrainLimit{3000};

  explicit tNV_LogThread(tNV_LogWriter& aWriter);
  tNV_LogThread(const tNV_LogThread&) = delete;
  tNV_LogThread& operator=(const tNV_LogThread&) = delete;
  // Works off the queue for kDrainLimit at most, so that a log that cannot be written never
  // holds up the host; what is left then is dropped, and the next line that reaches the same
  // file says how many lines were lost. Then ends the thread.
  virtual ~tNV_LogThread();

  void Push(std::string aLine);
  tNV_LogWriter& Writer() const { return *fWriter; }

  // Waits aPause before the next try of a line; false, at once, when closing has waited long
  // enough and the line is to be given up.
  bool PauseBeforeRetry(std::chrono::milliseconds aPause);

 private:
  void Execute();
  void DropQueue();

  std::deque<std::string> fQueue;
  tNV_LogWriter* fWriter;
  std::mutex fMutex;
  std::condition_variable fWake;
  std::condition_variable fEnded;
  bool fTerminated = false;
  bool fAbandoned = false;  // closing stopped waiting: the rest of the queue is dropped
  bool fBodyEnded = false;
  int64_t fDropped = 0;
  std::thread fThread;
};

// Appends time-stamped lines to one text file without making the caller wait for the disk.
class tNV_LogWriter {
 public:
  static constexpr int32_t kDefaultMaxLogFileSize = 5000;  // KiB

  tNV_LogWriter(const std::string& aFileName, const std::string& aDirectory,
                int32_t aMaxMessageLength, bool aDaily);
  tNV_LogWriter(const tNV_LogWriter&) = delete;
  tNV_LogWriter& operator=(const tNV_LogWriter&) = delete;
  // Writes out every queued line, then stops the thread.
  virtual ~tNV_LogWriter();

  // Stamps the message and queues it; never touches the file.
  void Write(tNV_MessageType aEntryType, std::string_view aMessage);
  // The same for a message made of several parts, put together straight into the line.
  void Write(tNV_MessageType aEntryType, std::span<const std::string_view> aMessageParts);

  // Size of the current file in bytes, -1 when it cannot be read.
  int64_t GetLogFileSize() const;
  // True when the size check is due for the next line.
  bool CheckLogfileSize() const;

  std::string Directory() const;
  // Moves the file into aDirectory (created with its parents when missing).
  void SetDirectory(const std::string& aDirectory);
  std::string FileName() const;
  // Replaces the file name within the current directory; only the name part of aFileName counts.
  void SetFileName(const std::string& aFileName);

  int32_t MaxMessageLength() const { return fMaxMessageLength; }
  bool Daily() const { return fDaily; }
  int32_t MaxLogFileSize() const { return fMaxLogfileSize.load(); }
  void SetMaxLogFileSize(int32_t aKiB) { fMaxLogfileSize.store(aKiB); }

 private:
  friend class tNV_LogThread;

  enum class tkAppendOutcome { Written, HeldByAnother, Failed };

  // Rotation check and append of one finished line (line end included); run only by the
  // background thread. False when the line was given up.
  bool WriteToFile(const std::string& aLine, tNV_LogThread& aThread);
  // Called on the background thread only, like everything it uses below fThreadPathVersion.
  void FollowPathChange();
  tkAppendOutcome AppendOnce(const std::string& aText, bool& aSizeCheckDue);
  bool AppendWithRetries(const std::string& aText, bool& aSizeCheckDue, tNV_LogThread& aThread);
  // Lines the thread dropped unwritten when the writer was closed, told to the next writer of
  // the same file.
  void RecordDropped(int64_t aCount) const;
  bool RotateIfTooLarge(tNV_LogFile& aFile);
  void SetPath(std::string aDirectory, std::string aFileName);

  mutable std::mutex fPathMutex;  // guards fDirectory and fFileName
  std::string fDirectory;
  int32_t fMaxMessageLength = 0;
  std::string fFileName;
  std::atomic<bool> fFileNameEmpty{true};
  std::atomic<uint32_t> fPathVersion{0};  // counts the changes of fFileName
  bool fDaily = false;
  std::atomic<int32_t> fMaxLogfileSize{kDefaultMaxLogFileSize};
  std::atomic<int32_t> fCounter{0};

  // The background thread's view of the path: the file's directory kept open, and the name.
  uint32_t fThreadPathVersion = UINT32_MAX;
  tNV_LogDirectory fThreadDirectory;
  std::string fThreadFilePath;
  std::string fThreadName;
  // The last line was given up for want of space, permission or a folder: lines are then
  // tried once each until one is written again.
  bool fThreadUnwritable = false;

  std::unique_ptr<tNV_LogThread> fThread;
};

}  // namespace nvrp
