#pragma once

#include <cstddef>
#include <string>

#if defined(_WIN32)
#include <winsock2.h>
#endif

// The few socket calls of the simulator's connections, one source file per system.

namespace nvrp::ibox_sim {

#if defined(_WIN32)
using SimSocket = SOCKET;
#else
using SimSocket = int;
#endif

// Whether the socket becomes readable (or writable) within timeout_ms.
bool WaitReadable(SimSocket sock, int timeout_ms);
bool WaitWritable(SimSocket sock, int timeout_ms);
// One receive or send, retried when interrupted; the byte count, 0 at end of stream, or -1.
long ReceiveSome(SimSocket sock, char* buffer, size_t size);
long SendSome(SimSocket sock, const char* data, size_t size);
// The address of the other end (peer) or of this end; false when the system cannot tell.
bool SocketAddress(SimSocket sock, bool peer, std::string& ip, int& port);
// Shuts both directions down and closes the socket.
void CloseConnection(SimSocket sock);
// Lets a restarted simulator bind its port again at once, without letting a second one share it.
void AllowAddressReuse(SimSocket sock);
// Why the last socket call of this thread failed, in lower case ("address already in use");
// empty when the system recorded no error.
std::string LastSocketErrorText();
void ClearLastSocketError();

}  // namespace nvrp::ibox_sim
