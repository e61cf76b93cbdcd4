#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// OLE automation string as the boundary lays it out: a pointer to UTF-16LE code units, the
// 32-bit byte length stored just before the pointer, a 16-bit NUL after the text. A null
// pointer is the empty text. On Windows these are OleAut32's; here they are our own.
using BSTR = char16_t*;

BSTR OleAllocString(const char16_t* text);                      // null for a null text
BSTR OleAllocStringLen(const char16_t* text, uint32_t length);  // text may be null: zero-filled
uint32_t OleStringLen(const char16_t* value);
void OleFreeString(BSTR value);

// Conversions between the boundary's strings and internal UTF-8 text.
std::string OleToUtf8(const char16_t* value);
BSTR Utf8ToOle(std::string_view text);  // null for the empty text

}  // namespace nvrp
