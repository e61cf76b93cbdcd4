#include "request_input.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "fiscalctl_messages.hpp"
#include "request_editor.hpp"

namespace nvrp::fiscalctl {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string ReadAll(std::istream& aStream) {
  return std::string(std::istreambuf_iterator<char>(aStream), std::istreambuf_iterator<char>());
}

std::string WithoutByteOrderMark(std::string aText) {
  if (aText.starts_with(kUtf8ByteOrderMark)) aText.erase(0, kUtf8ByteOrderMark.size());
  return aText;
}

std::string ReadRequestFile(const std::string& aPath) {
  const std::string prefix = std::string(kCannotRead) + "'" + aPath + "': ";
  std::error_code ignored;
  if (std::filesystem::is_directory(aPath, ignored))
    throw Exception(prefix + std::string(kIsDirectory));
  std::ifstream file(aPath, std::ios::binary);
  if (!file) throw Exception(prefix + std::strerror(errno));
  std::string text = ReadAll(file);
  if (file.bad()) throw Exception(prefix + std::strerror(errno));
  return text;
}

kPreparedStep ReadStep(const kCommandStep& aStep, std::istream& aStandardInput) {
  const bool isVersion = aStep.fCommand == kVersionCommand;
  kPreparedStep prepared{aStep.fCommand, aStep.fInput, {}, !isVersion};
  if (isVersion && aStep.fInput.empty()) prepared.fSource = kDefaultDriverName;
  if (prepared.fSource.empty()) prepared.fSource = kStandardInput;
  if (prepared.fSource == kStandardInput) {
    prepared.fInput = WithoutByteOrderMark(ReadAll(aStandardInput));
    // A driver name typed or piped in ends with a line break that is no part of it.
    if (isVersion) prepared.fInput = Trim(prepared.fInput);
  } else {
    prepared.fInput =
        isVersion ? prepared.fSource : WithoutByteOrderMark(ReadRequestFile(prepared.fSource));
  }
  return prepared;
}

// Applies the settings to one request; remembers which ones found their element.
void ApplySettings(const std::vector<kElementSetting>& aSettings, kPreparedStep& aStep,
                   std::set<std::string>& aUsed) {
  if (aSettings.empty() || !aStep.fIsRequest) return;
  try {
    kRequestEditor editor(aStep.fInput);
    for (const kElementSetting& setting : aSettings) {
      if (editor.SetFirstElementText(setting.fName, setting.fValue)) aUsed.insert(setting.fName);
    }
    aStep.fInput = editor.Text();
  } catch (const Exception& error) {
    throw Exception(aStep.fSource + ": " + std::string(kNotXml) + error.what());
  }
}

}  // namespace

std::vector<kPreparedStep> PrepareSteps(const kCtlOptions& aOptions, std::istream& aStandardInput,
                                        std::string& aUnusedSetting) {
  std::vector<kPreparedStep> steps;
  std::set<std::string> used;
  for (const kCommandStep& step : aOptions.fSteps) {
    steps.push_back(ReadStep(step, aStandardInput));
    ApplySettings(aOptions.fSettings, steps.back(), used);
  }
  for (const kElementSetting& setting : aOptions.fSettings) {
    if (!used.contains(setting.fName)) {
      aUnusedSetting = setting.fName;
      break;
    }
  }
  return steps;
}

}  // namespace nvrp::fiscalctl
