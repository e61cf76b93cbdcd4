#include "device/rt_server_bridge.hpp"

#include <sstream>
#include <utility>

#include "device/device_messages.hpp"
#include "device/plugin_library.hpp"
#include "documents/krpt_util.hpp"
#include "documents/receipt.hpp"
#include "documents/request_xml.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

constexpr const char* kExportOpenTill = "RTS_OPENTILL";
constexpr const char* kExportSignReceipt = "RTS_SIGNRECEIPT";
constexpr const char* kExportXReport = "RTS_XREPORT";
constexpr const char* kExportCloseTill = "RTS_CLOSETILL";

void AddValue(pugi::xml_node aParent, const char* aName, const std::string& aValue) {
  aParent.append_child(aName).text().set(aValue.c_str());
}

void AddLine(pugi::xml_node aLines, const kReceiptLine& aLine) {
  pugi::xml_node node = aLines.append_child("Line");
  node.append_attribute("LineType").set_value(static_cast<int>(aLine.fLineType));
  if (const auto* sale = dynamic_cast<const kReceiptLineProductSale*>(&aLine)) {
    AddValue(node, "Code", sale->fCode);
    AddValue(node, "Description", sale->fDescription);
    AddValue(node, "Quantity", CurrencyToText(sale->fQuantity));
    AddValue(node, "Price", CurrencyToText(sale->fPrice));
    AddValue(node, "TaxCode", sale->fTaxCode);
  }
  AddValue(node, "Amount", CurrencyToText(aLine.GetAmount()));
}

kRTServerReceiptInfo ReadReceiptInfo(const std::string& aXml) {
  const pugi::xml_document document = ParseRequestXml(aXml);
  const pugi::xml_node root = document.document_element();
  kRTServerReceiptInfo info;
  info.fVatTotal = krptUtil::GetNodeValueAsCurrency(root, "VatTotal");
  info.fTillId = krptUtil::GetNodeValueAsString(root, "TillId");
  info.fServerSerialNumber = krptUtil::GetNodeValueAsString(root, "ServerSerialNumber");
  info.fSignature = krptUtil::GetNodeValueAsString(root, "Signature");
  info.fRTnDoc = krptUtil::GetNodeValueAsInteger(root, "DocumentNumber");
  info.fRTzRep = krptUtil::GetNodeValueAsInteger(root, "ClosureNumber");
  for (pugi::xml_node header : root.child("Headers").children("Header")) {
    info.fHeaderLines.emplace_back(header.text().get());
  }
  return info;
}

kRTServerTillReportInfo ReadTillReportInfo(const std::string& aXml) {
  const pugi::xml_document document = ParseRequestXml(aXml);
  const pugi::xml_node root = document.document_element();
  kRTServerTillReportInfo info;
  info.fTillSerialNumber = krptUtil::GetNodeValueAsString(root, "TillSerialNumber");
  info.fServerSerialNumber = krptUtil::GetNodeValueAsString(root, "ServerSerialNumber");
  info.fnRecNumber = krptUtil::GetNodeValueAsInteger(root, "RecNumber");
  info.fzRepNumber = krptUtil::GetNodeValueAsInteger(root, "ZRepNumber");
  info.fzRepDateTime = krptUtil::GetNodeValueAsDateTime(root, "ZRepDateTime");
  info.fDailyAmount = krptUtil::GetNodeValueAsCurrency(root, "DailyAmount");
  info.fSalesAmount = krptUtil::GetNodeValueAsCurrency(root, "SalesAmount");
  info.fVoidsAmount = krptUtil::GetNodeValueAsCurrency(root, "VoidsAmount");
  info.fRefundsAmount = krptUtil::GetNodeValueAsCurrency(root, "RefundsAmount");
  return info;
}

}  // namespace

kRTServer_Epson::kRTServer_Epson(std::string aLibraryName)
    : fLibraryName(std::move(aLibraryName)) {}

