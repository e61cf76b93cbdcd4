// fiscalctl: sends requests to the driver library from the command line, loading it the way
// a point-of-sale program does.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/host_file_system.hpp"
#include "base/nv_exception.hpp"
#include "command_line.hpp"
#include "command_session.hpp"
#include "device_check.hpp"
#include "fiscalctl_messages.hpp"
#include "request_input.hpp"
#include "support/library_host.hpp"

namespace nvrp::fiscalctl {
namespace {

// An installed fiscalctl loads the library installed with it, found from its own folder (the
// tree may be moved); in its build folder it loads the library of that build.
std::string DefaultLibrary() {
  const std::filesystem::path self = host_fs::ExecutablePath();
  if (!self.empty()) {
    const std::filesystem::path installed =
        (self.parent_path() / NVRP_FISCALCTL_INSTALLED_LIBRARY).lexically_normal();
    std::error_code error;
    if (std::filesystem::is_regular_file(installed, error)) return installed.string();
  }
  return NVRP_FISCALCTL_DEFAULT_LIBRARY;
}

// --library, else NVRP_LIBRARY, else the default library.
std::string ChooseLibrary(const kCtlOptions& aOptions) {
  if (!aOptions.fLibrary.empty()) return aOptions.fLibrary;
  const char* variable = std::getenv(std::string(kLibraryVariable).c_str());
  if (variable != nullptr && *variable != '\0') return variable;
  return DefaultLibrary();
}

std::string UsageText() {
  std::string text(kUsage);
  text.replace(text.find(kLibraryPlaceholder), kLibraryPlaceholder.size(), DefaultLibrary());
  return text;
}

int UsageError(const std::string& aError) {
  std::cerr << kProgramPrefix << aError << "\n" << kSeeHelp << "\n";
  return kExitUsage;
}

int Failure(const std::string& aError) {
  std::cerr << kProgramPrefix << aError << "\n";
  return kExitFailure;
}

std::unique_ptr<testing::LibraryHost> LoadLibrary(const std::string& aPath) {
  try {
    return std::make_unique<testing::LibraryHost>(aPath);
  } catch (const std::runtime_error& error) {
    Failure(std::string(kCannotLoad) + error.what());
    return nullptr;
  }
}

int RunCheck(const std::vector<std::string>& aArgs) {
  kCheckOptions options;
  if (std::string error = ParseCheckCommandLine(aArgs, options); !error.empty()) {
    std::cerr << kProgramPrefix << error << "\n" << kSeeCheckHelp << "\n";
    return kExitUsage;
  }
  if (options.fHelp) {
    std::cout << kCheckUsage;
    return kExitSuccess;
  }
  kCtlOptions library;
  library.fLibrary = options.fLibrary;
  // Loaded for the rest of the process, as a host keeps it (see LibraryHost).
  const std::unique_ptr<testing::LibraryHost> host = LoadLibrary(ChooseLibrary(library));
  if (!host) return kExitFailure;
  return RunDeviceCheck(options, *host, std::cout, std::cerr);
}

int Run(const std::vector<std::string>& aArgs) {
  if (!aArgs.empty() && aArgs.front() == kCheckCommand) {
    return RunCheck(std::vector<std::string>(aArgs.begin() + 1, aArgs.end()));
  }
  kCtlOptions options;
  if (std::string error = ParseCommandLine(aArgs, options); !error.empty()) {
    return UsageError(error);
  }
  if (options.fHelp) {
    std::cout << UsageText();
    return kExitSuccess;
  }
  std::vector<kPreparedStep> steps;
  std::string unusedSetting;
  try {
    steps = PrepareSteps(options, std::cin, unusedSetting);
  } catch (const Exception& error) {
    return Failure(error.what());
  }
  if (!unusedSetting.empty()) return UsageError(std::string(kSettingUnused) + unusedSetting);

  // Loaded for the rest of the process, as a host keeps it (see LibraryHost).
  std::unique_ptr<testing::LibraryHost> library;
  try {
    library = std::make_unique<testing::LibraryHost>(ChooseLibrary(options));
  } catch (const std::runtime_error& error) {
    return Failure(std::string(kCannotLoad) + error.what());
  }
  kCommandSession session(*library, std::cout, std::cerr);
  bool succeeded = session.Run(std::move(steps), options.fFullImage);
  if (!options.fImageFile.empty() && !session.SaveImage(options.fImageFile)) succeeded = false;
  return succeeded ? kExitSuccess : kExitFailure;
}

}  // namespace
}  // namespace nvrp::fiscalctl

int main(int argc, char** argv) {
  return nvrp::fiscalctl::Run(std::vector<std::string>(argv + 1, argv + argc));
}
