#include "local_http_server.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace nvrp::testing {

namespace {

using Clock = std::chrono::steady_clock;

// Longest wait for the server to start listening and for its thread to end after stop. The
// end includes handlers still running and kept-alive connections closing (one second each).
constexpr std::chrono::seconds kStartLimit{10};
constexpr std::chrono::seconds kStopLimit{30};

// Waits until the condition holds or the limit passes; answers the condition.
bool WaitFor(const std::function<bool()>& aCondition, std::chrono::seconds aLimit) {
  const auto deadline = Clock::now() + aLimit;
  while (!aCondition()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& aName) const {
  const auto found = headers.find(aName);
  return found == headers.end() ? std::string() : found->second;
}

bool ReceivedRequest::HasHeader(const std::string& aName) const { return headers.count(aName) > 0; }

LocalHttpServer::LocalHttpServer() {
  // Every route goes through one dispatcher, registered before the server runs: httplib's own
  // handler lists must not change while it serves.
  const auto route = [this](const httplib::Request& req, httplib::Response& res) {
    Route(req, res);
  };
  fServer.Get(".*", route);
  fServer.Post(".*", route);
  // Runs once the request has been handled, so its body has been read.
  fServer.set_post_routing_handler(
      [this](const httplib::Request& req, httplib::Response&) { Record(req); });
  fServer.set_keep_alive_timeout(1);

  fPort = fServer.bind_to_any_port("127.0.0.1");
  if (fPort <= 0) throw std::runtime_error("the test server cannot bind to 127.0.0.1");
  fThread = std::thread([this] {
    fServer.listen_after_bind();
    fListenReturned = true;
  });
  // httplib's stop() does nothing before listening has begun, so no caller may see the server
  // before it runs.
  if (!WaitFor([this] { return fServer.is_running() || fListenReturned; }, kStartLimit) ||
      !fServer.is_running()) {
    Stop();
    throw std::runtime_error("the test server did not start listening");
  }
}

LocalHttpServer::~LocalHttpServer() { Stop(); }

void LocalHttpServer::Stop() {
  if (!fThread.joinable()) return;
  if (!fListenReturned) fServer.stop();
  if (!WaitFor([this] { return fListenReturned.load(); }, kStopLimit)) {
    // Joining would hang the whole test program; end it with a reason instead.
    std::fputs("the test server did not stop\n", stderr);
    std::abort();
  }
  fThread.join();
}

void LocalHttpServer::Post(const std::string& aPath, httplib::Server::Handler aHandler) {
  AddRoute("POST", aPath, std::move(aHandler));
}

void LocalHttpServer::Get(const std::string& aPath, httplib::Server::Handler aHandler) {
  AddRoute("GET", aPath, std::move(aHandler));
}

std::string LocalHttpServer::Url(const std::string& aPath) const {
  return "http://127.0.0.1:" + std::to_string(fPort) + aPath;
}

std::vector<ReceivedRequest> LocalHttpServer::Requests() const {
  std::lock_guard lock(fMutex);
  return fRequests;
}

ReceivedRequest LocalHttpServer::LastRequest() const {
  std::lock_guard lock(fMutex);
  return fRequests.empty() ? ReceivedRequest{} : fRequests.back();
}

void LocalHttpServer::AddRoute(const std::string& aMethod, const std::string& aPath,
                               httplib::Server::Handler aHandler) {
  std::lock_guard lock(fMutex);
  fRoutes[{aMethod, aPath}] = std::move(aHandler);
}

void LocalHttpServer::Route(const httplib::Request& aRequest, httplib::Response& aResponse) {
  httplib::Server::Handler handler;
  {
    std::lock_guard lock(fMutex);
    const auto found = fRoutes.find({aRequest.method, aRequest.path});
    if (found != fRoutes.end()) handler = found->second;
  }
  // Called without the lock: a slow handler must not hold up other requests or the tests.
  if (handler) {
    handler(aRequest, aResponse);
  } else {
    aResponse.status = 404;
  }
}

void LocalHttpServer::Record(const httplib::Request& aRequest) {
  std::lock_guard lock(fMutex);
  fRequests.push_back({aRequest.method, aRequest.path, aRequest.headers, aRequest.body});
}

}  // namespace nvrp::testing
