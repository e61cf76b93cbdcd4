#include "command/fiscal_printer_wrapper.hpp"

#include <exception>
#include <limits>

#include "base/nv_exception.hpp"
#include "command/command_messages.hpp"
#include "command/command_tables.hpp"
#include "device/fiscal_printer_device.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

namespace {

kFiscalPrinterDevice& FindDevice(int32_t aHandle) {
  kFiscalPrinterDevice* device = CommandTables().DeviceTable.Find(aHandle);
  if (device == nullptr) throw Exception(std::string(command_messages::kPrinterHandleNotFound));
  device->IOHandler().ResetCustomError();
  return *device;
}

kFiscalPrinterDevice& CreateDevice(kReceiptPrinterHandler& aHandler) {
  kCommandTables& tables = CommandTables();
  const kDriverClass* driver = tables.DriverRegistry.Find(aHandler.Driver());
  if (driver == nullptr) throw Exception(command_messages::DriverNotRegistered(aHandler.Driver()));
  if (tables.LastDeviceHandle == std::numeric_limits<int32_t>::max()) {
    throw Exception(std::string(command_messages::kNoHandleLeft));
  }
  std::unique_ptr<kFiscalPrinterDevice> device = driver->fCreate(aHandler);
  if (!device) throw Exception(std::string(command_messages::kNoDeviceCreated));
  // The handle is consumed only once the device exists and is listed.
  const int32_t handle = tables.LastDeviceHandle + 1;
  device->SetHandle(handle);
  tables.DeviceTable.Add(handle, *device);
  tables.LastDeviceHandle = handle;
  return *device.release();
}

}  // namespace

kFiscalPrinterWrapper::kFiscalPrinterWrapper()
    : fHandler(std::make_unique<kReceiptPrinterHandler>()) {}

kFiscalPrinterWrapper::~kFiscalPrinterWrapper() = default;

kFiscalPrinterDevice& kFiscalPrinterWrapper::FindOrCreateDevice(bool aMayCreate) {
  if (fHandler->DeviceHandle() > 0) return FindDevice(fHandler->DeviceHandle());
  if (!aMayCreate) throw Exception(std::string(command_messages::kPrinterNotOpened));
  return CreateDevice(*fHandler);
}

std::string CurrentErrorMessage() {
  if (!std::current_exception()) return std::string(command_messages::kUnknownError);
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return std::string(command_messages::kUnknownError);
  }
}

}  // namespace nvrp
