#include "device_documents.hpp"

#include <cstdio>
#include <pugixml.hpp>
#include <sstream>

#include "print_layout.hpp"
#include "sim_messages.hpp"
#include "wire_query.hpp"

namespace nvrp::ibox_sim {

namespace {

std::string ReceiptTypeText(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kFiscal:
      return std::string(kFiscalReceiptType);
    case DocumentKind::kNonFiscal:
      return std::string(kNonFiscalReceiptType);
    case DocumentKind::kNone:
      break;
  }
  return "0";
}

std::string ErrorText(int32_t code) {
  return code == 0 ? "0" : std::to_string(code) + std::string(kErrorSuffix);
}

void AddElement(pugi::xml_node parent, const char* name, const std::string& text) {
  parent.append_child(name).text().set(text.c_str());
}

void ReplaceStatusValue(pugi::xml_node root, const std::string& name,
                        const std::optional<std::string>& text) {
  if (name == "DeviceSerialNo") {
    root.remove_attribute(name.c_str());
    if (text) root.append_attribute(name.c_str()) = text->c_str();
    return;
  }
  pugi::xml_node gen_par = root.child("GEN_PAR");
  if (!gen_par) return;
  pugi::xml_node element = gen_par.child(name.c_str());
  if (!text) {
    gen_par.remove_child(element);
  } else if (element) {
    element.text().set(text->c_str());
  } else {
    AddElement(gen_par, name.c_str(), *text);
  }
}

std::string SaveXml(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

pugi::xml_document NewDocument() {
  pugi::xml_document document;
  auto declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  return document;
}

int64_t DayTotal(const std::vector<DayReceipt>& receipts) {
  int64_t total = 0;
  for (const auto& receipt : receipts) total += receipt.total;
  return total;
}

std::string Date(const CivilTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", t.day, t.month, t.year);
  return buffer;
}

std::string Time(const CivilTime& t, bool seconds) {
  char buffer[32];
  if (seconds) {
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  } else {
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", t.hour, t.minute);
  }
  return buffer;
}

std::vector<std::string> DayFigures(const std::vector<DayReceipt>& receipts) {
  return {TwoColumns(kReceiptsLabel, std::to_string(receipts.size())),
          TwoColumns(kDayTotalLabel, FormatScaled(DayTotal(receipts), 2))};
}

// Fields of a details line: number, date, time, Z number, kind, items, payments, then nine
// amounts with "." decimals: the gross total, then eight further totals, all zero here.
std::string DetailsLine(const DayReceipt& receipt, int32_t z_number) {
  std::string line = std::to_string(receipt.number) + ";" + Date(receipt.closed_at) + ";" +
                     Time(receipt.closed_at, true) + ";" + std::to_string(z_number) + ";S;" +
                     std::to_string(receipt.items) + ";" + std::to_string(receipt.payments) + ";" +
                     FormatScaled(receipt.total, 2, '.');
  for (int i = 0; i < 8; ++i) line += ";0.00";
  return line;
}

// FNV-1a of the report text, shown as the record's signature.
std::string Signature(const std::string& text) {
  uint64_t hash = 14695981039346656037ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%016llX", static_cast<unsigned long long>(hash));
  return buffer;
}

}  // namespace

std::string BuildStatusXml(const StatusValues& values) {
  pugi::xml_document document = NewDocument();
  auto root = document.append_child(std::string(kStatusRoot).c_str());
  root.append_attribute("DeviceSerialNo") = values.serial_number.c_str();
  if (!values.omit_gen_par) {
    auto gen_par = root.append_child("GEN_PAR");
    AddElement(gen_par, "LastOrderSeqNo",
               values.group_seq_no ? FormatGrouped(values.last_seq_no)
                                   : std::to_string(values.last_seq_no));
    AddElement(gen_par, "LastError", ErrorText(values.last_error));
    AddElement(gen_par, "DayFiscalRcptCnt", std::to_string(values.day_receipt_count));
    AddElement(gen_par, "CurrentZNo", std::to_string(values.z_number));
    AddElement(gen_par, "CurrentDateTime", values.date_time);
    AddElement(gen_par, "CurrentReceiptType", ReceiptTypeText(values.open_document));
    AddElement(gen_par, "DrawerSensorIsHigh", values.drawer_open ? "1" : "0");
  }
  if (values.replaced) ReplaceStatusValue(root, values.replaced->first, values.replaced->second);
  return SaveXml(document);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string DateTimeLine(const CivilTime& time) {
  return TwoColumns(Date(time), Time(time, false));
}

ZReportFiles BuildZReportFiles(const ZReportInput& input) {
  ZReportFiles files;
  std::vector<std::string> lines = input.header;
  lines.push_back(Centered(kZReportTitle));
  lines.push_back(TwoColumns(kZLabel, FourDigits(input.z_number)));
  for (auto& line : DayFigures(input.receipts)) lines.push_back(std::move(line));
  lines.push_back(DateTimeLine(input.made_at));
  lines.push_back(std::string(kSerialLabel) + input.serial_number);
  files.text = JoinLines(lines);

  std::vector<std::string> details{std::string(kZReportDetailsTitle) + FourDigits(input.z_number)};
  for (const auto& receipt : input.receipts)
    details.push_back(DetailsLine(receipt, input.z_number));
  files.details = JoinLines(details);

  pugi::xml_document document = NewDocument();
  auto root = document.append_child(std::string(kZRecordRoot).c_str());
  root.append_attribute("DeviceSerialNo") = input.serial_number.c_str();
  auto record = root.append_child("FMEM");
  AddElement(record, "RecType", "28");
  AddElement(record, "RecNo", std::to_string(input.z_number));
  AddElement(record, "DateTime", input.made_at_text);
  AddElement(record, "Receipts", std::to_string(input.receipts.size()));
  AddElement(record, "DayTotal", FormatScaled(DayTotal(input.receipts), 2, '.'));
  AddElement(root, "Signature", Signature(files.text));
  files.record = SaveXml(document);
  return files;
}

std::vector<std::string> XReportLines(const std::vector<std::string>& header,
                                      const std::vector<DayReceipt>& receipts,
                                      const CivilTime& made_at) {
  std::vector<std::string> lines = header;
  lines.push_back(Centered(kXReportTitle));
  for (auto& line : DayFigures(receipts)) lines.push_back(std::move(line));
  lines.push_back(DateTimeLine(made_at));
  return lines;
}

}  // namespace nvrp::ibox_sim
