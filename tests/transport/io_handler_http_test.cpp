#include "transport/io_handler_http.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/nv_exception.hpp"
#include "local_http_server.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::LocalHttpServer;
using testing::ReceivedRequest;
using ::testing::StartsWith;

// A log directory of its own, removed afterwards.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / ("nvrp_iohttp_" + std::to_string(testing::ProcessId()) +
                                         "_" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

// The entries of a log file without their time stamps; error entries keep "ERROR - ".
// Lines end in CR LF, and an entry may span lines (the "Read" entry holds CR LF).
std::vector<std::string> LogEntries(const std::string& file_name) {
  std::ifstream in(file_name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string content = text.str();
  static const std::regex stamp(R"((^|\r\n)\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} - )");
  std::vector<std::string> entries;
  size_t entry_start = std::string::npos;
  for (auto it = std::sregex_iterator(content.begin(), content.end(), stamp);
       it != std::sregex_iterator(); ++it) {
    const auto match_start = static_cast<size_t>(it->position());
    if (entry_start != std::string::npos) {
      entries.push_back(content.substr(entry_start, match_start - entry_start));
    }
    entry_start = match_start + static_cast<size_t>(it->length());
  }
  if (entry_start != std::string::npos) {
    std::string last = content.substr(entry_start);
    if (last.ends_with("\r\n")) last.resize(last.size() - 2);
    entries.push_back(last);
  }
  return entries;
}

kConnection HttpConnection(const std::string& url) {
  kConnection connection;
  connection.SetConnectionType(tkConnectionType::HTTP);
  connection.SetURL(url);
  return connection;
}

class IOHandlerHttpTest : public ::testing::Test {
 protected:
  // A handler for the server's /device path with a time-out generous enough for any machine.
  std::unique_ptr<kIOHandler_HTTP> MakeHandler(int32_t read_timeout = 30) {
    kConnection connection = HttpConnection(server_.Url("/device"));
    connection.SetReadTimeOut(read_timeout);
    auto handler = std::make_unique<kIOHandler_HTTP>(&connection, "", "");
    handler->SetContentType("text/xml; charset=UTF-8");
    return handler;
  }

  LocalHttpServer server_;
};

TEST(IOHandlerHttp, DecodeErrorWordsKnownStatusesOnly) {
  const struct {
    int32_t code;
    const char* text;
  } cases[] = {
      {100, "Continue"},
      {200, "OK"},
      {226, "IM Used (HTTP Delta encoding)"},
      {305, "Use Proxy "},
      {306, "unused"},
      {404, "Not Found"},
      {418, "I'm a teapot"},
      {451, "Unavailable For Legal Reasons"},
      {500, "Internal Server Error"},
      {511, "Network Authentication Required"},
      {208, "Already Reported (WebDAV)"},
      {299, "Unknown"},
      {419, "Unknown"},
      {509, "Unknown"},
      {0, "Unknown"},
      {-1, "Unknown"},
      {7, "Unknown"},
  };
  kIOHandler_HTTP handler(nullptr, "", "");
  for (const auto& c : cases) {
    EXPECT_EQ(handler.DecodeError(c.code), c.text) << c.code;
  }
}

TEST(IOHandlerHttp, TakesUrlCredentialsAndTimeoutsFromConnection) {
  const struct {
    const char* address;
    int32_t port;
    const char* url;
    const char* expected;
  } cases[] = {
      {"http://10.0.0.5", 8080, "", "http://10.0.0.5:8080"},
      {"http://10.0.0.5", 0, "", "http://10.0.0.5"},
      {"http://10.0.0.5", -1, "", "http://10.0.0.5"},
      {"http://10.0.0.5", 8080, "https://device.local/api", "https://device.local/api"},
  };
  for (const auto& c : cases) {
    kConnection connection = HttpConnection(c.url);
    connection.SetAddress(c.address);
    connection.SetPort(c.port);
    connection.SetAuthType(tkHTTPAuthType::at_Digest);
    connection.SetUser("admin");
    connection.SetPassword("secret");
    connection.SetConnectTimeOut(15);
    connection.SetReadTimeOut(40);
    const kIOHandler_HTTP handler(&connection, "", "");
    EXPECT_EQ(handler.URL(), c.expected);
    EXPECT_EQ(handler.AuthType(), tkHTTPAuthType::at_Digest);
    EXPECT_EQ(handler.User(), "admin");
    EXPECT_EQ(handler.Password(), "secret");
    EXPECT_EQ(handler.ConnectTimeout(), 15);
    EXPECT_EQ(handler.ReadTimeout(), 40);
    EXPECT_EQ(handler.ContentType(), "");
  }
}

TEST(IOHandlerHttp, OffersNoStreamReading) {
  kIOHandler_HTTP handler(nullptr, "", "");
  EXPECT_FALSE(handler.Connected());
  EXPECT_TRUE(handler.Disconnect());
  EXPECT_EQ(handler.ReadUpTo({0x0A}), "");
  EXPECT_EQ(handler.ReadChars(10), "");
  try {
    handler.ReadAll();
    ADD_FAILURE() << "ReadAll did not throw";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "ReadAll Unsupported");
  }
  try {
    handler.InputBufferContainsData();
    ADD_FAILURE() << "InputBufferContainsData did not throw";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "InputBufferContainsData Unsupported");
  }
}

