#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "base/dynamic_library.hpp"
#include "base/ole_string.hpp"

namespace nvrp::testing {

// Signature of every exported command.
using CommandFunction = int16_t (*)(BSTR, BSTR*, BSTR*);

// What one exported call gave back.
struct Answer {
  int16_t result = 0;
  std::string output;
  std::string error;
  bool outputEmpty = true;  // the out variable held no string
  bool errorEmpty = true;
};

// A command library as a host program sees it: loaded by path, called through its exports
// with strings made by its SysAllocStringLen; outputs are read with its SysStringLen and
// released with its SysFreeString (OleAut32's on Windows). The library stays loaded until the
// process ends, as a host keeps it: unloading would free the device table under devices still open.
class LibraryHost {
 public:
  // Loads the library; throws std::runtime_error when it cannot be loaded or lacks the string
  // functions.
  explicit LibraryHost(const std::string& aPath);
  LibraryHost(const LibraryHost&) = delete;
  LibraryHost& operator=(const LibraryHost&) = delete;

  // An export by name; throws std::runtime_error when it is missing.
  template <typename Function>
  Function Resolve(const char* aName) const {
    void* symbol = Symbol(aName);
    Function function = nullptr;
    static_assert(sizeof(function) == sizeof(symbol));
    std::memcpy(&function, &symbol, sizeof(symbol));
    return function;
  }

  BSTR Alloc(const std::u16string& aText) const;
  // The text of a string the library handed out, which is then released.
  std::string Take(BSTR aValue) const;

  // Calls a command with an input the caller owns.
  Answer CallWith(const char* aCommand, BSTR aInput) const;
  Answer Call(const char* aCommand, const std::u16string& aInput) const;
  Answer Call(const char* aCommand, const std::string& aInput) const;

 private:
  void* Symbol(const char* aName) const;

  DynamicLibrary fLibrary;
  BSTR (*fAllocStringLen)(const char16_t*, uint32_t) = nullptr;
  uint32_t (*fStringLen)(BSTR) = nullptr;
  void (*fFreeString)(BSTR) = nullptr;
};

}  // namespace nvrp::testing
