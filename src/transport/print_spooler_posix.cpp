#include <cups/cups.h>
#include <strings.h>

#include <cstdio>
#include <string>

#include "base/text_raster.hpp"
#include "transport/print_spooler.hpp"

namespace nvrp::print_spooler {

namespace {

constexpr double kHundredthsMmPerInch = 2540.0;
constexpr double kPointsPerInch = 72.0;
constexpr int kDefaultDotsPerInch = 300;
// A4 when the printer names no media.
constexpr int kA4Width = 21000;
constexpr int kA4Length = 29700;

int32_t Dots(int aHundredthsMm, int aDotsPerInch) {
  return static_cast<int32_t>(aHundredthsMm * aDotsPerInch / kHundredthsMmPerInch);
}

std::string LastError() {
  const char* text = cupsLastErrorString();
  return text != nullptr ? text : "";
}

// One document of the given format as a new job; false with CUPS's message.
bool Submit(const std::string& aPrinter, const std::string& aTitle, const char* aFormat,
            std::string_view aBytes, std::string& aError) {
  const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, aPrinter.c_str(), aTitle.c_str(), 0, nullptr);
  if (job == 0) {
    aError = LastError();
    return false;
  }
  bool written = cupsStartDocument(CUPS_HTTP_DEFAULT, aPrinter.c_str(), job, aTitle.c_str(),
                                   aFormat, 1) == HTTP_STATUS_CONTINUE;
  if (written) {
    written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, aBytes.data(), aBytes.size()) ==
              HTTP_STATUS_CONTINUE;
  }
  // The document is finished also after a failed write, so that the job does not hang open.
  const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, aPrinter.c_str()) == IPP_STATUS_OK;
  if (!written || !finished) {
    aError = LastError();
    if (written) cupsCancelJob2(CUPS_HTTP_DEFAULT, aPrinter.c_str(), job, 0);
    return false;
  }
  return true;
}

double Points(int32_t aDots, int32_t aDotsPerInch) { return aDots * kPointsPerInch / aDotsPerInch; }

// A PostScript page of the paper's size with the gray bitmap drawn at the placement.
std::string PostScriptPage(const GrayCanvas& aBitmap, const tkPageGeometry& aPage,
                           const tkBitmapPlacement& aPlacement) {
  const int32_t dpi = aPage.fDotsPerInch;
  const double pageWidth = Points(aPage.fPrintableWidth + 2 * aPage.fOffsetX, dpi);
  const double pageHeight = Points(aPage.fPrintableHeight + 2 * aPage.fOffsetY, dpi);
  const double bottom = pageHeight - Points(aPlacement.fY + aPlacement.fHeight, dpi);
  char header[512];
  std::snprintf(header, sizeof header,
                "%%!PS-Adobe-3.0\n%%%%BoundingBox: 0 0 %.0f %.0f\n%%%%Pages: 1\n%%%%EndComments\n"
                "%%%%Page: 1 1\ngsave\n%.3f %.3f translate\n%.3f %.3f scale\n/row %d string def\n"
                "%d %d 8 [%d 0 0 -%d 0 %d] {currentfile row readhexstring pop} image\n",
                pageWidth, pageHeight, Points(aPlacement.fX, dpi), bottom,
                Points(aPlacement.fWidth, dpi), Points(aPlacement.fHeight, dpi), aBitmap.Width(),
                aBitmap.Width(), aBitmap.Height(), aBitmap.Width(), aBitmap.Height(),
                aBitmap.Height());
  std::string page = header;
  static constexpr char kHex[] = "0123456789abcdef";
  const auto& pixels = aBitmap.Pixels();
  for (size_t i = 0; i < pixels.size(); ++i) {
    page += kHex[pixels[i] >> 4];
    page += kHex[pixels[i] & 0x0F];
    if (i % 40 == 39) page += '\n';
  }
  page += "\ngrestore\nshowpage\n%%EOF\n";
  return page;
}

}  // namespace

bool PrintRaw(const std::string& aPrinter, const std::string& aDocumentName,
              std::string_view aBytes, std::string& aError) {
  return Submit(aPrinter, aDocumentName, CUPS_FORMAT_RAW, aBytes, aError);
}

bool FindPrinter(const std::string& aName, std::string& aPrinter) {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  bool found = false;
  for (int i = 0; i < count && !found; ++i) {
    if (strcasecmp(dests[i].name, aName.c_str()) == 0) {
      aPrinter = dests[i].name;
      found = true;
    }
  }
  cupsFreeDests(count, dests);
  return found;
}

tkPageGeometry PageGeometry(const std::string& aPrinter) {
  cups_size_t media{};
  media.width = kA4Width;
  media.length = kA4Length;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, aPrinter.c_str(), nullptr);
  if (dest != nullptr) {
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    cups_size_t found{};
    if (info != nullptr && cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &found) &&
        found.width > 0 && found.length > 0) {
      media = found;
    }
    cupsFreeDestInfo(info);
    cupsFreeDests(1, dest);
  }
  tkPageGeometry page;
  page.fDotsPerInch = kDefaultDotsPerInch;
  page.fPrintableWidth = Dots(media.width - media.left - media.right, page.fDotsPerInch);
  page.fPrintableHeight = Dots(media.length - media.top - media.bottom, page.fDotsPerInch);
  page.fOffsetX = Dots(media.left, page.fDotsPerInch);
  page.fOffsetY = Dots(media.top, page.fDotsPerInch);
  return page;
}

bool PrintBitmap(const std::string& aPrinter, const std::string& aTitle, const GrayCanvas& aBitmap,
                 const tkPageGeometry& aPage, const tkBitmapPlacement& aPlacement,
                 std::string& aError) {
  return Submit(aPrinter, aTitle, CUPS_FORMAT_POSTSCRIPT,
                PostScriptPage(aBitmap, aPage, aPlacement), aError);
}

}  // namespace nvrp::print_spooler
