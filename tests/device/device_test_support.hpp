#pragma once

#include <map>
#include <memory>
#include <string>

#include "documents/receipt_printer_handler.hpp"

namespace nvrp::testing {

// A request handler whose envelope carries these parameters (names as written in a request).
inline std::unique_ptr<kReceiptPrinterHandler> MakeHandler(
    const std::map<std::string, std::string>& aParameters = {}) {
  std::string xml = "<Request><Driver>NVRP_RORERER_10</Driver><LogId>dev</LogId><Parameters>";
  for (const auto& [name, value] : aParameters) {
    xml += "<" + name + ">" + value + "</" + name + ">";
  }
  xml += "</Parameters></Request>";
  auto handler = std::make_unique<kReceiptPrinterHandler>();
  handler->Deserialize(xml, tkReceiptHandlerDocumentTypes{});
  return handler;
}

// Path of a built plug-in library without its ".so" or ".dll" suffix (the RT server driver
// parameter).
inline std::string WithoutLibrarySuffix(const std::string& aPath) {
  return aPath.substr(0, aPath.rfind('.'));
}

}  // namespace nvrp::testing
