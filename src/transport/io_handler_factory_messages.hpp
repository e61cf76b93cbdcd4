#pragma once

#include <string>
#include <string_view>

namespace nvrp::io_handler_factory_messages {

// Name of each connection type in messages, in the order of tkConnectionType.
inline constexpr std::string_view kConnectionTypeNames[] = {"OPOS", "TCP", "HTTP", "Serial",
                                                            "DLL",  "Com", "Spool"};

inline constexpr std::string_view kUnknownConnectionTypeName = "?";

// A connection type for which no I/O handler class is available.
inline std::string ConnectionTypeNotSupported(std::string_view aTypeName) {
  return "Connection type " + std::string(aTypeName) + " is not supported";
}

// Between driver name and log identity in the log base name.
inline constexpr std::string_view kLogBaseNameSeparator = "_";

}  // namespace nvrp::io_handler_factory_messages
