#include "documents/request_element.hpp"

#include <string>

#include "base/nv_exception.hpp"
#include "documents/krpt_util.hpp"

namespace nvrp {

pugi::xml_node RequireChild(const pugi::xml_node& aParent, const char* aName,
                            std::string_view aMissingMessage) {
  const pugi::xml_node child = aParent.child(aName);
  if (!child) throw Exception(std::string(aMissingMessage));
  return child;
}

pugi::xml_node RequireDocumentElement(const pugi::xml_document& aXmlDocument, const char* aName,
                                      std::string_view aMissingMessage) {
  return RequireChild(aXmlDocument.document_element(), aName, aMissingMessage);
}

namespace {

// No child element and no text (comments do not count).
bool HasNoContent(const pugi::xml_node& aElement) {
  for (const pugi::xml_node& child : aElement.children()) {
    const pugi::xml_node_type type = child.type();
    if (type == pugi::node_element) return false;
    const bool isText = type == pugi::node_pcdata || type == pugi::node_cdata;
    if (isText && child.value()[0] != '\0') return false;
  }
  return true;
}

}  // namespace

DateTime GetOptionalDateTime(const pugi::xml_node& aParent, const char* aName) {
  const pugi::xml_node child = aParent.child(aName);
  if (!child || HasNoContent(child)) return 0;
  return krptUtil::GetNodeValueAsDateTime(aParent, aName);
}

}  // namespace nvrp
