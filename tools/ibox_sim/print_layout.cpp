#include "print_layout.hpp"

#include "sim_messages.hpp"

namespace nvrp::ibox_sim {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string Pad(size_t count) { return std::string(count, ' '); }

std::string RightAligned(std::string_view text) {
  const size_t length = CountCharacters(text);
  return length >= kPrintWidth ? CutToWidth(text, kPrintWidth)
                               : Pad(kPrintWidth - length) + std::string(text);
}

// A barcode order: "`[" then the kind ("Q" for QR code, anything else a barcode), the value
// and "]".
bool IsBarcode(std::string_view text) {
  return text.size() >= 4 && StartsWith(text, "`[") && text.back() == ']';
}

std::string RenderBarcode(std::string_view text) {
  const std::string_view value = text.substr(3, text.size() - 4);
  const std::string_view marker = text[2] == 'Q' ? kQrCodeMarker : kBarcodeMarker;
  return CutToWidth(std::string(marker) + std::string(value) + "]", kPrintWidth);
}

// Double-width print: every character takes two columns.
std::string SpacedOut(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    const bool last = i + 1 == text.size();
    if (!last && !IsContinuationByte(text[i + 1])) out.push_back(' ');
  }
  return out;
}

}  // namespace

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (const char c : text) {
    if (!IsContinuationByte(c)) ++count;
  }
  return count;
}

std::string CutToWidth(std::string_view text, size_t width) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuationByte(text[i])) {
      if (characters == width) return std::string(text.substr(0, i));
      ++characters;
    }
  }
  return std::string(text);
}

std::string TwoColumns(std::string_view left, std::string_view right) {
  const size_t right_length = CountCharacters(right);
  if (right_length >= kPrintWidth) return CutToWidth(right, kPrintWidth);
  const std::string cut_left = CutToWidth(left, kPrintWidth - right_length - 1);
  return cut_left + Pad(kPrintWidth - CountCharacters(cut_left) - right_length) +
         std::string(right);
}

std::string Centered(std::string_view text) {
  const size_t length = CountCharacters(text);
  if (length >= kPrintWidth) return CutToWidth(text, kPrintWidth);
  return Pad((kPrintWidth - length) / 2) + std::string(text);
}

std::string RenderDescription(std::string_view decoded) {
  if (IsBarcode(decoded)) return RenderBarcode(decoded);
  const bool double_size = StartsWith(decoded, "|{");
  if (double_size) decoded.remove_prefix(2);
  const bool right = StartsWith(decoded, ">>");
  const bool center = StartsWith(decoded, ">+");
  if (right || center) decoded.remove_prefix(2);
  const std::string text = double_size ? SpacedOut(decoded) : std::string(decoded);
  if (right) return RightAligned(text);
  if (center) return Centered(text);
  return CutToWidth(text, kPrintWidth);
}

}  // namespace nvrp::ibox_sim
