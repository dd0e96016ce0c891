// Blocking TCP and UDP sockets over IPv4 for application code, and their
// addresses. The game uses neither.
//
// Left out: IPv6, non-blocking use and timeouts.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
typedef SOCKET vx_socket_t;
#else
#include <netinet/in.h>
typedef int vx_socket_t;
#endif

#include "runtime/runtime.h"

class VxDataBuffer;

class VxSocketAddress : public Object {
 public:
  sockaddr_in addr;    // family AF_INET, port and address in network order
  bool valid = false;  // host and port below match addr
  String host;
  int port = 0;

  VxSocketAddress();

  void Set(String hostName, int portNumber);
  void Set(VxSocketAddress* other);
  void Set(const sockaddr_in& sa);
  void Validate();
  String Host() {
    Validate();
    return host;
  }
  int Port() {
    Validate();
    return port;
  }
};

class VxSocket : public Object {
 public:
  static constexpr vx_socket_t kNone = (vx_socket_t)-1;

  vx_socket_t socket = kNone;
  int protocol = 0;              // 1 and 2 stream, 3 datagram
  vx_socket_t accepted = kNone;  // the last accepted connection, until handed over

  VxSocket();
  // Closes the socket and any accepted connection nobody took.
  ~VxSocket() override;

  bool Open(int proto);
  void Close();
  bool Bind(String hostName, int portNumber);
  bool Connect(String hostName, int portNumber);
  bool Listen(int backlog);
  bool Accept();
  // The accepted connection as its own socket, handed over once (then null).
  VxSocket* Accepted();

  // Byte counts as the system returns them; -1 on error or when the range
  // falls outside the buffer.
  int Send(VxDataBuffer* buffer, int offset, int count);
  int Receive(VxDataBuffer* buffer, int offset, int count);
  int SendTo(VxDataBuffer* buffer, int offset, int count, VxSocketAddress* address);
  int ReceiveFrom(VxDataBuffer* buffer, int offset, int count, VxSocketAddress* address);
  void GetLocalAddress(VxSocketAddress* address);
  void GetRemoteAddress(VxSocketAddress* address);
};
