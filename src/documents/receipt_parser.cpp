// Reading of the fiscal receipt request ("Receipt" under the request's root) into kReceipt.
// Values are read strictly in schema order, so the first faulty element is the one reported.

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/nv_exception.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/message_line_reader.hpp"
#include "documents/receipt.hpp"
#include "documents/receipt_messages.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

namespace msg = receipt_messages;

namespace {

using U = krptUtil;

std::string Str(const pugi::xml_node& aNode, std::string_view aName) {
  return U::GetNodeValueAsString(aNode, aName);
}

Currency Money(const pugi::xml_node& aNode, std::string_view aName) {
  return U::GetNodeValueAsCurrency(aNode, aName);
}

DateTime Date(const pugi::xml_node& aNode, std::string_view aName) {
  return U::GetNodeValueAsDateTime(aNode, aName);
}

bool Flag(const pugi::xml_node& aNode, std::string_view aName) {
  return U::GetNodeValueAsBoolean(aNode, aName, false);
}

bool IsNamed(const pugi::xml_node& aNode, std::string_view aName) { return aNode.name() == aName; }

// The text of a header line; an element holding elements has none.
std::string HeaderText(const pugi::xml_node& aElement) {
  std::string text;
  for (const pugi::xml_node& child : aElement.children()) {
    if (child.type() == pugi::node_element) {
      throw Exception(std::string(documents_messages::kElementHasChildElements));
    }
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    }
  }
  return text;
}

// ---- header ----

void ReadLayoutAndDates(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  aReceipt.fLayout = Str(aNode, "Layout");
  aReceipt.fDefaultLayout = aReceipt.fLayout.empty();
  if (aReceipt.fDefaultLayout) aReceipt.fLayout = msg::kDefaultLayout;
  const bool hasBusinessDate = aNode.child("BusinessDate");
  aReceipt.fBusinessDate = Date(aNode, hasBusinessDate ? "BusinessDate" : "DateTime");
}

void ReadIdentity(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  aReceipt.fReceiptType = U::DecodeReceiptType(Str(aNode, "Type"));
  aReceipt.fReceiptSubType = Str(aNode, "SubType");
  aReceipt.fReceiptTypeDescription = Str(aNode, "ReceiptTypeDescription");
  aReceipt.fExternalReference = Str(aNode, "ExternalReference");
  aReceipt.fStoreCode = Str(aNode, "StoreCode");
  aReceipt.fTillCode = Str(aNode, "TillCode");
  aReceipt.fReceiptNumber = Str(aNode, "Number");
  aReceipt.fReceiptDateTime = Date(aNode, "DateTime");
  aReceipt.fReceiptZReportNumber = Str(aNode, "ZReportNumber");
  aReceipt.fDeviceSerialNumber = Str(aNode, "DeviceSerialNumber");
  aReceipt.fInvoiceNumber = Str(aNode, "InvoiceNumber");
  aReceipt.fInvoiceDateTime = Date(aNode, "InvoiceDateTime");
  aReceipt.fTotalAmount = Money(aNode, "TotalAmount");
  aReceipt.fTipAmount = Money(aNode, "TipAmount");
}

void ReadCompany(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  aReceipt.fCountryCode = Str(aNode, "CountryCode");
  aReceipt.fFiscalAreaCode = Str(aNode, "FiscalAreaCode");
  aReceipt.fCompanyCode = Str(aNode, "CompanyCode");
  aReceipt.fCompanyTaxCode = Str(aNode, "CompanyTaxCode");
  aReceipt.fOperatorCode = Str(aNode, "OperatorCode");
  aReceipt.fReceiptBarcode = Str(aNode, "ReceiptBarcode");
  aReceipt.fCurrencyCode = Str(aNode, "CurrencyCode");
}

void ReadCustomer(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  aReceipt.fCustomerCode = Str(aNode, "CustomerCode");
  aReceipt.fCustomerCard = Str(aNode, "CustomerCard");
  aReceipt.fCustomerBusinessName = Str(aNode, "CustomerBusinessName");
  aReceipt.fCustomerName = Str(aNode, "CustomerName");
  aReceipt.fCustomerSurname = Str(aNode, "CustomerSurname");
  aReceipt.fCustomerAddress = Str(aNode, "CustomerAddress");
  aReceipt.fCustomerZipCode = Str(aNode, "CustomerZIPCode");
  if (aReceipt.fCustomerZipCode.empty()) aReceipt.fCustomerZipCode = Str(aNode, "CustomerZipCode");
  aReceipt.fCustomerCity = Str(aNode, "CustomerCity");
  aReceipt.fCustomerProvince = Str(aNode, "CustomerProvince");
  aReceipt.fCustomerCountry = Str(aNode, "CustomerCountry");
  aReceipt.fCustomerTaxCode = Str(aNode, "CustomerTaxCode");
  aReceipt.fCustomerIdNumber = Str(aNode, "CustomerIdNumber");
  aReceipt.fCustomerDateOfBirth = Date(aNode, "CustomerDateOfBirth");
  aReceipt.fLotteryIdCode = Str(aNode, "LotteryIdCode");
  aReceipt.fToBeInvoiced = Flag(aNode, "ToBeInvoiced");
}

