#include <iconv.h>

#include <cerrno>
#include <string>

#include "transport/code_page.hpp"

namespace nvrp {

namespace {

constexpr int32_t kGreekAnsiCodePage = 1253;

// iconv's name of a Windows code page: the 125x family is "CP125x", the DOS pages "CP437".
std::string IconvName(int32_t aCodePage) { return "CP" + std::to_string(aCodePage); }

// Converts what is left of the input, one "?" for each character the target lacks.
bool Convert(iconv_t aConverter, std::string_view aText, std::string& aBytes) {
  std::string input(aText);
  char* in = input.data();
  size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t done = iconv(aConverter, &in, &inLeft, &out, &outLeft);
    aBytes.append(buffer, static_cast<size_t>(out - buffer));
    if (done != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (errno != EILSEQ) return false;  // a cut UTF-8 sequence cannot come from our strings
    aBytes += '?';
    do {  // skip the whole UTF-8 sequence of the missing character
      ++in;
      --inLeft;
    } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
  }
  return true;
}

}  // namespace

int32_t SystemAnsiCodePage() { return kGreekAnsiCodePage; }

bool EncodeInCodePage(std::string_view aText, int32_t aCodePage, std::string& aBytes) {
  aBytes.clear();
  const iconv_t converter = iconv_open(IconvName(aCodePage).c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  const bool converted = Convert(converter, aText, aBytes);
  iconv_close(converter);
  return converted;
}

}  // namespace nvrp
