// Feeds arbitrary bytes to the iBox's pure text codecs: the device clock reader, the integer
// reader of status fields and error codes, the encoders of texts sent to the device, and the
// readers of a status answer (status, drawer, clock), which need no device.
// nvrp::Exception is the expected answer to bad input; anything else aborts the run.

#include <cstddef>
#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/nv_exception.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_enums.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"

namespace {

using nvrp::kFiscalPrinter_RORERER;

void ReadClock(std::string_view aText) {
  try {
    (void)kFiscalPrinter_RORERER::ParseDeviceDateTime(aText);
  } catch (const nvrp::Exception&) {
  }
}

// A status field read as an integer, then looked up as an error code; the first four bytes
// also go in as a raw code so that every 32-bit value is reached.
void ReadErrorCode(std::string_view aText) {
  try {
    (void)kFiscalPrinter_RORERER::GetErrorText(nvrp::krptUtil::StrToInt(aText));
  } catch (const nvrp::Exception&) {
  }
  uint32_t rawCode = 0;
  for (const char c : aText.substr(0, 4)) rawCode = (rawCode << 8) | static_cast<unsigned char>(c);
  (void)kFiscalPrinter_RORERER::GetErrorText(static_cast<int32_t>(rawCode));
}

void EncodeTexts(std::string_view aText) {
  const auto selector = aText.empty() ? 0U : static_cast<unsigned char>(aText.front());
  const auto alignment = static_cast<nvrp::tkReceiptMessageLineAlignment>(selector % 4U);
  const auto size = static_cast<int32_t>(selector / 4U % 4U);
  (void)kFiscalPrinter_RORERER::FormatDescription(aText, alignment, size);
  (void)kFiscalPrinter_RORERER::EncodeParameterText(aText);
  (void)kFiscalPrinter_RORERER::EncodeBarcodeValue(aText);
}

// The bytes as a status answer; one that is not XML never reaches the readers.
void ReadStatusAnswer(std::string_view aText) {
  pugi::xml_document answer;
  if (!answer.load_buffer(aText.data(), aText.size())) return;
  std::string missing;
  try {
    kFiscalPrinter_RORERER::tkIBoxStatusValues values;
    (void)kFiscalPrinter_RORERER::ReadStatusValues(answer, values, missing);
  } catch (const nvrp::Exception&) {
  }
  bool isOpen = false;
  (void)kFiscalPrinter_RORERER::ReadDrawerValue(answer, isOpen, missing);
  try {
    nvrp::DateTime clock = 0;
    (void)kFiscalPrinter_RORERER::ReadClockValue(answer, clock, missing);
  } catch (const nvrp::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadClock(text);
  ReadErrorCode(text);
  EncodeTexts(text);
  ReadStatusAnswer(text);
  return 0;
}
