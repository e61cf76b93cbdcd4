#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transport/io_handler.hpp"
#include "transport/print_spooler.hpp"

namespace nvrp {

class GrayCanvas;

// I/O handler that prints through the system's print spooler: raw text or bytes as they are,
// or (Normal) a bitmap scaled and centred on the page.
class kIOHandler_Spool : public kIOHandler {
 public:
  // The connection's printer name; output type Normal.
  kIOHandler_Spool(const kConnection* aConnection, std::string_view aDirectory,
                   std::string_view aFileName);

  bool Connected() const override { return true; }
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  // Raw: the text in code page CodePage() (the system's ANSI code page when 0). Normal: the
  // bitmap; the text is not used. Without a bitmap nothing is printed and false is answered.
  // A printer missing for bitmap output throws nvrp::Exception.
  bool Write(const std::string& aMessage) override;
  // The bytes unchanged as one raw document.
  bool WriteBytes(const std::string& aBytes);
  std::string ReadUpTo(const std::vector<uint8_t>&) override { return ""; }
  std::string ReadChars(int32_t) override { return ""; }
  std::string ReadAll() override;
  std::string DecodeError(int32_t) override { return ""; }
  bool InputBufferContainsData() override;
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override;

  const std::string& PrinterName() const { return fPrinterName; }
  tkSpoolOutputType OutputType() const { return fOutputType; }
  void SetOutputType(tkSpoolOutputType aValue) { fOutputType = aValue; }
  const GrayCanvas* Bitmap() const { return fBitmap; }
  void SetBitmap(const GrayCanvas* aValue) { fBitmap = aValue; }

  // Placement of a bitmap taken as 300 dots per inch: scaled to the printer's resolution,
  // shrunk to fit the printable area, centred in it and moved by the physical offsets.
  static tkBitmapPlacement PlaceBitmap(int32_t aBitmapWidth, int32_t aBitmapHeight,
                                       const tkPageGeometry& aPage);

 private:
  bool WriteRaw(const std::string& aBytes);
  bool WriteNormal();

  std::string fPrinterName;
  tkSpoolOutputType fOutputType = tkSpoolOutputType::Normal;
  const GrayCanvas* fBitmap = nullptr;
};

}  // namespace nvrp
