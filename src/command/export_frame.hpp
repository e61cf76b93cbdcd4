#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "base/ole_string.hpp"
#include "command/fiscal_printer_wrapper.hpp"

namespace nvrp {

// The out variables of an exported call. Both are set to empty on entry without releasing what
// they held; a null pointer is skipped then and never written later.
class kExportOutputs {
 public:
  kExportOutputs(BSTR* aOutput, BSTR* aErrorMessage);
  // Hands the texts to the caller as system strings; a text that cannot be allocated stays empty.
  void Deliver(std::string_view aOutput, std::string_view aErrorMessage) noexcept;

 private:
  BSTR* fOutput;
  BSTR* fErrorMessage;
};

// Held by every exported command for the length of the call: the device table, the devices and
// their channels are not made for concurrent use, and a device takes one request at a time, so
// callers on several threads are served one after another.
std::mutex& CommandMutex();

// Calls one command through its wrapper: Process, then Format whatever happened. Nothing thrown
// leaves: an error outside the wrapper's own handling ends in its message and -1.
template <typename Wrapper>
int16_t RunCommand(BSTR aXml, BSTR* aOutput, BSTR* aErrorMessage) noexcept {
  kExportOutputs outputs(aOutput, aErrorMessage);
  try {
    const std::lock_guard<std::mutex> serialised(CommandMutex());
    std::string output;
    std::string errorMessage;
    int16_t result = -1;
    try {
      Wrapper wrapper;
      try {
        wrapper.Process(OleToUtf8(aXml));
      } catch (...) {
        wrapper.ReportError(CurrentErrorMessage(), nullptr);
      }
      wrapper.Format(output, errorMessage, result);
    } catch (...) {
      output.clear();
      errorMessage = CurrentErrorMessage();
      result = -1;
    }
    outputs.Deliver(output, errorMessage);
    return result;
  } catch (...) {
    return -1;
  }
}

// VERSION: the registered class's driver version for a driver name, else nothing; always 0
// unless the call itself fails.
int16_t RunVersion(BSTR aDriver, BSTR* aOutput, BSTR* aErrorMessage) noexcept;

}  // namespace nvrp
