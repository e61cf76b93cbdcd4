// Feeds arbitrary bytes as a request to the request handler and to the value readers a request
// goes through. nvrp::Exception is the expected answer to bad input; any other exception
// escapes and aborts the run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt_printer_handler.hpp"

namespace {

using nvrp::tkReceiptHandlerDocumentType;
using nvrp::tkReceiptHandlerDocumentTypes;
using DT = tkReceiptHandlerDocumentType;

constexpr std::array kDocumentTypes = {
    DT::dt_Receipt,          DT::dt_NFReceipt,      DT::dt_Display,   DT::dt_Drawer,
    DT::dt_EJReport,         DT::dt_VatTable,       DT::dt_DeptTable, DT::dt_Pay,
    DT::dt_ReceiptReference, DT::dt_EJFilesRequest, DT::dt_XReport,   DT::dt_ZReport,
};

tkReceiptHandlerDocumentTypes AllDocumentTypes() {
  tkReceiptHandlerDocumentTypes types;
  for (const DT type : kDocumentTypes) types.insert(type);
  return types;
}

void DeserializeRequest(std::string_view aText, tkReceiptHandlerDocumentTypes aTypes) {
  nvrp::kReceiptPrinterHandler handler;
  try {
    handler.Deserialize(aText, aTypes);
  } catch (const nvrp::Exception&) {
  }
}

void ReadValues(std::string_view aText) {
  try {
    (void)nvrp::krptUtil::NormalizeText(aText);
  } catch (const nvrp::Exception&) {
  }
  try {
    (void)nvrp::IsoTextToDateTime(aText);
  } catch (const nvrp::Exception&) {
  }
  nvrp::Currency amount;
  (void)nvrp::TryParseCurrency(aText, amount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  DeserializeRequest(text, AllDocumentTypes());
  // With every type the first missing document ends the parse, so each parser also gets the
  // request on its own.
  for (const DT type : kDocumentTypes)
    DeserializeRequest(text, tkReceiptHandlerDocumentTypes{type});
  ReadValues(text);
  return 0;
}
