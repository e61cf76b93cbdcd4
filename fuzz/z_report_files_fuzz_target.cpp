// Feeds arbitrary bytes to the readers of a Z report's files: as the details text ("_S.") and,
// when it parses as XML the way the device channel parses it, as the fiscal-memory record
// ("_M."). nvrp::Exception is the expected answer to bad input; anything else aborts the run.

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/nv_exception.hpp"
#include "ibox/ibox_z_report_files.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)nvrp::ReadZReportDetailsText(text);
  } catch (const nvrp::Exception&) {
  }
  pugi::xml_document document;
  if (document.load_buffer(data, size)) {
    try {
      (void)nvrp::ReadZReportRecord(document.document_element());
    } catch (const nvrp::Exception&) {
    }
  }
  return 0;
}
