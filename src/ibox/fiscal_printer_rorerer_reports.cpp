// Report and journal primitives of the iBox. The X and Z reports are device commands; after a
// Z report the driver reads three of its files back (text, details, XML record) into the
// counters. The device keeps no journal the driver can query, reprint or export: those
// primitives answer false at once, send nothing and record no error.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "base/date_time.hpp"
#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "device/device_messages.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_messages.hpp"
#include "ibox/ibox_z_report_files.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = ibox_messages;
namespace dmsg = device_messages;

using C = tkIBoxCommandId;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

// Tries of each Z report file read, and the pause between two of them.
constexpr int kZReportFileTries = 3;
constexpr std::chrono::milliseconds kZReportFileRetryPause{200};

}  // namespace

bool kFiscalPrinter_RORERER::PrintXReportPrimitive(kXReport& /*aReport*/) {
  const bool result = SendCommand(C::ibc_XReport);
  // The device tells nothing about the report: it counts as a document of this moment.
  fLastReceiptDateTime = Now();
  fLastReceiptNumber = 0;
  fLastReceiptEJNumber = 0;
  fLastReceiptEJClosingNumber = 0;
  return result;
}

// A Z report closes the day in the fiscal memory, so the closure is sent once and never again
// by this call: when anything fails from it on, the device's Z number, read before and after,
// tells whether the day was closed. A closed day goes on with its files, whose reads change
// nothing on the device and are tried again.
bool kFiscalPrinter_RORERER::PrintZReportPrimitive(kZReport& /*aReport*/) {
  fZReportMessageText.clear();
  int32_t zBefore = 0;
  if (!ReadStatusAnswer() || !StatusInteger(msg::kCurrentZNo, zBefore)) return false;
  tkZReportFailure failure;
  if (!CloseDay(zBefore, failure)) {
    switch (ConfirmDayClosure(zBefore)) {
      case tkDayClosure::dc_NotClosed:
        LogInfo(dmsg::kLogZReportNotClosed);
        fIOHandler->SetCustomError(failure.Code, failure.Message);
        return false;
      case tkDayClosure::dc_Unknown:
        fZReportMessageText = failure.Message;
        return Fail(Text(dmsg::kZReportMayHaveClosed));
      case tkDayClosure::dc_Closed:
        AddZReportMessage(failure.Message);
        break;
    }
  }
  if (ReadZReportFiles()) return true;
  return Fail(dmsg::ZReportFilesNotRead(fLastReceiptEJClosingNumber));
}

// The closure, then the status after it (the status polled inside the command is followed by
// loading the command's own answer, so the figures need a status request of their own). An
// answer that is not the device's (a proxy's page) may come back without the day closed: the
// Z number must be the next one.
bool kFiscalPrinter_RORERER::CloseDay(int32_t aZBefore, tkZReportFailure& aFailure) {
  try {
    if (SendCommand(C::ibc_ZReport) && PollStatus() && ReadZReportStatus()) {
      if (static_cast<int64_t>(fLastReceiptEJClosingNumber) == static_cast<int64_t>(aZBefore) + 1) {
        return true;
      }
      Fail(Text(dmsg::kZReportNotClosed));
    }
    aFailure = {fIOHandler->ErrorCode(), fIOHandler->ErrorMessage()};
  } catch (const Exception& error) {
    fIOHandler->Debug(tNV_MessageType::let_error, error.what());
    aFailure = {msg::kChannelErrorCode, error.what()};
  }
  return false;
}

kFiscalPrinter_RORERER::tkDayClosure kFiscalPrinter_RORERER::ConfirmDayClosure(int32_t aZBefore) {
  ClearErrors();
  fIOHandler->ResetCustomError();
  try {
    int32_t zNow = 0;
    if (!ReadStatusAnswer() || !StatusInteger(msg::kCurrentZNo, zNow)) {
      return tkDayClosure::dc_Unknown;
    }
    if (zNow == aZBefore) return tkDayClosure::dc_NotClosed;
    if (static_cast<int64_t>(zNow) != static_cast<int64_t>(aZBefore) + 1 || !ReadZReportStatus()) {
      return tkDayClosure::dc_Unknown;
    }
    LogInfo(dmsg::LogZReportClosed(zNow));
    fIOHandler->ResetCustomError();
    return tkDayClosure::dc_Closed;
  } catch (const Exception& error) {
    // A status that cannot be read (a Z number or clock that does not convert) tells nothing.
    fIOHandler->Debug(tNV_MessageType::let_error, error.what());
    return tkDayClosure::dc_Unknown;
  }
}

// The text, the details and the XML record; each read and checked whole, or tried again.
bool kFiscalPrinter_RORERER::ReadZReportFiles() {
  const bool read =
      ReadZReportStep([this] {
        if (!ReadZReportTextFile(C::ibc_ZReportText, msg::kZReportText)) return false;
        fCounters.Text = fTextResponse;
        return true;
      }) &&
      ReadZReportStep([this] {
        if (!ReadZReportTextFile(C::ibc_ZReportDetails, msg::kZReportDetails)) return false;
        ReadZReportDetailsText(fTextResponse);  // raises for a value that does not convert
        return true;
      }) &&
      ReadZReportStep([this] {
        if (!ReadZReportFile(C::ibc_ZReportXml, msg::kZReportRecord)) return false;
        fXmlResponseNode = fXmlResponse.document_element();
        ReadZReportDetails();
        // A record of another report (or none) would answer another day's number.
        if (fCounters.ZReportNumber == fLastReceiptEJClosingNumber) return true;
        return Fail(
            msg::ZRecordOfOtherReport(fCounters.ZReportNumber, fLastReceiptEJClosingNumber));
      });
  if (read) fIOHandler->ResetCustomError();
  return read;
}

// A text file comes as text: an HTML page in its place is a gateway's or portal's answer.
bool kFiscalPrinter_RORERER::ReadZReportTextFile(tkIBoxCommandId aId, std::string_view aKind) {
  if (!ReadZReportFile(aId, aKind)) return false;
  if (fLastAnswerWasXml ||
      !std::string_view(fLastAnswerContentType).starts_with(msg::kHtmlContentType)) {
    return true;
  }
  return Fail(msg::ZReportFileIsHtml(aKind));
}

bool kFiscalPrinter_RORERER::ReadZReportStep(const std::function<bool()>& aStep) {
  for (int attempt = 1; attempt <= kZReportFileTries; ++attempt) {
    if (attempt > 1) std::this_thread::sleep_for(kZReportFileRetryPause);
    try {
      if (aStep()) return true;
      AddZReportMessage(fIOHandler->ErrorMessage());
    } catch (const Exception& error) {
      Fail(error.what());
      AddZReportMessage(error.what());
    }
  }
  return false;
}

// Each failure once, in the order met.
void kFiscalPrinter_RORERER::AddZReportMessage(const std::string& aMessage) {
  if (aMessage.empty() || fZReportMessageText.find(aMessage) != std::string::npos) return;
  if (!fZReportMessageText.empty()) fZReportMessageText += dmsg::kMessageSeparator;
  fZReportMessageText += aMessage;
}

std::string kFiscalPrinter_RORERER::ZReportMessageText() const { return fZReportMessageText; }

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
