#include "base/base64.hpp"

#include <array>

#include "base/nv_exception.hpp"
#include "base/picture_messages.hpp"

namespace nvrp {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> MakeDecodeTable() {
  std::array<int, 256> table{};
  table.fill(kNotInAlphabet);
  for (size_t i = 0; i < kAlphabet.size(); ++i) {
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
  }
  return table;
}

constexpr std::array<int, 256> kDecodeTable = MakeDecodeTable();

int SextetOf(char aChar) {
  const int value = kDecodeTable[static_cast<unsigned char>(aChar)];
  if (value == kNotInAlphabet) {
    throw Exception(std::string(kMsgBase64Invalid));
  }
  return value;
}

}  // namespace

std::string Base64Encode(std::span<const std::uint8_t> aBytes) {
  std::string text;
  text.reserve((aBytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= aBytes.size(); i += 3) {
    const unsigned group =
        (unsigned{aBytes[i]} << 16) | (unsigned{aBytes[i + 1]} << 8) | unsigned{aBytes[i + 2]};
    text += kAlphabet[(group >> 18) & 63U];
    text += kAlphabet[(group >> 12) & 63U];
    text += kAlphabet[(group >> 6) & 63U];
    text += kAlphabet[group & 63U];
  }
  const size_t rest = aBytes.size() - i;
  if (rest > 0) {
    unsigned group = unsigned{aBytes[i]} << 16;
    if (rest == 2) {
      group |= unsigned{aBytes[i + 1]} << 8;
    }
    text += kAlphabet[(group >> 18) & 63U];
    text += kAlphabet[(group >> 12) & 63U];
    text += rest == 2 ? kAlphabet[(group >> 6) & 63U] : kPad;
    text += kPad;
  }
  return text;
}

std::string Base64Encode(std::string_view aBytes) {
  return Base64Encode(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(aBytes.data()), aBytes.size()));
}

std::string Base64Decode(std::string_view aText) {
  if (aText.size() % 4 != 0) {
    throw Exception(std::string(kMsgBase64Invalid));
  }
  std::string bytes;
  bytes.reserve(aText.size() / 4 * 3);
  for (size_t i = 0; i < aText.size(); i += 4) {
    const bool last = i + 4 == aText.size();
    const size_t pads = last ? (aText[i + 3] == kPad ? (aText[i + 2] == kPad ? 2U : 1U) : 0U) : 0U;
    unsigned group = 0;
    for (size_t k = 0; k < 4 - pads; ++k) {
      group |= static_cast<unsigned>(SextetOf(aText[i + k])) << (18 - 6 * k);
    }
    // Bits below the last whole byte must be zero, so that each text has one meaning.
    if ((pads == 1 && (group & 0xFFU) != 0) || (pads == 2 && (group & 0xFFFFU) != 0)) {
      throw Exception(std::string(kMsgBase64Invalid));
    }
    bytes += static_cast<char>((group >> 16) & 0xFFU);
    if (pads < 2) {
      bytes += static_cast<char>((group >> 8) & 0xFFU);
    }
    if (pads < 1) {
      bytes += static_cast<char>(group & 0xFFU);
    }
  }
  return bytes;
}

}  // namespace nvrp
