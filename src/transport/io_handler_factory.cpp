#include "transport/io_handler_factory.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "base/nv_exception.hpp"
#include "transport/io_handler_com.hpp"
#include "transport/io_handler_dll.hpp"
#include "transport/io_handler_factory_messages.hpp"
#include "transport/io_handler_http.hpp"
#include "transport/io_handler_opos.hpp"
#include "transport/io_handler_serial.hpp"
#include "transport/io_handler_spool.hpp"
#include "transport/io_handler_tcp.hpp"

namespace nvrp {

namespace msg = io_handler_factory_messages;

namespace {

struct tkIOHandlerRegistry {
  std::mutex mutex;
  std::map<tkConnectionType, tkIOHandlerFactory> factories;
};

tkIOHandlerRegistry& Registry() {
  static tkIOHandlerRegistry registry;
  return registry;
}

template <typename THandler>
std::unique_ptr<kIOHandler> Build(const kConnection& aConnection, const std::string& aDirectory,
                                  const std::string& aFileName) {
  return std::make_unique<THandler>(&aConnection, aDirectory, aFileName);
}

// The handler class of each connection type.
tkIOHandlerFactory BuiltInFactory(tkConnectionType aType) {
  switch (aType) {
    case tkConnectionType::OPOS:
      return Build<kIOHandler_OPOS>;
    case tkConnectionType::TCP:
      return Build<kIOHandler_TCP>;
    case tkConnectionType::HTTP:
      return Build<kIOHandler_HTTP>;
    case tkConnectionType::Serial:
      return Build<kIOHandler_Serial>;
    case tkConnectionType::DLL:
      return Build<kIOHandler_Dll>;
    case tkConnectionType::Com:
      return Build<kIOHandler_Com>;
    case tkConnectionType::Spool:
      return Build<kIOHandler_Spool>;
  }
  return {};
}

tkIOHandlerFactory FindFactory(tkConnectionType aType) {
  tkIOHandlerRegistry& registry = Registry();
  {
    std::lock_guard lock(registry.mutex);
    const auto found = registry.factories.find(aType);
    if (found != registry.factories.end()) return found->second;
  }
  return BuiltInFactory(aType);
}

std::string_view ConnectionTypeName(tkConnectionType aType) {
  const auto index = static_cast<size_t>(aType);
  if (index >= std::size(msg::kConnectionTypeNames)) return msg::kUnknownConnectionTypeName;
  return msg::kConnectionTypeNames[index];
}

std::string WithoutPathSeparators(std::string aName) {
  std::replace_if(
      aName.begin(), aName.end(), [](char c) { return c == '/' || c == '\\'; }, '_');
  return aName;
}

}  // namespace

void RegisterIOHandlerClass(tkConnectionType aType, tkIOHandlerFactory aFactory) {
  tkIOHandlerRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  if (aFactory) {
    registry.factories[aType] = std::move(aFactory);
  } else {
    registry.factories.erase(aType);
  }
}

void UnregisterIOHandlerClass(tkConnectionType aType) { RegisterIOHandlerClass(aType, {}); }

std::string SafeLogBaseName(std::string_view aDriver, std::string_view aLogId) {
  return WithoutPathSeparators(std::string(aDriver) + std::string(msg::kLogBaseNameSeparator) +
                               std::string(aLogId));
}

std::unique_ptr<kIOHandler> CreateIOHandlerForConnection(const kConnection& aConnection,
                                                         const std::string& aLogDir,
                                                         const std::string& aLogName,
                                                         bool aHexLog) {
  const tkIOHandlerFactory factory = FindFactory(aConnection.ConnectionType());
  std::unique_ptr<kIOHandler> handler;
  if (factory) handler = factory(aConnection, aLogDir, WithoutPathSeparators(aLogName));
  if (!handler) {
    throw Exception(
        msg::ConnectionTypeNotSupported(ConnectionTypeName(aConnection.ConnectionType())));
  }
  handler->SetHexLog(aHexLog);
  return handler;
}

}  // namespace nvrp
