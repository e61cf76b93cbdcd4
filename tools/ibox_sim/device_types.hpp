#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace nvrp::ibox_sim {

// Document open on the device.
enum class DocumentKind { kNone, kFiscal, kNonFiscal };

// What the device printed, in print order.
enum class PrintedKind { kReceipt, kVoidedReceipt, kNonFiscal, kXReport, kZReport };

struct PrintedDocument {
  PrintedKind kind = PrintedKind::kReceipt;
  int32_t number = 0;    // receipt number within the day; Z number for a Z report
  int32_t z_number = 0;  // Z number of the day the document belongs to
  int64_t total = 0;     // hundredths
  std::string text;      // printed lines joined by CR LF
};

// Start-up settings of the simulated device.
struct DeviceSettings {
  std::string serial_number = "SIM00000001";
  int32_t z_number = 0;      // number of the last Z report made
  bool omega_clock = false;  // clock text with " Ω " between date and time
  bool group_seq_no = true;  // LastOrderSeqNo with "." between thousands
  std::chrono::milliseconds drawer_close_after{3000};  // 0: stays open until closed by hand
};

// A copy of the device state for tests and tools.
struct DeviceSnapshot {
  int32_t last_seq_no = 0;
  int32_t last_error = 0;
  int32_t day_receipt_count = 0;
  int32_t z_number = 0;
  DocumentKind open_document = DocumentKind::kNone;
  int64_t receipt_total = 0;  // hundredths
  int64_t receipt_paid = 0;   // hundredths
  int32_t receipt_items = 0;
  std::vector<std::string> open_lines;  // printed so far in the open document
  bool drawer_open = false;
  std::array<std::string, 6> header_titles;   // title table, code 1
  std::array<std::string, 6> trailer_titles;  // title table, code 2
};

}  // namespace nvrp::ibox_sim
