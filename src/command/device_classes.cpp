#include "command/device_classes.hpp"

#include "command/command_tables.hpp"
#include "ibox/ibox_registration.hpp"

namespace nvrp {

void RegisterDeviceClasses() { RegisterIBoxDeviceClass(CommandTables().DriverRegistry); }

}  // namespace nvrp
