#include "base/dynamic_library.hpp"

#include <utility>

namespace nvrp {

DynamicLibrary::~DynamicLibrary() { Unload(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& aOther) noexcept
    : fHandle(std::exchange(aOther.fHandle, nullptr)),
      fErrorCode(aOther.fErrorCode),
      fErrorText(std::move(aOther.fErrorText)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& aOther) noexcept {
  if (this != &aOther) {
    Unload();
    fHandle = std::exchange(aOther.fHandle, nullptr);
    fErrorCode = aOther.fErrorCode;
    fErrorText = std::move(aOther.fErrorText);
  }
  return *this;
}

bool DynamicLibrary::Load(const std::string& aPath) {
  Unload();
  fErrorCode = 0;
  fErrorText.clear();
  fHandle = OpenLibrary(aPath, fErrorCode, fErrorText);
  return fHandle != nullptr;
}

void* DynamicLibrary::Symbol(const char* aName) const {
  if (fHandle == nullptr || aName == nullptr) return nullptr;
  return FindSymbol(fHandle, aName);
}

void DynamicLibrary::Unload() {
  if (fHandle != nullptr) CloseLibrary(fHandle);
  fHandle = nullptr;
}

}  // namespace nvrp
