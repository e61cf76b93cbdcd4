#include "transport/http_client.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "local_http_server.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::LocalHttpServer;
using testing::ReceivedRequest;
using ::testing::StartsWith;

struct LogLine {
  tNV_MessageType type;
  std::string title;
  std::string message;
  bool operator==(const LogLine&) const = default;
};

void PrintTo(const LogLine& line, std::ostream* os) {
  *os << (line.type == tNV_MessageType::let_error ? "ERROR " : "info ") << line.title << ":"
      << line.message;
}

LogLine Info(std::string title, std::string message) {
  return {tNV_MessageType::let_info, std::move(title), std::move(message)};
}
LogLine Error(std::string title, std::string message) {
  return {tNV_MessageType::let_error, std::move(title), std::move(message)};
}

// Keeps the "/slow" handler waiting until its delay passes or the test ends, so that no
// handler outlives the fixture.
class SlowAnswer {
 public:
  void Install(LocalHttpServer& server, std::chrono::milliseconds delay) {
    server.Post("/slow", [this, delay](const httplib::Request&, httplib::Response& res) {
      std::unique_lock lock(mutex_);
      released_.wait_for(lock, delay, [this] { return release_; });
      res.set_content("late", "text/plain");
    });
  }
  void Release() {
    {
      std::lock_guard lock(mutex_);
      release_ = true;
    }
    released_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
};

class HttpClientTest : public ::testing::Test {
 protected:
  HttpClientTest() {
    client_.SetOnWriteLog(
        [this](tNV_MessageType type, const std::string& title, const std::string& message) {
          log_.push_back({type, title, message});
        });
  }
  // The client goes first (closing its kept-alive connection), then the server stops.
  ~HttpClientTest() override { slow_.Release(); }

  void InstallSlowAnswer(std::chrono::milliseconds delay) { slow_.Install(server_, delay); }

  SlowAnswer slow_;
  LocalHttpServer server_;
  NV_HttpClient client_;
  std::vector<LogLine> log_;
};

void Answer(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  if (!body.empty()) res.set_content(body, "text/plain");
}

TEST_F(HttpClientTest, StartsWithItsDefaults) {
  EXPECT_EQ(client_.AuthType(), tkHTTPAuthType::at_None);
  EXPECT_EQ(client_.ReadTimeout(), 10);
  EXPECT_EQ(client_.ConnectTimeout(), 5);
  EXPECT_EQ(client_.ContentCharset(), "utf-8");
  EXPECT_EQ(client_.LastStatusCode(), 0);
}

struct StatusCase {
  int status;
  const char* statusText;
  const char* body;
  bool success;
};

// 300 fails; 301 to 308 pass and are not followed; 4xx and 5xx fail even with a body.
TEST_F(HttpClientTest, JudgesEachStatusAndLogsIt) {
  const StatusCase cases[] = {
      {200, "OK", "<ok/>", true},
      {300, "Multiple Choice", "choose", false},
      {302, "Found", "", true},
      {308, "Permanent Redirect", "", true},
      {404, "Not Found", "no such file", false},
      {500, "Internal Server Error", "boom", false},
  };
  server_.Get("/target",
              [](const httplib::Request&, httplib::Response& res) { Answer(res, 200, "target"); });
  std::atomic<const StatusCase*> current{nullptr};
  server_.Post("/status", [&current](const httplib::Request&, httplib::Response& res) {
    const StatusCase& c = *current.load();
    Answer(res, c.status, c.body);
    if (c.status >= 300 && c.status < 400) res.set_header("Location", "/target");
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    current = &c;
    NV_HttpClient client;
    std::vector<LogLine> log;
    client.SetOnWriteLog(
        [&log](tNV_MessageType type, const std::string& title, const std::string& message) {
          log.push_back({type, title, message});
        });
    const std::string url = server_.Url("/status");

    EXPECT_EQ(client.Post(url, ""), c.success);

    EXPECT_EQ(client.LastStatusCode(), c.status);
    EXPECT_EQ(client.LastStatusText(), c.statusText);
    EXPECT_EQ(client.Response(), c.body);
    const std::string read_title = "Read [" + std::to_string(std::string(c.body).size()) + "]";
    std::vector<LogLine> expected = {Info("Write", url), Info(read_title, c.body)};
    if (!c.success) {
      expected.push_back(Error("HTTP Error", std::to_string(c.status) + " - " + c.statusText));
    }
    EXPECT_EQ(log, expected);
    EXPECT_EQ(server_.LastRequest().path, "/status");  // redirects are not followed
  }
}

TEST_F(HttpClientTest, KeepsResponseContentTypeOfSuccessfulAnswer) {
  server_.Post("/xml", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<a/>", "text/xml; charset=UTF-8");
  });
  ASSERT_TRUE(client_.Post(server_.Url("/xml"), ""));
  EXPECT_EQ(client_.Response(), "<a/>");
  EXPECT_EQ(client_.ResponseContentType(), "text/xml; charset=UTF-8");
}

// The status line arrived but the body broke off: the exchange fails although the status is 200.
TEST_F(HttpClientTest, BrokenAnswerIsAMethodError) {
  server_.Post("/broken", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("0123456789", 10);
      return false;  // drops the connection
    });
  });
  const std::string url = server_.Url("/broken");

  EXPECT_FALSE(client_.Post(url, ""));

  EXPECT_EQ(client_.LastStatusCode(), 200);
  EXPECT_EQ(client_.Response(), "");
  EXPECT_THAT(log_, ElementsAre(Info("Write", url), Error("PostXml method error", "200 - OK")));
}

