#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace nvrp::fiscalctl {

// A request's XML text opened for small edits before it is sent. Whitespace, comments and
// the declaration are kept as they were.
class kRequestEditor {
 public:
  // Throws nvrp::Exception with the parser's description when the text is not well-formed.
  explicit kRequestEditor(const std::string& aXml);

  // Replaces the text of the first element named aName (document order); false when the
  // request has no such element.
  bool SetFirstElementText(std::string_view aName, std::string_view aValue);

  // Sets the first element aName, or adds one to the root element when there is none.
  void SetOrAddElement(std::string_view aName, std::string_view aValue);

  // Sets the first Handle element, or adds one to the root element when there is none.
  void SetHandle(std::string_view aHandle);

  std::string Text() const;

 private:
  pugi::xml_document fDocument;
};

}  // namespace nvrp::fiscalctl
