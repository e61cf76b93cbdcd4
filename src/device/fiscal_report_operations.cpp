// The report and journal operations: X and Z reports (through the RT signing server, the
// external processor or the device itself), the RT server's till report, journal reports and
// files, the lottery status of a receipt and its reprint.

#include <memory>
#include <string>
#include <string_view>

#include "base/date_time.hpp"
#include "base/log_message_type.hpp"
#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/fiscal_processor_caller.hpp"
#include "device/regional_number_format.hpp"
#include "device/rt_server_bridge.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "documents/request_documents.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

std::string Text(std::string_view aText) { return std::string(aText); }

using LA = tkReceiptMessageLineAlignment;
using Effects = tkReceiptMessageLineEffectSet;

}  // namespace

// --- X report ----------------------------------------------------------------------------------

_int_PRINTXR_result kFiscalPrinterDevice::Pub_PrintXReport(kReceiptPrinterHandler& aHandler) {
  _int_PRINTXR_result result;
  BeginOperation(msg::kBannerPrintXReport, result);
  if (fRTServerActive) {
    PrintRTServerXReport(aHandler, result);
  } else if (fProcessor->Active()) {
    PrintProcessorXReport(result);
  } else {
    PrintDeviceXReport(aHandler, result);
  }
  return result;
}

void kFiscalPrinterDevice::PrintRTServerXReport(kReceiptPrinterHandler& aHandler,
                                                _int_PRINTXR_result& aResult) {
  OpenRTServerTillIfNeeded(aHandler);
  LogInfo(msg::kLogRTServerXReport);
  if (!fRTServer->XReport()) {
    aResult.ErrorText = RTServerReportError(msg::kRTServerXReportFailed);
    return;
  }
  *fRTServerTillReportInfo = fRTServer->TillReportInfo();
  PrintTillReport("X");
  const kRTServerTillReportInfo& info = *fRTServerTillReportInfo;
  aResult.XReportNumber = Text(msg::kRTServerXReportNumber);
  aResult.XReportDateTime = Now();
  aResult.EJNumber = Text(msg::kReportEJNumber);
  aResult.EJClosingNumber = std::to_string(info.fzRepNumber);
  aResult.DeviceSerialNumber = info.fTillSerialNumber;
  aResult.ServerSerialNumber = info.fServerSerialNumber;
  aResult.Error = false;
  aResult.ErrorText.clear();
}

void kFiscalPrinterDevice::PrintProcessorXReport(_int_PRINTXR_result& aResult) {
  if (!fProcessor->ProcessXReport(fXmlString, fCounters)) {
    aResult.ErrorText = ProcessorReportError(msg::kProcessXReportFailed);
    return;
  }
  fProcessor->PrintReport(fCounters.Text, *this);
  aResult.XReportNumber = std::to_string(fCounters.ZReportNumber);
  aResult.XReportDateTime = fCounters.ZReportDateTime;
  aResult.EJNumber = Text(msg::kReportEJNumber);
  aResult.EJClosingNumber = std::to_string(fCounters.ZReportNumber);
  aResult.DeviceSerialNumber = fSerialNumber;
  aResult.ServerSerialNumber.clear();
  aResult.Error = false;
  aResult.ErrorText.clear();
}

void kFiscalPrinterDevice::PrintDeviceXReport(kReceiptPrinterHandler& aHandler,
                                              _int_PRINTXR_result& aResult) {
  if (ReadinessStep()) Call(PrintXReportPrimitive(aHandler.XReport()), "PrintXReportPrimitive");
  if (!FinishOperation(aResult)) {
    aResult.XReportNumber.clear();
    aResult.XReportDateTime = 0;
    return;
  }
  GetLastReceiptInfo(aResult.XReportDateTime, aResult.XReportNumber, aResult.EJNumber,
                     aResult.EJClosingNumber, aResult.DeviceSerialNumber);
}

// --- Z report ----------------------------------------------------------------------------------

_int_PRINTZR_result kFiscalPrinterDevice::Pub_PrintZReport(kReceiptPrinterHandler& aHandler) {
  _int_PRINTZR_result result;
  BeginOperation(msg::kBannerPrintZReport, result);
  if (fRTServerActive) {
    PrintRTServerZReport(aHandler, result);
  } else if (fProcessor->Active()) {
    PrintProcessorZReport(result);
  } else {
    PrintDeviceZReport(aHandler, result);
  }
  return result;
}

