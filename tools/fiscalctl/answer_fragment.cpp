#include "answer_fragment.hpp"

#include "fiscalctl_messages.hpp"

namespace nvrp::fiscalctl {

namespace {

std::string StartTag(std::string_view aName) { return "<" + std::string(aName) + ">"; }
std::string EndTag(std::string_view aName) { return "</" + std::string(aName) + ">"; }

std::string WithPlainLineEnds(std::string_view aText) {
  std::string text;
  text.reserve(aText.size());
  for (size_t i = 0; i < aText.size(); ++i) {
    if (aText[i] == '\r' && i + 1 < aText.size() && aText[i + 1] == '\n') continue;
    text += aText[i];
  }
  return text;
}

std::string ShortenImage(std::string aText) {
  const std::string start = StartTag(kImageElement);
  const size_t begin = aText.find(start);
  if (begin == std::string::npos) return aText;
  const size_t valueBegin = begin + start.size();
  const size_t valueEnd = aText.find(EndTag(kImageElement), valueBegin);
  if (valueEnd == std::string::npos || valueEnd - valueBegin <= kShownImageCharacters) {
    return aText;
  }
  const std::string note = std::string(kShortenedImageStart) +
                           std::to_string(valueEnd - valueBegin) + std::string(kShortenedImageEnd);
  return aText.replace(valueBegin + kShownImageCharacters,
                       valueEnd - valueBegin - kShownImageCharacters, note);
}

}  // namespace

std::optional<std::string> FragmentElement(std::string_view aFragment, std::string_view aName) {
  const std::string start = StartTag(aName);
  const size_t begin = aFragment.find(start);
  if (begin == std::string_view::npos) return std::nullopt;
  const size_t valueBegin = begin + start.size();
  const size_t end = aFragment.find(EndTag(aName), valueBegin);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(aFragment.substr(valueBegin, end - valueBegin));
}

std::string DisplayFragment(std::string_view aFragment, bool aFullImage) {
  std::string text = WithPlainLineEnds(aFragment);
  return aFullImage ? text : ShortenImage(std::move(text));
}

}  // namespace nvrp::fiscalctl
