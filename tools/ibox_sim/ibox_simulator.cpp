#include "ibox_simulator.hpp"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/nv_exception.hpp"
#include "http_connection.hpp"
#include "ibox_device.hpp"
#include "sim_messages.hpp"
#include "sim_socket.hpp"
#include "web_ui.hpp"
#include "wire_query.hpp"

namespace nvrp::ibox_sim {

namespace {

constexpr size_t kMaxPayload = 1024 * 1024;
constexpr auto kStartWait = std::chrono::seconds(5);

// Headers httplib adds to a parsed request on its own.
bool IsAddedHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

RecordedRequest Record(const httplib::Request& request, const ConnectionStream* connection) {
  std::optional<RecordedRequest> recorded;
  if (connection != nullptr) recorded = ParseRequestHead(connection->Received());
  if (!recorded) {
    recorded = RecordedRequest{};
    recorded->method = request.method;
    recorded->target = request.target;
    SplitTarget(*recorded);
    for (const auto& [name, value] : request.headers) {
      if (!IsAddedHeader(name)) recorded->headers.emplace_back(name, value);
    }
  }
  recorded->body = request.body;
  return std::move(*recorded);
}

}  // namespace

struct IboxSimulator::Impl {
  explicit Impl(SimulatorOptions options_in)
      : options(std::move(options_in)),
        log(options.max_recorded_requests),
        device(options.device),
        bound_port(options.port) {}

  void Serve(const httplib::Request& request, httplib::Response& response);
  void ServeReplay(ReplayBook& book, RecordedRequest recorded, ConnectionStream* connection,
                   httplib::Response& response);
  std::shared_ptr<ReplayBook> Book() const {
    std::lock_guard lock(replay_mutex);
    return replay;
  }
  // Waits `delay` unless the simulator stops first.
  void Wait(std::chrono::milliseconds delay);

  SimulatorOptions options;
  RequestLog log;
  FaultInjector faults;
  std::mutex request_mutex;  // one request carried out at a time, delays included
  mutable std::mutex device_mutex;
  IboxDevice device;
  mutable std::mutex replay_mutex;
  std::shared_ptr<ReplayBook> replay;