void kFiscalPrinterDevice::PrintRTServerZReport(kReceiptPrinterHandler& aHandler,
                                                _int_PRINTZR_result& aResult) {
  OpenRTServerTillIfNeeded(aHandler);
  LogInfo(msg::kLogRTServerCloseTill);
  bool closed = false;
  try {
    closed = fRTServer->CloseTill();
  } catch (const Exception& error) {
    if (fRTServer->TillOpened()) throw;
    // The till is closed: the answer says so, and the unreadable report is what failed.
    fIOHandler->Debug(tNV_MessageType::let_error, error.what());
    aResult.ErrorText = Text(msg::kRTServerTillClosedUnreadable);
    aResult.MessageText = error.what();
    return;
  }
  if (!closed) {
    aResult.ErrorText = RTServerReportError(msg::kRTServerCloseTillFailed);
    return;
  }
  *fRTServerTillReportInfo = fRTServer->TillReportInfo();
  PrintTillReport(msg::kTillReportZ);
  const kRTServerTillReportInfo& info = *fRTServerTillReportInfo;
  aResult.ZReportNumber = std::to_string(info.fzRepNumber);
  aResult.ZReportDateTime = info.fzRepDateTime;
  aResult.EJNumber = Text(msg::kReportEJNumber);
  aResult.EJClosingNumber = std::to_string(info.fzRepNumber);
  aResult.DeviceSerialNumber = info.fTillSerialNumber;
  aResult.ServerSerialNumber = info.fServerSerialNumber;
  // The server's till report has no grand totals, discounts, returns or refund count.
  aResult.DayTotalAmount = info.fDailyAmount;
  aResult.DayRefundsAmount = info.fRefundsAmount;
  aResult.DayVoidsAmount = info.fVoidsAmount;
  aResult.DayReceiptsNumber = info.fnRecNumber;
  aResult.Text = fCounters.Text;
  aResult.Error = false;
  aResult.ErrorText.clear();
}

void kFiscalPrinterDevice::PrintProcessorZReport(_int_PRINTZR_result& aResult) {
  if (!fProcessor->ProcessZReport(fXmlString, fCounters)) {
    aResult.ErrorText = ProcessorReportError(msg::kProcessZReportFailed);
    return;
  }
  aResult.ZReportNumber = std::to_string(fCounters.ZReportNumber);
  aResult.ZReportDateTime = fCounters.ZReportDateTime;
  aResult.EJNumber = Text(msg::kReportEJNumber);
  aResult.EJClosingNumber = std::to_string(fCounters.ZReportNumber);
  aResult.DeviceSerialNumber = fSerialNumber;
  aResult.ServerSerialNumber.clear();
  CopyCounters(aResult);
  aResult.Text = fCounters.Text;
  aResult.Error = false;
  aResult.ErrorText.clear();
  fProcessor->PrintReport(fCounters.Text, *this);
}

void kFiscalPrinterDevice::PrintDeviceZReport(kReceiptPrinterHandler& aHandler,
                                              _int_PRINTZR_result& aResult) {
  if (ReadinessStep()) Call(PrintZReportPrimitive(aHandler.ZReport()), "PrintZReportPrimitive");
  aResult.MessageText = ZReportMessageText();
  if (!FinishOperation(aResult)) {
    aResult.ZReportNumber.clear();
    aResult.ZReportDateTime = 0;
    aResult.RemainingFiscalMemory = 0;
    return;
  }
  // The report's own number comes from the counters, not from the last document.
  std::string documentNumber;
  GetLastReceiptInfo(aResult.ZReportDateTime, documentNumber, aResult.EJNumber,
                     aResult.EJClosingNumber, aResult.DeviceSerialNumber);
  GetRemainingFiscalMemory(aResult.RemainingFiscalMemory);
  CopyCounters(aResult);
  aResult.ZReportNumber = std::to_string(fCounters.ZReportNumber);
  if (aResult.ZReportDateTime == 0) aResult.ZReportDateTime = fCounters.ZReportDateTime;
  aResult.Text = fCounters.Text;
}

std::string kFiscalPrinterDevice::ZReportMessageText() const { return {}; }

