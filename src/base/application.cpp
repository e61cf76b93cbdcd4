#include "base/application.hpp"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <utility>

#include "base/framework_messages.hpp"
#include "base/host_environment.hpp"
#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/version_resource.hpp"

namespace nvrp {

namespace {

constexpr std::string_view kLogFolder = "LogFiles";
constexpr std::chrono::milliseconds kTerminatePause{500};
constexpr int kTerminateExitCode = 0;

std::string LogFilesDirectory() { return JoinPath(ExeDirectory(), kLogFolder); }

bool HasSwitch(const std::vector<std::string>& aParameters, std::string_view aName) {
  return !FindSwitchIn(aParameters, aName, true).empty();
}

bool IsInteger(std::string_view aText) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(aText.data(), aText.data() + aText.size(), value);
  return !aText.empty() && error == std::errc() && end == aText.data() + aText.size();
}

// A plain pointer, not a static smart pointer: a host that exits with the library loaded runs
// the static destructors before the unload hook, which must then find the object still there.
tNV_Application* gApplication = nullptr;

}  // namespace

std::string FormatMessageValues(std::string_view aPattern,
                                const std::vector<std::string>& aValues) {
  std::string result;
  size_t next_value = 0;
  for (size_t i = 0; i < aPattern.size(); ++i) {
    if (aPattern[i] != '%') {
      result += aPattern[i];
      continue;
    }
    const char kind = ++i < aPattern.size() ? aPattern[i] : '\0';
    if (kind == '%') {
      result += '%';
      continue;
    }
    const bool fits = next_value < aValues.size() &&
                      (kind == 's' || (kind == 'd' && IsInteger(aValues[next_value])));
    if (!fits) throw Exception(MsgFormatInvalid(aPattern));
    result += aValues[next_value++];
  }
  return result;
}

tNV_Application::tNV_Application() : tNV_Application(tNV_ApplicationSources{}) {}

tNV_Application::tNV_Application(const tNV_ApplicationSources& aSources) {
  fWait = std::make_unique<tNV_Wait>([this] { return fLanguage; });
  fSetup = std::make_unique<tNV_Setup>();
  fLogger = std::make_unique<tNV_LogWriter>(ExeBaseName(), LogFilesDirectory(), 0, false);

  const std::vector<std::string> parameters =
      aSources.Parameters ? *aSources.Parameters : HostParameters();
  fIsBatch = HasSwitch(parameters, "/BATCH");
  fIsDebug = HasSwitch(parameters, "/DEBUG");
  fIsTest = HasSwitch(parameters, "/TEST");

  fInfo = std::make_unique<tNV_ApplicationInfo>();
  fInfo->Load(aSources.Strings != nullptr ? *aSources.Strings : LibraryStringTable());
  LoadMessages(aSources.Messages);
}

tNV_Application::~tNV_Application() {
  if (fNotifyIcon) DeleteNotifyIcon();
  // The log writer writes out its queue before it goes.
  fLogger.reset();
}

void tNV_Application::LoadMessages(const std::optional<std::string>& aText) {
  if (!aText) return;
  std::istringstream lines(*aText);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const bool added =
        fMessages.emplace(ExtractToken(line, 1, ':', false), ExtractToken(line, 2, ':', false))
            .second;
    if (!added) throw Exception(std::string(kMsgDuplicateMessageKey));
  }
}

void tNV_Application::Log(tNV_MessageType aEntryType, const std::string& aMessage) {
  if (fLogger) fLogger->Write(aEntryType, aMessage);
  if (aEntryType == tNV_MessageType::let_error) fLastError = aMessage;
}

std::string tNV_Application::GetMessage(const std::string& aMessageId,
                                        const std::vector<std::string>& aValues) const {
  std::string text = aMessageId;
  for (const std::string& key :
       {fLanguage + "." + aMessageId, fDefaultLanguage + "." + aMessageId}) {
    const auto found = fMessages.find(key);
    if (found != fMessages.end()) {
      text = found->second;
      break;
    }
  }
  return FormatMessageValues(text, aValues);
}