TEST_F(HttpClientTest, ConnectionRefusedReportsReasonAndLibraryText) {
  const std::string url = server_.Url("/x");
  server_.Stop();

  EXPECT_FALSE(client_.Post(url, "<a/>"));

  EXPECT_EQ(client_.LastStatusCode(), 7);  // connection rejected
  EXPECT_THAT(client_.LastStatusText(), HasSubstr("127.0.0.1"));
  ASSERT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_[0], Info("Write", url));
  EXPECT_EQ(log_[1], Info("Write [4]", "<a/>"));
  EXPECT_EQ(log_[2], Error("HTTP Error", "7 - " + client_.LastStatusText()));
}

TEST_F(HttpClientTest, RejectsBadAddressesWithoutSending) {
  const std::string bad_urls[] = {"", "ftp://127.0.0.1/file", "not a url",
                                  server_.Url("/x\r\nX-Injected: 1")};
  for (const auto& url : bad_urls) {
    SCOPED_TRACE(url);
    NV_HttpClient client;
    EXPECT_FALSE(client.Post(url, ""));
    EXPECT_NE(client.LastStatusCode(), 0);
    EXPECT_LT(client.LastStatusCode(), 100);
    EXPECT_FALSE(client.LastStatusText().empty());
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpClientTest, ReadTimeoutCountsInSecondsAndIsHandedOverForEveryPost) {
  server_.Post("/fast", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("fast", "text/plain");
  });
  InstallSlowAnswer(std::chrono::milliseconds(4000));
  client_.SetReadTimeout(5);
  ASSERT_TRUE(client_.Post(server_.Url("/fast"), ""));
  client_.SetReadTimeout(1);
  log_.clear();
  const auto start = std::chrono::steady_clock::now();

  EXPECT_FALSE(client_.Post(server_.Url("/slow"), ""));

  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(950));
  EXPECT_LT(waited, std::chrono::milliseconds(3500));
  EXPECT_EQ(client_.LastStatusCode(), 0);  // connected, then no answer in time
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_EQ(log_[1], Error("HTTP Error", "0 - " + client_.LastStatusText()));
  EXPECT_FALSE(client_.LastStatusText().empty());
}

TEST_F(HttpClientTest, AnswerWithinReadTimeoutSucceeds) {
  InstallSlowAnswer(std::chrono::milliseconds(1200));
  client_.SetReadTimeout(3);
  EXPECT_TRUE(client_.Post(server_.Url("/slow"), ""));
  EXPECT_EQ(client_.Response(), "late");
}

TEST_F(HttpClientTest, LogsBodyLengthInCharactersAndSendsEmptyBody) {
  server_.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.body, "text/plain");
  });
  const std::string greek = "ΑΠΟΔΕΙΞΗ 1";  // 10 characters, 18 bytes
  const std::string url = server_.Url("/echo");

  ASSERT_TRUE(client_.Post(url, greek));
  ASSERT_TRUE(client_.Post(url, ""));

  EXPECT_THAT(log_,
              ElementsAre(Info("Write", url), Info("Write [10]", greek), Info("Read [10]", greek),
                          Info("Write", url), Info("Read [0]", "")));
  EXPECT_EQ(server_.Requests().back().body, "");
  EXPECT_EQ(server_.Requests().back().Header("Content-Length"), "0");
}

struct PostKindCase {
  const char* contentType;
  const char* sentContentType;
};

