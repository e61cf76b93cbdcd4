#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transport/tcp_socket.hpp"

// The socket calls of the TCP socket, one implementation per system (tcp_socket_<os>.cpp);
// tcp_socket.cpp builds the socket's logic on them.
namespace nvrp::tcp_socket_platform {

using Clock = TcpSocket::Clock;

// The value of a socket that is not open (the same bits on both systems).
inline constexpr intptr_t kNoSocket = -1;

// One resolved address: its family, type and protocol, and the system's address bytes.
struct tkEndpoint {
  int fFamily = 0;
  int fType = 0;
  int fProtocol = 0;
  std::string fAddress;
};

// The resolver's list (addrinfo or ADDRINFOW) as endpoints.
template <typename TAddressInfo>
void AddEndpoints(const TAddressInfo* aList, std::vector<tkEndpoint>& aEndpoints) {
  for (const TAddressInfo* a = aList; a != nullptr; a = a->ai_next) {
    const char* bytes = reinterpret_cast<const char*>(a->ai_addr);
    aEndpoints.push_back({a->ai_family, a->ai_socktype, a->ai_protocol,
                          std::string(bytes, static_cast<size_t>(a->ai_addrlen))});
  }
}

enum class tkSendResult { Sent, Stalled, Error };

// Starts the system's socket service when it needs starting; false with aError the reason.
bool StartSockets(std::string& aError);
// The addresses of aHost for aPort; false with aError the resolver's reason.
bool Resolve(const std::string& aHost, uint16_t aPort, std::vector<tkEndpoint>& aEndpoints,
             std::string& aError);
// A non-blocking connection to one address, made within the deadline; kNoSocket with
// aError the system's error code on failure.
intptr_t ConnectOne(const tkEndpoint& aEndpoint, Clock::time_point aDeadline, int& aError);
// The system's error code of a connection attempt that ran out of time.
int TimedOutCode();
// The system's text of an error code.
std::string ErrorText(int aCode);
void CloseSocket(intptr_t aSocket);

// Sends some of aBytes, waiting until aDeadline at most for the line to take any; aSent is
// the count taken. Stalled when it took nothing in time.
tkSendResult SendSome(intptr_t aSocket, std::string_view aBytes, Clock::time_point aDeadline,
                      size_t& aSent, std::string& aError);
// Receives up to aSize bytes, waiting until aDeadline at most for the first; Byte with
// aReceived set, Timeout, Closed (the peer closed) or Error.
TcpSocket::tkReadResult Receive(intptr_t aSocket, char* aBuffer, size_t aSize,
                                Clock::time_point aDeadline, size_t& aReceived,
                                std::string& aError);
// Received bytes are waiting on the line.
bool InputWaiting(intptr_t aSocket);
// Takes what has already arrived, without waiting; false when nothing was there.
bool ReceiveWaiting(intptr_t aSocket, char* aBuffer, size_t aSize);

}  // namespace nvrp::tcp_socket_platform
