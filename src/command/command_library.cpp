#include "command/command_library.hpp"

#include "base/application.hpp"
#include "command/command_tables.hpp"
#include "command/device_classes.hpp"

namespace nvrp {

void LoadCommandLibrary() noexcept {
  try {
    CreateApplication();
    CreateCommandTables();
    RegisterDeviceClasses();
  } catch (...) {
  }
}

void UnloadCommandLibrary() noexcept {
  try {
    DestroyCommandTables();
    DestroyApplication();
  } catch (...) {
  }
}

}  // namespace nvrp
