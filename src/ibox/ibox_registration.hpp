#pragma once

#include <string>

#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

// Enters the iBox device class into a driver registry under "NVRP_RORERER_10". The registry
// offers `template <typename Device> void Add(const std::string& aName)`, which records a
// factory building Device from the request handler.
template <typename Registry>
void RegisterIBoxDeviceClass(Registry& aRegistry) {
  aRegistry.template Add<kFiscalPrinter_RORERER>(std::string(ibox_messages::kDriverName));
}

}  // namespace nvrp
