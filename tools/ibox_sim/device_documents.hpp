#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device_types.hpp"
#include "ibox_device.hpp"

namespace nvrp::ibox_sim {

// Values of one status answer.
struct StatusValues {
  std::string serial_number;
  int32_t last_seq_no = 0;
  bool group_seq_no = true;
  int32_t last_error = 0;
  int32_t day_receipt_count = 0;
  int32_t z_number = 0;
  std::string date_time;
  DocumentKind open_document = DocumentKind::kNone;
  bool drawer_open = false;
  bool omit_gen_par = false;
  // A value written instead of the device's (left out without text): a GEN_PAR child, or the
  // root's DeviceSerialNo attribute.
  std::optional<std::pair<std::string, std::optional<std::string>>> replaced;
};

// The status document: root with DeviceSerialNo and a GEN_PAR child holding the counters.
std::string BuildStatusXml(const StatusValues& values);

// Printed lines joined with CR LF, the device's line end.
std::string JoinLines(const std::vector<std::string>& lines);

// Date and time columns of a printed footer ("dd/mm/yyyy" left, "hh:mm" right).
std::string DateTimeLine(const CivilTime& time);

// The three files of a Z report.
struct ZReportFiles {
  std::string text;     // "_J.": the printed report
  std::string details;  // "_S.": a title line, then one ";" line per fiscal receipt
  std::string record;   // "_M.": XML with the fiscal-memory record (RecType 28)
};

struct ZReportInput {
  std::vector<std::string> header;
  std::string serial_number;
  int32_t z_number = 0;
  CivilTime made_at;
  std::string made_at_text;  // device clock text
  std::vector<DayReceipt> receipts;
};

ZReportFiles BuildZReportFiles(const ZReportInput& input);

// Lines of an X report of the open day.
std::vector<std::string> XReportLines(const std::vector<std::string>& header,
                                      const std::vector<DayReceipt>& receipts,
                                      const CivilTime& made_at);

}  // namespace nvrp::ibox_sim
