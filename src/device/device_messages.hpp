#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp::device_messages {

// Every exact text of the fiscal device framework: log lines, raised errors, result texts.

// Public operation frame: sixty "-", a blank, then the operation's banner word.
inline constexpr std::string_view kBannerRule =
    "------------------------------------------------------------";

// Banner words of the public operations.
inline constexpr std::string_view kBannerOpen = "Open";
inline constexpr std::string_view kBannerClose = "Close";
inline constexpr std::string_view kBannerPrintReceipt = "PrintReceipt";
inline constexpr std::string_view kBannerRePrintReceipt = "ReprintReceipt";
inline constexpr std::string_view kBannerPrintXReport = "PrintXReport";
inline constexpr std::string_view kBannerPrintZReport = "PrintZReport";
inline constexpr std::string_view kBannerEJReport = "EJReport";
inline constexpr std::string_view kBannerGetEJFiles = "GetEJFiles";
inline constexpr std::string_view kBannerGetLotteryReceiptStatus = "GetLotteryRcptStatus";
inline constexpr std::string_view kBannerGetStatus = "GetStatus";
inline constexpr std::string_view kBannerSet = "Set";
inline constexpr std::string_view kBannerSetDateTime = "SetDateTime";
inline constexpr std::string_view kBannerGetVatTable = "GetVATTable";
inline constexpr std::string_view kBannerSetVatTable = "SetVATTable";
inline constexpr std::string_view kBannerGetDeptTable = "GetDeptTable";
inline constexpr std::string_view kBannerSetDeptTable = "SetDeptTable";
inline constexpr std::string_view kBannerGetDrawerStatus = "GetDrawerStatus";
inline constexpr std::string_view kBannerOpenDrawer = "OpenDrawer";
inline constexpr std::string_view kBannerWriteDisplay = "WriteDisplay";
inline constexpr std::string_view kBannerPrintNFReceipt = "PrintNFReceipt";
inline constexpr std::string_view kBannerPay = "Pay";

// Information lines of the partners' calls.
inline constexpr std::string_view kLogRTServerOpenTill = "RTServer:OpenTill";
inline constexpr std::string_view kLogProcessorOpen = "Processor:Open";
inline constexpr std::string_view kLogRTServerSignReceipt = "RTServer:SignReceipt";
inline constexpr std::string_view kLogRTServerXReport = "RTServer:XReport";
inline constexpr std::string_view kLogRTServerCloseTill = "RTServer:CloseTill";

// Envelope parameters the device reads.
inline constexpr std::string_view kParamRTServer = "RTServer";
inline constexpr std::string_view kParamRTServerDriver = "RTServerDriver";
inline constexpr std::string_view kParamRTServerHost = "RTServerHost";
inline constexpr std::string_view kParamRTServerPort = "RTServerPort";
inline constexpr std::string_view kParamRTServerUser = "RTServerUser";
inline constexpr std::string_view kParamRTServerPassword = "RTServerPassword";
inline constexpr std::string_view kParamRTServerTillSerial = "RTServerTillSerial";
inline constexpr std::string_view kParamProcessor = "Processor";
inline constexpr std::string_view kParamGetReceiptText = "GetReceiptText";
inline constexpr std::string_view kParamGetReceiptImage = "GetReceiptImage";
inline constexpr std::string_view kParamTrainingMode = "TrainingMode";
inline constexpr std::string_view kParamDateTime = "DateTime";

// Training mode asked for on a device that has none: the device would go on issuing real
// fiscal receipts.
inline constexpr std::string_view kTrainingModeNotSupported =
    "Training mode is not supported by the device";

// Department table results: sales types and the economic activity's VAT mode.
inline constexpr std::string_view kSalesTypeProduct = "Product";
inline constexpr std::string_view kSalesTypeService = "Service";
inline constexpr std::string_view kEAVATModeOn = "1";
inline constexpr std::string_view kEAVATModeOff = "0";

// Line end of the payment receipt text.
inline constexpr std::string_view kPaymentLineEnd = "\r\n";

// Device log directory under the host executable's directory.
inline constexpr std::string_view kLogDirectory = "LogFiles/FiscalPrinter";

// Driver version: "Version " + version + " - " + release date (dd/mm/yyyy).
inline constexpr std::string_view kVersionPrefix = "Version ";
inline constexpr std::string_view kVersionSeparator = " - ";
inline constexpr std::string_view kReleaseDatePattern = "dd/mm/yyyy";

// A primitive that returned false without recording why: "<Primitive> failed".
inline constexpr std::string_view kPrimitiveFailedSuffix = " failed";

// Fiscal receipt.
inline constexpr std::string_view kErrorProcessingPayments = "Error while processing Payments";
// A receipt that failed part-way and that the device could not confirm either way.
inline constexpr std::string_view kReceiptMayBePrinted =
    "The receipt may have been printed: check the device before printing it again";
// Device log lines of a receipt that failed part-way.
inline constexpr std::string_view kLogReceiptFailed = "Receipt failed: ";
inline constexpr std::string_view kLogReceiptPrintedAnyway =
    "The device counted the receipt: it was printed";
