#pragma once

#include <pugixml.hpp>

#include <string_view>

#include "base/date_time.hpp"

namespace nvrp {

// The first direct child element of exactly that name; throws nvrp::Exception with
// aMissingMessage when there is none.
pugi::xml_node RequireChild(const pugi::xml_node& aParent, const char* aName,
                            std::string_view aMissingMessage);

// The element of a request document: a direct child of the request's root.
pugi::xml_node RequireDocumentElement(const pugi::xml_document& aXmlDocument, const char* aName,
                                      std::string_view aMissingMessage);

// A date-time element that may be left out: absent or empty (no text at all) gives 0, any
// other content is read as krptUtil::GetNodeValueAsDateTime reads it.
DateTime GetOptionalDateTime(const pugi::xml_node& aParent, const char* aName);

}  // namespace nvrp
