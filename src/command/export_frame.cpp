#include "command/export_frame.hpp"

#include "command/command_tables.hpp"

namespace nvrp {

namespace {

void Reset(BSTR* aVariable) {
  if (aVariable != nullptr) *aVariable = nullptr;
}

void Assign(BSTR* aVariable, std::string_view aText) noexcept {
  if (aVariable == nullptr) return;
  try {
    *aVariable = Utf8ToOle(aText);
  } catch (...) {
    *aVariable = nullptr;
  }
}

}  // namespace

kExportOutputs::kExportOutputs(BSTR* aOutput, BSTR* aErrorMessage)
    : fOutput(aOutput), fErrorMessage(aErrorMessage) {
  Reset(fOutput);
  Reset(fErrorMessage);
}

void kExportOutputs::Deliver(std::string_view aOutput, std::string_view aErrorMessage) noexcept {
  Assign(fOutput, aOutput);
  Assign(fErrorMessage, aErrorMessage);
}

std::mutex& CommandMutex() {
  static std::mutex mutex;
  return mutex;
}

int16_t RunVersion(BSTR aDriver, BSTR* aOutput, BSTR* aErrorMessage) noexcept {
  kExportOutputs outputs(aOutput, aErrorMessage);
  try {
    const std::lock_guard<std::mutex> serialised(CommandMutex());
    const kDriverClass* driver = CommandTables().DriverRegistry.Find(OleToUtf8(aDriver));
    if (driver != nullptr && driver->fGetDriverVersion != nullptr) {
      outputs.Deliver(driver->fGetDriverVersion(), {});
    }
    return 0;
  } catch (...) {
    try {
      outputs.Deliver({}, CurrentErrorMessage());
    } catch (...) {
    }
    return -1;
  }
}

}  // namespace nvrp
