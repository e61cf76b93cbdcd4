#pragma once

#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "documents/receipt_lines.hpp"
#include "documents/receipt_message_lines.hpp"
#include "documents/request_enums.hpp"

namespace pugi {
class xml_document;
}

namespace nvrp {

// The receipt a refund, void or invoice refers to.
struct tkOriginalReceipt {
  DateTime ReceiptDateTime = 0;
  std::string ReceiptNumber;
  std::string DeviceSerialNumber;
  std::string ServerSerialNumber;
  std::string EJNumber;
  std::string EJClosingNumber;
  bool ExcludeFPCheck = false;
  tkReceiptReferenceType ReferenceType = tkReceiptReferenceType::rrt_OriginalReceipt;
  std::string ExternalReference;
};

// A fiscal receipt as the request gives it. Its lines point back at it, so a receipt never
// moves or copies: hold it by std::unique_ptr and replace it by a new one to clear it.
struct kReceipt {
  kReceipt() = default;
  kReceipt(const kReceipt&) = delete;
  kReceipt& operator=(const kReceipt&) = delete;
  ~kReceipt() = default;

  // The exact sum of the signed amounts of the sale lines (0 without lines).
  Currency GetCalculatedAmount() const;

  // Reads the "Receipt" element under the request's root into this receipt, appending to its
  // lists. Throws nvrp::Exception on the first fault; what was read before it stays.
  void Deserialize(const pugi::xml_document& aXmlDocument);

  // When set, descriptions and message texts are handed out unchanged.
  bool fSupportSpecialChars = false;
  std::string fLayout;
  bool fDefaultLayout = false;
  DateTime fBusinessDate = 0;
  std::string fReceiptNumber;
  DateTime fReceiptDateTime = 0;
  std::string fReceiptZReportNumber;
  std::string fDeviceSerialNumber;
  tkReceiptType fReceiptType = tkReceiptType::rt_Sale;
  std::string fReceiptTypeDescription;
  std::string fReceiptSubType;
  std::string fInvoiceNumber;
  DateTime fInvoiceDateTime = 0;
  std::string fExternalReference;
  tkOriginalReceipt fOriginalReceipt;
  std::string fCountryCode;
  std::string fFiscalAreaCode;
  std::string fCompanyCode;
  std::string fCompanyTaxCode;
  std::string fStoreCode;
  std::string fTillCode;
  std::string fOperatorCode;
  std::string fReceiptBarcode;
  std::string fCurrencyCode;
  Currency fTotalAmount;  // 0 when the caller gave no total
  Currency fTipAmount;
  std::string fCustomerCode;
  std::string fCustomerCard;
  std::string fCustomerBusinessName;
  std::string fCustomerName;
  std::string fCustomerSurname;
  std::string fCustomerAddress;
  std::string fCustomerZipCode;
  std::string fCustomerCity;
  std::string fCustomerProvince;
  std::string fCustomerCountry;
  DateTime fCustomerDateOfBirth = 0;
  std::string fCustomerTaxCode;
  std::string fCustomerIdNumber;
  std::string fLotteryIdCode;
  kReceiptMessageLines fLeaderLines;
  kReceiptLines fLines;
  kReceiptPaymentLines fPayments;
  kReceiptTaxLines fTaxes;
  kReceiptMessageLines fTrailerMessages;
  bool fToBeInvoiced = false;
  std::vector<std::string> fHeaders;
};

}  // namespace nvrp
