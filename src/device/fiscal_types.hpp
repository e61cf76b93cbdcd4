#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/enum_set.hpp"

namespace nvrp {

enum class tkFiscalPrinterCapability {
  fpc_SetDate,
  fpc_SetHeader,
  fpc_ReturnPractice,
  fpc_NoFiscalReceipt,
  fpc_Payout,
  fpc_ReadMemory,
  fpc_PrintMemory,
  fpc_ZeroAmountLine,
  fpc_Invoice,
  fpc_VoidReceipt,
  fpc_NegativeAmountReceipt,
  fpc_NegativePartialAmountReceipt,
  fpc_SupportZeroLineAmount,
  fpc_PrintHeaderOnNonFiscalReceipt,
  fpc_SupportSpecialChars,
};
using tkFiscalPrinterCapabilities = EnumSet<tkFiscalPrinterCapability>;

// Order in which the sections of a fiscal receipt are sent to the device.
enum class tkFiscalPrinterPrintSection { fpps_Lines, fpps_Payments, fpps_TrailerMessages };

// What the device did with a receipt that failed part-way: not counted, counted exactly once,
// or unknown (the device could not be asked, or its counters do not tell).
enum class tkReceiptOutcome { ro_NotPrinted, ro_Printed, ro_Uncertain };
using tkFiscalPrinterPrintSequence = std::vector<tkFiscalPrinterPrintSection>;

// Counters and text of the last day report.
struct tkFiscalCounters {
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
  int32_t ZReportNumber = 0;
  DateTime ZReportDateTime = 0;
  std::string Text;
};

struct tkLotteryReceiptStatus {
  bool CorrectlySent = false;
  std::string StatusCode;
  std::string StatusDescription;
  std::string ReferenceId;
};

}  // namespace nvrp
