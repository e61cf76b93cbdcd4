#include "command/fragment_writer.hpp"

#include <utility>

#include "command/result_text.hpp"

namespace nvrp {

std::string kFragmentWriter::ElementText(std::string_view aName, std::string_view aValue) {
  std::string text;
  text.reserve(aName.size() * 2 + aValue.size() + 5);
  text += '<';
  text += aName;
  text += '>';
  text += aValue;
  text += "</";
  text += aName;
  text += '>';
  return text;
}

void kFragmentWriter::Element(std::string_view aName, std::string_view aValue,
                              std::string_view aAfter) {
  fText += ElementText(aName, aValue);
  fText += aAfter;
}

void kFragmentWriter::Text(std::string_view aText, std::string_view aAfter) {
  fText += aText;
  fText += aAfter;
}

std::string kFragmentWriter::Close(bool aError, std::string_view aErrorText,
                                   std::string_view aLogFileName) {
  Element("Error", BooleanText(aError));
  Element("ErrorText", EscapeXml(aErrorText));
  Element("LogFileName", EscapeXml(aLogFileName), kNoSeparator);
  return std::exchange(fText, std::string());
}

}  // namespace nvrp
