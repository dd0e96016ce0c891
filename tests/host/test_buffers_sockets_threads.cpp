// Byte buffers, sockets over loopback and threads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "host/databuffer.h"
#include "host/game.h"
#include "host/socket.h"
#include "host/thread.h"

namespace {

TEST(HostDataBuffer, PeeksAndPokesAreLittleEndianAndSignExtend) {
  VxDataBuffer* b = new VxDataBuffer();
  ASSERT_TRUE(b->_New(16));
  EXPECT_EQ(b->Length(), 16);
  EXPECT_FALSE(b->_New(8)) << "a buffer holding data refuses a second _New";
  b->PokeInt(0, 0x11223344);
  EXPECT_EQ(b->data[0], 0x44);
  EXPECT_EQ(b->data[3], 0x11);
  EXPECT_EQ(b->PeekInt(0), 0x11223344);
  b->PokeShort(5, 0xFFFE);  // odd offset: no alignment needed
  EXPECT_EQ(b->PeekShort(5), -2);
  b->PokeByte(9, 200);
  EXPECT_EQ(b->PeekByte(9), -56);
  b->PokeFloat(10, 1.5f);
  EXPECT_FLOAT_EQ(b->PeekFloat(10), 1.5f);
  EXPECT_EQ(b->ReadPointer(4), b->data + 4);
  EXPECT_EQ(b->WritePointer(2), b->data + 2);
  b->Discard();
  EXPECT_EQ(b->data, nullptr);
  EXPECT_EQ(b->Length(), 0);
  EXPECT_TRUE(b->_New(4));
}

TEST(HostDataBuffer, AccessOutsideTheBufferIsRefused) {
  VxDataBuffer* b = new VxDataBuffer();
  ASSERT_TRUE(b->_New(8));
  std::memset(b->data, 0x5A, 8);
  b->PokeInt(5, -1);   // would end past the last byte
  b->PokeInt(-1, -1);
  b->PokeShort(7, -1);
  b->PokeByte(8, 1);
  b->PokeFloat(2147483647, 1.0f);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b->data[i], 0x5A) << i;
  EXPECT_EQ(b->PeekInt(5), 0);
  EXPECT_EQ(b->PeekShort(-2), 0);
  EXPECT_EQ(b->PeekByte(8), 0);
  EXPECT_EQ(b->PeekFloat(6), 0.0f);
  b->PokeInt(4, 7);  // the last whole int still fits
  EXPECT_EQ(b->PeekInt(4), 7);

  VxDataBuffer* empty = new VxDataBuffer();
  EXPECT_EQ(empty->PeekInt(0), 0);
  empty->PokeByte(0, 1);
  EXPECT_FALSE(empty->_New(-1));
}

TEST(HostDataBuffer, TakesGivenBytesAndLoadsFiles) {
  VxZorbelGame host;
  VxDataBuffer* b = new VxDataBuffer();
  unsigned char* bytes = static_cast<unsigned char*>(std::malloc(3));
  bytes[0] = 1;
  ASSERT_TRUE(b->_New(3, bytes));
  EXPECT_EQ(b->data, bytes);
  EXPECT_EQ(b->PeekByte(0), 1);

  char tmpl[] = "/tmp/quorvex-buffer-XXXXXX";
  int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "abcdef", 6), 6);
  close(fd);
  VxDataBuffer* loaded = new VxDataBuffer();
  ASSERT_TRUE(loaded->_Load(String(tmpl)));
  EXPECT_EQ(loaded->Length(), 6);
  EXPECT_EQ(loaded->PeekByte(5), 'f');
  EXPECT_FALSE(loaded->_Load(String(tmpl))) << "already holding data";

  VxThread* t = new VxThread();
  VxDataBuffer* async = new VxDataBuffer();
  async->_LoadAsync(String(tmpl), t);
  EXPECT_EQ(t->Result(), async);
  VxDataBuffer* missing = new VxDataBuffer();
  EXPECT_FALSE(missing->_Load(String("/nonexistent/quorvex/file")));
  unlink(tmpl);
}

class Sleeper : public VxThread {
 public:
  std::atomic<bool> go{false};
  std::atomic<int> runs{0};
  void Run__UNSAFE__() override {
    while (!go) usleep(1000);
    ++runs;
  }
};

TEST(HostThread, StartRunsOnItsOwnThreadUntilWaited) {
  Sleeper* t = new Sleeper();
  EXPECT_FALSE(t->IsRunning());
  t->Start();
  EXPECT_TRUE(t->IsRunning());
  t->Start();  // already running: nothing
  t->go = true;
  t->Wait();
  EXPECT_FALSE(t->IsRunning());
  EXPECT_EQ(t->running.load(), 0);
  EXPECT_EQ(t->runs.load(), 1);

  t->SetResult(t);
  EXPECT_EQ(t->Result(), t);

  // A finished thread can be started again.
  t->Start();
  while (t->running == 1) usleep(1000);
  EXPECT_EQ(t->running.load(), 2) << "finished, not yet joined";
  EXPECT_FALSE(t->IsRunning());
  t->Start();
  t->Wait();
  EXPECT_EQ(t->runs.load(), 3);
  t->Wait();  // nothing to wait for
}

