#include "base/desktop.hpp"

#include <windows.h>

#include <shellapi.h>

#include <utility>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

constexpr int kWaitWidth = 320;
constexpr int kWaitHeight = 64;

HWND Window(tNV_WindowHandle aHandle) { return reinterpret_cast<HWND>(aHandle); }

}  // namespace

bool ShellNotifyIcon(tNV_NotifyIconAction aAction, const tNV_NotifyIconData& aData) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = Window(aData.Wnd);
  data.uID = aData.uID;
  data.uFlags = aData.uFlags;
  data.uCallbackMessage = aData.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(aData.hIcon);
  const DWORD message = aAction == tNV_NotifyIconAction::Add ? NIM_ADD : NIM_DELETE;
  return Shell_NotifyIconW(message, &data) != 0;
}

tNV_IconHandle ApplicationIcon() {
  // The host's first icon resource, else the system's application icon.
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (icon == nullptr) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  return reinterpret_cast<tNV_IconHandle>(icon);
}

void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool ShowMessageBox(bool aError, const std::string& aText) {
  const UINT style = MB_OK | MB_TASKMODAL | (aError ? MB_ICONERROR : MB_ICONINFORMATION);
  return MessageBoxW(nullptr, WideOf(aText).c_str(), nullptr, style) != 0;
}

tNV_Wait::tNV_Wait(std::function<std::string()> aLanguage) : fLanguage(std::move(aLanguage)) {}

tNV_Wait::~tNV_Wait() { Stop(); }

void tNV_Wait::Start(const std::string& aText) {
  const std::string language = fLanguage ? fLanguage() : std::string();
  fLabel = AsciiLower(language) == "en" ? fText_EN : fText_IT;
  if (!aText.empty()) fLabel += "\n" + aText;
  if (fWindow == 0) {
    // A borderless top-most label in the middle of the screen.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWaitWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWaitHeight) / 2;
    HWND window = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_BORDER | SS_CENTER, left,
        top, kWaitWidth, kWaitHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    fWindow = reinterpret_cast<tNV_WindowHandle>(window);
  }
  if (fWindow != 0) {
    SetWindowTextW(Window(fWindow), WideOf(fLabel).c_str());
    ShowWindow(Window(fWindow), SW_SHOWNOACTIVATE);
    UpdateWindow(Window(fWindow));
  }
  fStarted = true;
  ProcessPendingMessages();
}

void tNV_Wait::Stop() {
  if (fWindow != 0) DestroyWindow(Window(fWindow));
  fWindow = 0;
  fStarted = false;
}

}  // namespace nvrp
