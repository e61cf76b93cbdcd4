// Parsers not built yet: each refuses its document with a clear message. A parser that lands
// in its own file takes its function's place here.

#include <string>

#include "base/nv_exception.hpp"
#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"

namespace nvrp {

namespace msg = documents_messages;

void DeserializeNFReceipt(const pugi::xml_document&, kNFReceipt&) {
  throw Exception(std::string(msg::kNFReceiptParsingNotAvailable));
}

void DeserializeCustomerDisplay(const pugi::xml_document&, kCustomerDisplay&) {
  throw Exception(std::string(msg::kDisplayParsingNotAvailable));
}

void DeserializeDrawer(const pugi::xml_document&, kDrawer&) {
  throw Exception(std::string(msg::kDrawerParsingNotAvailable));
}

void DeserializeEJReport(const pugi::xml_document&, kEJReport&) {
  throw Exception(std::string(msg::kEJReportParsingNotAvailable));
}

void DeserializeVatTable(const pugi::xml_document&, kVatTable&) {
  throw Exception(std::string(msg::kVATTableParsingNotAvailable));
}

void DeserializeXReport(const pugi::xml_document&, kXReport&) {
  throw Exception(std::string(msg::kXReportParsingNotAvailable));
}

void DeserializeZReport(const pugi::xml_document&, kZReport&) {
  throw Exception(std::string(msg::kZReportParsingNotAvailable));
}

void DeserializeEconomicActivityTable(const pugi::xml_document&, kEconomicActivityTable&) {
  throw Exception(std::string(msg::kDeptTableParsingNotAvailable));
}

void DeserializeDeptTable(const pugi::xml_document&, kDeptTable&) {
  throw Exception(std::string(msg::kDeptTableParsingNotAvailable));
}

void DeserializePaymentReceipt(const pugi::xml_document&, kPaymentReceipt&) {
  throw Exception(std::string(msg::kPaymentParsingNotAvailable));
}

void DeserializeReceiptReference(const pugi::xml_document&, kReceiptReference&) {
  throw Exception(std::string(msg::kReceiptReferenceParsingNotAvailable));
}

void DeserializeEJFilesRequest(const pugi::xml_document&, kEJFilesRequest&) {
  throw Exception(std::string(msg::kEJRequestParsingNotAvailable));
}

}  // namespace nvrp