TEST_F(IOHandlerHttpTest, WritePostsTextAndKeepsAnswer) {
  server_.Post("/device", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<ok/>", "text/xml");
  });
  auto handler = MakeHandler();

  EXPECT_TRUE(handler->Write("<cmd>αβ</cmd>"));

  EXPECT_EQ(handler->Response(), "<ok/>");
  EXPECT_EQ(handler->ResponseCode(), 200);
  EXPECT_FALSE(handler->ErrorFound());
  const ReceivedRequest request = server_.LastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/device");
  EXPECT_EQ(request.body, "<cmd>αβ</cmd>");
  EXPECT_EQ(request.Header("Content-Type"), "text/xml; charset=UTF-8");
  EXPECT_EQ(request.Header("Authorization"), "");
}

// Every answer outside 200 to 299 (redirects are not followed) is a failure with its code, and
// the body of the last successful answer stays.
TEST_F(IOHandlerHttpTest, FailedStatusRecordsCodeAndText) {
  const struct {
    int status;
    const char* message;
  } cases[] = {
      {500, "HTTP status 500 Internal Server Error"}, {404, "HTTP status 404 Not Found"},
      {401, "HTTP status 401 Unauthorized"},          {302, "HTTP status 302 Found"},
      {300, "HTTP status 300 Multiple Choice"},
  };
  std::atomic<int> status{200};
  server_.Post("/device", [&status](const httplib::Request&, httplib::Response& res) {
    res.status = status.load();
    res.set_content(res.status == 200 ? "first" : "failure body", "text/plain");
    if (res.status / 100 == 3) res.set_header("Location", "/elsewhere");
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    auto handler = MakeHandler();
    status = 200;
    ASSERT_TRUE(handler->Write("a"));
    status = c.status;

    EXPECT_FALSE(handler->Write("b"));

    EXPECT_TRUE(handler->ErrorFound());
    EXPECT_EQ(handler->ErrorCode(), c.status);
    EXPECT_EQ(handler->ErrorMessage(), c.message);
    EXPECT_EQ(handler->ResponseCode(), c.status);
    EXPECT_EQ(handler->Response(), "first");
    EXPECT_EQ(server_.LastRequest().path, "/device");
  }
}

TEST_F(IOHandlerHttpTest, SetParameterSendsOneHeaderPerName) {
  server_.Post("/device", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("", "text/plain");
  });
  auto handler = MakeHandler();
  handler->SetParameter("X-Till", "1");
  handler->SetParameter("X-Operator", "anna");
  handler->SetParameter("x-till", "2");

  ASSERT_TRUE(handler->Write(""));

  const ReceivedRequest request = server_.LastRequest();
  EXPECT_EQ(request.headers.count("X-Till"), 1u);
  EXPECT_EQ(request.Header("X-Till"), "2");
  EXPECT_EQ(request.Header("X-Operator"), "anna");
}

TEST_F(IOHandlerHttpTest, SetParameterRejectsHeaderThatBreaksTheRequest) {
  auto handler = MakeHandler();
  EXPECT_THROW(handler->SetParameter("Bad Name", "1"), Exception);
  EXPECT_THROW(handler->SetParameter("", "1"), Exception);
  EXPECT_THROW(handler->SetParameter("X-Ok", "1\r\nX-Injected: 2"), Exception);
}

