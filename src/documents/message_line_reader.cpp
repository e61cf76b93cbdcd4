#include "documents/message_line_reader.hpp"

#include <memory>
#include <string_view>
#include <utility>

#include "documents/krpt_util.hpp"

namespace nvrp {

namespace {

using U = krptUtil;

bool IsNamed(const pugi::xml_node& aNode, std::string_view aName) { return aNode.name() == aName; }

template <typename TLine>
TLine& AddLine(const tkMessageLineFormat& aFormat, kReceiptMessageLines& aLines) {
  auto line = std::make_unique<TLine>();
  line->fOwner = aFormat.fOwner;
  line->fNFOwner = aFormat.fNFOwner;
  line->fSection = aFormat.fSection;
  return aLines.Add(std::move(line));
}

void ReadText(const pugi::xml_node& aNode, const tkMessageLineFormat& aFormat,
              kReceiptMessageTextLine& aLine) {
  aLine.fValue = U::GetNodeValueAsString(aNode, "Value");
  if (aFormat.fTextSize) aLine.fSize = U::GetNodeValueAsInteger(aNode, "Size");
  aLine.fAlignment = U::DecodeAlignment(U::GetNodeValueAsString(aNode, "Alignment"));
  if (aFormat.fTextEffects) {
    aLine.fEffects = U::DecodeEffects(U::GetNodeValueAsString(aNode, "Effects"));
  }
}

void ReadBarcode(const pugi::xml_node& aNode, const tkMessageLineFormat& aFormat,
                 kReceiptMessageBarcodeLine& aLine) {
  aLine.fValue = U::GetNodeValueAsString(aNode, "Value");
  aLine.fBarcodeType = U::DecodeBarcodeType(U::GetNodeValueAsString(aNode, "Type"));
  if (aFormat.fBarcodeHRI) aLine.fHRI = U::GetNodeValueAsBoolean(aNode, "HRI", false);
}

void ReadImage(const pugi::xml_node& aNode, const tkMessageLineFormat& aFormat,
               kReceiptMessageImageLine& aLine) {
  aLine.fAlignment = U::DecodeAlignment(U::GetNodeValueAsString(aNode, "Alignment"));
  if (!aFormat.fImageValueAndSource) return;
  aLine.fValue = U::GetNodeValueAsString(aNode, "Value");
  aLine.fSource = U::DecodeImageSource(U::GetNodeValueAsString(aNode, "Source"));
}

}  // namespace

void ReadMessageLines(const pugi::xml_node& aSection, const tkMessageLineFormat& aFormat,
                      kReceiptMessageLines& aLines) {
  for (const pugi::xml_node& element : aSection.children()) {
    if (element.type() != pugi::node_element) continue;
    if (IsNamed(element, "Text")) {
      ReadText(element, aFormat, AddLine<kReceiptMessageTextLine>(aFormat, aLines));
    } else if (aFormat.fTextOnly) {
      continue;
    } else if (IsNamed(element, "Barcode")) {
      ReadBarcode(element, aFormat, AddLine<kReceiptMessageBarcodeLine>(aFormat, aLines));
    } else if (IsNamed(element, "Image")) {
      ReadImage(element, aFormat, AddLine<kReceiptMessageImageLine>(aFormat, aLines));
    }
  }
}

}  // namespace nvrp
