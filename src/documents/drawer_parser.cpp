// Reading of the drawer number ("Drawer" under the request's root).

#include <pugixml.hpp>

#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

void DeserializeDrawer(const pugi::xml_document& aXmlDocument, kDrawer& aDrawer) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "Drawer", documents_messages::kDrawerNodeNotFound);
  aDrawer.fNumber = krptUtil::GetNodeValueAsInteger(node, "Number");
}

}  // namespace nvrp
