#include "support/test_socket.hpp"

#include <chrono>

namespace nvrp::testing {

namespace {

constexpr int kQueuedConnections = 8;
constexpr int kPollMs = 50;
constexpr int kQuietMs = 2000;

}  // namespace

LoopbackDevice::LoopbackDevice(Behaviour aBehaviour, tkDeviceOptions aOptions)
    : fBehaviour(std::move(aBehaviour)) {
  fListener = test_socket::Listen(aOptions.fSilent ? 0 : 4, aOptions.fReceiveBuffer, fPort);
  if (aOptions.fSilent) {
    fAnswering = false;
    for (int i = 0; i < kQueuedConnections; ++i)
      fQueued.push_back(test_socket::StartConnect(fPort));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the queue fills
  }
  fThread = std::thread([this] { Serve(); });
}

LoopbackDevice::~LoopbackDevice() {
  fStop = true;
  fThread.join();
  for (const SocketHandle queued : fQueued) test_socket::Close(queued);
  test_socket::Close(fListener);
}

void LoopbackDevice::StartAnswering() {
  for (const SocketHandle queued : fQueued) test_socket::Close(queued);
  fQueued.clear();
  fAnswering = true;
}

std::string LoopbackDevice::Received() {
  std::lock_guard lock(fMutex);
  return fReceived;
}

void LoopbackDevice::Keep(const char* aBytes, size_t aCount) {
  std::lock_guard lock(fMutex);
  fReceived.append(aBytes, aCount);
}

std::string LoopbackDevice::ReceiveUpTo(SocketHandle aClient, char aEnd) {
  std::string bytes;
  while (bytes.find(aEnd) == std::string::npos && !fStop &&
         test_socket::Ready(aClient, false, kQuietMs)) {
    char chunk[256];
    const int64_t count = test_socket::Receive(aClient, chunk, sizeof chunk);
    if (count <= 0) break;
    bytes.append(chunk, static_cast<size_t>(count));
    Keep(chunk, static_cast<size_t>(count));
  }
  return bytes;
}

void LoopbackDevice::WaitForClose(SocketHandle aClient) {
  while (!fStop) {
    if (!test_socket::Ready(aClient, false, kPollMs)) continue;
    char chunk[256];
    const int64_t count = test_socket::Receive(aClient, chunk, sizeof chunk);
    if (count <= 0) return;
    Keep(chunk, static_cast<size_t>(count));
  }
}

void LoopbackDevice::SendAll(SocketHandle aClient, std::string_view aBytes) {
  while (!aBytes.empty() && test_socket::Ready(aClient, true, kQuietMs)) {
    const int64_t sent = test_socket::Send(aClient, aBytes);
    if (sent <= 0) return;
    aBytes.remove_prefix(static_cast<size_t>(sent));
  }
}

void LoopbackDevice::Serve() {
  while (!fStop) {
    if (!fAnswering) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs / 5));
      continue;
    }
    if (!test_socket::Ready(fListener, false, kPollMs)) continue;
    const SocketHandle client = test_socket::Accept(fListener);
    if (client == kNoSocketHandle) continue;
    ++fConnections;
    fBehaviour(client, *this);
    test_socket::Close(client);
  }
}

}  // namespace nvrp::testing
