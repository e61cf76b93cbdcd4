#pragma once

#include <pugixml.hpp>

#include <string_view>

namespace nvrp {

// Parses a request text (UTF-8). Whitespace that is the only content of an element is kept,
// so values are delivered untrimmed; CDATA sections count as text. Throws nvrp::Exception
// "Invalid XML: <description> at offset <n>" when the text is not well-formed (the empty
// text included).
pugi::xml_document ParseRequestXml(std::string_view aXml);

}  // namespace nvrp
