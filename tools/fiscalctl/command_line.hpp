#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nvrp::fiscalctl {

// One command to send: the export's name and where its input comes from (a file, "-" for
// standard input; for VERSION a driver name). Empty when the command line gave none.
struct kCommandStep {
  std::string fCommand;
  std::string fInput;
};

// --set NAME=VALUE.
struct kElementSetting {
  std::string fName;
  std::string fValue;
};

struct kCtlOptions {
  std::string fLibrary;  // empty: NVRP_LIBRARY, else the installed or built one
  std::vector<kElementSetting> fSettings;
  std::string fImageFile;  // empty: the picture is not saved
  bool fFullImage = false;
  bool fHelp = false;
  std::vector<kCommandStep> fSteps;
};

// True for the names of the 22 exported commands (exact spelling).
bool IsCommandName(std::string_view aName);

// Reads the arguments (without the program name) into aOptions; returns the usage error, or
// the empty text when the command line is sound.
std::string ParseCommandLine(const std::vector<std::string>& aArgs, kCtlOptions& aOptions);

}  // namespace nvrp::fiscalctl
