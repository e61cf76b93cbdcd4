#pragma once

#include <string>
#include <string_view>

namespace nvrp {

// Builds a result fragment: elements "<Name>value</Name>" each followed by a separator (CR LF
// unless told otherwise), closed by Error, ErrorText and LogFileName with nothing after the last.
class kFragmentWriter {
 public:
  static constexpr std::string_view kCrLf = "\r\n";
  static constexpr std::string_view kNoSeparator = "";

  // The value is written as given: escaping is the caller's choice per field.
  void Element(std::string_view aName, std::string_view aValue, std::string_view aAfter = kCrLf);
  // A text written as given (an opening or closing tag on its own line).
  void Text(std::string_view aText, std::string_view aAfter = kCrLf);
  // Writes the closing three elements and hands over the fragment.
  std::string Close(bool aError, std::string_view aErrorText, std::string_view aLogFileName);

  // "<Name>value</Name>" alone.
  static std::string ElementText(std::string_view aName, std::string_view aValue);

 private:
  std::string fText;
};

}  // namespace nvrp