  mutable std::mutex run_mutex;  // Start and Stop
  std::atomic<bool> stopping{false};
  std::mutex wait_mutex;
  std::condition_variable wait_wake;
  std::unique_ptr<SimHttpServer> server;
  std::thread thread;
  std::atomic<int> bound_port;
};

void IboxSimulator::Impl::Wait(std::chrono::milliseconds delay) {
  std::unique_lock lock(wait_mutex);
  wait_wake.wait_for(lock, delay, [this] { return stopping.load(); });
}

void IboxSimulator::Impl::Serve(const httplib::Request& request, httplib::Response& response) {
  ConnectionStream* connection = CurrentConnection();
  RecordedRequest recorded = Record(request, connection);
  if (const auto book = Book()) {
    ServeReplay(*book, std::move(recorded), connection, response);
    return;
  }
  const DeviceRequest device_request{PercentDecode(recorded.path),
                                     QueryParams::Parse(recorded.query)};
  const std::string command = CommandName(device_request);
  const std::vector<Fault> taken = faults.Take(command, recorded.target);
  log.Add(std::move(recorded));
  // The device carries out one request at a time: one that arrives while another is delayed
  // waits for it, so a status request never overtakes an order still being carried out.
  std::lock_guard serialised(request_mutex);

  AnswerOverrides overrides;
  std::optional<std::string> content_type;
  const Fault* drop = nullptr;
  bool drop_after = false;
  const Fault* http_status = nullptr;
  for (const Fault& fault : taken) {
    switch (fault.kind) {
      case FaultKind::kDeviceError:
        if (command == "Status") {
          overrides.report_error = fault.device_error;
        } else {
          overrides.refuse_order_with = fault.device_error;
        }
        break;
      case FaultKind::kHttpStatus:
        http_status = &fault;
        break;
      case FaultKind::kDropConnection:
        drop = &fault;
        break;
      case FaultKind::kDelay:
        Wait(fault.delay);
        break;
      case FaultKind::kContentType:
        content_type = fault.content_type;
        break;
      case FaultKind::kMissingGenPar:
        overrides.omit_gen_par = true;
        break;
      case FaultKind::kDropAfter:
        drop_after = true;
        break;
      case FaultKind::kStatusValue:
        overrides.status_value = std::make_pair(fault.status_name, fault.status_text);
        break;
    }
  }
  if (drop != nullptr && connection != nullptr) {
    connection->Drop();
    return;
  }
  if (http_status != nullptr) {
    response.status = http_status->http_status;
    response.set_content(http_status->body,
                         content_type.value_or(std::string(kTextContentType)).c_str());
    return;
  }
  DeviceAnswer answer;
  {
    std::lock_guard lock(device_mutex);
    answer = device.Handle(device_request, overrides);
  }
  if (drop_after && connection != nullptr) {
    connection->Drop();  // carried out, but the answer is lost on the way
    return;
  }
  response.status = answer.status;
  response.set_content(answer.body, content_type.value_or(answer.content_type).c_str());
}

void IboxSimulator::Impl::ServeReplay(ReplayBook& book, RecordedRequest recorded,
                                      ConnectionStream* connection, httplib::Response& response) {
  std::optional<ReplayAnswer> answer = book.Answer(recorded.method, recorded.target, recorded.body);
  const std::string name = RequestName(recorded.method, recorded.target, recorded.body);
  log.Add(std::move(recorded));
  std::lock_guard serialised(request_mutex);
  if (!answer) {
    response.status = 404;
    response.set_content(std::string(kNoRecordedAnswer) + name, std::string(kTextContentType));
    return;
  }
  if (answer->drop) {
    if (connection != nullptr) connection->Drop();
    return;
  }
  response.status = answer->status;
  response.set_content(answer->body, answer->content_type);
}

IboxSimulator::IboxSimulator(SimulatorOptions options)
    : fImpl(std::make_unique<Impl>(std::move(options))) {}

IboxSimulator::~IboxSimulator() { Stop(); }

void IboxSimulator::Start() {
  std::lock_guard lock(fImpl->run_mutex);
  if (fImpl->server) throw Exception(std::string(kAlreadyRunning));
  fImpl->stopping = false;
  auto server = std::make_unique<SimHttpServer>(fImpl->stopping);
  const auto handler = [impl = fImpl.get()](const httplib::Request& request,
                                            httplib::Response& response) {
    impl->Serve(request, response);
  };
  AddWebUiRoutes(*server, *this);  // before the device's catch-all routes
  server->Get(".*", handler).Post(".*", handler).Put(".*", handler);
  server->Delete(".*", handler).Patch(".*", handler).Options(".*", handler);
  server->set_payload_max_length(kMaxPayload);
  server->set_socket_options([](socket_t sock) { AllowAddressReuse(sock); });
  const auto& options = fImpl->options;
  ClearLastSocketError();
  const int port = options.port == 0
                       ? server->bind_to_any_port(options.host)
                       : (server->bind_to_port(options.host, options.port) ? options.port : -1);
  if (port <= 0) {
    const std::string reason = LastSocketErrorText();
    throw Exception(std::string(kCannotListen) + options.host + ":" + std::to_string(options.port) +
                    (reason.empty() ? "" : ": " + reason));
  }
  fImpl->bound_port = port;
  fImpl->thread = std::thread([raw = server.get()] { raw->listen_after_bind(); });
  const auto deadline = std::chrono::steady_clock::now() + kStartWait;
  while (!server->is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  fImpl->server = std::move(server);
}

void IboxSimulator::Stop() {
  std::lock_guard lock(fImpl->run_mutex);
  if (!fImpl->server) return;
  {
    std::lock_guard wait_lock(fImpl->wait_mutex);
    fImpl->stopping = true;
  }
  fImpl->wait_wake.notify_all();
  fImpl->server->stop();
  if (fImpl->thread.joinable()) fImpl->thread.join();
  fImpl->server.reset();
}

bool IboxSimulator::Running() const {
  std::lock_guard lock(fImpl->run_mutex);
  return fImpl->server != nullptr;
}

int IboxSimulator::Port() const { return fImpl->bound_port.load(); }

std::string IboxSimulator::BaseUrl() const {
  return "http://" + fImpl->options.host + ":" + std::to_string(Port());
}

std::vector<RecordedRequest> IboxSimulator::Requests() const { return fImpl->log.Snapshot(); }

void IboxSimulator::ClearRequests() { fImpl->log.Clear(); }

void IboxSimulator::AddFault(Fault fault) { fImpl->faults.Add(std::move(fault)); }

void IboxSimulator::ClearFaults() { fImpl->faults.Clear(); }

std::vector<Fault> IboxSimulator::PendingFaults() const { return fImpl->faults.Pending(); }

void IboxSimulator::Replay(std::shared_ptr<ReplayBook> book) {
  std::lock_guard lock(fImpl->replay_mutex);
  fImpl->replay = std::move(book);
}

std::shared_ptr<ReplayBook> IboxSimulator::ReplaySource() const { return fImpl->Book(); }

DeviceSnapshot IboxSimulator::Device() const {
  std::lock_guard lock(fImpl->device_mutex);
  return fImpl->device.Snapshot();
}

std::vector<PrintedDocument> IboxSimulator::Printed() const {
  std::lock_guard lock(fImpl->device_mutex);
  const auto& printed = fImpl->device.Printed();
  return {printed.begin(), printed.end()};
}

std::optional<std::string> IboxSimulator::JournalFile(const std::string& name) const {
  std::lock_guard lock(fImpl->device_mutex);
  return fImpl->device.JournalFile(name);
}

CivilTime IboxSimulator::ClockNow() const {
  std::lock_guard lock(fImpl->device_mutex);
  return fImpl->device.Clock().Now();
}

void IboxSimulator::SetClock(const CivilTime& time, bool frozen) {
  std::lock_guard lock(fImpl->device_mutex);
  fImpl->device.Clock().Set(time, frozen);
}

void IboxSimulator::SetDrawerOpen(bool open) {
  std::lock_guard lock(fImpl->device_mutex);
  fImpl->device.SetDrawerOpen(open);
}

}  // namespace nvrp::ibox_sim
