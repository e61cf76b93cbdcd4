#include "base/ole_string.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace nvrp {

namespace {

constexpr size_t kPrefixBytes = sizeof(uint32_t);

uint32_t ReadByteLength(const char16_t* value) {
  uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const char*>(value) - kPrefixBytes, kPrefixBytes);
  return bytes;
}

}  // namespace

BSTR OleAllocStringLen(const char16_t* text, uint32_t length) {
  if (length > (std::numeric_limits<uint32_t>::max() - kPrefixBytes - 2) / 2) return nullptr;
  const uint32_t bytes = length * 2;
  char* block = static_cast<char*>(std::malloc(kPrefixBytes + bytes + sizeof(char16_t)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &bytes, kPrefixBytes);
  char* units = block + kPrefixBytes;
  if (text != nullptr) {
    std::memcpy(units, text, bytes);
  } else {
    std::memset(units, 0, bytes);
  }
  std::memset(units + bytes, 0, sizeof(char16_t));
  return reinterpret_cast<BSTR>(units);
}

BSTR OleAllocString(const char16_t* text) {
  if (text == nullptr) return nullptr;
  size_t length = 0;
  while (text[length] != u'\0') ++length;
  if (length > std::numeric_limits<uint32_t>::max() / 2) return nullptr;
  return OleAllocStringLen(text, static_cast<uint32_t>(length));
}

uint32_t OleStringLen(const char16_t* value) {
  return value == nullptr ? 0 : ReadByteLength(value) / 2;
}

void OleFreeString(BSTR value) {
  if (value != nullptr) std::free(reinterpret_cast<char*>(value) - kPrefixBytes);
}

}  // namespace nvrp