void tNV_Application::ChangeLogDirectory(const std::string& aNewDir) {
  // JoinPath keeps an absolute directory unchanged.
  fLogger->SetDirectory(JoinPath(LogFilesDirectory(), aNewDir));
}

void tNV_Application::ChangeLogFilename(const std::string& aNewFileName) {
  fLogger->SetFileName(aNewFileName);
}

std::string tNV_Application::GetLogDirectory() const { return fLogger->Directory(); }

std::string tNV_Application::GetLogFileName() const { return fLogger->FileName(); }

void tNV_Application::CreateNotifyIcon(tNV_WindowHandle aForm) {
  fIconData = tNV_NotifyIconData{};
  fIconData.cbSize = sizeof(tNV_NotifyIconData);
  fIconData.Wnd = aForm;
  fIconData.uCallbackMessage = kNotifyIconCallbackMessage;
  fIconData.uID = kNotifyIconId;
  fIconData.hIcon = ApplicationIcon();
  fIconData.uFlags = kNIF_MESSAGE | kNIF_ICON;
  ShellNotifyIcon(tNV_NotifyIconAction::Add, fIconData);
  fNotifyIcon = true;
}

void tNV_Application::DeleteNotifyIcon() {
  if (fNotifyIcon) ShellNotifyIcon(tNV_NotifyIconAction::Delete, fIconData);
  fNotifyIcon = false;
}

void tNV_Application::StartTimer() { fTimers.push_back(Now()); }

int32_t tNV_Application::StopTimer() {
  const int32_t elapsed = GetTimerValue();
  fTimers.pop_back();
  return elapsed;
}

int32_t tNV_Application::GetTimerValue() const {
  if (fTimers.empty()) throw Exception(std::string(kMsgUnbalancedStack));
  // Times of day: a timer running across midnight gives a negative value.
  return TimeOfDayMs(Now()) - TimeOfDayMs(fTimers.back());
}

int32_t tNV_Application::GetTimerCount() const { return static_cast<int32_t>(fTimers.size()); }

void tNV_Application::Terminate() {
  ProcessPendingMessages();
  std::this_thread::sleep_for(kTerminatePause);
  // Exiting drops whatever the log thread still holds; write it out first.
  fLogger.reset();
  std::exit(kTerminateExitCode);
}

void tNV_Application::OnApplicationException(const std::exception& aError) {
  const std::string message = aError.what();
  if (!message.empty()) ShowUserMessageOverWait(kUserMessageError, message);
  if (fIsBatch) Terminate();
}

void tNV_Application::ShowUserMessage(int32_t aKind, const std::string& aText) {
  const bool shown = aKind == kUserMessageInformation || aKind == kUserMessageError;
  if (fIsBatch || (shown && !ShowMessageBox(aKind == kUserMessageError, aText))) {
    Log(tNV_MessageType::let_error, aText);
  }
}

void tNV_Application::ShowUserMessageOverWait(int32_t aKind, const std::string& aText) {
  if (!fWait->Started()) {
    ShowUserMessage(aKind, aText);
    return;
  }
  fWait->Stop();
  ShowUserMessage(aKind, aText);
  fWait->Start("");
}

void tNV_Application::SetSingleInstance(bool aValue) {
  if (aValue == fSingleInstance) return;
  fSingleInstance = aValue;
  if (!aValue) {
    fSingleInstanceMutexHandle.reset();
    return;
  }
  fSingleInstanceMutexHandle = tNV_NamedLock::TryAcquire(ExeBaseName());
  if (!fSingleInstanceMutexHandle) {
    ShowUserMessageOverWait(kUserMessageError, std::string(kMsgSingleInstanceRefused));
    Terminate();
  }
}

tNV_Application& Application() {
  if (gApplication == nullptr) throw Exception(std::string(kMsgApplicationNotCreated));
  return *gApplication;
}

void CreateApplication() {
  if (gApplication == nullptr) gApplication = new tNV_Application();
}

void DestroyApplication() {
  delete gApplication;
  gApplication = nullptr;
}

void ShowUserMessage(int32_t aKind, const std::string& aText) {
  Application().ShowUserMessage(aKind, aText);
}

}  // namespace nvrp
