#include "command/command_wrappers.hpp"

#include "base/log_message_type.hpp"
#include "command/command_tables.hpp"
#include "command/command_wrapper.hpp"
#include "transport/io_handler.hpp"

namespace nvrp::commands {

void OPEN::Serve(kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler, Result& aResult) {
  aResult = aDevice.Pub_Open(aHandler);
  if (aResult.Error) return;
  aResult.Handle = aDevice.Handle();
  // Refreshes the device's serial number, fiscal mode and VAT table; the outcomes are not
  // part of the OPEN result.
  aDevice.Init();
  aDevice.Pub_GetStatus(aHandler);
  aDevice.Pub_GetVatTable(aHandler);
}

void OPEN::OnRaisedError(kFiscalPrinterDevice& aDevice, const std::string& aMessage) {
  aDevice.IOHandler().Debug(tNV_MessageType::let_error, aMessage);
}

void CLOSE::Serve(kFiscalPrinterDevice& aDevice, kReceiptPrinterHandler& aHandler,
                  Result& aResult) {
  aResult = aDevice.Pub_Close(aHandler);
  kCommandWrapper<CLOSE>::WriteResultLine(aDevice, aResult);
  DestroyDevice(aHandler.DeviceHandle(), aDevice);
}

}  // namespace nvrp::commands