inline constexpr std::string_view kLogReceiptNotPrinted = "The device did not count the receipt";
// MessageText of a printed receipt whose text could not be read back, before the reason.
inline constexpr std::string_view kReceiptTextNotRead = "The receipt text could not be read: ";
// Joins what failed to a message already in MessageText.
inline constexpr std::string_view kMessageSeparator = "; ";
inline constexpr std::string_view kUnknownReceiptLineType = "Unknown receipt line type";
// The processor refused the receipt without saying why.
inline constexpr std::string_view kProcessReceiptFailed = "ProcessReceipt failed";
// RT server receipts: no document generated; signed but not printed; signature refused
// without a reason; the journal number every RT server receipt reports.
inline constexpr std::string_view kRTServerNoDocument =
    "Errore nella generazione del documento commerciale.";
inline constexpr std::string_view kRTServerNotPrinted =
    "La transazione di vendita è stata registrata correttamente ma non è stato "
    "possibile stamparla.";
inline constexpr std::string_view kRTServerSignFailed = "RTServer:SignReceipt failed";
inline constexpr std::string_view kRTServerEJNumber = "0";

// Z report on the device: a failure from the closure on is followed by a look at the device's
// Z number, which tells whether the day was closed. No readable answer, or a day closed whose
// files cannot be read, gets its own message; MessageText then says what failed.
inline constexpr std::string_view kZReportMayHaveClosed =
    "The day may have been closed: check the device before another Z report";
inline std::string ZReportFilesNotRead(int32_t aZNumber) {
  return "The day was closed as Z " + std::to_string(aZNumber) +
         ", but its files could not be read: they stay on the device; do not send another Z report";
}
inline std::string LogZReportClosed(int32_t aZNumber) {
  return "The device closed the day as Z " + std::to_string(aZNumber);
}
inline constexpr std::string_view kLogZReportNotClosed = "The device did not close the day";
// The closure was answered, but the device's Z number did not move.
inline constexpr std::string_view kZReportNotClosed =
    "The device did not close the day: its Z number did not move";

// X and Z reports: the RT server or the processor refused without saying why.
inline constexpr std::string_view kRTServerXReportFailed = "RTServer:XReport failed";
inline constexpr std::string_view kRTServerCloseTillFailed = "RTServer:CloseTill failed";
// The RT server closed the till but its till report could not be read; the closure is not
// asked for again.
inline constexpr std::string_view kRTServerTillClosedUnreadable =
    "The RT server closed the till, but its answer could not be read: check the server before "
    "another Z report";
inline constexpr std::string_view kProcessXReportFailed = "ProcessXReport failed";
inline constexpr std::string_view kProcessZReportFailed = "ProcessZReport failed";
// The number an X report through the RT server answers, and the journal number every report
// through the RT server or the processor answers.
inline constexpr std::string_view kRTServerXReportNumber = "1";
inline constexpr std::string_view kReportEJNumber = "0";

// The RT server's till report (Italian layout). Labels of rows 3 to 9 are padded to 18
// characters as printed.
inline constexpr std::string_view kTillReportSuffix = "-REPORT";
inline constexpr std::string_view kTillReportClosingDate = "Data Chiusura:    ";
inline constexpr std::string_view kTillReportClosingNumber = "Numero Chiusura:  ";
inline constexpr std::string_view kTillReportServer = "Server:           ";
inline constexpr std::string_view kTillReportTill = "Cassa:            ";
inline constexpr std::string_view kTillReportDocuments = "Documenti Emessi: ";
inline constexpr std::string_view kTillReportCurrency = "EURO";
inline constexpr std::string_view kTillReportDayTotal = "Totale Giorno";
inline constexpr std::string_view kTillReportSales = "Totale Vendite";
inline constexpr std::string_view kTillReportRefunds = "Totale Resi";
inline constexpr std::string_view kTillReportVoids = "Totale Annulli";
inline constexpr std::string_view kTillReportClosingPattern = "dd-mm-yyyy hh:nn";
inline constexpr std::string_view kTillReportPrintedPattern = "dd-mm-yyyy hh:nn:ss";
inline constexpr std::string_view kTillReportZ = "Z";
inline constexpr std::string_view kLineBreak = "\r\n";

// Default weighted sale text: " " + quantity + " " + unit + " x " + currency + " " + price +
// "/" + unit.
inline constexpr std::string_view kWeightedBlank = " ";
inline constexpr std::string_view kWeightedTimes = " x ";
inline constexpr std::string_view kWeightedPer = "/";
inline constexpr int kWeightedQuantityDecimals = 3;
inline constexpr int kWeightedPriceDecimals = 2;

// Loading a plug-in library: "Unable to load library <path>. Error code: [<code>]".
inline constexpr std::string_view kUnableToLoadLibrary = "Unable to load library ";
inline constexpr std::string_view kErrorCodeOpen = ". Error code: [";
inline constexpr std::string_view kErrorCodeClose = "]";

// A device built without an I/O handler.
inline constexpr std::string_view kNoIOHandler = "The device has no I/O handler";

// Layout of the non-fiscal documents the framework prints itself.
inline constexpr std::string_view kDocumentLayout = "DocumentLayout";

// RT signing server bridge.
inline constexpr std::string_view kRTServerNoLibrary = "RT server library not configured";
inline constexpr std::string_view kRTServerMissingExport = "RT server library lacks the export ";

}  // namespace nvrp::device_messages
