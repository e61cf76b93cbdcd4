#pragma once

#include <pugixml.hpp>

#include "documents/receipt_message_lines.hpp"

namespace nvrp {

// How one section of message lines is read: which children it accepts, which elements they
// carry besides "Value", "Alignment" and a barcode's "Type", and who owns the new lines.
struct tkMessageLineFormat {
  kReceipt* fOwner = nullptr;      // not owned; at most one of the two owners is set
  kNFReceipt* fNFOwner = nullptr;  // not owned
  tkReceiptSection fSection = tkReceiptSection::rs_lead;
  bool fTextOnly = false;             // "Barcode" and "Image" children are skipped
  bool fTextSize = true;              // "Size" (integer) of a text line
  bool fTextEffects = false;          // "Effects" (effect words) of a text line
  bool fBarcodeHRI = false;           // "HRI" (Boolean, default False) of a barcode line
  bool fImageValueAndSource = false;  // "Value" and "Source" of an image line
};

// Appends one line per child named exactly "Text", "Barcode" or "Image" of aSection, in
// document order; other children are skipped, and a null section adds nothing. Elements are
// read in the order text: Value, Size, Alignment, Effects; barcode: Value, Type, HRI;
// image: Alignment, Value, Source.
void ReadMessageLines(const pugi::xml_node& aSection, const tkMessageLineFormat& aFormat,
                      kReceiptMessageLines& aLines);

}  // namespace nvrp
