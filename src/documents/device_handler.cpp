#include "documents/device_handler.hpp"

#include <unordered_map>

#include "base/utf.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_xml.hpp"
#include "transport/io_handler_factory.hpp"

namespace nvrp {

namespace {

constexpr char kParameterSeparator = '=';

// Reads the settings of a TCP or HTTP connection (and the HTTP part of a serial one).
void ReadHttpSettings(const pugi::xml_node& node, kConnection& connection) {
  connection.SetURL(krptUtil::GetNodeValueAsString(node, "URL"));
  connection.SetAuthType(
      kConnection::ConvertAuthType(krptUtil::GetNodeValueAsString(node, "AuthType")));
  connection.SetUser(krptUtil::GetNodeValueAsString(node, "User"));
  connection.SetPassword(krptUtil::GetNodeValueAsString(node, "Password"));
}

void ReadNetworkSettings(const pugi::xml_node& node, kConnection& connection) {
  connection.SetAddress(krptUtil::GetNodeValueAsString(node, "Address"));
  connection.SetPort(krptUtil::GetNodeValueAsInteger(node, "Port"));
  ReadHttpSettings(node, connection);
}

void ReadSerialSettings(const pugi::xml_node& node, kConnection& connection) {
  connection.SetSerialPort(krptUtil::GetNodeValueAsString(node, "SerialPort"));
  connection.SetSpeed(krptUtil::GetNodeValueAsInteger(node, "Speed"));
  connection.SetDataBits(krptUtil::GetNodeValueAsInteger(node, "DataBits"));
  connection.SetParity(kConnection::ConvertParity(krptUtil::GetNodeValueAsString(node, "Parity")));
  connection.SetStopBits(krptUtil::GetNodeValueAsInteger(node, "StopBits"));
  ReadHttpSettings(node, connection);
}

}  // namespace

pugi::xml_document kDeviceHandler::Deserialize(std::string_view aXml) {
  pugi::xml_document document = ParseRequestXml(aXml);
  const pugi::xml_node root = document.document_element();

  fDriver = krptUtil::GetNodeValueAsString(root, "Driver");
  fMethod = krptUtil::GetNodeValueAsString(root, "Method");
  fDeviceHandle = krptUtil::GetNodeValueAsInteger(root, "Handle");
  fLogId = krptUtil::GetNodeValueAsString(root, "LogId");

  if (const pugi::xml_node connection = root.child("Connection")) ReadConnection(connection);
  if (const pugi::xml_node parameters = root.child("Parameters")) ReadParameters(parameters);
  ApplyParameterOverrides();
  return document;
}

void kDeviceHandler::ReadConnection(const pugi::xml_node& aConnectionNode) {
  const pugi::xml_node& node = aConnectionNode;
  fConnection.SetConnectionType(
      kConnection::ConvertConnectionType(krptUtil::GetNodeValueAsString(node, "Type")));
  fConnection.SetConnectTimeOut(krptUtil::GetNodeValueAsInteger(node, "ConnectTimeout"));
  fConnection.SetReadTimeOut(krptUtil::GetNodeValueAsInteger(node, "ReadTimeout"));

  switch (fConnection.ConnectionType()) {
    case tkConnectionType::OPOS:
      fConnection.SetDeviceName(krptUtil::GetNodeValueAsString(node, "DeviceName"));
      break;
    case tkConnectionType::TCP:
    case tkConnectionType::HTTP:
      ReadNetworkSettings(node, fConnection);
      break;
    case tkConnectionType::Serial:
      ReadSerialSettings(node, fConnection);
      break;
    case tkConnectionType::DLL:
      fConnection.SetLibraryName(krptUtil::GetNodeValueAsString(node, "LibraryName"));
      break;
    case tkConnectionType::Com:
      break;
    case tkConnectionType::Spool:
      fConnection.SetPrinterName(krptUtil::GetNodeValueAsString(node, "PrinterName"));
      break;
  }
}

void kDeviceHandler::ReadParameters(const pugi::xml_node& aParametersNode) {
  // A name looked up under "Parameters" finds its first element, so of two elements with one
  // name both lines carry the first one's text. Remembered per name to stay linear.
  std::unordered_map<std::string, std::string> first_values;
  for (const pugi::xml_node& child : aParametersNode.children()) {
    if (child.type() != pugi::node_element) continue;
    auto [entry, is_first] = first_values.try_emplace(child.name());
    if (is_first) entry->second = krptUtil::GetElementValueAsString(child);
    fParameters.push_back(AsciiLower(child.name()) + kParameterSeparator + entry->second);
  }
}

void kDeviceHandler::ApplyParameterOverrides() {
  if (ParameterExists("devicename")) fConnection.SetDeviceName(GetParameter("devicename"));
  if (ParameterExists("connecttimeout")) {
    fConnection.SetConnectTimeOut(krptUtil::StrToInt(GetParameter("connecttimeout")));
  }
}

size_t kDeviceHandler::FindParameter(std::string_view aName) const {
  const std::string name = AsciiLower(aName);
  for (size_t i = 0; i < fParameters.size(); ++i) {
    const std::string& line = fParameters[i];
    const size_t separator = line.find(kParameterSeparator);
    if (line.compare(0, separator, name) == 0) return i;
  }
  return std::string::npos;
}

std::string kDeviceHandler::GetParameter(std::string_view aName) const {
  const size_t index = FindParameter(aName);
  if (index == std::string::npos) return {};
  const std::string& line = fParameters[index];
  return line.substr(line.find(kParameterSeparator) + 1);
}

bool kDeviceHandler::ParameterExists(std::string_view aName) const {
  return FindParameter(aName) != std::string::npos;
}

bool kDeviceHandler::ParameterIsTrue(std::string_view aName) const {
  return AsciiLower(GetParameter(aName)) == "true";
}

std::unique_ptr<kIOHandler> kDeviceHandler::CreateIOHandler(const std::string& aLogDir) const {
  return CreateIOHandlerForConnection(fConnection, aLogDir, SafeLogBaseName(fDriver, fLogId),
                                      ParameterIsTrue("hexlog"));
}

}  // namespace nvrp