void kFiscalPrinterDevice::CopyCounters(_int_PRINTZR_result& aResult) const {
  aResult.GrandTotalAmount = fCounters.GrandTotalAmount;
  aResult.GrandTotalRefundsAmount = fCounters.GrandTotalRefundsAmount;
  aResult.GrandTotalVoidsAmount = fCounters.GrandTotalVoidsAmount;
  aResult.DayTotalAmount = fCounters.DayTotalAmount;
  aResult.DayDiscountsAmount = fCounters.DayDiscountsAmount;
  aResult.DayReturnsAmount = fCounters.DayReturnsAmount;
  aResult.DayRefundsAmount = fCounters.DayRefundsAmount;
  aResult.DayVoidsAmount = fCounters.DayVoidsAmount;
  aResult.DayReceiptsNumber = fCounters.DayReceiptsNumber;
  aResult.DayRefundsNumber = fCounters.DayRefundsNumber;
}

// A refused report says why: the partner's message, else that the call failed. It goes to the
// device log too, as nothing reached the device.
std::string kFiscalPrinterDevice::RTServerReportError(std::string_view aFallback) const {
  const std::string& message = fRTServer->ErrorMessage();
  std::string error = message.empty() ? Text(aFallback) : message;
  fIOHandler->Debug(tNV_MessageType::let_error, error);
  return error;
}

std::string kFiscalPrinterDevice::ProcessorReportError(std::string_view aFallback) const {
  const std::string& message = fProcessor->ErrorMessage();
  std::string error = message.empty() ? Text(aFallback) : message;
  fIOHandler->Debug(tNV_MessageType::let_error, error);
  return error;
}

// --- Till report of the RT server --------------------------------------------------------------

bool kFiscalPrinterDevice::PrintTillReport(std::string_view aKind) {
  fCounters.Text.clear();
  kNFReceipt document;
  document.fLayout = Text(msg::kDocumentLayout);
  bool first = true;
  for (const std::string& header : fRTServerReceiptInfo->fHeaderLines) {
    auto line = std::make_unique<kReceiptMessageTextLine>(&document);
    line->fValue = header;
    line->fSize = first ? 2 : 1;
    line->fSection = tkReceiptSection::rs_lead;
    document.fHeaderLines.Add(std::move(line));
    first = false;
  }
  auto gap = std::make_unique<kReceiptMessageTextLine>(&document);
  gap->fSize = 1;
  gap->fSection = tkReceiptSection::rs_lead;
  document.fHeaderLines.Add(std::move(gap));

  BeginNonFiscal(document);
  const kRTServerTillReportInfo& info = *fRTServerTillReportInfo;
  const auto line = [&](std::string_view aText, LA aAlignment = LA::la_left,
                        Effects aEffects = {}) {
    PrintReportLine(document, aText, aEffects, aAlignment);
  };
  line(Text(aKind) + Text(msg::kTillReportSuffix), LA::la_center,
       Effects{tkReceiptMessageLineEffect::le_bold});
  if (aKind == msg::kTillReportZ) {
    line("");
    line(Text(msg::kTillReportClosingDate) +
         FormatDateTime(msg::kTillReportClosingPattern, info.fzRepDateTime));
    line(Text(msg::kTillReportClosingNumber) + std::to_string(info.fzRepNumber));
  }
  line("");
  line(Text(msg::kTillReportServer) + info.fServerSerialNumber);
  line(Text(msg::kTillReportTill) + info.fTillSerialNumber);
  line("");
  line(Text(msg::kTillReportDocuments) + std::to_string(info.fnRecNumber));
  line("");
  line(msg::kTillReportCurrency, LA::la_right);
  line(FormatAmountLine(msg::kTillReportDayTotal, info.fDailyAmount));
  line("");
  line(FormatAmountLine(msg::kTillReportSales, info.fSalesAmount));
  line(FormatAmountLine(msg::kTillReportRefunds, info.fRefundsAmount));
  line(FormatAmountLine(msg::kTillReportVoids, info.fVoidsAmount));
  line("");
  line(FormatDateTime(msg::kTillReportPrintedPattern, Now()), LA::la_center);
  line("");
  EndNonFiscal(document);
  return true;
}

void kFiscalPrinterDevice::PrintReportLine(kNFReceipt& aDocument, std::string_view aText,
                                           tkReceiptMessageLineEffectSet aEffects,
                                           tkReceiptMessageLineAlignment aAlignment) {
  kReceiptMessageTextLine line(&aDocument);
  line.fEffects = aEffects;
  line.fValue = Text(aText);
  line.fAlignment = aAlignment;
  line.fSize = 1;
  PrintNonFiscalTextLine(nullptr, line);
  fCounters.Text += msg::kLineBreak;
  fCounters.Text += aText;
}

