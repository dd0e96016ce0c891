// Sockets over loopback: a TCP round trip, and the failures that come back as
// results rather than ending the process.
#include "host/services/socket.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "host/services/databuffer.h"

namespace {

VxDataBuffer* Bytes(const std::string& s, int size = 0) {
  VxDataBuffer* b = new VxDataBuffer();
  b->_New(size ? size : (int)s.size());
  std::memcpy(b->data, s.data(), s.size());
  return b;
}

TEST(HostSocket, TcpCarriesBytesOverLoopbackAndAClosedPeerIsAnError) {
  VxSocket* server = new VxSocket();
  VxSocket* client = new VxSocket();
  VxSocketAddress* at = new VxSocketAddress();
  ASSERT_TRUE(server->Open(1) && server->Bind(String("127.0.0.1"), 0) && server->Listen(1));
  EXPECT_FALSE(server->Open(1)) << "already open";
  server->GetLocalAddress(at);
  ASSERT_TRUE(client->Open(2) && client->Connect(String("localhost"), at->Port()) &&
              server->Accept());
  VxSocket* conn = server->Accepted();
  ASSERT_NE(conn, nullptr);
  EXPECT_EQ(server->Accepted(), nullptr) << "the connection is handed over once";
  VxDataBuffer* out = Bytes("xxhello!");
  EXPECT_EQ(client->Send(out, 2, 6), 6);
  EXPECT_EQ(client->Send(out, 4, 6), -1) << "range past the buffer";
  VxDataBuffer* in = Bytes("", 16);
  for (int got = 0, n; got < 6; got += n) ASSERT_GT(n = conn->Receive(in, got, 16 - got), 0);
  EXPECT_EQ(std::string((char*)in->data, 6), "hello!");
  VxSocketAddress* remote = new VxSocketAddress();
  conn->GetRemoteAddress(remote);
  client->GetLocalAddress(at);
  EXPECT_EQ(remote->Host(), String("127.0.0.1"));
  EXPECT_EQ(remote->Port(), at->Port());

  conn->Close();  // a send to a closed peer must not kill the process
  int n = client->Send(out, 0, 8);
  for (int i = 0; i < 50 && n >= 0; ++i) usleep(1000), n = client->Send(out, 0, 8);
  EXPECT_EQ(n, -1);
  server->Close();
  EXPECT_EQ(server->socket, VxSocket::kNone);
}

TEST(HostSocket, BadProtocolsAndUnresolvableHostsFailSafely) {
  VxSocket* s = new VxSocket();
  EXPECT_FALSE(s->Open(0) || s->Open(4) || s->Connect(String("127.0.0.1"), 1));
  VxSocketAddress* addr = new VxSocketAddress();
  addr->Set(String("no-such-host.invalid"), 80);
  EXPECT_EQ(addr->Host(), String("0.0.0.0"));
  EXPECT_EQ(addr->Port(), 80);
  addr->Set(String(std::string(2000, 'a').c_str()), 81);  // too long to look up
  EXPECT_EQ(addr->Host(), String("0.0.0.0"));
}

}  // namespace
