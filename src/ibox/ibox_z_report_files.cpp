#include "ibox/ibox_z_report_files.hpp"

#include <cctype>
#include <string>

#include "base/nv_exception.hpp"
#include "base/value_messages.hpp"
#include "documents/krpt_util.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

namespace msg = ibox_messages;

namespace {

bool IsDigit(char aChar) { return std::isdigit(static_cast<unsigned char>(aChar)) != 0; }

// Reads the digits at aAt on; true when there was at least one.
bool SkipDigits(std::string_view aText, size_t& aAt) {
  const size_t start = aAt;
  while (aAt < aText.size() && IsDigit(aText[aAt])) ++aAt;
  return aAt > start;
}

void SkipSign(std::string_view aText, size_t& aAt) {
  if (aAt < aText.size() && (aText[aAt] == '+' || aText[aAt] == '-')) ++aAt;
}

// Whether the text has the syntax of an amount (blanks, sign, digits with at most one ".",
// exponent, blanks), so that a failed conversion means the value is out of range.
bool HasNumberSyntax(std::string_view aText) {
  size_t at = 0;
  while (at < aText.size() && aText[at] == ' ') ++at;
  SkipSign(aText, at);
  bool digits = SkipDigits(aText, at);
  if (at < aText.size() && aText[at] == '.') {
    ++at;
    digits = SkipDigits(aText, at) || digits;
  }
  if (!digits) return false;
  if (at < aText.size() && (aText[at] == 'e' || aText[at] == 'E')) {
    ++at;
    SkipSign(aText, at);
    if (!SkipDigits(aText, at)) return false;
  }
  while (at < aText.size() && aText[at] == ' ') ++at;
  return at == aText.size();
}

Currency DetailsAmount(std::string_view aField) {
  Currency value;
  if (TryParseCurrency(aField, value)) return value;
  if (HasNumberSyntax(aField)) throw Exception(std::string(kMsgCurrencyOutOfRange));
  return Currency();
}

int32_t IntegerOrZero(std::string_view aText) {
  try {
    return krptUtil::StrToInt(aText);
  } catch (const Exception&) {
    return 0;
  }
}

std::string ChildText(pugi::xml_node aNode, std::string_view aName) {
  return aNode.child(std::string(aName).c_str()).text().get();
}

// Adds the amounts of fields 8 to 16 of one details line, found in one pass over the line.
void AddLineAmounts(std::string_view aLine, Currency& aTotal) {
  int field = 1;
  size_t start = 0;
  while (field <= msg::kDetailsLastAmountField) {
    const size_t end = aLine.find(msg::kDetailsFieldSeparator, start);
    if (field >= msg::kDetailsFirstAmountField) {
      aTotal +=
          DetailsAmount(aLine.substr(start, end == std::string_view::npos ? end : end - start));
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
    ++field;
  }
}

}  // namespace

tkZReportDetails ReadZReportDetailsText(std::string_view aText) {
  tkZReportDetails details;
  size_t start = 0;
  while (start < aText.size()) {
    size_t end = aText.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = aText.size();
    const std::string_view line = aText.substr(start, end - start);
    if (line.find(msg::kDetailsFieldSeparator) != std::string_view::npos) {
      ++details.fReceiptCount;
      AddLineAmounts(line, details.fDayTotal);
    }
    start = end + (aText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return details;
}

tkZReportRecord ReadZReportRecord(pugi::xml_node aRoot) {
  tkZReportRecord record;
  for (pugi::xml_node child = aRoot.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element || msg::kZRecordElement != child.name()) continue;
    if (!ChildText(child, msg::kZRecordType).starts_with(msg::kZRecordTypePrefix)) continue;
    record.fZNumber = IntegerOrZero(ChildText(child, msg::kZRecordNumber));
    record.fDateTime =
        kFiscalPrinter_RORERER::ParseDeviceDateTime(ChildText(child, msg::kZRecordDateTime));
  }
  return record;
}

}  // namespace nvrp
