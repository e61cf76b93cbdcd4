#pragma once

#include <string>
#include <vector>

#include "support/test_platform.hpp"

namespace nvrp::testing {

// Points the host directory (NVRP_HOST_DIR) at a fresh temporary directory, unless one is set
// already, and creates the process-wide application object. Safe to call repeatedly.
void PrepareTestApplication();

// The messages of a log file, in order, without the time stamp and " - " (an error line keeps
// its "ERROR - " prefix). Read it after the writer is gone, when every line is on disk.
std::vector<std::string> ReadLogMessages(const std::string& aFileName);

}  // namespace nvrp::testing
