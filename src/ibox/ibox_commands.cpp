#include "ibox/ibox_commands.hpp"

#include <array>

#include "base/text_utils.hpp"
#include "device/fiscal_printer_device.hpp"

namespace nvrp {

namespace {

using S = tkIBoxParamSource;
using C = tkIBoxCommandId;

constexpr tkIBoxParam Lit(std::string_view aName, std::string_view aValue = {}) {
  return {aName, S::ibp_Literal, aValue};
}
constexpr tkIBoxParam Arg(std::string_view aName) { return {aName, S::ibp_Argument, {}}; }
constexpr tkIBoxParam kSeqNo{"SeqNo", S::ibp_SeqNo, {}};

namespace P = ibox_params;

constexpr std::string_view kOtfFile = "db_otf_xml.xml";
constexpr std::string_view kKeyboardFile = "keybd/LCDSTAT.XML";
constexpr std::string_view kNoFile = "";

// The tail every order on db_otf_xml.xml ends with ("Do" and "Sync" always empty).
constexpr tkIBoxParam kDo = Lit("Do");
constexpr tkIBoxParam kSync = Lit("Sync");
constexpr tkIBoxParam kMakeXml = Lit("makexmlotf", "stat");

constexpr std::array kClearErrorsParams{
    Lit("Order", "Cmd"), Lit("Action", "Clr_Errors"), Lit("Creator", "0"), kDo, kSync, kMakeXml};
// The status command spells its last parameter MakeXmlOtf.
constexpr std::array kGetStatusParams{Lit("Order", "Cmd"),      Lit("Action", "Status"),
                                      Lit("Creator", "0"),      kSeqNo,
                                      Lit("db", "gen_par"),     kSync,
                                      Lit("MakeXmlOtf", "stat")};
// "store" with the value "=" ends the query in "store==".
constexpr std::array kClearTrailerParams{Lit("db", "Titles"), Lit("Code", "2"), Lit("Line_1"),
                                         Lit("Line_2"),       Lit("Line_3"),    Lit("Line_4"),
                                         Lit("Line_5"),       Lit("Line_6"),    Lit("store", "=")};
constexpr std::array kPrintTrailerParams{
    Lit("db", "Titles"), Lit("Code", "2"), Arg(P::kLine1), Arg(P::kLine2), Arg(P::kLine3),
    Arg(P::kLine4),      Arg(P::kLine5),   Arg(P::kLine6), Lit("store"),   kSync};
constexpr std::array kDescriptionParams{
    Lit("Order", "COMMENT"), Arg(P::kDescr), Arg(P::kUse), kSeqNo, kDo, kSync, kMakeXml};
constexpr std::array kItemParams{Lit("Order", "PLU"),
                                 Arg(P::kUse),
                                 Arg(P::kCode),
                                 Arg(P::kQuant),
                                 Arg(P::kPrice),
                                 kSeqNo,
                                 kDo,
                                 kSync,
                                 kMakeXml};
constexpr std::array kDiscountParams{
    Lit("Order", "MOD"), Arg(P::kAmount), kSeqNo, kDo, kSync, kMakeXml};
constexpr std::array kMarkupParams{Lit("Order", "MOD"),
                                   Lit("MarkupOrDiscount", "MarkUp"),
                                   Arg(P::kAmount),
                                   kSeqNo,
                                   kDo,
                                   kSync,
                                   kMakeXml};
constexpr std::array kSubTotalParams{Lit("kbch", "115")};
constexpr std::array kTotalParams{
    Lit("Order", "PAY"), kSeqNo, Arg(P::kAmount), Arg(P::kCode), kDo, kSync, kMakeXml};
constexpr std::array kVoidReceiptParams{Lit("Order", "Cmd"), Lit("Action", "Void_Rcpt"), kDo, kSync,
                                        kMakeXml};
constexpr std::array kXReportParams{Lit("ReportDBaseType", "50:"),
                                    Lit("ReportFilterType", "0:"),
                                    Lit("ReportContentType", "4:"),
                                    Lit("kbch", "29"),
                                    kSync,
                                    kMakeXml};
constexpr std::array kZReportParams{Lit("Order", "Cmd"), Lit("Action", "Force_Z"), kDo, kSync,
                                    kMakeXml};
constexpr std::array kEndReceiptParams{
    Lit("Order", "Cmd"), Lit("Action", "End_Rcpt"), kSeqNo, kDo, kSync, kMakeXml};
constexpr std::array kNonFiscalLineParams{
    Lit("Order", "COMMENT"), Lit("Use", "Extern"), kSeqNo, Arg(P::kDescr), kDo, kSync, kMakeXml};
constexpr std::array kOpenDrawerParams{Lit("kbch", "100")};
constexpr std::span<const tkIBoxParam> kNoParams{};

// clang-format off
// Id, label, file, journal, parameters, clear errors first, poll status, content type.
constexpr std::array kCommands{
    tkIBoxCommand{C::ibc_ClearErrors, "ClearErrors", kOtfFile, false, kClearErrorsParams, false, false, ""},
    tkIBoxCommand{C::ibc_GetStatus, "int_GetStatus", kOtfFile, false, kGetStatusParams, false, false, ""},
    tkIBoxCommand{C::ibc_ClearTrailerMessages, "ClearTrailerMessages", kNoFile, false, kClearTrailerParams, true, true, ""},
    tkIBoxCommand{C::ibc_PrintTrailerMessages, "PrintTrailerMessages", kNoFile, false, kPrintTrailerParams, false, false, ""},
    tkIBoxCommand{C::ibc_PrintDescription, "PrintDescription", kOtfFile, false, kDescriptionParams, true, true, ""},
    tkIBoxCommand{C::ibc_Item, "", kOtfFile, false, kItemParams, true, true, ""},
    tkIBoxCommand{C::ibc_Discount, "", kOtfFile, false, kDiscountParams, true, true, ""},
    tkIBoxCommand{C::ibc_Markup, "", kOtfFile, false, kMarkupParams, true, true, ""},
    tkIBoxCommand{C::ibc_SubTotal, "SubTotal", kKeyboardFile, false, kSubTotalParams, true, true, ""},
    tkIBoxCommand{C::ibc_Total, "Total", kOtfFile, false, kTotalParams, true, true, ""},
    tkIBoxCommand{C::ibc_VoidReceipt, "Reset: Void Receipt", kOtfFile, false, kVoidReceiptParams, true, true, ""},
    tkIBoxCommand{C::ibc_GetReceiptText, "GetReceiptText", kNoFile, true, kNoParams, true, true, ""},
    tkIBoxCommand{C::ibc_XReport, "XReport", kOtfFile, false, kXReportParams, true, true, ""},
    tkIBoxCommand{C::ibc_ZReport, "ZReport", kOtfFile, false, kZReportParams, true, true, ""},
    tkIBoxCommand{C::ibc_ZReportText, "ZReport - Read Receipt Text", kNoFile, true, kNoParams, true, true, ""},
    tkIBoxCommand{C::ibc_ZReportDetails, "ZReport - Read Receipt Details", kNoFile, true, kNoParams, true, true, ""},
    tkIBoxCommand{C::ibc_ZReportXml, "ZReport - Read XML", kNoFile, true, kNoParams, false, false, "text/xml"},
    tkIBoxCommand{C::ibc_EndFiscalReceipt, "EndFiscalReceipt", kOtfFile, false, kEndReceiptParams, true, true, ""},
    tkIBoxCommand{C::ibc_PrintNoFiscalTextLine, "PrintNoFiscalMessageTextLine", kOtfFile, false, kNonFiscalLineParams, true, true, ""},
    tkIBoxCommand{C::ibc_PrintNoFiscalBarcode, "PrintNoFiscalMessageBarcode", kOtfFile, false, kNonFiscalLineParams, true, true, ""},
    tkIBoxCommand{C::ibc_OpenDrawer, "OpenDrawer", kKeyboardFile, false, kOpenDrawerParams, true, true, ""},
};
// clang-format on

constexpr bool RowsFollowIds() {
  for (size_t i = 0; i < kCommands.size(); ++i) {
    if (static_cast<size_t>(kCommands[i].Id) != i) return false;
  }
  return true;
}
static_assert(RowsFollowIds(), "command rows must follow the order of tkIBoxCommandId");

constexpr std::string_view kJournalRoot = "*/Z";

}  // namespace

const tkIBoxCommand& IBoxCommand(tkIBoxCommandId aId) {
  return kCommands.at(static_cast<size_t>(aId));
}

std::span<const tkIBoxCommand> IBoxCommands() { return kCommands; }

std::string IBoxFourDigits(int32_t aNumber) {
  return FormatFixedNumber(static_cast<double>(aNumber), 4, 0, false, "");
}

std::string IBoxReceiptTextPath(int32_t aZNumber, int32_t aReceipt) {
  return std::string(kJournalRoot) + IBoxFourDigits(aZNumber) + "/F" + IBoxFourDigits(aReceipt) +
         "_A.";
}

std::string IBoxZReportFilePath(int32_t aZNumber, std::string_view aKind) {
  const std::string z = IBoxFourDigits(aZNumber);
  return std::string(kJournalRoot) + z + "/Z" + z + "_" + std::string(aKind) + ".";
}

std::string IBoxAmount(Currency aAmount) {
  return ReplaceAll(kFiscalPrinterDevice::FormatAmount(2, aAmount), ".", ",");
}

std::string IBoxQuantity(Currency aQuantity) {
  return ReplaceAll(kFiscalPrinterDevice::FormatAmount(3, aQuantity), ".", ",");
}

}  // namespace nvrp
