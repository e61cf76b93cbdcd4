#pragma once

#include <string_view>

// Every fixed text of the simulator: printed labels, answers, program messages.
namespace nvrp::ibox_sim {

// Printed receipt and report texts.
inline constexpr std::string_view kDefaultHeader = "iBox SIMULATOR";
inline constexpr std::string_view kSerialLabel = "S/N ";
inline constexpr std::string_view kDepartmentLabel = "DEPT ";
inline constexpr std::string_view kRefundLabel = "REFUND DEPT ";
inline constexpr std::string_view kDiscountLabel = "DISCOUNT";
inline constexpr std::string_view kMarkupLabel = "MARKUP";
inline constexpr std::string_view kSubtotalLabel = "SUBTOTAL";
inline constexpr std::string_view kTotalLabel = "TOTAL";
inline constexpr std::string_view kChangeLabel = "CHANGE";
inline constexpr std::string_view kReceiptLabel = "RECEIPT ";
inline constexpr std::string_view kZLabel = "Z ";
inline constexpr std::string_view kVoidLabel = "*** VOID ***";
inline constexpr std::string_view kNonFiscalLabel = "*** NON FISCAL ***";
inline constexpr std::string_view kXReportTitle = "X REPORT";
inline constexpr std::string_view kZReportTitle = "Z REPORT";
inline constexpr std::string_view kZReportDetailsTitle = "Z REPORT DETAILS ";
inline constexpr std::string_view kReceiptsLabel = "RECEIPTS";
inline constexpr std::string_view kDayTotalLabel = "DAY TOTAL";
inline constexpr std::string_view kQrCodeMarker = "[QR ";
inline constexpr std::string_view kBarcodeMarker = "[BARCODE ";

// Payment names by device payment code 1 to 9.
inline constexpr std::string_view kPaymentNames[] = {"CASH",       "CHEQUE",       "CREDIT CARD",
                                                     "DEBIT CARD", "CREDIT",       "VOUCHER",
                                                     "GIFT CARD",  "MEAL VOUCHER", "OTHER"};

// Status answer.
inline constexpr std::string_view kStatusRoot = "OTF_STATUS";
inline constexpr std::string_view kZRecordRoot = "FM_RECORDS";
inline constexpr std::string_view kErrorSuffix = ":ERROR";
inline constexpr std::string_view kFiscalReceiptType = "033:FISCAL RECEIPT";
inline constexpr std::string_view kNonFiscalReceiptType = "041:NON FISCAL";

// HTTP answers.
inline constexpr std::string_view kXmlContentType = "text/xml; charset=UTF-8";
inline constexpr std::string_view kTextContentType = "text/plain; charset=UTF-8";
inline constexpr std::string_view kNotFoundBody = "File not found";
// Replaying a device log: the 404 body of a request the log holds no answer for.
inline constexpr std::string_view kNoRecordedAnswer = "No recorded answer for ";

// Paper-roll page (/ui): names of documents in its state, its answers.
inline constexpr std::string_view kHtmlContentType = "text/html; charset=UTF-8";
inline constexpr std::string_view kJsonContentType = "application/json; charset=UTF-8";
inline constexpr std::string_view kUiNoDocument = "none";
inline constexpr std::string_view kUiFiscalDocument = "fiscal receipt";
inline constexpr std::string_view kUiNonFiscalDocument = "non-fiscal";
inline constexpr std::string_view kUiReceipt = "receipt";
inline constexpr std::string_view kUiVoidedReceipt = "voided receipt";
inline constexpr std::string_view kUiXReport = "X report";
inline constexpr std::string_view kUiZReport = "Z report";
inline constexpr std::string_view kUiDone = "ok";
inline constexpr std::string_view kUiBadFault = "invalid fault: ";
inline constexpr std::string_view kUiBadDrawer = "the drawer is \"open\" or \"closed\", not: ";

// Program and library messages.
inline constexpr std::string_view kListeningLine = "ibox-sim listening on ";
inline constexpr std::string_view kPaperRollLine = "paper roll: ";
inline constexpr std::string_view kPaperRollPath = "/ui";
inline constexpr std::string_view kAlreadyRunning = "The simulator is already running";
inline constexpr std::string_view kCannotListen = "Cannot listen on ";
inline constexpr std::string_view kUsage =
    "usage: ibox-sim [--port N] [--host ADDR] [--serial TEXT] [--z-number N]\n"
    "                [--clock \"yyyy-mm-dd hh:mm:ss\"] [--freeze-clock] [--omega-clock]\n"
    "                [--drawer-close-ms N] [--fault FAULT]... [--sticky-fault FAULT]...\n"
    "                [--replay LOG]\n"
    "--replay LOG answers every request from a device log the driver wrote, in order; a\n"
    "request the log does not hold gets 404. At exit it lists the requests that found no\n"
    "recorded answer and the recorded ones never asked for.\n"
    "FAULT is KIND[:VALUE][@MATCH] with KIND one of\n"
    "  device-error:CODE        the order fails with CODE (a status request reports it)\n"
    "  http-status:CODE[:BODY]  answer with this HTTP status and body\n"
    "  drop                     close the connection without answering\n"
    "  drop-after               carry the request out, then close without answering\n"
    "  delay:MS                 wait MS milliseconds before answering\n"
    "  content-type:TYPE        answer with this content type\n"
    "  no-gen-par               status answer without GEN_PAR\n"
    "  status-value:NAME[=TEXT] status value NAME (a GEN_PAR child or DeviceSerialNo) as TEXT,\n"
    "                           left out without =TEXT\n"
    "MATCH is a command name (Status, PLU, COMMENT, MOD, PAY, Void_Rcpt, End_Rcpt, Force_Z,\n"
    "Clr_Errors, XReport, SubTotal, OpenDrawer, Titles, Journal) or text of the request\n"
    "target; without it a fault applies to any request (device errors: to status requests).\n";
inline constexpr std::string_view kCannotReadLog = "ibox-sim: cannot read the device log ";
inline constexpr std::string_view kNoExchangesInLog =
    "ibox-sim: the device log holds no HTTP requests: ";
inline constexpr std::string_view kReplayingLine = "replaying ";
inline constexpr std::string_view kReplayUnmatched = "requests without a recorded answer: ";
inline constexpr std::string_view kReplayUnused = "recorded requests never asked for: ";
inline constexpr std::string_view kBadOption = "ibox-sim: invalid option or value: ";

}  // namespace nvrp::ibox_sim
