#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "base/enum_set.hpp"
#include "documents/device_handler.hpp"
#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"
#include "documents/table_items.hpp"

namespace nvrp {

// The documents a command may ask for; each is read from a direct child of the root.
enum class tkReceiptHandlerDocumentType {
  dt_Receipt,           // "Receipt"
  dt_NFReceipt,         // "NFReceipt"
  dt_Display,           // "Display"
  dt_Drawer,            // "Drawer"
  dt_EJReport,          // "EJReport"
  dt_VatTable,          // "VATTable"
  dt_DeptTable,         // "DeptTable": economic activities, then departments
  dt_Pay,               // "Payment"
  dt_ReceiptReference,  // "ReceiptReference"
  dt_EJFilesRequest,    // "EJRequest"
  dt_XReport,           // "XReport"
  dt_ZReport,           // "ZReport"
};
using tkReceiptHandlerDocumentTypes = EnumSet<tkReceiptHandlerDocumentType, uint16_t>;

// The envelope plus the documents of one command, held for the length of that command.
class kReceiptPrinterHandler : public kDeviceHandler {
 public:
  kReceiptPrinterHandler();
  ~kReceiptPrinterHandler() override;

  using kDeviceHandler::Deserialize;
  // Reads the envelope (connect time-out reset to 1000 first), then each requested document
  // in a fixed order. Parsers append, so a receipt parsed twice needs ClearReceipt first.
  void Deserialize(std::string_view aXml, tkReceiptHandlerDocumentTypes aDocumentTypes);

  // Replaces the receipt by a new empty one.
  void ClearReceipt();

  kReceipt& Receipt() { return *fReceipt; }
  const kReceipt& Receipt() const { return *fReceipt; }
  kNFReceipt& NFReceipt() { return fNFReceipt; }
  const kNFReceipt& NFReceipt() const { return fNFReceipt; }
  kCustomerDisplay& CustomerDisplay() { return fCustomerDisplay; }
  const kCustomerDisplay& CustomerDisplay() const { return fCustomerDisplay; }
  kDrawer& Drawer() { return fDrawer; }
  const kDrawer& Drawer() const { return fDrawer; }
  kEJReport& EJReport() { return fEJReport; }
  const kEJReport& EJReport() const { return fEJReport; }
  kVatTable& VATTable() { return fVATTable; }
  const kVatTable& VATTable() const { return fVATTable; }
  kDeptTable& DeptTable() { return fDeptTable; }
  const kDeptTable& DeptTable() const { return fDeptTable; }
  kEconomicActivityTable& EATable() { return fEATable; }
  const kEconomicActivityTable& EATable() const { return fEATable; }
  kPaymentReceipt& PaymentReceipt() { return fPaymentReceipt; }
  const kPaymentReceipt& PaymentReceipt() const { return fPaymentReceipt; }
  kReceiptReference& ReceiptReference() { return fReceiptReference; }
  const kReceiptReference& ReceiptReference() const { return fReceiptReference; }
  kEJFilesRequest& EJFilesRequest() { return fEJFilesRequest; }
  const kEJFilesRequest& EJFilesRequest() const { return fEJFilesRequest; }
  kXReport& XReport() { return fXReport; }
  const kXReport& XReport() const { return fXReport; }
  kZReport& ZReport() { return fZReport; }
  const kZReport& ZReport() const { return fZReport; }

 private:
  void DeserializeDocuments(const pugi::xml_document& aXmlDocument,
                            tkReceiptHandlerDocumentTypes aDocumentTypes);

  std::unique_ptr<kReceipt> fReceipt;  // replaced by ClearReceipt
  kNFReceipt fNFReceipt;
  kCustomerDisplay fCustomerDisplay;
  kDrawer fDrawer;
  kEJReport fEJReport;
  kVatTable fVATTable;
  kDeptTable fDeptTable;
  kEconomicActivityTable fEATable;
  kPaymentReceipt fPaymentReceipt;
  kReceiptReference fReceiptReference;
  kEJFilesRequest fEJFilesRequest;
  kXReport fXReport;
  kZReport fZReport;
};

}  // namespace nvrp
