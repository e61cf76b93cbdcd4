#include "request_editor.hpp"

#include <sstream>

#include "base/nv_exception.hpp"
#include "fiscalctl_messages.hpp"

namespace nvrp::fiscalctl {

namespace {

// Depth-first, so the first match is the first in document order.
pugi::xml_node FindFirstElement(const pugi::xml_node& aNode, std::string_view aName) {
  return aNode.find_node([aName](const pugi::xml_node& aCandidate) {
    return aCandidate.type() == pugi::node_element && aName == aCandidate.name();
  });
}

}  // namespace

kRequestEditor::kRequestEditor(const std::string& aXml) {
  const pugi::xml_parse_result parsed =
      fDocument.load_buffer(aXml.data(), aXml.size(), pugi::parse_full, pugi::encoding_utf8);
  if (!parsed) {
    throw Exception(std::string(parsed.description()) + " at offset " +
                    std::to_string(parsed.offset));
  }
}

bool kRequestEditor::SetFirstElementText(std::string_view aName, std::string_view aValue) {
  pugi::xml_node element = FindFirstElement(fDocument, aName);
  if (!element) return false;
  element.text().set(std::string(aValue).c_str());
  return true;
}

void kRequestEditor::SetOrAddElement(std::string_view aName, std::string_view aValue) {
  if (SetFirstElementText(aName, aValue)) return;
  pugi::xml_node root = fDocument.document_element();
  if (!root) return;
  root.append_child(std::string(aName).c_str()).text().set(std::string(aValue).c_str());
}

void kRequestEditor::SetHandle(std::string_view aHandle) {
  SetOrAddElement(kHandleElement, aHandle);
}

std::string kRequestEditor::Text() const {
  std::ostringstream text;
  fDocument.save(text, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return text.str();
}

}  // namespace nvrp::fiscalctl
