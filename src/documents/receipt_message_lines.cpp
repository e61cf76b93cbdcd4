#include "documents/receipt_message_lines.hpp"

#include "documents/krpt_util.hpp"
#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"

namespace nvrp {

namespace {

bool OwnerSupportsSpecialChars(const kReceipt* aOwner, const kNFReceipt* aNFOwner) {
  if (aOwner != nullptr) return aOwner->fSupportSpecialChars;
  return aNFOwner != nullptr && aNFOwner->fSupportSpecialChars;
}

}  // namespace

std::string kReceiptMessageTextLine::Value() const {
  if (OwnerSupportsSpecialChars(fOwner, fNFOwner)) return fValue;
  return krptUtil::NormalizeText(fValue);
}

}  // namespace nvrp