// The exact, case-sensitive content type chooses the kind of POST.
TEST_F(HttpClientTest, ChoosesPostKindByExactContentType) {
  const PostKindCase cases[] = {
      {"application/xml", "application/xml; charset=utf-8"},
      {"application/json", "application/json"},
      {"Application/XML", "Application/XML"},
      {"text/xml; charset=UTF-8", "text/xml; charset=UTF-8"},
      {"", "application/x-www-form-urlencoded"},
  };
  server_.Post("/kind", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.contentType);
    NV_HttpClient client;
    client.SetContentType(c.contentType);
    ASSERT_TRUE(client.Post(server_.Url("/kind"), "<r>é</r>"));
    const ReceivedRequest request = server_.LastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Header("Content-Type"), c.sentContentType);
    EXPECT_EQ(request.body, "<r>é</r>");
  }
}

TEST_F(HttpClientTest, SendsChosenHeadersAndNoNegotiationHeaders) {
  server_.Post("/h", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  });
  client_.SetUserAgent("NVRP agent");
  client_.SetRequestHeader("X-Device", "iBox");
  client_.SetRequestHeader("X-Removed", "soon");
  client_.SetRequestHeader("X-Removed", "");

  ASSERT_TRUE(client_.Post(server_.Url("/h"), "body"));
  client_.SetUserAgent("changed later");  // settings are handed over once
  client_.SetRequestHeader("X-Device", "second");
  ASSERT_TRUE(client_.Post(server_.Url("/h"), "body"));

  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("User-Agent"), "NVRP agent");
  EXPECT_EQ(requests[0].Header("X-Device"), "iBox");
  EXPECT_FALSE(requests[0].HasHeader("X-Removed"));
  for (const char* absent :
       {"Accept-Charset", "Accept-Language", "Accept-Encoding", "Expect", "Authorization"}) {
    EXPECT_FALSE(requests[0].HasHeader(absent)) << absent;
  }
  EXPECT_EQ(requests[1].Header("User-Agent"), "NVRP agent");
  EXPECT_EQ(requests[1].Header("X-Device"), "second");
}

// The clients of one device share one header cache, one client per request: each request must
// carry its own client's headers, whatever the client before it sent.
TEST_F(HttpClientTest, SharedHeaderCacheSendsEachClientsOwnHeaders) {
  struct Case {
    const char* contentType;
    const char* tag;  // value of X-Tag, none when empty
    bool get;
    const char* sentContentType;
  };
  const Case cases[] = {
      {"text/xml; charset=UTF-8", "", false, "text/xml; charset=UTF-8"},
      {"text/xml; charset=UTF-8", "", false, "text/xml; charset=UTF-8"},  // built before
      {"application/json", "", false, "application/json"},
      {"application/json", "one", false, "application/json"},
      {"application/json", "two", false, "application/json"},
      {"application/json", "two", true, "application/json"},  // a GET keeps the stored type
      {"", "two", false, "application/x-www-form-urlencoded"},
      {"text/xml; charset=UTF-8", "", false, "text/xml; charset=UTF-8"},
  };
  const auto answer = [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  };
  server_.Post("/h", answer);
  server_.Get("/h", answer);
  NV_HttpHeaderCache cache;
  for (const Case& c : cases) {
    NV_HttpClient client;
    client.SetHeaderCache(&cache);
    client.SetContentType(c.contentType);
    if (*c.tag != '\0') client.SetRequestHeader("X-Tag", c.tag);
    ASSERT_TRUE(c.get ? client.Get(server_.Url("/h")) : client.Post(server_.Url("/h"), ""));
    const ReceivedRequest request = server_.LastRequest();
    SCOPED_TRACE(std::string(c.contentType) + " " + c.tag + (c.get ? " GET" : " POST"));
    EXPECT_EQ(request.method, c.get ? "GET" : "POST");
    if (c.get && *c.contentType == '\0') {
      EXPECT_FALSE(request.HasHeader("Content-Type"));
    } else {
      EXPECT_EQ(request.Header("Content-Type"), c.sentContentType);
    }
    EXPECT_EQ(request.HasHeader("X-Tag") ? request.Header("X-Tag") : "", c.tag);
    EXPECT_FALSE(request.HasHeader("Expect"));
  }
}

