#pragma once

#include <cstdint>
#include <string>

#include "base/log_message_type.hpp"
#include "command/command_messages.hpp"
#include "command/command_tables.hpp"
#include "command/fiscal_printer_wrapper.hpp"
#include "command/result_fragments.hpp"
#include "device/fiscal_printer_device.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

// The wrapper of one command, described by a traits type `Command` with:
//   Result                 the result record;
//   kDocuments             the documents the request parser reads;
//   kMayCreateDevice       whether a request without handle creates a device;
//   kStoresRequestText     whether the raw request is kept in the device;
//   Serve(device, handler, result)  the device operation, writing into the result;
// and optionally:
//   SetInitialValues(result)        initial values other than empty, zero and false;
//   OnRaisedError(device, message)  called with the device, when one was obtained, on an error;
//   kDestroysDevice                 true when Serve destroys the device (it then writes the
//                                   result line itself).
// The fragment is ResultFragment(result).
template <typename Command>
class kCommandWrapper final : public kFiscalPrinterWrapper {
 public:
  using Record = typename Command::Result;

  // Starts cleared, so that an error reported before Process runs still fails the command.
  kCommandWrapper() { ClearResult(); }

  void ClearResult() override {
    fResult = Record{};
    fResult.Error = true;
    if constexpr (requires { Command::SetInitialValues(fResult); }) {
      Command::SetInitialValues(fResult);
    }
  }

  void Format(std::string& aOutput, std::string& aErrorMessage, int16_t& aResult) override {
    aOutput = ResultFragment(fResult);
    aErrorMessage = fResult.ErrorText;
    aResult = fResult.Error ? int16_t{-1} : int16_t{0};
  }

  void Process(const std::string& aXml) override {
    ClearResult();
    kFiscalPrinterDevice* device = nullptr;
    bool created = false;
    try {
      fHandler->Deserialize(aXml, Command::kDocuments);
      created = fHandler->DeviceHandle() <= 0;
      device = &FindOrCreateDevice(Command::kMayCreateDevice);
      if constexpr (Command::kStoresRequestText) device->SetXmlString(aXml);
      Command::Serve(*device, *fHandler, fResult);
    } catch (...) {
      ReportError(CurrentErrorMessage(), device);
    }
    if constexpr (!DestroysDevice()) {
      if (device != nullptr) WriteResultLine(*device, fResult);
    }
    if (created && device != nullptr && HandleWithheld()) {
      // Nobody can name this device again, so it is not left behind in the table: a host that
      // retries a failed OPEN would otherwise pile up devices. Its handle stays used.
      DestroyDevice(device->Handle(), *device);
    }
  }

  // The last line of a command in its device's log: the result, an ERROR line on failure.
  static void WriteResultLine(kFiscalPrinterDevice& aDevice, const Record& aResult) noexcept {
    try {
      aDevice.IOHandler().Debug(
          aResult.Error ? tNV_MessageType::let_error : tNV_MessageType::let_info,
          command_messages::ResultLine(aResult.Error, aResult.ErrorText));
    } catch (...) {
    }
  }

  // A raised error: its message and the device's log file name go into the result, every
  // other field keeps its value.
  void ReportError(const std::string& aMessage, kFiscalPrinterDevice* aDevice) {
    fResult.ErrorText = aMessage;
    if (aDevice == nullptr) return;
    // A failure while reporting must not hide the error being reported.
    try {
      if constexpr (requires { Command::OnRaisedError(*aDevice, aMessage); }) {
        Command::OnRaisedError(*aDevice, aMessage);
      }
      fResult.LogFileName = aDevice->IOHandler().GetLogFileName();
    } catch (...) {
    }
  }

  const Record& Result() const { return fResult; }

 private:
  static constexpr bool DestroysDevice() {
    if constexpr (requires { Command::kDestroysDevice; }) {
      return Command::kDestroysDevice;
    } else {
      return false;
    }
  }

  // Whether the answer has a handle but withholds it (a failed OPEN).
  bool HandleWithheld() const {
    if constexpr (requires { fResult.Handle; }) {
      return fResult.Handle <= 0;
    } else {
      return false;
    }
  }

  Record fResult;
};

}  // namespace nvrp
