#pragma once

#include <istream>
#include <string>
#include <vector>

#include "command_line.hpp"

namespace nvrp::fiscalctl {

// A command ready to send.
struct kPreparedStep {
  std::string fCommand;
  std::string fSource;     // how the input is named on screen: a file, "-" or a driver name
  std::string fInput;      // the request text (UTF-8), or the driver name for VERSION
  bool fIsRequest = true;  // false for VERSION, whose input is not XML
};

// Reads every step's input (files, or aStandardInput for "-") and applies the --set values to
// the XML requests. Throws nvrp::Exception for an input that cannot be read, or cannot be
// edited when a --set asks for it; aUnusedSetting then stays empty. When a --set names an
// element that no request has, its name is put in aUnusedSetting.
std::vector<kPreparedStep> PrepareSteps(const kCtlOptions& aOptions, std::istream& aStandardInput,
                                        std::string& aUnusedSetting);

}  // namespace nvrp::fiscalctl
