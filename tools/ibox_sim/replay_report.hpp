#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "replay_book.hpp"

namespace nvrp::ibox_sim {

// Reads a device log for --replay; throws nvrp::Exception when it cannot be read or holds no
// request.
std::shared_ptr<ReplayBook> LoadReplayBook(const std::string& path);

// The two lists of a replay: requests that found no recorded answer, recorded ones never
// asked for (each a count, then one request a line).
void WriteReplayReport(const ReplayBook& book, std::ostream& out);

}  // namespace nvrp::ibox_sim
