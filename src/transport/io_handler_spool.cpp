#include "transport/io_handler_spool.hpp"

#include "base/nv_exception.hpp"
#include "base/text_raster.hpp"
#include "transport/code_page.hpp"
#include "transport/io_handler_device_messages.hpp"
#include "transport/io_handler_stream_messages.hpp"

namespace nvrp {

namespace msg = io_handler_device_messages;

namespace {

constexpr double kBitmapDotsPerInch = 300.0;

}  // namespace

kIOHandler_Spool::kIOHandler_Spool(const kConnection* aConnection, std::string_view aDirectory,
                                   std::string_view aFileName)
    : kIOHandler(aConnection, aDirectory, aFileName) {
  if (aConnection != nullptr) fPrinterName = aConnection->PrinterName();
}

tkBitmapPlacement kIOHandler_Spool::PlaceBitmap(int32_t aBitmapWidth, int32_t aBitmapHeight,
                                                const tkPageGeometry& aPage) {
  double scale =
      aPage.fDotsPerInch == kBitmapDotsPerInch ? 1.0 : aPage.fDotsPerInch / kBitmapDotsPerInch;
  if (aBitmapWidth > 0 && aBitmapWidth * scale > aPage.fPrintableWidth) {
    scale = static_cast<double>(aPage.fPrintableWidth) / aBitmapWidth;
  }
  if (aBitmapHeight > 0 && aBitmapHeight * scale > aPage.fPrintableHeight) {
    scale = static_cast<double>(aPage.fPrintableHeight) / aBitmapHeight;
  }
  tkBitmapPlacement placement;
  placement.fWidth = static_cast<int32_t>(aBitmapWidth * scale);
  placement.fHeight = static_cast<int32_t>(aBitmapHeight * scale);
  placement.fX = (aPage.fPrintableWidth - placement.fWidth) / 2 + aPage.fOffsetX;
  placement.fY = (aPage.fPrintableHeight - placement.fHeight) / 2 + aPage.fOffsetY;
  return placement;
}

// A failed print is recorded as an error, not only as its text: the caller must learn that
// nothing was printed.
bool kIOHandler_Spool::WriteRaw(const std::string& aBytes) {
  std::string error;
  if (print_spooler::PrintRaw(fPrinterName, std::string(msg::kRawDocumentName), aBytes, error)) {
    return true;
  }
  SetCustomError(0, error);
  return false;
}

bool kIOHandler_Spool::WriteNormal() {
  std::string printer;
  if (!print_spooler::FindPrinter(fPrinterName, printer)) {
    throw Exception(msg::PrinterNotFound(fPrinterName));
  }
  if (fBitmap == nullptr) {
    SetCustomError(0, std::string(msg::kNoBitmap));
    return false;
  }
  const tkPageGeometry page = print_spooler::PageGeometry(printer);
  const tkBitmapPlacement placement = PlaceBitmap(fBitmap->Width(), fBitmap->Height(), page);
  std::string error;
  if (print_spooler::PrintBitmap(printer, std::string(msg::kBitmapJobTitle), *fBitmap, page,
                                 placement, error)) {
    return true;
  }
  SetCustomError(0, error);
  return false;
}

bool kIOHandler_Spool::Write(const std::string& aMessage) {
  if (fOutputType == tkSpoolOutputType::Normal) return WriteNormal();
  const int32_t codePage = CodePage() > 0 ? CodePage() : SystemAnsiCodePage();
  std::string bytes;
  if (!EncodeInCodePage(aMessage, codePage, bytes)) {
    SetCustomError(0, io_handler_stream_messages::UnknownCodePage(codePage));
    return false;
  }
  return WriteRaw(bytes);
}

bool kIOHandler_Spool::WriteBytes(const std::string& aBytes) { return WriteRaw(aBytes); }

std::string kIOHandler_Spool::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }

bool kIOHandler_Spool::InputBufferContainsData() {
  throw Exception(std::string(msg::kInputBufferUnsupported));
}

std::string kIOHandler_Spool::ClassName() const { return std::string(msg::kSpoolClassName); }

}  // namespace nvrp
