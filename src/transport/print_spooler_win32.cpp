#include <windows.h>

#include <winspool.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <type_traits>
#include <vector>

#include "base/text_raster.hpp"
#include "base/win32_text.hpp"
#include "transport/print_spooler.hpp"

// The Windows print spooler: raw jobs through the spooler functions, bitmaps through GDI on
// the printer's device context.

namespace nvrp::print_spooler {

namespace {

constexpr int32_t kDefaultDotsPerInch = 300;
// A4 at 300 dots per inch when the printer's device context cannot be made.
constexpr int32_t kA4WidthDots = 2480;
constexpr int32_t kA4HeightDots = 3507;
constexpr int kGrayLevels = 256;

std::string LastErrorText() { return SystemErrorText(GetLastError()); }

struct PrinterCloser {
  void operator()(HANDLE aPrinter) const { ClosePrinter(aPrinter); }
};
using PrinterHandle = std::unique_ptr<void, PrinterCloser>;

struct DcDeleter {
  void operator()(HDC aDc) const { DeleteDC(aDc); }
};
using PrinterDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

PrinterDc CreatePrinterDc(const std::string& aPrinter) {
  return PrinterDc(CreateDCW(L"WINSPOOL", WideOf(aPrinter).c_str(), nullptr, nullptr));
}

// Writes the bytes as the one page of a started document; false with the error text.
bool WritePage(HANDLE aPrinter, std::string_view aBytes, std::string& aError) {
  if (StartPagePrinter(aPrinter) == 0) {
    aError = LastErrorText();
    return false;
  }
  DWORD written = 0;
  const bool ok = WritePrinter(aPrinter, const_cast<char*>(aBytes.data()),
                               static_cast<DWORD>(aBytes.size()), &written) != 0 &&
                  written == aBytes.size();
  if (!ok) aError = LastErrorText();
  EndPagePrinter(aPrinter);
  return ok;
}

// The gray bitmap as a bottom-up 8-bit DIB with a gray palette (rows padded to 4 bytes).
struct GrayDib {
  struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD palette[kGrayLevels];
  } info{};
  std::vector<uint8_t> bits;

  explicit GrayDib(const GrayCanvas& aCanvas) {
    const size_t width = static_cast<size_t>(aCanvas.Width());
    const size_t height = static_cast<size_t>(aCanvas.Height());
    const size_t stride = (width + 3) / 4 * 4;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = aCanvas.Width();
    info.header.biHeight = aCanvas.Height();
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = kGrayLevels;
    for (int level = 0; level < kGrayLevels; ++level) {
      const auto value = static_cast<BYTE>(level);
      info.palette[level] = RGBQUAD{value, value, value, 0};
    }
    bits.assign(stride * height, 0xFF);
    const auto& pixels = aCanvas.Pixels();
    for (size_t row = 0; row < height; ++row) {
      const auto source = pixels.begin() + static_cast<std::ptrdiff_t>(row * width);
      std::copy(source, source + static_cast<std::ptrdiff_t>(width),
                bits.begin() + static_cast<std::ptrdiff_t>((height - 1 - row) * stride));
    }
  }
};

// Draws the bitmap as the one page of a started document; false with the error text.
bool DrawPage(HDC aDc, const GrayCanvas& aBitmap, const tkPageGeometry& aPage,
              const tkBitmapPlacement& aPlacement, std::string& aError) {
  if (StartPage(aDc) <= 0) {
    aError = LastErrorText();
    return false;
  }
  const GrayDib dib(aBitmap);
  // The placement counts from the paper's edge, the device context from the printable area.
  const int drawn = StretchDIBits(
      aDc, aPlacement.fX - aPage.fOffsetX, aPlacement.fY - aPage.fOffsetY, aPlacement.fWidth,
      aPlacement.fHeight, 0, 0, aBitmap.Width(), aBitmap.Height(), dib.bits.data(),
      reinterpret_cast<const BITMAPINFO*>(&dib.info), DIB_RGB_COLORS, SRCCOPY);
  if (drawn == 0 || drawn == static_cast<int>(GDI_ERROR)) {
    aError = LastErrorText();
    EndPage(aDc);
    return false;
  }
  if (EndPage(aDc) <= 0) {
    aError = LastErrorText();
    return false;
  }
  return true;
}

}  // namespace

bool PrintRaw(const std::string& aPrinter, const std::string& aDocumentName,
              std::string_view aBytes, std::string& aError) {
  HANDLE opened = nullptr;
  std::wstring name = WideOf(aPrinter);
  if (OpenPrinterW(name.data(), &opened, nullptr) == 0) {
    aError = LastErrorText();
    return false;
  }
  const PrinterHandle printer(opened);
  std::wstring document = WideOf(aDocumentName);
  wchar_t dataType[] = L"RAW";
  DOC_INFO_1W info{document.data(), nullptr, dataType};
  if (StartDocPrinterW(printer.get(), 1, reinterpret_cast<BYTE*>(&info)) == 0) {
    aError = LastErrorText();
    return false;
  }
  const bool written = WritePage(printer.get(), aBytes, aError);
  // The document is ended also after a failed write, so that the job does not hang open.
  EndDocPrinter(printer.get());
  return written;
}

bool FindPrinter(const std::string& aName, std::string& aPrinter) {
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count) == 0) return false;
  const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  const std::wstring wanted = WideOf(aName);
  for (DWORD i = 0; i < count; ++i) {
    const wchar_t* name = printers[i].pPrinterName;
    if (name != nullptr &&
        CompareStringOrdinal(name, -1, wanted.c_str(), static_cast<int>(wanted.size()), TRUE) ==
            CSTR_EQUAL) {
      aPrinter = Utf8Of(name, wcslen(name));
      return true;
    }
  }
  return false;
}

tkPageGeometry PageGeometry(const std::string& aPrinter) {
  tkPageGeometry page;
  page.fDotsPerInch = kDefaultDotsPerInch;
  page.fPrintableWidth = kA4WidthDots;
  page.fPrintableHeight = kA4HeightDots;
  const PrinterDc dc = CreatePrinterDc(aPrinter);
  if (dc == nullptr) return page;
  const int dotsPerInch = GetDeviceCaps(dc.get(), LOGPIXELSX);
  const int width = GetDeviceCaps(dc.get(), HORZRES);
  const int height = GetDeviceCaps(dc.get(), VERTRES);
  if (dotsPerInch <= 0 || width <= 0 || height <= 0) return page;
  page.fDotsPerInch = dotsPerInch;
  page.fPrintableWidth = width;
  page.fPrintableHeight = height;
  page.fOffsetX = GetDeviceCaps(dc.get(), PHYSICALOFFSETX);
  page.fOffsetY = GetDeviceCaps(dc.get(), PHYSICALOFFSETY);
  return page;
}

bool PrintBitmap(const std::string& aPrinter, const std::string& aTitle, const GrayCanvas& aBitmap,
                 const tkPageGeometry& aPage, const tkBitmapPlacement& aPlacement,
                 std::string& aError) {
  const PrinterDc dc = CreatePrinterDc(aPrinter);
  if (dc == nullptr) {
    aError = LastErrorText();
    return false;
  }
  const std::wstring title = WideOf(aTitle);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = title.c_str();
  if (StartDocW(dc.get(), &info) <= 0) {
    aError = LastErrorText();
    return false;
  }
  if (!DrawPage(dc.get(), aBitmap, aPage, aPlacement, aError)) {
    AbortDoc(dc.get());
    return false;
  }
  if (EndDoc(dc.get()) <= 0) {
    aError = LastErrorText();
    return false;
  }
  return true;
}

}  // namespace nvrp::print_spooler
