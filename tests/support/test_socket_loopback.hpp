#pragma once

#include <cstdint>

// The loopback address for the test sockets of both systems; included after the system's
// own socket headers, which declare sockaddr_in and the byte-order functions.

namespace nvrp::testing::test_socket {

inline sockaddr_in Loopback(uint16_t aPort) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(aPort);
  return address;
}

}  // namespace nvrp::testing::test_socket