void ReadReferences(const pugi::xml_node& aNode, tkOriginalReceipt& aOriginal) {
  const pugi::xml_node original = aNode.child("References").child("OriginalReceipt");
  if (!original) return;
  aOriginal.ReceiptDateTime = Date(original, "ReceiptDateTime");
  aOriginal.ReceiptNumber = Str(original, "ReceiptNumber");
  aOriginal.DeviceSerialNumber = Str(original, "DeviceSerialNumber");
  aOriginal.ServerSerialNumber = Str(original, "ServerSerialNumber");
  aOriginal.EJNumber = Str(original, "EJNumber");
  aOriginal.EJClosingNumber = Str(original, "EJClosingNumber");
  aOriginal.ExcludeFPCheck = Flag(original, "ExcludeFPCheck");
  aOriginal.ReferenceType = U::DecodeReferenceType(Str(original, "ReferenceType"));
}

void ReadHeaders(const pugi::xml_node& aNode, std::vector<std::string>& aHeaders) {
  for (const pugi::xml_node& header : aNode.child("Headers").children()) {
    if (header.type() == pugi::node_element) aHeaders.push_back(HeaderText(header));
  }
}

// ---- sale lines ----

void ReadProduct(const pugi::xml_node& aNode, kReceiptLineProductSale& aLine) {
  aLine.fCode = Str(aNode, "Code");
  aLine.fDescription = Str(aNode, "Description");
  aLine.fQuantity = Money(aNode, "Quantity");
  aLine.fUOM = Str(aNode, "UOM");
  aLine.fDepartment = Str(aNode, "Department");
  aLine.fTaxCode = Str(aNode, "TaxCode");
  aLine.fPrice = Money(aNode, "Price");
  aLine.fAmount = Money(aNode, "Amount");
  if (aLine.fLineType == tkReceiptLineType::rlt_WeightedProductSale) {
    static_cast<kReceiptLineWeightedProductSale&>(aLine).fTare = Money(aNode, "Tare");
  }
  aLine.fFreeOfCharge = Flag(aNode, "FreeOfCharge");
  aLine.fAttribute = U::DecodeLineAttribute(Str(aNode, "Attribute"));
}

// Vouchers and gift cards share their elements; redeem lines carry no free-of-charge flag.
template <typename TLine>
void ReadVoucher(const pugi::xml_node& aNode, TLine& aLine, bool aReadFreeOfCharge) {
  aLine.fCode = Str(aNode, "Code");
  aLine.fDescription = Str(aNode, "Description");
  aLine.fDepartment = Str(aNode, "Department");
  aLine.fTaxCode = Str(aNode, "TaxCode");
  aLine.fPrice = Money(aNode, "Price");
  if (aReadFreeOfCharge) aLine.fFreeOfCharge = Flag(aNode, "FreeOfCharge");
}

void ReadAdjustmentAmount(const pugi::xml_node& aNode, kReceiptLineDiscountAmount& aLine) {
  aLine.fAmount = Money(aNode, "Amount");
  aLine.fDescription = Str(aNode, "Description");
}

void ReadAdjustmentPercentage(const pugi::xml_node& aNode, kReceiptLineDiscountPercentage& aLine) {
  aLine.fPercentage = Money(aNode, "Percentage");
  aLine.fAmount = Money(aNode, "Amount");
  aLine.fDescription = Str(aNode, "Description");
}

void ReadCollect(const pugi::xml_node& aNode, kReceiptLineCollectAmount& aLine) {
  aLine.fDescription = Str(aNode, "Description");
  aLine.fDepartment = Str(aNode, "Department");
  aLine.fTaxCode = Str(aNode, "TaxCode");
  aLine.fAmount = Money(aNode, "Amount");
}