// Basic credentials go with the request, digest answers the device's challenge, and the
// handler never sends a bearer token.
TEST_F(IOHandlerHttpTest, WriteAuthenticatesByAuthType) {
  const struct {
    tkHTTPAuthType type;
    const char* authorizationStart;
  } cases[] = {
      {tkHTTPAuthType::at_None, ""},
      {tkHTTPAuthType::at_Basic, "Basic dXNlcjpwYXNz"},  // user:pass
      {tkHTTPAuthType::at_Digest, "Digest username=\"user\""},
      {tkHTTPAuthType::at_Bearer, ""},
  };
  server_.Post("/device", [](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("X-Want-Digest") == "1" && !req.has_header("Authorization")) {
      res.status = 401;
      res.set_header("WWW-Authenticate", R"(Digest realm="device", nonce="abc123", qop="auth")");
      return;
    }
    res.set_content("ok", "text/plain");
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    if (c.type == tkHTTPAuthType::at_Digest && testing::RunningUnderWine()) continue;
    auto handler = MakeHandler();
    handler->SetAuthType(c.type);
    handler->SetUser("user");
    handler->SetPassword("pass");
    if (c.type == tkHTTPAuthType::at_Digest) handler->SetParameter("X-Want-Digest", "1");

    EXPECT_TRUE(handler->Write("x"));

    const std::string authorization = server_.LastRequest().Header("Authorization");
    if (std::string(c.authorizationStart).empty()) {
      EXPECT_EQ(authorization, "");
    } else {
      EXPECT_THAT(authorization, StartsWith(c.authorizationStart));
    }
  }
}

// The read time-out counts in seconds: a device that answers after it has passed fails, one
// that answers within it succeeds.
TEST_F(IOHandlerHttpTest, ReadTimeoutDecidesWhetherSlowDeviceSucceeds) {
  server_.Post("/device", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    res.set_content("printed", "text/plain");
  });
  auto impatient = MakeHandler(1);
  EXPECT_FALSE(impatient->Write("x"));
  EXPECT_TRUE(impatient->ErrorFound());
  EXPECT_THAT(impatient->ErrorMessage(), EndsWith(" Unknown"));

  auto patient = MakeHandler(10);
  EXPECT_TRUE(patient->Write("x"));
  EXPECT_EQ(patient->Response(), "printed");
  EXPECT_FALSE(patient->ErrorFound());
}

TEST_F(IOHandlerHttpTest, LogsConnectAndSuccessfulWrite) {
  server_.Post("/device", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<ok/>", "text/xml");
  });
  TempDir dir;
  std::string log_file;
  {
    kConnection connection = HttpConnection(server_.Url("/device"));
    kIOHandler_HTTP handler(&connection, dir.Path(), "NVRP_till1");
    handler.SetVersion("1.0.7");
    log_file = handler.GetLogFileName();
    EXPECT_TRUE(handler.Connect());
    EXPECT_TRUE(handler.Write("αβγ"));  // 3 characters, 6 bytes
  }
  EXPECT_THAT(LogEntries(log_file),
              ElementsAre("*************************** START ***************************",
                          "*************************************************************",
                          "kIOHandler_HTTP", "1.0.7", "ConnectTimeout=1000", "ReadTimeout=1000",
                          "URL=" + server_.Url("/device"), "Write [6]:αβγ",
                          "Read:ResponseCode:200\r\n<ok/>",
                          "*************************** STOP ****************************"));
}

TEST_F(IOHandlerHttpTest, RefusedConnectionIsRecordedAndLogged) {
  TempDir dir;
  const std::string url = server_.Url("/device");
  server_.Stop();
  std::string log_file;
  int32_t code = 0;
  std::string library_text;
  {
    kConnection connection = HttpConnection(url);
    kIOHandler_HTTP handler(&connection, dir.Path(), "NVRP_till1");
    log_file = handler.GetLogFileName();
    handler.SetResponse("earlier");

    EXPECT_FALSE(handler.Write("<a/>"));

    EXPECT_TRUE(handler.ErrorFound());
    code = handler.ErrorCode();
    EXPECT_FALSE(code >= 200 && code <= 599) << code;  // no HTTP status came
    EXPECT_EQ(handler.ResponseCode(), code);
    EXPECT_EQ(handler.Response(), "earlier");
    ASSERT_THAT(handler.ErrorMessage(), EndsWith(" Unknown"));
    library_text = handler.ErrorMessage().substr(0, handler.ErrorMessage().size() - 8);
    EXPECT_THAT(library_text, HasSubstr("127.0.0.1"));
  }
  EXPECT_THAT(LogEntries(log_file),
              ElementsAre("*************************** START ***************************",
                          "Write [4]:<a/>", "ERROR - Post Error:" + library_text,
                          "ERROR - Post Error:" + std::to_string(code) + " Unknown",
                          "Read:ResponseCode:" + std::to_string(code) + "\r\nearlier",
                          "*************************** STOP ****************************"));
}

}  // namespace
}  // namespace nvrp
