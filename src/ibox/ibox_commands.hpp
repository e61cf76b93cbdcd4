#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/currency.hpp"

namespace nvrp {

// Every command the iBox device class sends, as data: log label, file on the device, query
// parameters in order, and how it is sent.

// Where a parameter's value comes from.
enum class tkIBoxParamSource {
  ibp_Literal,   // the row's value, sent as written (may be empty: "Do=", "Sync=")
  ibp_SeqNo,     // the next sequence number, taken when the parameter is appended
  ibp_Argument,  // a value the sender computes (descriptions, codes, amounts)
};

struct tkIBoxParam {
  std::string_view Name;
  tkIBoxParamSource Source = tkIBoxParamSource::ibp_Literal;
  std::string_view Value;
};

enum class tkIBoxCommandId {
  ibc_ClearErrors,
  ibc_GetStatus,
  ibc_ClearTrailerMessages,
  ibc_PrintTrailerMessages,
  ibc_PrintDescription,
  ibc_Item,
  ibc_Discount,
  ibc_Markup,
  ibc_SubTotal,
  ibc_Total,
  ibc_VoidReceipt,
  ibc_GetReceiptText,
  ibc_XReport,
  ibc_ZReport,
  ibc_ZReportText,
  ibc_ZReportDetails,
  ibc_ZReportXml,
  ibc_EndFiscalReceipt,
  ibc_PrintNoFiscalTextLine,
  ibc_PrintNoFiscalBarcode,
  ibc_OpenDrawer,
};

struct tkIBoxCommand {
  tkIBoxCommandId Id;
  std::string_view Label;  // empty: the sender names the command (items, discounts, markups)
  std::string_view File;   // file on the device; may be empty
  bool JournalFile;        // the sender gives a journal path instead of File and parameters
  std::span<const tkIBoxParam> Params;
  bool ClearErrorsFirst;
  bool PollStatus;
  std::string_view ContentType;  // content type the answer is read as; usually empty
};

// The row of a command.
const tkIBoxCommand& IBoxCommand(tkIBoxCommandId aId);
// Every row, in the order of tkIBoxCommandId.
std::span<const tkIBoxCommand> IBoxCommands();

// Names of the parameters whose values the sender computes.
namespace ibox_params {
inline constexpr std::string_view kUse = "Use";
inline constexpr std::string_view kCode = "Code";
inline constexpr std::string_view kQuant = "Quant";
inline constexpr std::string_view kPrice = "Price";
inline constexpr std::string_view kDescr = "Descr";
inline constexpr std::string_view kAmount = "Amount";
inline constexpr std::string_view kLine1 = "Line_1";
inline constexpr std::string_view kLine2 = "Line_2";
inline constexpr std::string_view kLine3 = "Line_3";
inline constexpr std::string_view kLine4 = "Line_4";
inline constexpr std::string_view kLine5 = "Line_5";
inline constexpr std::string_view kLine6 = "Line_6";
}  // namespace ibox_params

// A value the sender computes, by parameter name.
struct tkIBoxArgument {
  std::string_view Name;
  std::string Value;
};

// Journal numbers on the wire: zero-padded to four digits, only the last four of longer ones.
std::string IBoxFourDigits(int32_t aNumber);
// Text of fiscal receipt aReceipt of day aZNumber: "*/Z" + Z + "/F" + F + "_A.".
std::string IBoxReceiptTextPath(int32_t aZNumber, int32_t aReceipt);
// File of Z report aZNumber: "*/Z" + Z + "/Z" + Z + "_" + aKind + "." (aKind "J", "S" or "M").
std::string IBoxZReportFilePath(int32_t aZNumber, std::string_view aKind);

// Amounts and prices (2 decimals) and quantities (3 decimals) with "," as decimal separator.
std::string IBoxAmount(Currency aAmount);
std::string IBoxQuantity(Currency aQuantity);

}  // namespace nvrp