// The line was made by CreateReceiptLine, so its class is the one of its kind.
void ReadLineValues(const pugi::xml_node& aNode, kReceiptLine& aLine) {
  using T = tkReceiptLineType;
  switch (aLine.fLineType) {
    case T::rlt_ProductSale:
    case T::rlt_ProductReturn:
    case T::rlt_WeightedProductSale:
      return ReadProduct(aNode, static_cast<kReceiptLineProductSale&>(aLine));
    case T::rlt_VoucherSale:
    case T::rlt_VoucherRedeem:
      return ReadVoucher(aNode, static_cast<kReceiptLineVoucherSale&>(aLine),
                         aLine.fLineType == T::rlt_VoucherSale);
    case T::rlt_GiftCardSale:
    case T::rlt_GiftCardRedeem:
      return ReadVoucher(aNode, static_cast<kReceiptLineGiftCardSale&>(aLine),
                         aLine.fLineType == T::rlt_GiftCardSale);
    case T::rlt_SubTotal:
      static_cast<kReceiptLineSubtotal&>(aLine).fAmount = Money(aNode, "Amount");
      return;
    case T::rlt_Text:
      static_cast<kReceiptLineText&>(aLine).fDescription = Str(aNode, "Description");
      return;
    case T::rlt_DiscountAmount:
    case T::rlt_DiscountAmountOnSubtotal:
    case T::rlt_MarkupAmount:
    case T::rlt_MarkupAmountOnSubtotal:
      return ReadAdjustmentAmount(aNode, static_cast<kReceiptLineDiscountAmount&>(aLine));
    case T::rlt_DiscountPercentage:
    case T::rlt_DiscountPercentageOnSubTotal:
    case T::rlt_MarkupPercentage:
    case T::rlt_MarkupPercentageOnSubTotal:
      return ReadAdjustmentPercentage(aNode, static_cast<kReceiptLineDiscountPercentage&>(aLine));
    case T::rlt_CollectAmount:
      return ReadCollect(aNode, static_cast<kReceiptLineCollectAmount&>(aLine));
  }
}

void ReadLines(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  const pugi::xml_node lines = RequireChild(aNode, "Lines", msg::kLinesNodeNotFound);
  for (const pugi::xml_node& element : lines.children()) {
    if (element.type() != pugi::node_element) continue;
    const tkReceiptLineType kind = U::DecodeLineType(element.name());
    kReceiptLine& line = *aReceipt.fLines.emplace_back(CreateReceiptLine(kind, &aReceipt));
    ReadLineValues(element, line);
  }
}

// ---- taxes and payments ----

void ReadTaxes(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  const pugi::xml_node taxes = RequireChild(aNode, "Taxes", msg::kTaxesNodeNotFound);
  for (const pugi::xml_node& element : taxes.children()) {
    if (element.type() != pugi::node_element || !IsNamed(element, "Tax")) continue;
    kReceiptTaxLine& tax = aReceipt.fTaxes.emplace_back();
    tax.fOwner = &aReceipt;
    tax.fTaxType = U::DecodeTaxType(Str(element, "Type"));
    tax.fTaxCode = Str(element, "Code");
    tax.fTaxDescription = Str(element, "Description");
    tax.fTaxRate = Money(element, "Rate");
    tax.fTaxableAmount = Money(element, "TaxableAmount");
    tax.fTaxAmount = Money(element, "TaxAmount");
    tax.fTotalAmount = Money(element, "TotalAmount");
  }
}

void ReadPayments(const pugi::xml_node& aNode, kReceipt& aReceipt) {
  const pugi::xml_node payments = RequireChild(aNode, "Payments", msg::kPaymentsNodeNotFound);
  for (const pugi::xml_node& element : payments.children()) {
    if (element.type() != pugi::node_element || !IsNamed(element, "Payment")) continue;
    kReceiptPaymentLine& payment = aReceipt.fPayments.emplace_back();
    payment.fOwner = &aReceipt;
    payment.fPaymentType = U::DecodePaymentType(Str(element, "Type"));
    payment.fDescription = Str(element, "Description");
    payment.fAmount = Money(element, "Amount");
    payment.fCurrency = Str(element, "Currency");
    payment.fQuantity = Money(element, "Quantity");
    payment.fUnitPrice = Money(element, "UnitPrice");
  }
}

// ---- message lines ----

// Trailer and leader lines belong to the receipt; only trailer barcodes carry "HRI".
tkMessageLineFormat ReceiptMessageFormat(kReceipt& aReceipt, bool aReadHRI) {
  tkMessageLineFormat format;
  format.fOwner = &aReceipt;
  format.fBarcodeHRI = aReadHRI;
  return format;
}

}  // namespace

void kReceipt::Deserialize(const pugi::xml_document& aXmlDocument) {
  const pugi::xml_node receipt =
      RequireDocumentElement(aXmlDocument, "Receipt", msg::kReceiptNodeNotFound);
  ReadLayoutAndDates(receipt, *this);
  ReadIdentity(receipt, *this);
  ReadCompany(receipt, *this);
  ReadCustomer(receipt, *this);
  ReadReferences(receipt, fOriginalReceipt);
  ReadHeaders(receipt, fHeaders);
  ReadLines(receipt, *this);
  ReadTaxes(receipt, *this);
  ReadPayments(receipt, *this);
  ReadMessageLines(receipt.child("TrailerMessages"), ReceiptMessageFormat(*this, true),
                   fTrailerMessages);
  ReadMessageLines(receipt.child("LeaderLines"), ReceiptMessageFormat(*this, false), fLeaderLines);
}

}  // namespace nvrp
