#include "transport/connection.hpp"

#include <gtest/gtest.h>

#include <string>

#include "base/nv_exception.hpp"

namespace nvrp {
namespace {

TEST(Connection, StartsAsOposWithOneSecondTimeouts) {
  const kConnection connection;
  EXPECT_EQ(connection.ConnectionType(), tkConnectionType::OPOS);
  EXPECT_EQ(connection.ConnectTimeOut(), 1000);
  EXPECT_EQ(connection.ReadTimeOut(), 1000);
  EXPECT_EQ(connection.Port(), 0);
  EXPECT_EQ(connection.AuthType(), tkHTTPAuthType::at_None);
  EXPECT_EQ(connection.Parity(), tkParity::None);
  EXPECT_EQ(connection.DeviceName(), "");
}

TEST(Connection, TimeoutsIgnoreZeroAndNegativeValues) {
  kConnection connection;
  for (const int32_t ignored : {0, -1, -5}) {
    connection.SetConnectTimeOut(ignored);
    connection.SetReadTimeOut(ignored);
    EXPECT_EQ(connection.ConnectTimeOut(), 1000);
    EXPECT_EQ(connection.ReadTimeOut(), 1000);
  }
  connection.SetConnectTimeOut(5000);
  connection.SetReadTimeOut(1);
  connection.SetReadTimeOut(-5);
  EXPECT_EQ(connection.ConnectTimeOut(), 5000);
  EXPECT_EQ(connection.ReadTimeOut(), 1);
}

TEST(Connection, OtherPropertiesStoreWhatTheyAreGiven) {
  kConnection connection;
  connection.SetPort(-3);
  connection.SetSpeed(9600);
  connection.SetURL("http://10.0.0.5/");
  connection.SetAuthType(tkHTTPAuthType::at_Bearer);
  EXPECT_EQ(connection.Port(), -3);
  EXPECT_EQ(connection.Speed(), 9600);
  EXPECT_EQ(connection.URL(), "http://10.0.0.5/");
  EXPECT_EQ(connection.AuthType(), tkHTTPAuthType::at_Bearer);
}

TEST(Connection, ConvertConnectionTypeWords) {
  const struct {
    const char* text;
    tkConnectionType value;
  } cases[] = {
      {"opos", tkConnectionType::OPOS},     {"TCP", tkConnectionType::TCP},
      {"HTTP", tkConnectionType::HTTP},     {"Http", tkConnectionType::HTTP},
      {"serial", tkConnectionType::Serial}, {"Dll", tkConnectionType::DLL},
      {"COM", tkConnectionType::Com},       {"spool", tkConnectionType::Spool},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kConnection::ConvertConnectionType(c.text), c.value) << c.text;
  }
}

TEST(Connection, ConvertParityWords) {
  EXPECT_EQ(kConnection::ConvertParity("NONE"), tkParity::None);
  EXPECT_EQ(kConnection::ConvertParity("even"), tkParity::Even);
  EXPECT_EQ(kConnection::ConvertParity("Odd"), tkParity::Odd);
}

TEST(Connection, UnknownTypeAndParityQuoteTheTextUnchanged) {
  using Convert = void (*)(const char*);
  const Convert type = [](const char* t) { kConnection::ConvertConnectionType(t); };
  const Convert parity = [](const char* t) { kConnection::ConvertParity(t); };
  const struct {
    Convert convert;
    const char* text;
    const char* message;
  } cases[] = {
      {type, "https", "Connection Type https is not valid"},
      {type, "", "Connection Type  is not valid"},
      {type, " HTTP", "Connection Type  HTTP is not valid"},
      {type, "100%s", "Connection Type 100%s is not valid"},
      {parity, "Mark", "Connection Parity Mark is not valid"},
      {parity, "", "Connection Parity  is not valid"},
  };
  for (const auto& c : cases) {
    try {
      c.convert(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(Connection, ConvertAuthTypeFallsBackToNone) {
  const struct {
    const char* text;
    tkHTTPAuthType value;
  } cases[] = {
      {"none", tkHTTPAuthType::at_None},     {"Basic", tkHTTPAuthType::at_Basic},
      {"DIGEST", tkHTTPAuthType::at_Digest}, {"bearer", tkHTTPAuthType::at_None},
      {"ntlm", tkHTTPAuthType::at_None},     {"", tkHTTPAuthType::at_None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kConnection::ConvertAuthType(c.text), c.value) << c.text;
  }
}

}  // namespace
}  // namespace nvrp