TEST_F(HttpClientTest, RefusesHeadersThatWouldBreakTheRequest) {
  EXPECT_THROW(client_.SetRequestHeader("X-A", "v\r\nX-Injected: 1"), Exception);
  EXPECT_THROW(client_.SetRequestHeader("", "v"), Exception);
  EXPECT_THROW(client_.SetRequestHeader("Bad Name", "v"), Exception);
  EXPECT_THROW(client_.SetRequestHeader("Bad:Name", "v"), Exception);

  client_.SetUserAgent("agent\r\nX-Injected: 1");
  EXPECT_FALSE(client_.Post(server_.Url("/h"), ""));
  EXPECT_FALSE(client_.LastStatusText().empty());
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(HttpClientTest, BasicAuthenticationSendsCredentialsAtOnce) {
  server_.Post("/basic", [](const httplib::Request& req, httplib::Response& res) {
    // "user:pa55" in base64.
    Answer(res, req.get_header_value("Authorization") == "Basic dXNlcjpwYTU1" ? 200 : 401, "");
  });
  client_.SetAuthType(tkHTTPAuthType::at_Basic);
  client_.SetUser("user");
  client_.SetPassword("pa55");

  EXPECT_TRUE(client_.Post(server_.Url("/basic"), ""));
  EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(HttpClientTest, BearerAuthenticationSendsToken) {
  server_.Post("/bearer", [](const httplib::Request& req, httplib::Response& res) {
    Answer(res, req.get_header_value("Authorization") == "Bearer t0ken" ? 200 : 401, "");
  });
  client_.SetAuthType(tkHTTPAuthType::at_Bearer);
  client_.SetBearer("t0ken");
  EXPECT_TRUE(client_.Post(server_.Url("/bearer"), ""));
}

TEST_F(HttpClientTest, DigestAuthenticationAnswersTheChallenge) {
  if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine's WinHTTP has no digest authentication";
  server_.Post("/digest", [](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("Authorization").rfind("Digest ", 0) == 0) {
      res.set_content("in", "text/plain");
      return;
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", R"(Digest realm="ibox", nonce="n0nce", qop="auth")");
  });
  client_.SetAuthType(tkHTTPAuthType::at_Digest);
  client_.SetUser("user");
  client_.SetPassword("pa55");

  EXPECT_TRUE(client_.Post(server_.Url("/digest"), "<a/>"));

  EXPECT_EQ(client_.Response(), "in");
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_FALSE(requests[0].HasHeader("Authorization"));
  const std::string answer = requests[1].Header("Authorization");
  for (const char* part : {R"(username="user")", R"(realm="ibox")", R"(nonce="n0nce")",
                           R"(uri="/digest")", "response=\"", "qop=auth"}) {
    EXPECT_THAT(answer, HasSubstr(part));
  }
  EXPECT_THAT(answer, ::testing::Not(HasSubstr("pa55")));
  EXPECT_EQ(requests[1].body, "<a/>");
}

TEST_F(HttpClientTest, GetAcceptsOnlySuccessStatuses) {
  server_.Get("/page", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("page", "text/plain");
  });
  server_.Get("/moved",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
  const std::string page = server_.Url("/page");
  const std::string moved = server_.Url("/moved");

  EXPECT_TRUE(client_.Get(page));
  EXPECT_EQ(client_.Response(), "page");
  EXPECT_FALSE(client_.Get(moved));
  EXPECT_EQ(client_.LastStatusCode(), 302);

  EXPECT_THAT(log_, ElementsAre(Info("GET", page), Info("Read [4]", "page"), Info("GET", moved),
                                Info("Read [0]", ""), Error("HTTP Error", "302 - ")));
  EXPECT_EQ(server_.LastRequest().method, "GET");
}

// A user name and password written into the address never reach the log, on success or failure.
TEST_F(HttpClientTest, LogsAddressesWithoutTheirUserInfo) {
  server_.Post("/p", [](const httplib::Request&, httplib::Response& res) { Answer(res, 200, ""); });
  server_.Get("/g", [](const httplib::Request&, httplib::Response& res) { Answer(res, 200, ""); });
  const auto with_user = [this](const std::string& path) {
    return "http://user:s3cret@" + server_.Url(path).substr(std::string("http://").size());
  };
  const auto masked = [this](const std::string& path) {
    return "http://***@" + server_.Url(path).substr(std::string("http://").size());
  };

  EXPECT_TRUE(client_.Post(with_user("/p"), ""));
  EXPECT_TRUE(client_.Get(with_user("/g")));
  server_.Stop();
  EXPECT_FALSE(client_.Post(with_user("/p"), ""));

  ASSERT_EQ(log_.size(), 6u);
  EXPECT_EQ(log_[0], Info("Write", masked("/p")));
  EXPECT_EQ(log_[2], Info("GET", masked("/g")));
  EXPECT_EQ(log_[4], Info("Write", masked("/p")));
  for (const LogLine& line : log_) EXPECT_THAT(line.message, ::testing::Not(HasSubstr("s3cret")));
}

}  // namespace
}  // namespace nvrp
