// VxSocket and VxSocketAddress on BSD sockets (Winsock under _WIN32).
//
// Sends never raise SIGPIPE: a peer that went away gives -1 instead of
// ending the process.
#include "host/services/socket.h"

#include <cstdio>
#include <cstring>

#include "host/services/databuffer.h"

#ifdef _WIN32
#include <ws2tcpip.h>
typedef int socklen_t;
#define VX_CLOSE closesocket
#define VX_NOSIGNAL 0
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#define VX_CLOSE ::close
#define VX_NOSIGNAL MSG_NOSIGNAL
#endif

namespace {

void StartSockets() {
#ifdef _WIN32
  static bool started = false;
  if (!started) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);
    started = true;
  }
#endif
}

// Family, port and INADDR_ANY, then the host's first IPv4 address when it resolves.
sockaddr_in Resolve(String host, int port) {
  sockaddr_in sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons((unsigned short)port);
  sa.sin_addr.s_addr = htonl(INADDR_ANY);
  if (host.Length() > 0 && host.Length() < 1024) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.ToCString<char>(), nullptr, &hints, &found) == 0 && found) {
      sa.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
      freeaddrinfo(found);
    }
  }
  return sa;
}

// The byte range [offset, offset + count) of the buffer, or null when it does not fit.
char* Range(VxDataBuffer* buffer, int offset, int count) {
  if (!buffer || !buffer->data || offset < 0 || count < 0 || offset > buffer->length - count)
    return nullptr;
  return reinterpret_cast<char*>(buffer->data + offset);
}

}  // namespace

VxSocketAddress::VxSocketAddress() {
  StartSockets();
  std::memset(&addr, 0, sizeof addr);
  addr.sin_family = AF_INET;
}

void VxSocketAddress::Set(String hostName, int portNumber) {
  addr = Resolve(hostName, portNumber);
  valid = false;
}

void VxSocketAddress::Set(VxSocketAddress* other) {
  if (other) addr = other->addr;
  valid = false;
}

void VxSocketAddress::Set(const sockaddr_in& sa) {
  addr = sa;
  valid = false;
}

void VxSocketAddress::Validate() {
  if (valid) return;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&addr.sin_addr.s_addr);
  char text[16];
  std::snprintf(text, sizeof text, "%i.%i.%i.%i", b[0], b[1], b[2], b[3]);
  host = String(text);
  port = ntohs(addr.sin_port);
  valid = true;
}

VxSocket::VxSocket() { StartSockets(); }

VxSocket::~VxSocket() {
  Close();
  if (accepted != kNone) VX_CLOSE(accepted);
}

bool VxSocket::Open(int proto) {
  if (socket != kNone || proto < 1) return false;
  if (proto == 1 || proto == 2) {
    socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == kNone) return false;
    int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  } else if (proto == 3) {
    socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == kNone) return false;
  } else {
    return false;
  }
  protocol = proto;
  return true;
}

void VxSocket::Close() {
  if (socket != kNone) VX_CLOSE(socket);
  socket = kNone;
}

bool VxSocket::Bind(String hostName, int portNumber) {
  sockaddr_in sa = Resolve(hostName, portNumber);
  return ::bind(socket, reinterpret_cast<sockaddr*>(&sa), sizeof sa) >= 0;
}

bool VxSocket::Connect(String hostName, int portNumber) {
  sockaddr_in sa = Resolve(hostName, portNumber);
  return ::connect(socket, reinterpret_cast<sockaddr*>(&sa), sizeof sa) >= 0;
}

bool VxSocket::Listen(int backlog) { return ::listen(socket, backlog) >= 0; }

bool VxSocket::Accept() {
  // A connection accepted earlier and never taken would leak.
  if (accepted != kNone) VX_CLOSE(accepted);
  accepted = ::accept(socket, nullptr, nullptr);
  return accepted != kNone;
}

VxSocket* VxSocket::Accepted() {
  if (accepted == kNone) return nullptr;
  VxSocket* s = new VxSocket();
  s->socket = accepted;
  s->protocol = protocol;
  accepted = kNone;  // handed over: one owner closes it
  return s;
}

int VxSocket::Send(VxDataBuffer* buffer, int offset, int count) {
  char* p = Range(buffer, offset, count);
  if (!p) return -1;
  return (int)::send(socket, p, count, VX_NOSIGNAL);
}

int VxSocket::Receive(VxDataBuffer* buffer, int offset, int count) {
  char* p = Range(buffer, offset, count);
  if (!p) return -1;
  return (int)::recv(socket, p, count, 0);
}

int VxSocket::SendTo(VxDataBuffer* buffer, int offset, int count, VxSocketAddress* address) {
  char* p = Range(buffer, offset, count);
  if (!p || !address) return -1;
  return (int)::sendto(socket, p, count, VX_NOSIGNAL, reinterpret_cast<sockaddr*>(&address->addr),
                       sizeof address->addr);
}

int VxSocket::ReceiveFrom(VxDataBuffer* buffer, int offset, int count, VxSocketAddress* address) {
  char* p = Range(buffer, offset, count);
  if (!p) return -1;
  sockaddr_in from;
  std::memset(&from, 0, sizeof from);
  socklen_t len = sizeof from;
  int n = (int)::recvfrom(socket, p, count, 0, reinterpret_cast<sockaddr*>(&from), &len);
  if (address) address->Set(from);
  return n;
}

void VxSocket::GetLocalAddress(VxSocketAddress* address) {
  if (!address) return;
  sockaddr_in sa;
  std::memset(&sa, 0, sizeof sa);
  socklen_t len = sizeof sa;
  getsockname(socket, reinterpret_cast<sockaddr*>(&sa), &len);
  address->Set(sa);
}

void VxSocket::GetRemoteAddress(VxSocketAddress* address) {
  if (!address) return;
  sockaddr_in sa;
  std::memset(&sa, 0, sizeof sa);
  socklen_t len = sizeof sa;
  getpeername(socket, reinterpret_cast<sockaddr*>(&sa), &len);
  address->Set(sa);
}
