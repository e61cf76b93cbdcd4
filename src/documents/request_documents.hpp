#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "documents/receipt_message_lines.hpp"
#include "documents/request_enums.hpp"

namespace nvrp {

// A non-fiscal receipt. Its lines point back at it, so it never moves or copies.
struct kNFReceipt {
  kNFReceipt() = default;
  kNFReceipt(const kNFReceipt&) = delete;
  kNFReceipt& operator=(const kNFReceipt&) = delete;
  ~kNFReceipt() = default;

  // When set, message texts are handed out unchanged.
  bool fSupportSpecialChars = false;
  std::string fLayout;
  bool fDefaultLayout = false;
  std::string fReceiptNumber;
  DateTime fReceiptDateTime = 0;
  std::string fCountryCode;
  std::string fCompanyCode;
  std::string fCompanyTaxCode;
  std::string fStoreCode;
  std::string fTillCode;
  std::string fOperatorCode;
  kReceiptMessageLines fHeaderLines;
  kReceiptMessageLines fLines;
  kReceiptMessageLines fFooterLines;
};

// Text for the customer display; its lines have no owner.
struct kCustomerDisplay {
  bool fClear = false;  // clear the display first
  kReceiptMessageLines fLines;
};

struct kDrawer {
  int32_t fNumber = 0;  // the drawer to open or query
};

struct kEJReport {
  tkEJReportType fReportType = tkEJReportType::ejrt_ZReport;
  tkEJReportDestination fDestination = tkEJReportDestination::rd_Printer;
  DateTime fStartDate = 0;
  DateTime fEndDate = 0;
  int32_t fStartNumber = 0;
  int32_t fEndNumber = 0;
};

// Who prints the payment terminal's receipt: the till or the terminal.
enum class TkPrintLocation { pl_ECR, pl_EFT };

// A payment-terminal request; the payment operation fills the receipt lines and raw answer.
struct kPaymentReceipt {
  std::string fStoreCode;
  std::string fTillCode;
  std::string fReference;
  Currency fAmount;
  std::string fCurrency;
  TkPrintLocation fPrintLocation = TkPrintLocation::pl_ECR;
  int32_t fCopies = 0;
  std::vector<std::string> fReceiptLines;
  std::string fRawResponse;
  std::string fReceiptId;
};

// An earlier receipt, named by the request or built from a printed receipt's result.
struct kReceiptReference {
  tkReceiptType fReceiptType = tkReceiptType::rt_Sale;
  std::string fEJNumber;
  std::string fEJClosingNumber;
  DateTime fReceiptDateTime = 0;
  std::string fReceiptNumber;
  std::string fDeviceSerialNumber;
};

struct kEJFilesRequest {
  tkEJFilesRequestType fReqType = tkEJFilesRequestType::ej_xml;
  DateTime fStartDate = 0;
  DateTime fEndDate = 0;
  std::string fOutputDir;  // directory that receives the journal files
};

struct kXReport {
  std::string fStoreCode;
  std::string fTillCode;
};

struct kZReport {
  std::string fStoreCode;
  std::string fTillCode;
};

}  // namespace nvrp
