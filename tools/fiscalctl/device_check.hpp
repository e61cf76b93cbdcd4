#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "support/library_host.hpp"

namespace nvrp::fiscalctl {

// How much of the device a check run may use.
enum class tkPrintLevel { kNone, kPaper, kFiscal };

struct kCheckOptions {
  std::string fLibrary;
  std::string fUrl;   // --url: an HTTP device
  std::string fUser;  // --user, --password: basic authentication
  std::string fPassword;
  std::string fOpenFile;  // --open: an OPEN request of any connection type
  tkPrintLevel fPrint = tkPrintLevel::kNone;
  bool fYes = false;                          // --yes: no confirmation asked for the fiscal receipt
  bool fJson = false;                         // --json
  std::chrono::milliseconds fSlow{3000};      // --slow: an answer that takes longer fails
  std::chrono::seconds fClockTolerance{120};  // --clock-tolerance
  bool fHelp = false;
};

// Reads the arguments after "check"; returns the usage error or the empty text.
std::string ParseCheckCommandLine(const std::vector<std::string>& aArgs, kCheckOptions& aOptions);

enum class tkCheckState { kPassed, kFailed, kSkipped };

struct kCheckResult {
  std::string fName;
  tkCheckState fState = tkCheckState::kPassed;
  std::chrono::milliseconds fTime{0};
  std::string fSeen;  // what was seen when it failed, or why it was skipped
};

// Writes the results as lines (name, state, time, what was seen) and the closing counts, or
// the same as JSON.
void WriteCheckReport(const std::vector<kCheckResult>& aResults, const std::string& aDeviceLog,
                      bool aJson, std::ostream& aOut);

// Runs every check of the print level through the library's exports; the exit status.
int RunDeviceCheck(const kCheckOptions& aOptions, const testing::LibraryHost& aLibrary,
                   std::ostream& aOut, std::ostream& aErr);

}  // namespace nvrp::fiscalctl
