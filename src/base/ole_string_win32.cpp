#include "base/ole_string.hpp"

#include <windows.h>

#include <oleauto.h>

#include <limits>

// OLE strings come from OleAut32, so that the host frees them with its own SysFreeString.

namespace nvrp {

namespace {

const OLECHAR* Wide(const char16_t* aText) { return reinterpret_cast<const OLECHAR*>(aText); }

}  // namespace

BSTR OleAllocString(const char16_t* text) {
  if (text == nullptr) return nullptr;
  return reinterpret_cast<BSTR>(SysAllocString(Wide(text)));
}

BSTR OleAllocStringLen(const char16_t* text, uint32_t length) {
  if (length > std::numeric_limits<uint32_t>::max() / 2 - 4) return nullptr;
  return reinterpret_cast<BSTR>(SysAllocStringLen(Wide(text), length));
}

uint32_t OleStringLen(const char16_t* value) {
  return SysStringLen(const_cast<OLECHAR*>(Wide(value)));
}

void OleFreeString(BSTR value) { SysFreeString(reinterpret_cast<OLECHAR*>(value)); }

}  // namespace nvrp
