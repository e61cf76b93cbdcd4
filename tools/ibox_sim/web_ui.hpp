#pragma once

#include <string>
#include <vector>

#include "device_clock.hpp"
#include "device_types.hpp"
#include "fault_injector.hpp"
#include "http_connection.hpp"
#include "replay_book.hpp"

namespace nvrp::ibox_sim {

class IboxSimulator;

// The paper-roll page, served on the simulator's own port beside the device:
//   GET  /ui               the page (HTML and script, no other files)
//   GET  /ui/state         device state, pending faults and the printed documents as JSON
//   POST /ui/fault         adds the fault in the body, written as for --fault
//                          (KIND[:VALUE][@MATCH]); "?sticky=1" makes it sticky
//   POST /ui/faults/clear  removes every pending fault
//   POST /ui/drawer        body "open" or "closed"
// These requests do not reach the device and are not recorded.
void AddWebUiRoutes(httplib::Server& server, IboxSimulator& simulator);

// What /ui/state answers: the last `kShownDocuments` printed documents, oldest first; while a
// device log is replayed, also `replay` with the requests that found no recorded answer
// (`unmatched`) and the recorded ones not asked for yet (`unused`).
inline constexpr size_t kShownDocuments = 40;
std::string StateJson(const DeviceSnapshot& device, const CivilTime& clock,
                      const std::vector<PrintedDocument>& printed, const std::vector<Fault>& faults,
                      const ReplayBook* replay = nullptr);

// A fault written as the --fault option takes it.
std::string FaultText(const Fault& fault);

// The page itself.
extern const char* const kWebUiPage;

}  // namespace nvrp::ibox_sim
