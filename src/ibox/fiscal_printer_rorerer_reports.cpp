// Report and journal primitives of the iBox. The X and Z reports are device commands; after a
// Z report the driver reads three of its files back (text, details, XML record) into the
// counters. The device keeps no journal the driver can query, reprint or export: those
// primitives answer false at once, send nothing and record no error.

#include <string>
#include <string_view>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_messages.hpp"
#include "ibox/ibox_z_report_files.hpp"

namespace nvrp {

namespace msg = ibox_messages;

using C = tkIBoxCommandId;

bool kFiscalPrinter_RORERER::PrintXReportPrimitive(kXReport& /*aReport*/) {
  const bool result = SendCommand(C::ibc_XReport);
  // The device tells nothing about the report: it counts as a document of this moment.
  fLastReceiptDateTime = Now();
  fLastReceiptNumber = 0;
  fLastReceiptEJNumber = 0;
  fLastReceiptEJClosingNumber = 0;
  return result;
}

bool kFiscalPrinter_RORERER::PrintZReportPrimitive(kZReport& /*aReport*/) {
  // The status polled inside the command is followed by loading the command's own answer, so
  // the figures after the closure need a status request of their own.
  bool result = SendCommand(C::ibc_ZReport) && PollStatus() && ReadZReportStatus();
  if (!result) return false;
  result = ReadZReportFile(C::ibc_ZReportText, msg::kZReportText);
  if (result) fCounters.Text = fTextResponse;
  if (result) result = ReadZReportFile(C::ibc_ZReportDetails, msg::kZReportDetails);
  if (result) result = ReadZReportFile(C::ibc_ZReportXml, msg::kZReportRecord);
  if (result) {
    fXmlResponseNode = fXmlResponse.document_element();
    ReadZReportDetails();
  }
  return result;
}

// CurrentZNo is the report just made (not the open day, as after a receipt).
bool kFiscalPrinter_RORERER::ReadZReportStatus() {
  int32_t receipts = 0;
  int32_t zNumber = 0;
  std::string clock;
  if (!StatusInteger(msg::kDayFiscalRcptCnt, receipts) ||
      !StatusInteger(msg::kCurrentZNo, zNumber) || !StatusText(msg::kCurrentDateTime, clock)) {
    return false;
  }
  const DateTime madeAt = ParseDeviceDateTime(clock);
  fLastReceiptNumber = receipts;
  fLastReceiptEJClosingNumber = zNumber;
  fLastReceiptEJNumber = 0;
  fLastReceiptDateTime = madeAt;
  return true;
}

bool kFiscalPrinter_RORERER::ReadZReportFile(tkIBoxCommandId aId, std::string_view aKind) {
  // A text file answered as XML leaves no text: never take an earlier answer's text for it.
  // The XML record is always read as XML and leaves the details text in place.
  if (aId != C::ibc_ZReportXml) fTextResponse.clear();
  return SendCommand(aId, {}, {}, IBoxZReportFilePath(fLastReceiptEJClosingNumber, aKind));
}

bool kFiscalPrinter_RORERER::ReadZReportDetails() {
  const tkZReportDetails details = ReadZReportDetailsText(fTextResponse);
  const tkZReportRecord record = ReadZReportRecord(fXmlResponseNode);
  ResetCounters();
  fCounters.DayTotalAmount = details.fDayTotal;
  fCounters.DayReceiptsNumber = details.fReceiptCount;
  fCounters.ZReportNumber = record.fZNumber;
  fCounters.ZReportDateTime = record.fDateTime;
  return true;
}

bool kFiscalPrinter_RORERER::IsDayOpened() {
  int32_t receipts = 0;
  return PollStatus() && StatusInteger(msg::kDayFiscalRcptCnt, receipts) && receipts != 0;
}

// --- What the device cannot do -----------------------------------------------------------------

bool kFiscalPrinter_RORERER::GetRemainingFiscalMemory(int32_t& /*aRemaining*/) { return false; }

bool kFiscalPrinter_RORERER::ReprintReceiptPrimitive(kReceiptReference& /*aReference*/) {
  throw Exception(std::string(msg::kReprintNotSupported));
}

bool kFiscalPrinter_RORERER::EJPrintZReports(tkEJReportDestination /*aDestination*/,
                                             DateTime /*aStart*/, DateTime /*aEnd*/,
                                             std::string& /*aText*/) {
  return false;
}

bool kFiscalPrinter_RORERER::EJPrintFiscalReceipts(tkEJReportDestination /*aDestination*/,
                                                   DateTime /*aStart*/, DateTime /*aEnd*/,
                                                   int32_t /*aStartNumber*/, int32_t /*aEndNumber*/,
                                                   std::string& /*aText*/) {
  return false;
}

bool kFiscalPrinter_RORERER::EJPrintNonFiscalReceipts(tkEJReportDestination /*aDestination*/,
                                                      DateTime /*aStart*/, DateTime /*aEnd*/,
                                                      int32_t /*aStartNumber*/,
                                                      int32_t /*aEndNumber*/,
                                                      std::string& /*aText*/) {
  return false;
}

bool kFiscalPrinter_RORERER::EJPrintCreditNotes(tkEJReportDestination /*aDestination*/,
                                                DateTime /*aStart*/, DateTime /*aEnd*/,
                                                int32_t /*aStartNumber*/, int32_t /*aEndNumber*/,
                                                std::string& /*aText*/) {
  return false;
}

bool kFiscalPrinter_RORERER::EJPrintInvoices(tkEJReportDestination /*aDestination*/,
                                             DateTime /*aStart*/, DateTime /*aEnd*/,
                                             int32_t /*aStartNumber*/, int32_t /*aEndNumber*/,
                                             std::string& /*aText*/) {
  return false;
}

bool kFiscalPrinter_RORERER::GetEJFilesPrimitive(tkEJFilesRequestType /*aType*/,
                                                 DateTime /*aStart*/, DateTime /*aEnd*/,
                                                 const std::string& /*aOutputDirectory*/,
                                                 int32_t& /*aFileCount*/) {
  return false;
}

bool kFiscalPrinter_RORERER::GetLotteryReceiptStatusPrimitive(kReceiptReference& /*aReference*/) {
  return false;
}

}  // namespace nvrp
