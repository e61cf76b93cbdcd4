#include "base/desktop.hpp"

#include <utility>

#include "base/utf.hpp"

namespace nvrp {

bool ShellNotifyIcon(tNV_NotifyIconAction /*aAction*/, const tNV_NotifyIconData& /*aData*/) {
  return true;
}

tNV_IconHandle ApplicationIcon() { return 0; }

void ProcessPendingMessages() {}

bool ShowMessageBox(bool /*aError*/, const std::string& /*aText*/) { return false; }

tNV_Wait::tNV_Wait(std::function<std::string()> aLanguage) : fLanguage(std::move(aLanguage)) {}

tNV_Wait::~tNV_Wait() = default;

void tNV_Wait::Start(const std::string& aText) {
  const std::string language = fLanguage ? fLanguage() : std::string();
  fLabel = AsciiLower(language) == "en" ? fText_EN : fText_IT;
  if (!aText.empty()) fLabel += "\n" + aText;
  fStarted = true;
  ProcessPendingMessages();
}

void tNV_Wait::Stop() { fStarted = false; }

}  // namespace nvrp
