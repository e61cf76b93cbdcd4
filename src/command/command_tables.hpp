#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "device/fiscal_printer_device.hpp"

namespace nvrp {

// Open devices by handle. The table does not own its devices: CLOSE removes the entry and
// destroys the device; devices still listed when the library unloads are left alone (neither
// closed nor freed), so that no device code runs during unload.
class kDeviceTable {
 public:
  kFiscalPrinterDevice* Find(int32_t aHandle) const;
  void Add(int32_t aHandle, kFiscalPrinterDevice& aDevice);
  void Remove(int32_t aHandle);
  size_t Count() const { return fDevices.size(); }

 private:
  std::map<int32_t, kFiscalPrinterDevice*> fDevices;
};

// A device class as the registry holds it: its factory and its driver version text.
struct kDriverClass {
  kFiscalPrinterClass fCreate;
  std::string (*fGetDriverVersion)() = nullptr;
};

// Device classes by driver name, compared exactly (letter case included).
class kDriverRegistry {
 public:
  void Add(const std::string& aName, kDriverClass aClass);
  template <typename Device>
  void Add(const std::string& aName) {
    Add(aName, kDriverClass{[](kReceiptPrinterHandler& aHandler) {
                              return std::unique_ptr<kFiscalPrinterDevice>(
                                  std::make_unique<Device>(aHandler));
                            },
                            &Device::GetDriverVersion});
  }
  const kDriverClass* Find(std::string_view aName) const;

 private:
  std::map<std::string, kDriverClass, std::less<>> fClasses;
};

// The process-wide state of the command interface, created when the library loads.
struct kCommandTables {
  kDeviceTable DeviceTable;
  kDriverRegistry DriverRegistry;
  int32_t LastDeviceHandle = 0;  // the last handle issued; handles are never reused
};

// Removes the device's entry and destroys the device (CLOSE).
void DestroyDevice(int32_t aHandle, kFiscalPrinterDevice& aDevice);

void CreateCommandTables();
// Releases the tables; the devices they list are not freed.
void DestroyCommandTables();
// Throws nvrp::Exception when the tables do not exist.
kCommandTables& CommandTables();

}  // namespace nvrp
