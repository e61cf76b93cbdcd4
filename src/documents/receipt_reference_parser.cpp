// Reading of a reference to an earlier receipt ("ReceiptReference" under the request's root).

#include <pugixml.hpp>

#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

void DeserializeReceiptReference(const pugi::xml_document& aXmlDocument,
                                 kReceiptReference& aReceiptReference) {
  using U = krptUtil;
  const pugi::xml_node node = RequireDocumentElement(
      aXmlDocument, "ReceiptReference", documents_messages::kReceiptReferenceNodeNotFound);
  aReceiptReference.fReceiptType =
      U::DecodeReceiptType(U::GetNodeValueAsString(node, "ReceiptType"));
  aReceiptReference.fEJNumber = U::GetNodeValueAsString(node, "EJNumber");
  aReceiptReference.fEJClosingNumber = U::GetNodeValueAsString(node, "EJClosingNumber");
  aReceiptReference.fReceiptDateTime = GetOptionalDateTime(node, "ReceiptDateTime");
  aReceiptReference.fReceiptNumber = U::GetNodeValueAsString(node, "ReceiptNumber");
  aReceiptReference.fDeviceSerialNumber = U::GetNodeValueAsString(node, "DeviceSerialNumber");
}

}  // namespace nvrp
