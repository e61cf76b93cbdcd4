#pragma once

#include <atomic>
#include <chrono>
#include <string>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wshadow"
#include <httplib.h>
#pragma GCC diagnostic pop

namespace nvrp::ibox_sim {

// One accepted connection as httplib's stream. Keeps a copy of every byte received, so the
// request can be recorded exactly as it arrived, and can be told to drop the connection:
// after Drop nothing more is written. A request that announces no body (no Content-Length,
// no Transfer-Encoding) reaches httplib with "Content-Length: 0", as HTTP/1.1 reads it;
// httplib would otherwise refuse such a POST.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(socket_t sock, const std::atomic<bool>& stopping,
                   std::chrono::milliseconds read_timeout);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  using httplib::Stream::write;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return fSocket; }

  const std::string& Received() const { return fReceived; }
  void Drop() { fDropped = true; }

 private:
  bool WaitReadable() const;
  // Receives more bytes into fReceived and, once the head is complete, into fFeed; false on
  // end of stream, error or time-out.
  bool ReceiveMore();

  socket_t fSocket;
  const std::atomic<bool>& fStopping;
  std::chrono::milliseconds fReadTimeout;
  std::string fReceived;  // every byte as it arrived
  std::string fFeed;      // what httplib reads
  size_t fFeedPos = 0;
  bool fHeadComplete = false;
  bool fDropped = false;
};

// The connection whose request the calling thread is handling, or nullptr.
ConnectionStream* CurrentConnection();

// httplib's server with one request per connection, served through ConnectionStream.
class SimHttpServer final : public httplib::Server {
 public:
  explicit SimHttpServer(const std::atomic<bool>& stopping) : fStopping(stopping) {}

 private:
  bool process_and_close_socket(socket_t sock) override;

  const std::atomic<bool>& fStopping;
};

}  // namespace nvrp::ibox_sim
