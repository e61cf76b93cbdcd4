// Reading of the customer-display text ("Display" under the request's root).

#include <pugixml.hpp>

#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/message_line_reader.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

void DeserializeCustomerDisplay(const pugi::xml_document& aXmlDocument,
                                kCustomerDisplay& aCustomerDisplay) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "Display", documents_messages::kDisplayNodeNotFound);
  aCustomerDisplay.fClear = krptUtil::GetNodeValueAsBoolean(node, "Clear", false);
  // Display lines are plain texts without owner: value and alignment only.
  tkMessageLineFormat format;
  format.fTextOnly = true;
  format.fTextSize = false;
  ReadMessageLines(node.child("Lines"), format, aCustomerDisplay.fLines);
}

}  // namespace nvrp
