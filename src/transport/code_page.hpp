#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Code page used for text sent to devices when the handler names none. Devices of this
// driver print Greek, so on systems without an ANSI code page of their own (Linux) this is
// Windows-1253; the Windows build answers the system's ANSI code page.
int32_t SystemAnsiCodePage();

// The UTF-8 text in the Windows code page aCodePage (1253, 1252, 737 ...). Characters the
// code page lacks become "?". False when the system does not know the code page.
bool EncodeInCodePage(std::string_view aText, int32_t aCodePage, std::string& aBytes);

// One byte per character for characters up to 255; false (aBytes unusable) when the text
// holds a character above 255.
bool EncodeLatin1(std::string_view aText, std::string& aBytes);

// Each byte as the character of the same code, in UTF-8.
std::string DecodeLatin1(std::string_view aBytes);

}  // namespace nvrp
