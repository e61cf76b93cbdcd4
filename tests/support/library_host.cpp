#include "support/library_host.hpp"

#include <stdexcept>
#include <string_view>

#include "base/utf.hpp"

namespace nvrp::testing {

// The library's own string functions where it exports them (Linux); a Windows DLL takes them
// from OleAut32, which the host shares with it.
LibraryHost::LibraryHost(const std::string& aPath) {
  if (!fLibrary.Load(aPath)) throw std::runtime_error(aPath + ": " + fLibrary.ErrorText());
  DynamicLibrary pin;  // a second reference, never given back: loaded until the process ends
  pin.Load(aPath);
  pin.Release();
  if (fLibrary.Symbol("SysAllocStringLen") == nullptr) {
    fAllocStringLen = [](const char16_t* text, uint32_t length) {
      return OleAllocStringLen(text, length);
    };
    fStringLen = [](BSTR value) { return OleStringLen(value); };
    fFreeString = [](BSTR value) { OleFreeString(value); };
    return;
  }
  fAllocStringLen = Resolve<BSTR (*)(const char16_t*, uint32_t)>("SysAllocStringLen");
  fStringLen = Resolve<uint32_t (*)(BSTR)>("SysStringLen");
  fFreeString = Resolve<void (*)(BSTR)>("SysFreeString");
}

void* LibraryHost::Symbol(const char* aName) const {
  void* symbol = fLibrary.Symbol(aName);
  if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + aName);
  return symbol;
}

BSTR LibraryHost::Alloc(const std::u16string& aText) const {
  return fAllocStringLen(aText.data(), static_cast<uint32_t>(aText.size()));
}

std::string LibraryHost::Take(BSTR aValue) const {
  std::string text =
      Utf16ToUtf8(std::u16string_view(aValue == nullptr ? u"" : aValue, fStringLen(aValue)));
  fFreeString(aValue);
  return text;
}

Answer LibraryHost::CallWith(const char* aCommand, BSTR aInput) const {
  BSTR output = nullptr;
  BSTR error = nullptr;
  Answer answer;
  answer.result = Resolve<CommandFunction>(aCommand)(aInput, &output, &error);
  answer.outputEmpty = output == nullptr;
  answer.errorEmpty = error == nullptr;
  answer.output = Take(output);
  answer.error = Take(error);
  return answer;
}

Answer LibraryHost::Call(const char* aCommand, const std::u16string& aInput) const {
  BSTR input = Alloc(aInput);
  Answer answer = CallWith(aCommand, input);
  fFreeString(input);
  return answer;
}

Answer LibraryHost::Call(const char* aCommand, const std::string& aInput) const {
  return Call(aCommand, Utf8ToUtf16(aInput));
}

}  // namespace nvrp::testing
