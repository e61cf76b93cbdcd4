#include "command/command_tables.hpp"

#include "base/nv_exception.hpp"
#include "command/command_messages.hpp"

namespace nvrp {

namespace {

// A plain pointer, not a static smart pointer: a host that exits with the library loaded runs
// the static destructors before the unload hook, which must then find the tables still there.
kCommandTables* gCommandTables = nullptr;

}  // namespace

kFiscalPrinterDevice* kDeviceTable::Find(int32_t aHandle) const {
  const auto found = fDevices.find(aHandle);
  return found == fDevices.end() ? nullptr : found->second;
}

void kDeviceTable::Add(int32_t aHandle, kFiscalPrinterDevice& aDevice) {
  fDevices[aHandle] = &aDevice;
}

void kDeviceTable::Remove(int32_t aHandle) { fDevices.erase(aHandle); }

void kDriverRegistry::Add(const std::string& aName, kDriverClass aClass) {
  fClasses.insert_or_assign(aName, std::move(aClass));
}

const kDriverClass* kDriverRegistry::Find(std::string_view aName) const {
  const auto found = fClasses.find(aName);
  return found == fClasses.end() ? nullptr : &found->second;
}

void DestroyDevice(int32_t aHandle, kFiscalPrinterDevice& aDevice) {
  CommandTables().DeviceTable.Remove(aHandle);
  const std::unique_ptr<kFiscalPrinterDevice> owned(&aDevice);
}

void CreateCommandTables() {
  if (gCommandTables == nullptr) gCommandTables = new kCommandTables();
}

void DestroyCommandTables() {
  delete gCommandTables;
  gCommandTables = nullptr;
}

kCommandTables& CommandTables() {
  if (!gCommandTables) throw Exception(std::string(command_messages::kTablesNotCreated));
  return *gCommandTables;
}

}  // namespace nvrp
