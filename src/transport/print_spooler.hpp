#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

class GrayCanvas;

// What a printer can print on, in its own dots.
struct tkPageGeometry {
  int32_t fPrintableWidth = 0;
  int32_t fPrintableHeight = 0;
  int32_t fOffsetX = 0;  // from the paper's left edge to the printable area
  int32_t fOffsetY = 0;  // from the paper's top edge to the printable area
  int32_t fDotsPerInch = 300;
};

// Where a bitmap goes on the page, in the printer's dots.
struct tkBitmapPlacement {
  int32_t fX = 0;
  int32_t fY = 0;
  int32_t fWidth = 0;
  int32_t fHeight = 0;
};

// The system's print spooler (print_spooler_<os>.cpp): CUPS on Linux, the Windows spooler
// there.
namespace print_spooler {

// Sends the bytes unchanged as one document; false with the system's message.
bool PrintRaw(const std::string& aPrinter, const std::string& aDocumentName,
              std::string_view aBytes, std::string& aError);
// The printer's own name for aName, compared without regard to letter case; false when the
// system has no such printer.
bool FindPrinter(const std::string& aName, std::string& aPrinter);
tkPageGeometry PageGeometry(const std::string& aPrinter);
// Prints the bitmap as one page at the placement; false with the system's message.
bool PrintBitmap(const std::string& aPrinter, const std::string& aTitle, const GrayCanvas& aBitmap,
                 const tkPageGeometry& aPage, const tkBitmapPlacement& aPlacement,
                 std::string& aError);

}  // namespace print_spooler

}  // namespace nvrp
