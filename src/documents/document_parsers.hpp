#pragma once

#include <pugixml.hpp>

#include "documents/request_documents.hpp"
#include "documents/table_items.hpp"

namespace nvrp {

// One parser per request document besides the receipt (kReceipt::Deserialize). Each takes the
// request document returned by the envelope parser, finds its element under the root and
// fills (appends to) the given object; errors are nvrp::Exception.
void DeserializeNFReceipt(const pugi::xml_document& aXmlDocument, kNFReceipt& aNFReceipt);
void DeserializeCustomerDisplay(const pugi::xml_document& aXmlDocument,
                                kCustomerDisplay& aCustomerDisplay);
void DeserializeDrawer(const pugi::xml_document& aXmlDocument, kDrawer& aDrawer);
void DeserializeEJReport(const pugi::xml_document& aXmlDocument, kEJReport& aEJReport);
void DeserializeVatTable(const pugi::xml_document& aXmlDocument, kVatTable& aVatTable);
void DeserializeXReport(const pugi::xml_document& aXmlDocument, kXReport& aXReport);
void DeserializeZReport(const pugi::xml_document& aXmlDocument, kZReport& aZReport);
// Both read the "DeptTable" element.
void DeserializeEconomicActivityTable(const pugi::xml_document& aXmlDocument,
                                      kEconomicActivityTable& aEATable);
void DeserializeDeptTable(const pugi::xml_document& aXmlDocument, kDeptTable& aDeptTable);
void DeserializePaymentReceipt(const pugi::xml_document& aXmlDocument,
                               kPaymentReceipt& aPaymentReceipt);
void DeserializeReceiptReference(const pugi::xml_document& aXmlDocument,
                                 kReceiptReference& aReceiptReference);
void DeserializeEJFilesRequest(const pugi::xml_document& aXmlDocument,
                               kEJFilesRequest& aEJFilesRequest);

}  // namespace nvrp
