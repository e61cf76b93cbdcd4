// Reading of a non-fiscal receipt ("NFReceipt" under the request's root) into kNFReceipt.

#include <pugixml.hpp>

#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/message_line_reader.hpp"
#include "documents/receipt_messages.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

namespace {

using U = krptUtil;

void ReadLayout(const pugi::xml_node& aNode, kNFReceipt& aNFReceipt) {
  aNFReceipt.fLayout = U::GetNodeValueAsString(aNode, "Layout");
  aNFReceipt.fDefaultLayout = aNFReceipt.fLayout.empty();
  if (aNFReceipt.fDefaultLayout) aNFReceipt.fLayout = receipt_messages::kDefaultLayout;
}

void ReadIdentity(const pugi::xml_node& aNode, kNFReceipt& aNFReceipt) {
  aNFReceipt.fStoreCode = U::GetNodeValueAsString(aNode, "StoreCode");
  aNFReceipt.fTillCode = U::GetNodeValueAsString(aNode, "TillCode");
  aNFReceipt.fReceiptNumber = U::GetNodeValueAsString(aNode, "Number");
  aNFReceipt.fReceiptDateTime = U::GetNodeValueAsDateTime(aNode, "DateTime");
  aNFReceipt.fCountryCode = U::GetNodeValueAsString(aNode, "CountryCode");
  aNFReceipt.fCompanyCode = U::GetNodeValueAsString(aNode, "CompanyCode");
  aNFReceipt.fCompanyTaxCode = U::GetNodeValueAsString(aNode, "CompanyTaxCode");
  aNFReceipt.fOperatorCode = U::GetNodeValueAsString(aNode, "OperatorCode");
}

// Lines of a non-fiscal receipt carry text effects and image sources, and no barcode HRI.
void ReadSection(const pugi::xml_node& aLines, kNFReceipt& aNFReceipt, tkReceiptSection aSection,
                 kReceiptMessageLines& aList) {
  tkMessageLineFormat format;
  format.fNFOwner = &aNFReceipt;
  format.fSection = aSection;
  format.fTextEffects = true;
  format.fImageValueAndSource = true;
  ReadMessageLines(aLines, format, aList);
}

}  // namespace

void DeserializeNFReceipt(const pugi::xml_document& aXmlDocument, kNFReceipt& aNFReceipt) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "NFReceipt", documents_messages::kNFReceiptNodeNotFound);
  ReadLayout(node, aNFReceipt);
  ReadIdentity(node, aNFReceipt);
  using S = tkReceiptSection;
  ReadSection(node.child("Header").child("Lines"), aNFReceipt, S::rs_lead, aNFReceipt.fHeaderLines);
  ReadSection(node.child("Lines"), aNFReceipt, S::rs_body, aNFReceipt.fLines);
  ReadSection(node.child("Footer").child("Lines"), aNFReceipt, S::rs_trail,
              aNFReceipt.fFooterLines);
}

}  // namespace nvrp
