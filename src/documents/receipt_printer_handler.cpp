#include "documents/receipt_printer_handler.hpp"

#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"

namespace nvrp {

kReceiptPrinterHandler::kReceiptPrinterHandler() : fReceipt(std::make_unique<kReceipt>()) {}

kReceiptPrinterHandler::~kReceiptPrinterHandler() = default;

void kReceiptPrinterHandler::Deserialize(std::string_view aXml,
                                         tkReceiptHandlerDocumentTypes aDocumentTypes) {
  Connection().SetConnectTimeOut(kConnection::kDefaultTimeout);
  const pugi::xml_document document = kDeviceHandler::Deserialize(aXml);
  DeserializeDocuments(document, aDocumentTypes);
}

void kReceiptPrinterHandler::ClearReceipt() { fReceipt = std::make_unique<kReceipt>(); }

void kReceiptPrinterHandler::DeserializeDocuments(const pugi::xml_document& aXmlDocument,
                                                  tkReceiptHandlerDocumentTypes aDocumentTypes) {
  using DT = tkReceiptHandlerDocumentType;
  const auto wanted = [&](DT type) { return aDocumentTypes.contains(type); };
  const pugi::xml_document& doc = aXmlDocument;

  // Texts go to the device unchanged (UTF-8) instead of as printable ASCII when asked for.
  const bool specialChars = ParameterIsTrue(documents_messages::kParamSupportSpecialChars);
  // The order is fixed: the first failing document decides the command's error.
  if (wanted(DT::dt_Receipt)) {
    fReceipt->Deserialize(doc);
    fReceipt->fSupportSpecialChars = specialChars;
  }
  if (wanted(DT::dt_NFReceipt)) {
    DeserializeNFReceipt(doc, fNFReceipt);
    fNFReceipt.fSupportSpecialChars = specialChars;
  }
  if (wanted(DT::dt_Display)) DeserializeCustomerDisplay(doc, fCustomerDisplay);
  if (wanted(DT::dt_Drawer)) DeserializeDrawer(doc, fDrawer);
  if (wanted(DT::dt_EJReport)) DeserializeEJReport(doc, fEJReport);
  if (wanted(DT::dt_VatTable)) DeserializeVatTable(doc, fVATTable);
  if (wanted(DT::dt_XReport)) DeserializeXReport(doc, fXReport);
  if (wanted(DT::dt_ZReport)) DeserializeZReport(doc, fZReport);
  if (wanted(DT::dt_DeptTable)) {
    DeserializeEconomicActivityTable(doc, fEATable);
    DeserializeDeptTable(doc, fDeptTable);
  }
  if (wanted(DT::dt_Pay)) DeserializePaymentReceipt(doc, fPaymentReceipt);
  if (wanted(DT::dt_ReceiptReference)) DeserializeReceiptReference(doc, fReceiptReference);
  if (wanted(DT::dt_EJFilesRequest)) DeserializeEJFilesRequest(doc, fEJFilesRequest);
}

}  // namespace nvrp