TEST(HostSocket, TcpConnectAcceptSendAndReceiveOverLoopback) {
  VxSocket* server = new VxSocket();
  ASSERT_TRUE(server->Open(1));
  EXPECT_FALSE(server->Open(1)) << "already open";
  ASSERT_TRUE(server->Bind(String("127.0.0.1"), 0));
  ASSERT_TRUE(server->Listen(1));
  VxSocketAddress* local = new VxSocketAddress();
  server->GetLocalAddress(local);
  EXPECT_FALSE(local->valid);
  int port = local->Port();
  EXPECT_TRUE(local->valid);
  EXPECT_EQ(local->Host(), String("127.0.0.1"));
  ASSERT_GT(port, 0);

  VxSocket* client = new VxSocket();
  ASSERT_TRUE(client->Open(2));
  ASSERT_TRUE(client->Connect(String("localhost"), port));
  ASSERT_TRUE(server->Accept());
  VxSocket* conn = server->Accepted();
  ASSERT_NE(conn, nullptr);
  EXPECT_EQ(server->Accepted(), nullptr) << "the connection is handed over once";

  VxDataBuffer* out = new VxDataBuffer();
  ASSERT_TRUE(out->_New(8));
  std::memcpy(out->data, "xxhello!", 8);
  EXPECT_EQ(client->Send(out, 2, 6), 6);
  EXPECT_EQ(client->Send(out, 4, 6), -1) << "range past the buffer";

  VxDataBuffer* in = new VxDataBuffer();
  ASSERT_TRUE(in->_New(16));
  int got = 0;
  while (got < 6) {
    int n = conn->Receive(in, got, 16 - got);
    ASSERT_GT(n, 0);
    got += n;
  }
  EXPECT_EQ(std::string((char*)in->data, 6), "hello!");

  VxSocketAddress* remote = new VxSocketAddress();
  conn->GetRemoteAddress(remote);
  EXPECT_EQ(remote->Host(), String("127.0.0.1"));
  VxSocketAddress* clientLocal = new VxSocketAddress();
  client->GetLocalAddress(clientLocal);
  EXPECT_EQ(remote->Port(), clientLocal->Port());

  // The peer closed: a send reports an error instead of killing the process.
  conn->Close();
  client->Send(out, 0, 8);
  usleep(20000);
  int n = 0;
  for (int i = 0; i < 5 && n >= 0; ++i) n = client->Send(out, 0, 8);
  EXPECT_EQ(n, -1);
  client->Close();
  server->Close();
  EXPECT_EQ(server->socket, VxSocket::kNone);
}

TEST(HostSocket, UdpSendToAndReceiveFromGiveTheSender) {
  VxSocket* a = new VxSocket();
  VxSocket* b = new VxSocket();
  ASSERT_TRUE(a->Open(3));
  ASSERT_TRUE(b->Open(3));
  ASSERT_TRUE(a->Bind(String("127.0.0.1"), 0));
  ASSERT_TRUE(b->Bind(String("127.0.0.1"), 0));
  VxSocketAddress* aAddr = new VxSocketAddress();
  VxSocketAddress* bAddr = new VxSocketAddress();
  a->GetLocalAddress(aAddr);
  b->GetLocalAddress(bAddr);

  VxSocketAddress* to = new VxSocketAddress();
  to->Set(String("127.0.0.1"), bAddr->Port());
  VxDataBuffer* msg = new VxDataBuffer();
  ASSERT_TRUE(msg->_New(5));
  std::memcpy(msg->data, "ping!", 5);
  EXPECT_EQ(a->SendTo(msg, 0, 5, to), 5);

  VxDataBuffer* in = new VxDataBuffer();
  ASSERT_TRUE(in->_New(32));
  VxSocketAddress* from = new VxSocketAddress();
  from->Validate();
  EXPECT_EQ(b->ReceiveFrom(in, 0, 32, from), 5);
  EXPECT_FALSE(from->valid);
  EXPECT_EQ(std::string((char*)in->data, 5), "ping!");
  EXPECT_EQ(from->Host(), String("127.0.0.1"));
  EXPECT_EQ(from->Port(), aAddr->Port());
  EXPECT_EQ(b->ReceiveFrom(in, 30, 5, from), -1) << "range past the buffer";

  VxSocketAddress* copy = new VxSocketAddress();
  copy->Set(from);
  EXPECT_EQ(copy->Port(), aAddr->Port());
}

TEST(HostSocket, BadProtocolsAndUnresolvableHostsFailSafely) {
  VxSocket* s = new VxSocket();
  EXPECT_FALSE(s->Open(0));
  EXPECT_FALSE(s->Open(4));
  EXPECT_EQ(s->socket, VxSocket::kNone);
  EXPECT_FALSE(s->Connect(String("127.0.0.1"), 1)) << "not open";
  VxSocketAddress* addr = new VxSocketAddress();
  addr->Set(String("no-such-host.invalid"), 80);
  EXPECT_EQ(addr->Host(), String("0.0.0.0"));  // left at INADDR_ANY
  EXPECT_EQ(addr->Port(), 80);
  addr->Set(String(std::string(2000, 'a').c_str()), 81);  // too long to look up
  EXPECT_EQ(addr->Host(), String("0.0.0.0"));
}

}  // namespace
