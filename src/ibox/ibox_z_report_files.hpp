#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>

#include "base/currency.hpp"
#include "base/date_time.hpp"

namespace nvrp {

// What the details file ("_S.") of a Z report says: one line per fiscal receipt of the day.
struct tkZReportDetails {
  Currency fDayTotal;
  int32_t fReceiptCount = 0;
};

// Lines at CR, LF or CR LF; a line without ";" (a title) is skipped, every other one counts as
// a receipt and adds its fields 8 to 16, read with "." as the decimal separator (a missing,
// empty or non-numeric field adds 0). The sum is exact; a field or total beyond the currency
// range raises the currency range error instead of wrapping.
tkZReportDetails ReadZReportDetailsText(std::string_view aText);

// What the XML record ("_M.") of a Z report says: its number and date-time.
struct tkZReportRecord {
  int32_t fZNumber = 0;
  DateTime fDateTime = 0;
};

// Every child of aRoot, the last one included, that is an FMEM element with a RecType
// beginning with "28": RecNo as its number (0 when not an integer) and DateTime read as the
// device clock (raises when it does not convert). A later match overwrites an earlier one;
// without a match both stay 0.
tkZReportRecord ReadZReportRecord(pugi::xml_node aRoot);

}  // namespace nvrp
