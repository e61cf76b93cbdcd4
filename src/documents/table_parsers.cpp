// Reading of the tables a request may carry: the VAT table ("VATTable") and the department
// table ("DeptTable") with the economic activities its departments name.

#include <pugixml.hpp>

#include <string>
#include <utility>

#include "base/utf.hpp"
#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

namespace msg = documents_messages;

namespace {

using U = krptUtil;

bool IsElement(const pugi::xml_node& aNode) { return aNode.type() == pugi::node_element; }

// "service" in any letter case; every other text is a product.
tkDepartmentSalesType DecodeSalesType(const std::string& aText) {
  return AsciiLower(aText) == "service" ? tkDepartmentSalesType::st_Service
                                        : tkDepartmentSalesType::st_Product;
}

// Appends the activity a department names unless its code is empty or already listed;
// activities are numbered from 1 in order of first appearance.
void AddActivity(const pugi::xml_node& aDepartment, kEconomicActivityTable& aEATable) {
  std::string code = U::GetNodeValueAsString(aDepartment, "EACode");
  if (code.empty() || aEATable.Get(code) != nullptr) return;
  kEconomicActivity activity;
  activity.fIndex = static_cast<int32_t>(aEATable.size()) + 1;
  activity.fCode = std::move(code);
  activity.fDescription = U::GetNodeValueAsString(aDepartment, "EADescription");
  activity.fVentilazione = U::GetNodeValueAsString(aDepartment, "EAVATMode") == "1";
  aEATable.push_back(std::move(activity));
}

}  // namespace

void DeserializeVatTable(const pugi::xml_document& aXmlDocument, kVatTable& aVatTable) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "VATTable", msg::kVATTableNodeNotFound);
  for (const pugi::xml_node& element : node.children()) {
    if (!IsElement(element)) continue;
    kVat& vat = aVatTable.emplace_back();
    vat.fCode = U::GetNodeValueAsString(element, "Code");
    vat.fDescription = U::GetNodeValueAsString(element, "Description");
    vat.fRate = U::GetNodeValueAsCurrency(element, "Rate");
  }
}

void DeserializeEconomicActivityTable(const pugi::xml_document& aXmlDocument,
                                      kEconomicActivityTable& aEATable) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "DeptTable", msg::kDeptTableNodeNotFound);
  for (const pugi::xml_node& element : node.children()) {
    if (IsElement(element)) AddActivity(element, aEATable);
  }
}

void DeserializeDeptTable(const pugi::xml_document& aXmlDocument, kDeptTable& aDeptTable) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "DeptTable", msg::kDeptTableNodeNotFound);
  for (const pugi::xml_node& element : node.children()) {
    if (!IsElement(element)) continue;
    kDepartment& department = aDeptTable.emplace_back();
    department.fCode = U::GetNodeValueAsString(element, "Code");
    department.fDescription = U::GetNodeValueAsString(element, "Description");
    department.fVATCode = U::GetNodeValueAsString(element, "VATCode");
    department.fSalesType = DecodeSalesType(U::GetNodeValueAsString(element, "SalesType"));
    department.fEACode = U::GetNodeValueAsString(element, "EACode");
  }
}

}  // namespace nvrp
