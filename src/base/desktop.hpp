#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace nvrp {

// Desktop services of the host: the shell's notification icon, message boxes and the
// please-wait window. On Windows they are the shell's and the window manager's; elsewhere
// there is no desktop for the library, so the layer keeps the state the application object
// reads back and draws nothing.

using tNV_WindowHandle = uintptr_t;
using tNV_IconHandle = uintptr_t;

// Notification-icon record as the shell expects it.
struct tNV_NotifyIconData {
  uint32_t cbSize = 0;
  tNV_WindowHandle Wnd = 0;
  uint32_t uID = 0;
  uint32_t uFlags = 0;
  uint32_t uCallbackMessage = 0;
  tNV_IconHandle hIcon = 0;
};

inline constexpr uint32_t kNIF_MESSAGE = 0x1;
inline constexpr uint32_t kNIF_ICON = 0x2;
inline constexpr uint32_t kFirstUserMessage = 1024;
inline constexpr uint32_t kNotifyIconCallbackMessage = kFirstUserMessage + 100;
inline constexpr uint32_t kNotifyIconId = 1;

enum class tNV_NotifyIconAction { Add, Delete };

// Hands the icon record to the shell; true when accepted.
bool ShellNotifyIcon(tNV_NotifyIconAction aAction, const tNV_NotifyIconData& aData);
// The host application's icon.
tNV_IconHandle ApplicationIcon();
// Lets the host's window-message loop catch up.
void ProcessPendingMessages();
// Shows a modal box with an OK button and the error or the information symbol; false when
// there is no desktop to show it on (the caller logs the text instead).
bool ShowMessageBox(bool aError, const std::string& aText);

// Please-wait window: a label with a language-dependent text.
class tNV_Wait {
 public:
  // aLanguage gives the current language when the window is started.
  explicit tNV_Wait(std::function<std::string()> aLanguage);

  ~tNV_Wait();
  tNV_Wait(const tNV_Wait&) = delete;
  tNV_Wait& operator=(const tNV_Wait&) = delete;

  // Shows the window (top-most); a non-empty aText goes on a second line below the standard
  // text.
  void Start(const std::string& aText);
  void Stop();

  bool Started() const { return fStarted; }
  // The label's current text.
  const std::string& Label() const { return fLabel; }

 private:
  std::function<std::string()> fLanguage;
  std::string fLabel;
  bool fStarted = false;
  // The window itself exists only where there is a desktop (Windows).
  [[maybe_unused]] tNV_WindowHandle fWindow = 0;
  std::string fText_IT = "Attendere prego ...";
  std::string fText_EN = "Wait please ...";
};

}  // namespace nvrp
