#include "documents/device_handler.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "documents/receipt_printer_handler.hpp"

namespace nvrp {
namespace {

std::string Request(const std::string& content) { return "<Request>" + content + "</Request>"; }

template <typename Handler, typename... Args>
std::string ErrorOf(Handler& handler, const std::string& xml, Args... args) {
  try {
    handler.Deserialize(xml, args...);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(DeviceHandler, ReadsEnvelopeUnderAnyRootName) {
  kDeviceHandler handler;
  handler.Deserialize(
      "<AnyRoot><Driver>NVRP_RORERER_10</Driver><Method>PRINTFR</Method>"
      "<Handle>7</Handle><LogId>till1</LogId><Unknown>x</Unknown></AnyRoot>");
  EXPECT_EQ(handler.Driver(), "NVRP_RORERER_10");
  EXPECT_EQ(handler.DeviceHandle(), 7);
  EXPECT_EQ(handler.LogId(), "till1");
}

TEST(DeviceHandler, WithoutConnectionKeepsTheInitialSettings) {
  kDeviceHandler handler;
  handler.Deserialize(Request("<Driver>D</Driver>"));
  const kConnection& connection = handler.Connection();
  EXPECT_EQ(connection.ConnectionType(), tkConnectionType::OPOS);
  EXPECT_EQ(connection.DeviceName(), "");
  EXPECT_EQ(connection.ConnectTimeOut(), 1000);
  EXPECT_EQ(connection.ReadTimeOut(), 1000);
  EXPECT_EQ(handler.DeviceHandle(), 0);
  EXPECT_EQ(handler.LogId(), "");
  EXPECT_TRUE(handler.Parameters().empty());
}

TEST(DeviceHandler, ConnectTimeouts) {
  struct Case {
    const char* content;
    int32_t connect;
    int32_t read;
  };
  const Case cases[] = {
      {"<Connection><Type>http</Type><ConnectTimeout>0</ConnectTimeout>"
       "<ReadTimeout>-1</ReadTimeout></Connection>",
       1000, 1000},
      {"<Connection><Type>http</Type><ConnectTimeout>-1</ConnectTimeout></Connection>", 1000, 1000},
      {"<Connection><Type>http</Type><ConnectTimeout>5000</ConnectTimeout>"
       "<ReadTimeout>3000</ReadTimeout></Connection>",
       5000, 3000},
      {"<Connection><Type>http</Type><ConnectTimeout>5000</ConnectTimeout></Connection>"
       "<Parameters><ConnectTimeout>7000</ConnectTimeout></Parameters>",
       7000, 1000},
      {"<Connection><Type>http</Type><ConnectTimeout>5000</ConnectTimeout></Connection>"
       "<Parameters><connecttimeout>0</connecttimeout></Parameters>",
       5000, 1000},
  };
  for (const auto& c : cases) {
    kDeviceHandler handler;
    handler.Deserialize(Request(c.content));
    EXPECT_EQ(handler.Connection().ConnectTimeOut(), c.connect) << c.content;
    EXPECT_EQ(handler.Connection().ReadTimeOut(), c.read) << c.content;
  }
}

TEST(DeviceHandler, ParametersAreLowerCaseNamesInRequestOrder) {
  kDeviceHandler handler;
  handler.Deserialize(
      Request("<Parameters><HEXLOG>TRUE</HEXLOG><Empty/><A>x=y</A><A>second</A>"
              "<GetReceiptText> yes </GetReceiptText></Parameters>"));
  EXPECT_EQ(handler.Parameters(), (std::vector<std::string>{"hexlog=TRUE", "empty=", "a=x=y",
                                                            "a=x=y", "getreceipttext= yes "}));
  for (const char* name : {"hexlog", "HexLog", "HEXLOG"}) {
    EXPECT_EQ(handler.GetParameter(name), "TRUE") << name;
    EXPECT_TRUE(handler.ParameterExists(name)) << name;
  }
  EXPECT_EQ(handler.GetParameter("A"), "x=y");
  EXPECT_TRUE(handler.ParameterExists("empty"));
  EXPECT_EQ(handler.GetParameter("empty"), "");
  EXPECT_FALSE(handler.ParameterExists("missing"));
  EXPECT_FALSE(handler.ParameterExists("hex"));
  EXPECT_FALSE(handler.ParameterExists("a=x"));
  EXPECT_EQ(handler.GetParameter("missing"), "");
}

TEST(DeviceHandler, SecondDeserializeAppendsParametersWithSameLookups) {
  kDeviceHandler handler;
  const std::string xml = Request("<Parameters><P>1</P></Parameters>");
  handler.Deserialize(xml);
  handler.Deserialize(xml);
  EXPECT_EQ(handler.Parameters(), (std::vector<std::string>{"p=1", "p=1"}));
  EXPECT_EQ(handler.GetParameter("p"), "1");
}

TEST(DeviceHandler, DeviceNameParameterWinsForAnyType) {
  for (const char* type : {"opos", "http"}) {
    kDeviceHandler handler;
    handler.Deserialize(Request(std::string("<Connection><Type>") + type +
                                "</Type><DeviceName>FromConnection</DeviceName></Connection>"
                                "<Parameters><DeviceName>FromParameter</DeviceName></Parameters>"));
    EXPECT_EQ(handler.Connection().DeviceName(), "FromParameter") << type;
  }
}

TEST(DeviceHandler, ConnectionChildrenPerType) {
  const std::string all =
      "<DeviceName>dev</DeviceName><Address>10.0.0.5</Address><Port>8080</Port>"
      "<URL>http://box/</URL><AuthType>Digest</AuthType><User>u</User><Password>p</Password>"
      "<SerialPort>COM3</SerialPort><Speed>9600</Speed><DataBits>8</DataBits>"
      "<Parity>Even</Parity><StopBits>2</StopBits><LibraryName>lib.dll</LibraryName>"
      "<PrinterName>Printer 1</PrinterName>";
  struct Expected {
    const char* type;
    tkConnectionType value;
    const char* device_name;
    const char* address;
    int32_t port;
    const char* url;
    tkHTTPAuthType auth;
    const char* user;
    const char* password;
    const char* serial_port;
    int32_t speed;
    int32_t data_bits;
    tkParity parity;
    int32_t stop_bits;
    const char* library;
    const char* printer;
  };
  using CT = tkConnectionType;
  using AT = tkHTTPAuthType;
  using P = tkParity;
  const Expected cases[] = {
      {"OPOS", CT::OPOS, "dev", "", 0, "", AT::at_None, "", "", "", 0, 0, P::None, 0, "", ""},
      {"tcp", CT::TCP, "", "10.0.0.5", 8080, "http://box/", AT::at_Digest, "u", "p", "", 0, 0,
       P::None, 0, "", ""},
      {"http", CT::HTTP, "", "10.0.0.5", 8080, "http://box/", AT::at_Digest, "u", "p", "", 0, 0,
       P::None, 0, "", ""},
      {"Serial", CT::Serial, "", "", 0, "http://box/", AT::at_Digest, "u", "p", "COM3", 9600, 8,
       P::Even, 2, "", ""},
      {"dll", CT::DLL, "", "", 0, "", AT::at_None, "", "", "", 0, 0, P::None, 0, "lib.dll", ""},
      {"com", CT::Com, "", "", 0, "", AT::at_None, "", "", "", 0, 0, P::None, 0, "", ""},
      {"spool", CT::Spool, "", "", 0, "", AT::at_None, "", "", "", 0, 0, P::None, 0, "",
       "Printer 1"},
  };
  for (const auto& e : cases) {
    kDeviceHandler handler;
    handler.Deserialize(
        Request(std::string("<Connection><Type>") + e.type + "</Type>" + all + "</Connection>"));
    const kConnection& c = handler.Connection();
    SCOPED_TRACE(e.type);
    EXPECT_EQ(c.ConnectionType(), e.value);
    EXPECT_EQ(c.DeviceName(), e.device_name);
    EXPECT_EQ(c.Address(), e.address);
    EXPECT_EQ(c.Port(), e.port);
    EXPECT_EQ(c.URL(), e.url);
    EXPECT_EQ(c.AuthType(), e.auth);
    EXPECT_EQ(c.User(), e.user);
    EXPECT_EQ(c.Password(), e.password);
    EXPECT_EQ(c.SerialPort(), e.serial_port);
    EXPECT_EQ(c.Speed(), e.speed);
    EXPECT_EQ(c.DataBits(), e.data_bits);
    EXPECT_EQ(c.Parity(), e.parity);
    EXPECT_EQ(c.StopBits(), e.stop_bits);
    EXPECT_EQ(c.LibraryName(), e.library);
    EXPECT_EQ(c.PrinterName(), e.printer);
  }
}

TEST(DeviceHandler, UnknownAuthTypeIsNoError) {
  kDeviceHandler handler;
  handler.Deserialize(
      Request("<Connection><Type>http</Type><AuthType>ntlm</AuthType></Connection>"));
  EXPECT_EQ(handler.Connection().AuthType(), tkHTTPAuthType::at_None);
}

TEST(DeviceHandler, EnvelopeErrors) {
  struct Case {
    std::string xml;
    const char* message;
  };
  const Case cases[] = {
      {Request("<Connection></Connection>"), "Connection Type  is not valid"},
      {Request("<Connection><Type>Https</Type></Connection>"),
       "Connection Type Https is not valid"},
      {Request("<Handle>abc</Handle>"),
       "Error in processing node Handle as integer.\r\n'abc' is not a valid integer value"},
      {Request("<Connection><Type>tcp</Type><Port>80a</Port></Connection>"),
       "Error in processing node Port as integer.\r\n'80a' is not a valid integer value"},
      {Request("<Connection><Type>serial</Type><Parity>mark</Parity></Connection>"),
       "Connection Parity mark is not valid"},
      {Request("<Connection><Type>serial</Type><Speed>fast</Speed></Connection>"),
       "Error in processing node Speed as integer.\r\n'fast' is not a valid integer value"},
      {Request("<Connection><Type>http</Type><ReadTimeout>1s</ReadTimeout></Connection>"),
       "Error in processing node ReadTimeout as integer.\r\n'1s' is not a valid integer value"},
      {Request("<Parameters><ConnectTimeout>abc</ConnectTimeout></Parameters>"),
       "'abc' is not a valid integer value"},
      {Request("<Parameters><ConnectTimeout/></Parameters>"), "'' is not a valid integer value"},
      {Request("<Parameters><P><Q/></P></Parameters>"),
       "Error in processing node P as string.\r\nElement has child elements"},
      {"", "Invalid XML: No document element found at offset 0"},
  };
  for (const auto& c : cases) {
    kDeviceHandler handler;
    EXPECT_EQ(ErrorOf(handler, c.xml), c.message) << c.xml;
  }
}

TEST(DeviceHandler, MalformedXmlNamesTheParserProblem) {
  for (const char* xml : {"<Request><Driver>D</Request>", "plain text", "<a/><b/>"}) {
    kDeviceHandler handler;
    const std::string error = ErrorOf(handler, xml);
    EXPECT_EQ(error.rfind("Invalid XML: ", 0), 0u) << error;
    EXPECT_NE(error.find(" at offset "), std::string::npos) << error;
  }
}

TEST(DeviceHandler, WhatWasReadBeforeAFailureStays) {
  kDeviceHandler handler;
  ErrorOf(handler, Request("<Driver>D</Driver><Handle>x</Handle><LogId>L</LogId>"));
  EXPECT_EQ(handler.Driver(), "D");
  EXPECT_EQ(handler.LogId(), "");
}

TEST(DeviceHandler, HugeRequestIsHandled) {
  std::string parameters;
  for (int i = 0; i < 20000; ++i)
    parameters += "<P" + std::to_string(i) + ">v</P" + std::to_string(i) + ">";
  std::string nested;
  for (int i = 0; i < 50000; ++i) nested += "<n>";
  for (int i = 0; i < 50000; ++i) nested += "</n>";
  kDeviceHandler handler;
  handler.Deserialize(Request("<Parameters>" + parameters + "</Parameters>" + nested));
  EXPECT_EQ(handler.Parameters().size(), 20000u);
  EXPECT_EQ(handler.GetParameter("p19999"), "v");
}

// ---- documents ----

using DT = tkReceiptHandlerDocumentType;

TEST(ReceiptPrinterHandler, EmptySetReadsTheEnvelopeOnly) {
  kReceiptPrinterHandler handler;
  handler.Deserialize(Request("<Driver>D</Driver><Receipt><Bad/></Receipt>"), {});
  EXPECT_EQ(handler.Driver(), "D");
}

TEST(ReceiptPrinterHandler, ConnectTimeoutStartsAtDefaultForEveryRequest) {
  kReceiptPrinterHandler handler;
  handler.Deserialize(
      Request("<Connection><Type>http</Type><ConnectTimeout>5000</ConnectTimeout></Connection>"),
      {});
  EXPECT_EQ(handler.Connection().ConnectTimeOut(), 5000);
  handler.Deserialize(Request(""), {});
  EXPECT_EQ(handler.Connection().ConnectTimeOut(), 1000);
}

TEST(ReceiptPrinterHandler, DocumentsAreParsedInTheFixedOrder) {
  // X and Z reports may be absent; when present, a faulty store or till code shows their turn.
  const std::string badX = "<XReport><StoreCode><x/></StoreCode></XReport>";
  const std::string badZ = "<ZReport><TillCode><z/></TillCode></ZReport>";
  const std::string childElements = "\r\nElement has child elements";
  struct Case {
    tkReceiptHandlerDocumentTypes types;
    std::string documents;
    std::string first_error;
  };
  const Case cases[] = {
      {{DT::dt_ZReport, DT::dt_Drawer, DT::dt_Receipt}, "", "Receipt node not found"},
      {{DT::dt_EJFilesRequest, DT::dt_NFReceipt}, "", "NFReceipt node not found"},
      {{DT::dt_Drawer, DT::dt_Display}, "", "Display node not found"},
      {{DT::dt_EJReport, DT::dt_Drawer}, "", "Drawer node not found"},
      {{DT::dt_VatTable, DT::dt_EJReport}, "", "EJReport node not found"},
      {{DT::dt_ZReport, DT::dt_XReport, DT::dt_VatTable}, badX, "VATTable node not found"},
      {{DT::dt_DeptTable, DT::dt_ZReport, DT::dt_XReport},
       badX + badZ,
       "Error in processing node StoreCode as string." + childElements},
      {{DT::dt_DeptTable, DT::dt_ZReport},
       badZ,
       "Error in processing node TillCode as string." + childElements},
      {{DT::dt_Pay, DT::dt_DeptTable, DT::dt_ZReport, DT::dt_XReport},
       "",
       "DeptTable node not found"},
      {{DT::dt_ReceiptReference, DT::dt_Pay}, "", "Payment node not found"},
      {{DT::dt_EJFilesRequest, DT::dt_ReceiptReference}, "", "ReceiptReference node not found"},
      {{DT::dt_EJFilesRequest}, "", "EJRequest node not found"},
  };
  for (const auto& c : cases) {
    kReceiptPrinterHandler handler;
    EXPECT_EQ(ErrorOf(handler, Request("<Driver>D</Driver>" + c.documents), c.types),
              c.first_error);
    EXPECT_EQ(handler.Driver(), "D");  // the envelope came first
  }
}

TEST(ReceiptPrinterHandler, EnvelopeErrorComesBeforeDocuments) {
  kReceiptPrinterHandler handler;
  EXPECT_EQ(ErrorOf(handler, Request("<Handle>x</Handle>"),
                    tkReceiptHandlerDocumentTypes{DT::dt_Receipt}),
            "Error in processing node Handle as integer.\r\n'x' is not a valid integer value");
}

TEST(ReceiptPrinterHandler, ClearReceiptGivesANewEmptyReceipt) {
  kReceiptPrinterHandler handler;
  handler.Receipt().fReceiptNumber = "42";
  handler.ClearReceipt();
  EXPECT_EQ(handler.Receipt().fReceiptNumber, "");
}

TEST(ReceiptPrinterHandler, DocumentTypeBits) {
  EXPECT_EQ(tkReceiptHandlerDocumentTypes{DT::dt_Receipt}.bits(), 1u);
  EXPECT_EQ(tkReceiptHandlerDocumentTypes{DT::dt_DeptTable}.bits(), 64u);
  EXPECT_EQ(tkReceiptHandlerDocumentTypes{DT::dt_ZReport}.bits(), 2048u);
}

}  // namespace
}  // namespace nvrp
