#include <windows.h>

#include <string>

#include "base/win32_text.hpp"
#include "transport/code_page.hpp"

namespace nvrp {

int32_t SystemAnsiCodePage() { return static_cast<int32_t>(GetACP()); }

bool EncodeInCodePage(std::string_view aText, int32_t aCodePage, std::string& aBytes) {
  aBytes.clear();
  if (IsValidCodePage(static_cast<UINT>(aCodePage)) == 0) return false;
  const std::wstring wide = WideOf(aText);
  if (wide.empty()) return true;
  const auto code_page = static_cast<UINT>(aCodePage);
  const int length = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, "?", nullptr);
  if (length <= 0) return false;
  aBytes.resize(static_cast<size_t>(length));
  return WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                             aBytes.data(), length, "?", nullptr) == length;
}

}  // namespace nvrp
