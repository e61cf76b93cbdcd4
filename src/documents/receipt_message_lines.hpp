#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "documents/request_enums.hpp"

namespace nvrp {

struct kReceipt;
struct kNFReceipt;

// The part of a non-fiscal receipt a message line belongs to.
enum class tkReceiptSection { rs_lead, rs_body, rs_trail };

// A message line of a receipt, a non-fiscal receipt or the customer display: text, barcode
// or image. At most one owner is set; a line may have none (customer display).
struct kReceiptMessageLine {
  virtual ~kReceiptMessageLine() = default;
  // The text, barcode data or image reference as it is to be printed.
  virtual std::string Value() const { return fValue; }

  kReceipt* fOwner = nullptr;      // not owned
  kNFReceipt* fNFOwner = nullptr;  // not owned
  tkReceiptMessageLineAlignment fAlignment = tkReceiptMessageLineAlignment::la_none;
  std::string fValue;

 protected:
  kReceiptMessageLine() = default;
  explicit kReceiptMessageLine(kReceipt* aOwner) : fOwner(aOwner) {}
  explicit kReceiptMessageLine(kNFReceipt* aNFOwner) : fNFOwner(aNFOwner) {}
  kReceiptMessageLine(const kReceiptMessageLine&) = default;
  kReceiptMessageLine& operator=(const kReceiptMessageLine&) = default;
};

struct kReceiptMessageTextLine : kReceiptMessageLine {
  kReceiptMessageTextLine() = default;
  explicit kReceiptMessageTextLine(kReceipt* aOwner) : kReceiptMessageLine(aOwner) {}
  explicit kReceiptMessageTextLine(kNFReceipt* aNFOwner) : kReceiptMessageLine(aNFOwner) {}
  // Unchanged when the owning receipt (or else non-fiscal receipt) supports special
  // characters, otherwise normalised to printable ASCII.
  std::string Value() const override;

  tkReceiptSection fSection = tkReceiptSection::rs_lead;
  int32_t fSize = 0;
  tkReceiptMessageLineEffectSet fEffects;
};

struct kReceiptMessageBarcodeLine : kReceiptMessageLine {
  kReceiptMessageBarcodeLine() = default;
  explicit kReceiptMessageBarcodeLine(kReceipt* aOwner) : kReceiptMessageLine(aOwner) {}
  explicit kReceiptMessageBarcodeLine(kNFReceipt* aNFOwner) : kReceiptMessageLine(aNFOwner) {}

  tkReceiptSection fSection = tkReceiptSection::rs_lead;
  tkReceiptMessageBarcodeType fBarcodeType = tkReceiptMessageBarcodeType::bt_EAN13;
  bool fHRI = false;
};

struct kReceiptMessageImageLine : kReceiptMessageLine {
  kReceiptMessageImageLine() = default;
  explicit kReceiptMessageImageLine(kReceipt* aOwner) : kReceiptMessageLine(aOwner) {}
  explicit kReceiptMessageImageLine(kNFReceipt* aNFOwner) : kReceiptMessageLine(aNFOwner) {}

  tkReceiptSection fSection = tkReceiptSection::rs_lead;
  tkReceiptMessageImageSource fSource = tkReceiptMessageImageSource::is_Resource;
};

// Owning list of message lines of the three kinds mixed, in request order.
struct kReceiptMessageLines : std::vector<std::unique_ptr<kReceiptMessageLine>> {
  // Appends the line and returns it, still typed as given.
  template <typename TLine>
  TLine& Add(std::unique_ptr<TLine> aLine) {
    TLine& added = *aLine;
    push_back(std::move(aLine));
    return added;
  }
};

}  // namespace nvrp
