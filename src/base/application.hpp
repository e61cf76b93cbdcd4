#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/application_info.hpp"
#include "base/date_time.hpp"
#include "base/desktop.hpp"
#include "base/log_message_type.hpp"
#include "base/log_writer.hpp"
#include "base/named_lock.hpp"
#include "base/settings_store.hpp"

namespace nvrp {

// Where the application object reads its resources and command line; every unset member
// means the host's or the library's own.
struct tNV_ApplicationSources {
  const tNV_StringTable* Strings = nullptr;            // version resource
  std::optional<std::vector<std::string>> Parameters;  // command-line parameters
  std::optional<std::string> Messages;                 // "MESSAGES" text: lines key:value
};

// Kinds of ShowUserMessage.
inline constexpr int32_t kUserMessageInformation = 0;
inline constexpr int32_t kUserMessageError = 1;

// Process-wide services: process log, command-line switches, message table, timers, version
// information and desktop conveniences.
class tNV_Application {
 public:
  tNV_Application();
  explicit tNV_Application(const tNV_ApplicationSources& aSources);
  tNV_Application(const tNV_Application&) = delete;
  tNV_Application& operator=(const tNV_Application&) = delete;
  virtual ~tNV_Application();

  // Writes to the process log; an error entry is also kept as LastError.
  void Log(tNV_MessageType aEntryType, const std::string& aMessage);
  // Message text in the current language, formatted with the values (%s, %d, %%).
  std::string GetMessage(const std::string& aMessageId,
                         const std::vector<std::string>& aValues = {}) const;

  // A relative directory is taken below the LogFiles folder beside the host executable.
  void ChangeLogDirectory(const std::string& aNewDir);
  void ChangeLogFilename(const std::string& aNewFileName);
  std::string GetLogDirectory() const;
  std::string GetLogFileName() const;

  void CreateNotifyIcon(tNV_WindowHandle aForm);
  void DeleteNotifyIcon();

  void StartTimer();
  // Elapsed milliseconds of the newest timer, which ends. Throws when no timer runs.
  int32_t StopTimer();
  // Elapsed milliseconds of the newest timer, which goes on. Throws when no timer runs.
  int32_t GetTimerValue() const;
  int32_t GetTimerCount() const;

  // Ends the host application after a short pause, the process log written out first.
  [[noreturn]] void Terminate();
  // Handler of errors that escape the host's message loop.
  void OnApplicationException(const std::exception& aError);

  // Kind 0 information, 1 error. With no message box on this platform the text goes to the
  // process log as an error entry, as it does in batch mode whatever the kind.
  void ShowUserMessage(int32_t aKind, const std::string& aText);
  // As ShowUserMessage, with the please-wait window out of the way while it shows.
  void ShowUserMessageOverWait(int32_t aKind, const std::string& aText);

  tNV_Setup& Setup() { return *fSetup; }
  tNV_Wait& Wait() { return *fWait; }
  const tNV_NotifyIconData& IconData() const { return fIconData; }
  void SetIconData(const tNV_NotifyIconData& aData) { fIconData = aData; }
  bool NotifyIcon() const { return fNotifyIcon; }
  bool HideOnMinimize() const { return fHideOnMinimize; }
  void SetHideOnMinimize(bool aValue) { fHideOnMinimize = aValue; }
  const std::string& LastError() const { return fLastError; }
  bool IsBatch() const { return fIsBatch; }
  bool IsDebug() const { return fIsDebug; }
  bool IsTest() const { return fIsTest; }
  bool SingleInstance() const { return fSingleInstance; }
  // Turning it on when another process holds the instance lock ends the host application.
  void SetSingleInstance(bool aValue);
  const std::string& DefaultLanguage() const { return fDefaultLanguage; }
  void SetDefaultLanguage(const std::string& aValue) { fDefaultLanguage = aValue; }
  const std::string& Language() const { return fLanguage; }
  void SetLanguage(const std::string& aValue) { fLanguage = aValue; }
  const tNV_ApplicationInfo& Info() const { return *fInfo; }

 private:
  void LoadMessages(const std::optional<std::string>& aText);

  std::unique_ptr<tNV_Setup> fSetup;
  std::unique_ptr<tNV_Wait> fWait;
  tNV_NotifyIconData fIconData;
  bool fNotifyIcon = false;
  bool fHideOnMinimize = false;
  std::unique_ptr<tNV_LogWriter> fLogger;
  std::string fLastError;
  bool fIsBatch = false;
  bool fIsDebug = false;
  bool fIsTest = false;
  bool fSingleInstance = false;
  std::unique_ptr<tNV_NamedLock> fSingleInstanceMutexHandle;
  std::string fDefaultLanguage;
  std::string fLanguage;
  std::map<std::string, std::string> fMessages;
  std::unique_ptr<tNV_ApplicationInfo> fInfo;
  std::vector<DateTime> fTimers;
};

// Formats a message pattern with %s and %d (the next value; %d wants an integer) and %% (a
// percent sign). Throws nvrp::Exception for a placeholder without a fitting value.
std::string FormatMessageValues(std::string_view aPattern, const std::vector<std::string>& aValues);

// The process-wide application object, made by CreateApplication when the library is loaded
// and freed by DestroyApplication when it is unloaded. Throws when it does not exist.
tNV_Application& Application();
void CreateApplication();
void DestroyApplication();

// ShowUserMessage of the process-wide application object.
void ShowUserMessage(int32_t aKind, const std::string& aText);

}  // namespace nvrp
