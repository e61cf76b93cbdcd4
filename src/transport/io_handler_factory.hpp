#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "transport/connection.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

// Builds the I/O handler of one connection type from the connection, the log directory and
// the log base name.
using tkIOHandlerFactory = std::function<std::unique_ptr<kIOHandler>(
    const kConnection& aConnection, const std::string& aDirectory, const std::string& aFileName)>;

// Makes aFactory build the handlers of aType instead of its built-in class, replacing any
// earlier registration. An empty factory removes the registration.
void RegisterIOHandlerClass(tkConnectionType aType, tkIOHandlerFactory aFactory);
// Removes the registration of aType; it falls back to its built-in class.
void UnregisterIOHandlerClass(tkConnectionType aType);

// Log base name of a device: driver + "_" + log identity. Both come from the request, so every
// "/" and "\" becomes "_": the name cannot lead out of the log directory.
std::string SafeLogBaseName(std::string_view aDriver, std::string_view aLogId);

// Builds the handler class of the connection's type with the log aLogDir/aLogName_yyyymmdd.log
// (no log when either is empty; path separators in aLogName become "_"), then sets HexLog.
// A type without a handler class throws nvrp::Exception.
std::unique_ptr<kIOHandler> CreateIOHandlerForConnection(const kConnection& aConnection,
                                                         const std::string& aLogDir,
                                                         const std::string& aLogName, bool aHexLog);

}  // namespace nvrp
