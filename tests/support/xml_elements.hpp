#pragma once

// Request elements written and result fragments read the way the export tests do: plain text,
// no parser, so that a test sees exactly what the library wrote.

#include <string>

namespace nvrp::testing {

// "<aName>aValue</aName>"; the value is taken as it is (escape it first where needed).
inline std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + aValue + "</" + aName + ">";
}

// The text of the first element aName of a result fragment; empty when it has none.
inline std::string FragmentElement(const std::string& aFragment, const std::string& aName) {
  const std::string open = "<" + aName + ">";
  const size_t start = aFragment.find(open);
  if (start == std::string::npos) return {};
  const size_t from = start + open.size();
  return aFragment.substr(from, aFragment.find("</" + aName + ">", from) - from);
}

}  // namespace nvrp::testing
