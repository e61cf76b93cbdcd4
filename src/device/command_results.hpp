#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "device/payment_types.hpp"

namespace nvrp {

// Result records of the public device operations, one per command. Each ends with Error,
// ErrorText and LogFileName. Default member values are those a device operation starts from;
// the command wrappers' ClearResult sets Error to true on top of them.

struct _int_PRINTFR_result {
  DateTime ReceiptDateTime = 0;
  std::string ReceiptNumber;
  std::string EJNumber;
  std::string EJClosingNumber;
  std::string DeviceSerialNumber;
  std::string ServerSerialNumber;
  std::string InvoiceNumber;
  DateTime InvoiceDateTime = 0;
  std::string ReceiptText;
  std::string ReceiptImage;
  bool Error = false;
  std::string ErrorText;
  std::string MessageText;
  std::string LogFileName;
};

struct _int_REPRINTFR_result {
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_PRINTNFR_result {
  DateTime NFReceiptDateTime = 0;
  std::string NFReceiptNumber;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_PRINTXR_result {
  std::string XReportNumber;
  DateTime XReportDateTime = 0;
  std::string EJNumber;
  std::string EJClosingNumber;
  std::string DeviceSerialNumber;
  std::string ServerSerialNumber;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_PRINTZR_result {
  std::string ZReportNumber;
  DateTime ZReportDateTime = 0;
  std::string EJNumber;
  std::string EJClosingNumber;
  std::string DeviceSerialNumber;
  std::string ServerSerialNumber;
  int32_t RemainingFiscalMemory = 0;
  Currency GrandTotalAmount;
  Currency GrandTotalRefundsAmount;
  Currency GrandTotalVoidsAmount;
  Currency DayTotalAmount;
  Currency DayDiscountsAmount;
  Currency DayReturnsAmount;
  Currency DayRefundsAmount;
  Currency DayVoidsAmount;
  int32_t DayReceiptsNumber = 0;
  int32_t DayRefundsNumber = 0;
  std::string Text;
  // What failed on the way to a closed day, or before an answer that the day may be closed.
  std::string MessageText;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_EJREPORT_result {
  std::string Text;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_GETEJFILES_result {
  int32_t FilesCount = 0;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_GETLOTTERYRCPTSTATUS_result {
  bool CorrectlySent = false;
  std::string StatusCode;
  std::string StatusDescription;
  std::string ReferenceId;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_PAY_result {
  std::string DeviceId;
  DateTime PaymentDateTime = 0;
  std::string PaymentNumber;
  Currency PaymentAmount;
  std::string PaymentCurrency;
  std::string MaskedPAN;
  std::string SerialNumber;
  tkPaymentTransactionType TransactionType = tkPaymentTransactionType::ptt_Other;
  tkPaymentNetwork PaymentNetwork = tkPaymentNetwork::Other;
  std::string AuthCode;
  std::string TraceAuditId;
  Currency ExchangeRate;
  Currency PaymentAmountCurrency;
  std::string PaymentCurrencyCurrency;
  Currency TippedAmount;
  Currency RemainingBalance;
  int32_t NumberOfItems = 0;
  Currency SingleItemAmount;
  bool SignatureRequested = false;
  std::string CustomerCountryCode;
  std::string CardToken;
  std::string RefundReference;
  std::string ReceiptText;
  std::string CashierReceiptText;
  std::string RawResponse;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_OPEN_result {
  int32_t Handle = 0;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

// Commands whose result carries only the closing three fields.
struct _int_SIMPLE_result {
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};
using _int_CLOSE_result = _int_SIMPLE_result;
using _int_SET_result = _int_SIMPLE_result;
using _int_DISPLAY_result = _int_SIMPLE_result;
using _int_OPENDR_result = _int_SIMPLE_result;
using _int_SETVATTABLE_result = _int_SIMPLE_result;
using _int_SETDEPTTABLE_result = _int_SIMPLE_result;

struct _int_GETSTATUS_result {
  bool DayOpened = false;
  nvrp::DateTime DateTime = 0;
  bool PaperEnd = false;
  bool PaperNearEnd = false;
  bool CoverOpen = false;
  bool FiscalReceiptOpen = false;
  bool ReceiptOpen = false;
  bool TrainingMode = false;
  std::string FirmwareVersion;
  std::string SerialNumber;
  std::string FiscalMode;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_SETDATETIME_result {
  nvrp::DateTime DateTime = 0;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_GETDRSTATUS_result {
  bool IsOpen = false;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_Vat {
  int32_t Index = 0;
  std::string Code;
  std::string Description;
  Currency Rate;
};

struct _int_GETVATTABLE_result {
  std::vector<_int_Vat> VATTable;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

struct _int_Dept {
  int32_t Index = 0;
  std::string Code;
  std::string Description;
  std::string VatCode;
  std::string SalesType;
  std::string EACode;
  std::string EADescription;
  std::string EAVATMode;
};

struct _int_GETDEPTTABLE_result {
  std::vector<_int_Dept> DeptTable;
  bool Error = false;
  std::string ErrorText;
  std::string LogFileName;
};

}  // namespace nvrp
