#pragma once

#include <cstdint>
#include <string>

namespace nvrp {

// A shared library loaded by path, with its exports looked up by name. Unloads on destruction
// unless Release has handed the library over to the rest of the process.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& aOther) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& aOther) noexcept;

  // Loads the library, resolving all its symbols now. Unloads any library held before.
  // False on failure; ErrorCode and ErrorText then say why.
  bool Load(const std::string& aPath);
  bool Loaded() const { return fHandle != nullptr; }

  // The export's address, or null when it is absent or nothing is loaded.
  void* Symbol(const char* aName) const;
  template <typename TFunction>
  TFunction Function(const char* aName) const {
    return reinterpret_cast<TFunction>(Symbol(aName));
  }

  void Unload();
  // Forgets the library without unloading it: it stays loaded for the rest of the process.
  void Release() { fHandle = nullptr; }

  // The system's error code of the last failed load (0 when the system gave none) and its
  // text, meant for logs.
  int32_t ErrorCode() const { return fErrorCode; }
  const std::string& ErrorText() const { return fErrorText; }

 private:
  // The system's side: open (null on failure, with the error's code and text), look up, close.
  static void* OpenLibrary(const std::string& aPath, int32_t& aCode, std::string& aText);
  static void* FindSymbol(void* aHandle, const char* aName);
  static void CloseLibrary(void* aHandle);

  void* fHandle = nullptr;
  int32_t fErrorCode = 0;
  std::string fErrorText;
};

}  // namespace nvrp
