#pragma once

#include <string>
#include <string_view>

#include "base/dynamic_library.hpp"
#include "base/ole_string.hpp"

namespace nvrp {

// Path of a plug-in library: the process's current directory joined with the name; a rooted
// name is used unchanged.
std::string PluginLibraryPath(const std::string& aName);

// "Unable to load library <path>. Error code: [<code>]".
std::string LibraryLoadFailureMessage(const std::string& aPath, int32_t aErrorCode);

// Loads the library at aPath; raises the load failure message when it cannot.
void LoadPluginLibrary(DynamicLibrary& aLibrary, const std::string& aPath);

// An OLE string this side owns: an argument passed in, or an answer the library allocated
// into Out(). Freed on destruction.
class OwnedOleString {
 public:
  OwnedOleString() = default;
  explicit OwnedOleString(std::string_view aText) : fValue(Utf8ToOle(aText)) {}
  ~OwnedOleString() { OleFreeString(fValue); }
  OwnedOleString(const OwnedOleString&) = delete;
  OwnedOleString& operator=(const OwnedOleString&) = delete;

  BSTR Get() const { return fValue; }
  // The empty variable a library fills (any earlier value is freed first).
  BSTR* Out() {
    OleFreeString(fValue);
    fValue = nullptr;
    return &fValue;
  }
  std::string Text() const { return OleToUtf8(fValue); }

 private:
  BSTR fValue = nullptr;
};

}  // namespace nvrp
