#pragma once

// Text helpers of the Windows platform layers: wide-character APIs take UTF-16, the library
// keeps UTF-8. Included by *_win32.cpp only.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/utf.hpp"

namespace nvrp {

inline std::wstring WideOf(std::string_view aText) {
  const std::u16string units = Utf8ToUtf16(aText);
  return std::wstring(units.begin(), units.end());
}

inline std::string Utf8Of(const wchar_t* aText, size_t aLength) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(aText), aLength));
}

inline std::string Utf8Of(const std::wstring& aText) { return Utf8Of(aText.data(), aText.size()); }

// The system's text for an error code, without the trailing line break; aModule names the
// module whose message table holds it (WinHTTP's codes), null for the system's own.
inline std::string SystemErrorText(DWORD aCode, HMODULE aModule = nullptr) {
  wchar_t* buffer = nullptr;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
      (aModule != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
  const DWORD length =
      FormatMessageW(flags, aModule, aCode, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::string text = length > 0 ? Utf8Of(buffer, length) : std::string();
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text.empty() ? "Windows error " + std::to_string(aCode) : text;
}

}  // namespace nvrp
