#pragma once

namespace nvrp {

// Enters the device classes this library carries into the driver registry.
void RegisterDeviceClasses();

}  // namespace nvrp