void* kRTServer_Epson::Export(const char* aName) {
  if (fLibraryName.empty()) {
    fErrorMessage = std::string(msg::kRTServerNoLibrary);
    return nullptr;
  }
  if (!fLibrary.Loaded()) {
    const std::string path = PluginLibraryPath(fLibraryName);
    if (!fLibrary.Load(path)) {
      fErrorMessage = LibraryLoadFailureMessage(path, fLibrary.ErrorCode());
      return nullptr;
    }
  }
  void* entry = fLibrary.Symbol(aName);
  if (entry == nullptr) fErrorMessage = std::string(msg::kRTServerMissingExport) + aName;
  return entry;
}

bool kRTServer_Epson::OpenTill(const std::string& aHost, int32_t aPort, const std::string& aUser,
                               const std::string& aPassword, const std::string& aTillId) {
  const auto entry = reinterpret_cast<tkRTS_OpenTill>(Export(kExportOpenTill));
  if (entry == nullptr) return false;
  OwnedOleString host(aHost);
  OwnedOleString user(aUser);
  OwnedOleString password(aPassword);
  OwnedOleString tillId(aTillId);
  OwnedOleString error;
  const bool ok =
      entry(host.Get(), aPort, user.Get(), password.Get(), tillId.Get(), error.Out()) == 0;
  fErrorMessage = error.Text();
  if (ok) {
    fTillOpened = true;
    fTillId = aTillId;
  }
  return ok;
}

void kRTServer_Epson::BuildReceiptDocument(const kReceipt& aReceipt) {
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("RTReceipt");
  AddValue(root, "TillId", fTillId);
  AddValue(root, "ReceiptType", krptUtil::EncodeReceiptType(aReceipt.fReceiptType));
  AddValue(root, "ReceiptNumber", aReceipt.fReceiptNumber);
  AddValue(root, "CurrencyCode", aReceipt.fCurrencyCode);
  AddValue(root, "TotalAmount", CurrencyToText(aReceipt.fTotalAmount));
  pugi::xml_node lines = root.append_child("Lines");
  for (const auto& line : aReceipt.fLines) AddLine(lines, *line);
  pugi::xml_node payments = root.append_child("Payments");
  for (const kReceiptPaymentLine& payment : aReceipt.fPayments) {
    pugi::xml_node node = payments.append_child("Payment");
    AddValue(node, "PaymentType", krptUtil::EncodePaymentType(payment.fPaymentType));
    AddValue(node, "Description", payment.fDescription);
    AddValue(node, "Amount", CurrencyToText(payment.fAmount));
  }
  std::ostringstream text;
  document.save(text, "", pugi::format_raw);
  fReceiptDocument = text.str();
}

bool kRTServer_Epson::SignReceipt() {
  const auto entry = reinterpret_cast<tkRTS_SignReceipt>(Export(kExportSignReceipt));
  if (entry == nullptr) return false;
  OwnedOleString receipt(fReceiptDocument);
  OwnedOleString answer;
  OwnedOleString error;
  const bool ok = entry(receipt.Get(), answer.Out(), error.Out()) == 0;
  fErrorMessage = error.Text();
  if (ok) fReceiptInfo = ReadReceiptInfo(answer.Text());
  return ok;
}

bool kRTServer_Epson::XReport() { return TillReport(kExportXReport, false); }

bool kRTServer_Epson::CloseTill() { return TillReport(kExportCloseTill, true); }

bool kRTServer_Epson::TillReport(const char* aExportName, bool aClosesTill) {
  const auto entry = reinterpret_cast<tkRTS_TillReport>(Export(aExportName));
  if (entry == nullptr) return false;
  OwnedOleString answer;
  OwnedOleString error;
  const bool ok = entry(answer.Out(), error.Out()) == 0;
  fErrorMessage = error.Text();
  if (ok && aClosesTill) fTillOpened = false;
  if (ok) fTillReportInfo = ReadTillReportInfo(answer.Text());
  return ok;
}

}  // namespace nvrp
