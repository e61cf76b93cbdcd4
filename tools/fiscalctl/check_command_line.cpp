#include "device_check.hpp"

#include <charconv>

namespace nvrp::fiscalctl {

namespace {

bool ReadCount(const std::string& aText, long long& aValue) {
  const char* end = aText.data() + aText.size();
  const auto [ptr, ec] = std::from_chars(aText.data(), end, aValue);
  return !aText.empty() && ec == std::errc() && ptr == end && aValue >= 0;
}

bool ApplyFlag(const std::string& aName, kCheckOptions& aOptions) {
  if (aName == "--json") {
    aOptions.fJson = true;
  } else if (aName == "--yes") {
    aOptions.fYes = true;
  } else if (aName == "--help" || aName == "-h") {
    aOptions.fHelp = true;
  } else {
    return false;
  }
  return true;
}

// One option with a value; the usage error or the empty text.
std::string ApplyValue(const std::string& aName, const std::string& aValue,
                       kCheckOptions& aOptions) {
  long long number = 0;
  if (aName == "--url") {
    aOptions.fUrl = aValue;
  } else if (aName == "--user") {
    aOptions.fUser = aValue;
  } else if (aName == "--password") {
    aOptions.fPassword = aValue;
  } else if (aName == "--open") {
    aOptions.fOpenFile = aValue;
  } else if (aName == "--library") {
    aOptions.fLibrary = aValue;
  } else if (aName == "--print") {
    if (aValue == "none") {
      aOptions.fPrint = tkPrintLevel::kNone;
    } else if (aValue == "paper") {
      aOptions.fPrint = tkPrintLevel::kPaper;
    } else if (aValue == "fiscal") {
      aOptions.fPrint = tkPrintLevel::kFiscal;
    } else {
      return "--print expects none, paper or fiscal, got: " + aValue;
    }
  } else if (aName == "--slow" && ReadCount(aValue, number)) {
    aOptions.fSlow = std::chrono::milliseconds(number);
  } else if (aName == "--clock-tolerance" && ReadCount(aValue, number)) {
    aOptions.fClockTolerance = std::chrono::seconds(number);
  } else if (aName == "--slow" || aName == "--clock-tolerance") {
    return aName + " expects a whole number, got: " + aValue;
  } else {
    return "unknown option: " + aName;
  }
  return {};
}

}  // namespace

std::string ParseCheckCommandLine(const std::vector<std::string>& aArgs, kCheckOptions& aOptions) {
  for (size_t i = 0; i < aArgs.size(); ++i) {
    std::string name = aArgs[i];
    std::string value;
    const size_t equals = name.find('=');
    const bool inlineValue = name.starts_with("--") && equals != std::string::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (!inlineValue && ApplyFlag(name, aOptions)) continue;
    if (!name.starts_with("-")) return "unexpected argument: " + name;
    if (!inlineValue) {
      if (i + 1 >= aArgs.size()) return "missing value for " + name;
      value = aArgs[++i];
    }
    if (std::string error = ApplyValue(name, value, aOptions); !error.empty()) return error;
  }
  if (aOptions.fHelp) return {};
  if (aOptions.fUrl.empty() == aOptions.fOpenFile.empty()) {
    return "check needs exactly one of --url and --open";
  }
  return {};
}

}  // namespace nvrp::fiscalctl
