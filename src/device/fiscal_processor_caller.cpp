#include "device/fiscal_processor_caller.hpp"

#include <utility>
#include <vector>

#include "base/text_utils.hpp"
#include "device/device_messages.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/plugin_library.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_documents.hpp"
#include "documents/request_xml.hpp"

namespace nvrp {

namespace msg = device_messages;

namespace {

// Export names of a fiscal processor library.
constexpr const char* kExportOpen = "OPEN";
constexpr const char* kExportProcessReceipt = "PROCESSRECEIPT";
constexpr const char* kExportProcessXReport = "PROCESSXREPORT";
constexpr const char* kExportProcessZReport = "PROCESSZREPORT";
constexpr const char* kExportProcessGetStatus = "PROCESSGETSTATUS";

// The thirteen counter fields of a report answer; raises on XML or values that do not convert.
tkFiscalCounters ReadCounters(const std::string& aXml) {
  const pugi::xml_document document = ParseRequestXml(aXml);
  const pugi::xml_node root = document.document_element();
  tkFiscalCounters counters;
  counters.GrandTotalAmount = krptUtil::GetNodeValueAsCurrency(root, "GrandTotalAmount");
  counters.GrandTotalRefundsAmount =
      krptUtil::GetNodeValueAsCurrency(root, "GrandTotalRefundsAmount");
  counters.GrandTotalVoidsAmount = krptUtil::GetNodeValueAsCurrency(root, "GrandTotalVoidsAmount");
  counters.DayTotalAmount = krptUtil::GetNodeValueAsCurrency(root, "DayTotalAmount");
  counters.DayDiscountsAmount = krptUtil::GetNodeValueAsCurrency(root, "DayDiscountsAmount");
  counters.DayReturnsAmount = krptUtil::GetNodeValueAsCurrency(root, "DayReturnsAmount");
  counters.DayRefundsAmount = krptUtil::GetNodeValueAsCurrency(root, "DayRefundsAmount");
  counters.DayVoidsAmount = krptUtil::GetNodeValueAsCurrency(root, "DayVoidsAmount");
  counters.DayReceiptsNumber = krptUtil::GetNodeValueAsInteger(root, "DayReceiptsNumber");
  counters.DayRefundsNumber = krptUtil::GetNodeValueAsInteger(root, "DayRefundsNumber");
  counters.ZReportNumber = krptUtil::GetNodeValueAsInteger(root, "ReportNumber");
  counters.ZReportDateTime = krptUtil::GetNodeValueAsDateTime(root, "ReportDateTime");
  counters.Text = krptUtil::GetNodeValueAsString(root, "Text");
  return counters;
}

std::unique_ptr<kReceiptMessageTextLine> ReportLine(kNFReceipt& aDocument, std::string aText,
                                                    bool aTitle) {
  auto line = std::make_unique<kReceiptMessageTextLine>(&aDocument);
  line->fValue = std::move(aText);
  if (aTitle) {
    line->fEffects = {tkReceiptMessageLineEffect::le_bold};
    line->fSize = 2;
    line->fAlignment = tkReceiptMessageLineAlignment::la_center;
  } else {
    line->fSize = 1;
    line->fAlignment = tkReceiptMessageLineAlignment::la_left;
  }
  return line;
}

}  // namespace

kFiscalProcessorCaller::kFiscalProcessorCaller(std::string aName)
    : fName(std::move(aName)), fActive(!fName.empty()) {}

// The library is never unloaded: it stays for the rest of the process.
kFiscalProcessorCaller::~kFiscalProcessorCaller() { fDLLHandle.Release(); }

void kFiscalProcessorCaller::Init() {
  if (fName.empty()) return;
  LoadPluginLibrary(fDLLHandle, PluginLibraryPath(fName));
  fOpenProcessor = fDLLHandle.Function<tkFP_OpenProcessor>(kExportOpen);
  fProcessReceipt = fDLLHandle.Function<tkFP_ProcessReceipt>(kExportProcessReceipt);
  fProcessXReport = fDLLHandle.Function<tkFP_ProcessXZReport>(kExportProcessXReport);
  fProcessZReport = fDLLHandle.Function<tkFP_ProcessXZReport>(kExportProcessZReport);
  fProcessGetStatus = fDLLHandle.Function<tkFP_ProcessGetStatus>(kExportProcessGetStatus);
}

bool kFiscalProcessorCaller::OpenProcessor(const std::string& aXml) {
  if (fOpenProcessor == nullptr) return true;
  OwnedOleString xmlIn(aXml);
  OwnedOleString error;
  int32_t handle = 0;
  const int16_t answer = fOpenProcessor(xmlIn.Get(), &handle, error.Out());
  fProcessorHandle = handle;
  fErrorMessage = error.Text();
  return answer == 0;
}

bool kFiscalProcessorCaller::ProcessReceipt(const std::string& aInXml, std::string& aOutXml) {
  if (fProcessReceipt == nullptr) return true;
  OwnedOleString xmlIn(aInXml);
  OwnedOleString xmlOut;
  OwnedOleString error;
  const int16_t answer = fProcessReceipt(xmlIn.Get(), xmlOut.Out(), error.Out());
  fErrorMessage = error.Text();
  aOutXml = xmlOut.Text();
  return answer == 0;
}

bool kFiscalProcessorCaller::ProcessXReport(const std::string& aInXml,
                                            tkFiscalCounters& aCounters) {
  return ProcessReport(fProcessXReport, aInXml, aCounters);
}

bool kFiscalProcessorCaller::ProcessZReport(const std::string& aInXml,
                                            tkFiscalCounters& aCounters) {
  return ProcessReport(fProcessZReport, aInXml, aCounters);
}

bool kFiscalProcessorCaller::ProcessReport(tkFP_ProcessXZReport aEntry, const std::string& aInXml,
                                           tkFiscalCounters& aCounters) {
  if (aEntry == nullptr) return false;
  OwnedOleString xmlIn(aInXml);
  OwnedOleString xmlOut;
  OwnedOleString error;
  if (aEntry(xmlIn.Get(), xmlOut.Out(), error.Out()) != 0) {
    fErrorMessage = error.Text();
    return false;
  }
  aCounters = ReadCounters(xmlOut.Text());
  return true;
}

bool kFiscalProcessorCaller::ProcessGetStatus(const std::string& aInXml, bool& aDayOpened,
                                              DateTime& aDateTime, bool& aTrainingMode,
                                              std::string& aFirmwareVersion,
                                              std::string& aSerialNumber,
                                              std::string& aFiscalMode) {
  if (fProcessGetStatus == nullptr) return false;
  OwnedOleString xmlIn(aInXml);
  OwnedOleString xmlOut;
  OwnedOleString error;
  if (fProcessGetStatus(xmlIn.Get(), xmlOut.Out(), error.Out()) != 0) {
    fErrorMessage = error.Text();
    return false;
  }
  const pugi::xml_document document = ParseRequestXml(xmlOut.Text());
  const pugi::xml_node root = document.document_element();
  // Convert everything before assigning, so a bad value changes nothing.
  const bool dayOpened = krptUtil::GetNodeValueAsBoolean(root, "DayOpened", false);
  const DateTime dateTime = krptUtil::GetNodeValueAsDateTime(root, "DateTime");
  const bool trainingMode = krptUtil::GetNodeValueAsBoolean(root, "TrainingMode", false);
  aFirmwareVersion = krptUtil::GetNodeValueAsString(root, "FirmwareVersion");
  aSerialNumber = krptUtil::GetNodeValueAsString(root, "SerialNumber");
  aFiscalMode = krptUtil::GetNodeValueAsString(root, "FiscalMode");
  aDayOpened = dayOpened;
  aDateTime = dateTime;
  aTrainingMode = trainingMode;
  return true;
}

bool kFiscalProcessorCaller::PrintReport(const std::string& aText, kFiscalPrinterDevice& aPrinter) {
  kNFReceipt document;
  document.fLayout = std::string(msg::kDocumentLayout);
  aPrinter.BeginNonFiscal(document);
  bool first = true;
  for (std::string& text : SplitLines(aText)) {
    const auto line = ReportLine(document, std::move(text), first);
    aPrinter.PrintNonFiscalTextLine(nullptr, *line);
    first = false;
  }
  aPrinter.EndNonFiscal(document);
  return true;
}

}  // namespace nvrp
