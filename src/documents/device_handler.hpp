#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "transport/connection.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

// The request envelope: which driver, which open device, how to reach a new device, the log
// identity and the free-form parameters of one command.
class kDeviceHandler {
 public:
  kDeviceHandler() = default;
  kDeviceHandler(const kDeviceHandler&) = delete;
  kDeviceHandler& operator=(const kDeviceHandler&) = delete;
  virtual ~kDeviceHandler() = default;

  // Parses the request and reads its envelope; returns the parsed document for the document
  // parsers. Throws nvrp::Exception on malformed XML or an invalid envelope value; what was
  // read before the failure stays.
  pugi::xml_document Deserialize(std::string_view aXml);

  // Value of the first parameter of that name (any letter case); "" when there is none.
  std::string GetParameter(std::string_view aName) const;
  // True when a parameter of that name exists, whatever its value.
  bool ParameterExists(std::string_view aName) const;
  // True when the parameter's value is "true" in any letter case.
  bool ParameterIsTrue(std::string_view aName) const;

  // The I/O handler of a new device: the class of the connection type, logging to
  // aLogDir/<driver>_<log id>_yyyymmdd.log, with the hexadecimal dump when the parameter
  // HexLog is "true" in any letter case. The caller owns the handler.
  std::unique_ptr<kIOHandler> CreateIOHandler(const std::string& aLogDir) const;

  const std::string& Driver() const { return fDriver; }
  const kConnection& Connection() const { return fConnection; }
  kConnection& Connection() { return fConnection; }
  int32_t DeviceHandle() const { return fDeviceHandle; }
  const std::string& LogId() const { return fLogId; }
  // Lines "name=value", names in lower case, in request order.
  const std::vector<std::string>& Parameters() const { return fParameters; }

 private:
  void ReadConnection(const pugi::xml_node& aConnectionNode);
  void ReadParameters(const pugi::xml_node& aParametersNode);
  void ApplyParameterOverrides();
  // Index of the first parameter line of that (lower-case) name, or npos.
  size_t FindParameter(std::string_view aName) const;

  std::string fDriver;
  std::string fMethod;  // kept with the envelope; nothing reads it
  kConnection fConnection;
  int32_t fDeviceHandle = 0;
  std::vector<std::string> fParameters;
  std::string fLogId;
};

}  // namespace nvrp
