#pragma once

#include <httplib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace nvrp::testing {

// One request as the server received it, body included.
struct ReceivedRequest {
  std::string method;
  std::string path;
  httplib::Headers headers;
  std::string body;

  std::string Header(const std::string& aName) const;
  bool HasHeader(const std::string& aName) const;
};

// A small HTTP server on 127.0.0.1 for the transport tests. It records every request it
// answers (routed or not, after its body was read) and serves the handlers registered with
// Post and Get, by exact path; other requests get 404. Handlers may be registered while it
// runs. The constructor returns once the server accepts connections, and every wait is
// bounded, so that a server that fails to start or stop ends the test instead of hanging it.
class LocalHttpServer {
 public:
  // Throws std::runtime_error when the server cannot listen.
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // Stops listening and waits for the serving thread; later calls do nothing.
  void Stop();

  void Post(const std::string& aPath, httplib::Server::Handler aHandler);
  void Get(const std::string& aPath, httplib::Server::Handler aHandler);

  int Port() const { return fPort; }
  std::string Url(const std::string& aPath) const;

  std::vector<ReceivedRequest> Requests() const;
  // The last request, or an empty one when none came.
  ReceivedRequest LastRequest() const;

 private:
  void Route(const httplib::Request& aRequest, httplib::Response& aResponse);
  void Record(const httplib::Request& aRequest);
  void AddRoute(const std::string& aMethod, const std::string& aPath,
                httplib::Server::Handler aHandler);

  httplib::Server fServer;
  int fPort = 0;
  std::thread fThread;
  std::atomic<bool> fListenReturned{false};
  mutable std::mutex fMutex;
  std::map<std::pair<std::string, std::string>, httplib::Server::Handler> fRoutes;
  std::vector<ReceivedRequest> fRequests;
};

}  // namespace nvrp::testing
