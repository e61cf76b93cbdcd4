// Reading of the X and Z report requests ("XReport", "ZReport"). Both are optional: without
// the element the report is requested with empty store and till codes.

#include <pugixml.hpp>

#include "documents/document_parsers.hpp"
#include "documents/krpt_util.hpp"

namespace nvrp {

namespace {

template <typename TReport>
void ReadReportRequest(const pugi::xml_document& aXmlDocument, const char* aName,
                       TReport& aReport) {
  const pugi::xml_node node = aXmlDocument.document_element().child(aName);
  if (!node) return;
  aReport.fStoreCode = krptUtil::GetNodeValueAsString(node, "StoreCode");
  aReport.fTillCode = krptUtil::GetNodeValueAsString(node, "TillCode");
}

}  // namespace

void DeserializeXReport(const pugi::xml_document& aXmlDocument, kXReport& aXReport) {
  ReadReportRequest(aXmlDocument, "XReport", aXReport);
}

void DeserializeZReport(const pugi::xml_document& aXmlDocument, kZReport& aZReport) {
  ReadReportRequest(aXmlDocument, "ZReport", aZReport);
}

}  // namespace nvrp
