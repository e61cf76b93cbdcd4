// Reading of a payment-terminal request ("Payment" under the request's root).

#include <pugixml.hpp>

#include <string>

#include "base/nv_exception.hpp"
#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

namespace msg = documents_messages;

namespace {

using U = krptUtil;

// Exact words, letter case significant; no text keeps the till as the printer.
TkPrintLocation DecodePrintLocation(const std::string& aText, TkPrintLocation aCurrent) {
  if (aText.empty()) return aCurrent;
  if (aText == "ECR") return TkPrintLocation::pl_ECR;
  if (aText == "EFT") return TkPrintLocation::pl_EFT;
  throw Exception(msg::Fill(msg::kPaymentLocationInvalid, aText));
}

}  // namespace

void DeserializePaymentReceipt(const pugi::xml_document& aXmlDocument,
                               kPaymentReceipt& aPaymentReceipt) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "Payment", msg::kPaymentNodeNotFound);
  const int32_t copies = U::GetNodeValueAsInteger(node, "Copies");
  aPaymentReceipt.fCopies = copies > 0 ? copies : 0;
  aPaymentReceipt.fStoreCode = U::GetNodeValueAsString(node, "StoreCode");
  aPaymentReceipt.fTillCode = U::GetNodeValueAsString(node, "TillCode");
  aPaymentReceipt.fReference = U::GetNodeValueAsString(node, "Reference");
  aPaymentReceipt.fAmount = U::GetNodeValueAsCurrency(node, "Amount");
  aPaymentReceipt.fCurrency = U::GetNodeValueAsString(node, "Currency");
  aPaymentReceipt.fReceiptId = U::GetNodeValueAsString(node, "ReceiptId");
  aPaymentReceipt.fPrintLocation = DecodePrintLocation(
      U::GetNodeValueAsString(node, "PrintLocation"), aPaymentReceipt.fPrintLocation);
}

}  // namespace nvrp
