#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device_clock.hpp"
#include "device_types.hpp"
#include "wire_query.hpp"

namespace nvrp::ibox_sim {

// One request as the device sees it: the decoded path (with its leading "/") and the query.
struct DeviceRequest {
  std::string path;
  QueryParams params;
};

struct DeviceAnswer {
  int status = 200;
  std::string content_type;
  std::string body;
};

// Changes that injected faults make to one answer.
struct AnswerOverrides {
  std::optional<int32_t> refuse_order_with;  // the order is not carried out; LastError := code
  std::optional<int32_t> report_error;       // LastError shown in this status answer
  bool omit_gen_par = false;
  // A status value replaced (or left out, without text).
  std::optional<std::pair<std::string, std::optional<std::string>>> status_value;
};

// Name of the command a request carries: "Status", "Clr_Errors", "Void_Rcpt", "Force_Z",
// "End_Rcpt", "PLU", "COMMENT", "MOD", "PAY", "XReport", "SubTotal", "OpenDrawer", "Titles",
// "Journal", or "Unknown".
std::string CommandName(const DeviceRequest& request);

// A receipt closed during the open day, as the Z report lists it.
struct DayReceipt {
  int32_t number = 0;
  int64_t total = 0;  // hundredths
  int32_t items = 0;
  int32_t payments = 0;
  CivilTime closed_at;
};

// The simulated iBox: carries out orders, keeps counters, the open document, the title table,
// the drawer and the journal, and builds the status answer. Not thread-safe: the caller
// serialises requests.
class IboxDevice {
 public:
  explicit IboxDevice(DeviceSettings settings);

  DeviceAnswer Handle(const DeviceRequest& request, const AnswerOverrides& overrides);

  DeviceSnapshot Snapshot() const;
  const std::deque<PrintedDocument>& Printed() const { return fPrinted; }
  // A journal file by its name under the device folder, e.g. "Z0013/F0034_A." (any case).
  std::optional<std::string> JournalFile(std::string_view name) const;

  DeviceClock& Clock() { return fClock; }
  void SetDrawerOpen(bool open);

 private:
  struct OpenDocument {
    DocumentKind kind = DocumentKind::kNone;
    std::vector<std::string> lines;
    int64_t total = 0;  // hundredths
    int64_t paid = 0;
    int32_t items = 0;
    int32_t payments = 0;
  };

  int32_t Execute(const std::string& command, const QueryParams& params);
  int32_t SellItem(const QueryParams& params);
  int32_t PrintComment(const QueryParams& params);
  int32_t Modify(const QueryParams& params);
  int32_t Pay(const QueryParams& params);
  int32_t PrintSubtotal();
  int32_t VoidDocument();
  int32_t EndNonFiscal();
  int32_t XReport();
  int32_t ZReport();
  int32_t WriteTitles(const QueryParams& params);

  void OpenFiscal();
  void OpenNonFiscal();
  void CloseFiscal();
  void AddLine(std::string line);
  void Archive(PrintedDocument document);
  std::vector<std::string> HeaderLines() const;
  std::vector<std::string> TrailerLines() const;
  bool DrawerIsOpen() const;
  DeviceAnswer StatusAnswer(const AnswerOverrides& overrides);
  DeviceAnswer JournalAnswer(const std::string& path) const;

  DeviceSettings fSettings;
  DeviceClock fClock;
  int32_t fLastSeqNo = 0;
  int32_t fLastError = 0;
  int32_t fZNumber = 0;
  OpenDocument fDocument;
  std::vector<DayReceipt> fDayReceipts;
  std::array<std::string, 6> fHeaderTitles;
  std::array<std::string, 6> fTrailerTitles;
  bool fDrawerOpen = false;
  std::chrono::steady_clock::time_point fDrawerOpenedAt;
  std::map<std::string, std::string> fJournal;  // upper-case name -> content
  std::deque<PrintedDocument> fPrinted;
};

}  // namespace nvrp::ibox_sim
