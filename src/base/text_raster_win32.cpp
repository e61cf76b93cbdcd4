#include "base/text_raster.hpp"

#include <windows.h>

#include <cmath>

#include "base/nv_exception.hpp"
#include "base/picture_messages.hpp"
#include "base/win32_text.hpp"

// windows.h names DrawTextW under this name; the method here is the font's own.
#undef DrawText

namespace nvrp {

namespace {

constexpr int kPointsPerInch = 72;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhiteColor = RGB(255, 255, 255);

// Luminance of a 32-bit DIB pixel (blue, green, red, unused) as ink coverage.
std::uint8_t CoverageOf(std::uint32_t aPixel) {
  const std::uint32_t blue = aPixel & 0xFF;
  const std::uint32_t green = (aPixel >> 8) & 0xFF;
  const std::uint32_t red = (aPixel >> 16) & 0xFF;
  return static_cast<std::uint8_t>(255 - (red * 30 + green * 59 + blue * 11) / 100);
}

}  // namespace

// A memory device context with the font selected; pictures are drawn into a white DIB section
// of the text's size and copied onto the canvas as coverage.
struct MonospacedFont::Engine {
  HDC fContext = nullptr;
  HFONT fFont = nullptr;
  HGDIOBJ fPreviousFont = nullptr;
  std::string fFace;
  int fAscent = 0;
  int fDescent = 0;

  ~Engine() {
    if (fContext != nullptr && fPreviousFont != nullptr) SelectObject(fContext, fPreviousFont);
    if (fFont != nullptr) DeleteObject(fFont);
    if (fContext != nullptr) DeleteDC(fContext);
  }

  std::int64_t Width(const std::wstring& aText) const {
    SIZE size{};
    if (aText.empty()) return 0;
    if (GetTextExtentPoint32W(fContext, aText.data(), static_cast<int>(aText.size()), &size) == 0) {
      return 0;
    }
    return size.cx;
  }
};

MonospacedFont::MonospacedFont(std::string_view aFamily, double aPoints, double aDotsPerInch)
    : fEngine(std::make_unique<Engine>()) {
  fEngine->fContext = CreateCompatibleDC(nullptr);
  if (fEngine->fContext == nullptr) throw Exception(std::string(kMsgFontEngineUnavailable));
  const int height = -static_cast<int>(std::lround(aPoints * aDotsPerInch / kPointsPerInch));
  fEngine->fFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               FIXED_PITCH | FF_MODERN, WideOf(aFamily).c_str());
  if (fEngine->fFont == nullptr) throw Exception(MsgFontNotLoaded(std::string(aFamily)));
  fEngine->fPreviousFont = SelectObject(fEngine->fContext, fEngine->fFont);
  wchar_t face[LF_FACESIZE] = {};
  const int face_length = GetTextFaceW(fEngine->fContext, LF_FACESIZE, face);
  fEngine->fFace = face_length > 0 ? Utf8Of(face, wcslen(face)) : std::string(aFamily);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(fEngine->fContext, &metrics) == 0) {
    throw Exception(MsgFontNotLoaded(fEngine->fFace));
  }
  // The pitch bit is set for a variable-pitch font.
  if ((metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0) {
    throw Exception(MsgNoMonospacedFont(aFamily));
  }
  fEngine->fAscent = metrics.tmAscent;
  fEngine->fDescent = metrics.tmDescent;
}

MonospacedFont::~MonospacedFont() = default;

const std::string& MonospacedFont::FileName() const { return fEngine->fFace; }

int MonospacedFont::TextHeight() const { return fEngine->fAscent + fEngine->fDescent; }

std::int64_t MonospacedFont::TextWidth(std::string_view aText) const {
  return fEngine->Width(WideOf(aText));
}

void MonospacedFont::DrawText(GrayCanvas& aCanvas, int aX, int aY, std::string_view aText) const {
  const std::wstring text = WideOf(aText);
  const std::int64_t full_width = fEngine->Width(text);
  const int height = TextHeight();
  // Only the part that lands on the canvas is drawn.
  const std::int64_t width = std::min<std::int64_t>(full_width, aCanvas.Width() - std::int64_t{aX});
  if (width <= 0 || height <= 0 || aX < 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(fEngine->fContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) throw Exception(std::string(kMsgFontEngineUnavailable));
  HGDIOBJ previous = SelectObject(fEngine->fContext, bitmap);
  const RECT area{0, 0, static_cast<LONG>(width), height};
  HBRUSH white = CreateSolidBrush(kWhiteColor);
  FillRect(fEngine->fContext, &area, white);
  DeleteObject(white);
  SetBkMode(fEngine->fContext, TRANSPARENT);
  SetTextColor(fEngine->fContext, kBlack);
  TextOutW(fEngine->fContext, 0, 0, text.data(), static_cast<int>(text.size()));
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const std::uint8_t coverage = CoverageOf(pixels[static_cast<size_t>(row) * width + column]);
      if (coverage != 0) aCanvas.Ink(aX + column, aY + row, coverage);
    }
  }
  SelectObject(fEngine->fContext, previous);
  DeleteObject(bitmap);
}

}  // namespace nvrp
