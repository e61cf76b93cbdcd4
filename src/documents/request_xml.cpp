#include "documents/request_xml.hpp"

#include <string>

#include "base/nv_exception.hpp"
#include "documents/documents_messages.hpp"

namespace nvrp {

namespace msg = documents_messages;

namespace {

[[noreturn]] void FailXml(std::string_view description, ptrdiff_t offset) {
  throw Exception(std::string(msg::kInvalidXml) + std::string(description) +
                  std::string(msg::kInvalidXmlOffset) + std::to_string(offset));
}

bool IsXmlWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool HasContent(std::string_view text) {
  for (const char c : text) {
    if (!IsXmlWhitespace(c)) return true;
  }
  return false;
}

// Parsed as a fragment so that nothing outside the root is silently dropped: a request is one
// element with nothing but markup (declaration, comments, whitespace) around it.
void RequireSingleRoot(const pugi::xml_document& document) {
  int elements = 0;
  for (const pugi::xml_node& node : document.children()) {
    const bool text = node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
    if (text && HasContent(node.value())) FailXml(msg::kTextOutsideRoot, node.offset_debug());
    if (node.type() == pugi::node_element && ++elements > 1) {
      FailXml(msg::kSecondRootElement, node.offset_debug());
    }
  }
  if (elements == 0) {
    pugi::xml_parse_result missing;
    missing.status = pugi::status_no_document_element;
    FailXml(missing.description(), 0);
  }
}

}  // namespace

pugi::xml_document ParseRequestXml(std::string_view aXml) {
  constexpr unsigned kOptions =
      pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_fragment;
  pugi::xml_document document;
  const pugi::xml_parse_result result =
      document.load_buffer(aXml.data(), aXml.size(), kOptions, pugi::encoding_utf8);
  if (!result) FailXml(result.description(), result.offset);
  RequireSingleRoot(document);
  return document;
}

}  // namespace nvrp
