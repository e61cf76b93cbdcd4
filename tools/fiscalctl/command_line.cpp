#include "command_line.hpp"

#include <algorithm>
#include <array>

#include "fiscalctl_messages.hpp"

namespace nvrp::fiscalctl {

namespace {

constexpr std::array<std::string_view, 22> kCommandNames{
    "PRINTFR",      "PRINTXR",      "PRINTZR",     "PRINTNFR",    "DISPLAY",
    "OPENDR",       "GETSTATUS",    "SETDATETIME", "OPEN",        "CLOSE",
    "GETDRSTATUS",  "SET",          "EJREPORT",    "GETVATTABLE", "SETVATTABLE",
    "GETDEPTTABLE", "SETDEPTTABLE", "PAY",         "REPRINTFR",   "GETLOTTERYRCPTSTATUS",
    "GETEJFILES",   kVersionCommand};

// Splits "--name=value" into name and value; a plain "--name" keeps an empty value.
bool SplitInlineValue(const std::string& aArg, std::string& aName, std::string& aValue) {
  const size_t equals = aArg.find('=');
  if (equals == std::string::npos) {
    aName = aArg;
    return false;
  }
  aName = aArg.substr(0, equals);
  aValue = aArg.substr(equals + 1);
  return true;
}

std::string ParseSetting(const std::string& aText, kCtlOptions& aOptions) {
  const size_t equals = aText.find('=');
  if (equals == std::string::npos || equals == 0) return std::string(kBadSetting) + aText;
  aOptions.fSettings.push_back({aText.substr(0, equals), aText.substr(equals + 1)});
  return {};
}

// One option with its value taken from the argument itself or from the next one.
std::string ParseOption(const std::vector<std::string>& aArgs, size_t& aIndex,
                        kCtlOptions& aOptions) {
  std::string name;
  std::string value;
  const bool inlineValue = SplitInlineValue(aArgs[aIndex], name, value);
  if (name == "--help" || name == "-h") {
    aOptions.fHelp = true;
    return {};
  }
  if (name == "--full-image") {
    aOptions.fFullImage = true;
    return {};
  }
  if (name != "--library" && name != "--set" && name != "--save-image") {
    return std::string(kUnknownOption) + aArgs[aIndex];
  }
  if (!inlineValue) {
    if (aIndex + 1 >= aArgs.size()) return std::string(kMissingValue) + name;
    value = aArgs[++aIndex];
  }
  if (name == "--set") return ParseSetting(value, aOptions);
  if (value.empty()) return std::string(kMissingValue) + name;
  if (name == "--library") {
    aOptions.fLibrary = value;
  } else {
    aOptions.fImageFile = value;
  }
  return {};
}

// A command name starts a step; anything else is the input of the step before it.
std::string ParsePositional(const std::string& aArg, kCtlOptions& aOptions) {
  if (IsCommandName(aArg)) {
    aOptions.fSteps.push_back({aArg, {}});
    return {};
  }
  if (aOptions.fSteps.empty()) return std::string(kUnknownCommand) + aArg;
  kCommandStep& step = aOptions.fSteps.back();
  if (!step.fInput.empty()) return std::string(kUnexpectedArgument) + aArg;
  step.fInput = aArg;
  return {};
}

bool ReadsStandardInput(const kCommandStep& aStep) {
  if (aStep.fInput == kStandardInput) return true;
  return aStep.fInput.empty() && aStep.fCommand != kVersionCommand;
}

}  // namespace

bool IsCommandName(std::string_view aName) {
  return std::find(kCommandNames.begin(), kCommandNames.end(), aName) != kCommandNames.end();
}

std::string ParseCommandLine(const std::vector<std::string>& aArgs, kCtlOptions& aOptions) {
  for (size_t i = 0; i < aArgs.size(); ++i) {
    const std::string& arg = aArgs[i];
    const bool isOption = arg.size() > 1 && arg[0] == '-';
    std::string error = isOption ? ParseOption(aArgs, i, aOptions) : ParsePositional(arg, aOptions);
    if (!error.empty()) return error;
  }
  if (aOptions.fHelp) return {};
  if (aOptions.fSteps.empty()) return std::string(kNoCommand);
  const auto readers =
      std::count_if(aOptions.fSteps.begin(), aOptions.fSteps.end(), ReadsStandardInput);
  if (readers > 1) return std::string(kStandardInputTwice);
  return {};
}

}  // namespace nvrp::fiscalctl