std::string kFiscalPrinterDevice::FormatAmountLine(std::string_view aLabel,
                                                   Currency aAmount) const {
  tkNumberFormat format;
  format.fDecimalSeparator = HostNumberFormat().fDecimalSeparator;
  const std::string amount = FormatGroupedNumber(aAmount, 2, format);
  const size_t lineLength = fLineLength > 0 ? static_cast<size_t>(fLineLength) : 0;
  const size_t amountLength = Utf16Length(amount);
  if (amountLength >= lineLength) return amount;
  const size_t labelLength = lineLength - amountLength;
  std::string label = Utf16Left(aLabel, labelLength);
  label.append(labelLength - Utf16Length(label), ' ');
  return label + amount;
}

// --- Journal -----------------------------------------------------------------------------------

_int_EJREPORT_result kFiscalPrinterDevice::Pub_EJReport(kReceiptPrinterHandler& aHandler) {
  _int_EJREPORT_result result;
  BeginOperation(msg::kBannerEJReport, result);
  RunEJReport(aHandler.EJReport(), result.Text);
  FinishOperation(result);
  return result;
}

// A device that cannot report from its journal answers false without an error: the command
// then ends without error, so these results are not tested.
void kFiscalPrinterDevice::RunEJReport(const kEJReport& aReport, std::string& aText) {
  const auto destination = aReport.fDestination;
  const DateTime start = aReport.fStartDate;
  const DateTime end = aReport.fEndDate;
  const int32_t first = aReport.fStartNumber;
  const int32_t last = aReport.fEndNumber;
  switch (aReport.fReportType) {
    case tkEJReportType::ejrt_ZReport:
      EJPrintZReports(destination, start, end, aText);
      break;
    case tkEJReportType::ejrt_FiscalReceipt:
      EJPrintFiscalReceipts(destination, start, end, first, last, aText);
      break;
    case tkEJReportType::ejrt_NonFiscalReceipt:
      EJPrintNonFiscalReceipts(destination, start, end, first, last, aText);
      break;
    case tkEJReportType::ejrt_CreditNote:
      EJPrintCreditNotes(destination, start, end, first, last, aText);
      break;
    case tkEJReportType::ejrt_Invoice:
      EJPrintInvoices(destination, start, end, first, last, aText);
      break;
  }
}

_int_GETEJFILES_result kFiscalPrinterDevice::Pub_GetEJFiles(kReceiptPrinterHandler& aHandler) {
  _int_GETEJFILES_result result;
  BeginOperation(msg::kBannerGetEJFiles, result);
  const kEJFilesRequest& request = aHandler.EJFilesRequest();
  GetEJFilesPrimitive(request.fReqType, request.fStartDate, request.fEndDate, request.fOutputDir,
                      fEJFilesCount);
  if (FinishOperation(result)) result.FilesCount = fEJFilesCount;
  return result;
}

// --- Receipts already printed ------------------------------------------------------------------

_int_GETLOTTERYRCPTSTATUS_result kFiscalPrinterDevice::Pub_GetLotteryReceiptStatus(
    kReceiptPrinterHandler& aHandler) {
  _int_GETLOTTERYRCPTSTATUS_result result;
  BeginOperation(msg::kBannerGetLotteryReceiptStatus, result);
  if (ReadinessStep()) GetLotteryReceiptStatusPrimitive(aHandler.ReceiptReference());
  if (!FinishOperation(result)) return result;
  // The status kept from an earlier query stands when the device did not answer a new one.
  result.CorrectlySent = fLotteryReceiptStatus.CorrectlySent;
  result.StatusCode = fLotteryReceiptStatus.StatusCode;
  result.StatusDescription = fLotteryReceiptStatus.StatusDescription;
  result.ReferenceId = fLotteryReceiptStatus.ReferenceId;
  return result;
}

_int_REPRINTFR_result kFiscalPrinterDevice::Pub_RePrintReceipt(kReceiptPrinterHandler& aHandler) {
  _int_REPRINTFR_result result;
  BeginOperation(msg::kBannerRePrintReceipt, result);
  if (ReadinessStep()) {
    Call(ReprintReceiptPrimitive(aHandler.ReceiptReference()), "ReprintReceiptPrimitive");
  }
  FinishOperation(result);
  return result;
}

}  // namespace nvrp
