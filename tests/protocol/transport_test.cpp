#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "protocol/framing.h"
#include "protocol/memory_transport.h"
#include "protocol/stream_transport.h"

namespace zorm::protocol {
namespace {

using namespace std::chrono_literals;

struct Pipe {
  Pipe() { EXPECT_EQ(::pipe(ends), 0); }
  ~Pipe() {
    close_read();
    close_write();
  }
  void close_read() {
    if (ends[0] >= 0) ::close(ends[0]);
    ends[0] = -1;
  }
  void close_write() {
    if (ends[1] >= 0) ::close(ends[1]);
    ends[1] = -1;
  }
  int ends[2] = {-1, -1};
};

void on_signal(int) {}

TEST(StreamTransport, AReadInterruptedBySignalsGoesOn) {
  // A handler installed without SA_RESTART makes the blocked poll fail with
  // EINTR each time the signal arrives.
  struct sigaction action = {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  struct sigaction previous = {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

  Pipe input;
  Pipe output;
  StreamTransport transport(input.ends[0], output.ends[1]);
  std::atomic<bool> started = false;
  std::string received;
  std::thread reader([&] {
    started = true;
    FrameReader frames(transport);
    received = frames.next().body;
  });
  while (!started) std::this_thread::yield();
  for (int i = 0; i < 5; ++i) {
    std::this_thread::sleep_for(5ms);
    pthread_kill(reader.native_handle(), SIGUSR1);
  }
  const std::string framed = frame_message("{\"after\":\"signals\"}");
  ASSERT_EQ(::write(input.ends[1], framed.data(), framed.size()), static_cast<ssize_t>(framed.size()));
  reader.join();
  EXPECT_EQ(received, "{\"after\":\"signals\"}");
  sigaction(SIGUSR1, &previous, nullptr);
}

TEST(StreamTransport, ShutdownWakesABlockedRead) {
  Pipe input;
  Pipe output;
  StreamTransport transport(input.ends[0], output.ends[1]);
  long result = -2;
  std::thread reader([&] {
    char buffer[16];
    result = transport.read_some(buffer, sizeof buffer);
  });
  std::this_thread::sleep_for(10ms);
  transport.shutdown();
  reader.join();
  EXPECT_EQ(result, 0);
}

TEST(StreamTransport, WritesReachTheOutputAndAGoneReaderIsReported) {
  signal(SIGPIPE, SIG_IGN);
  Pipe input;
  Pipe output;
  StreamTransport transport(input.ends[0], output.ends[1]);
  ASSERT_TRUE(transport.write_all("hello"));
  char buffer[8] = {};
  ASSERT_EQ(::read(output.ends[0], buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "hello");
  output.close_read();
  EXPECT_FALSE(transport.write_all("lost"));
}

TEST(MemoryTransport, CarriesFramedMessagesBothWays) {
  MemoryTransport transport;
  transport.send("{\"n\":1}");
  FrameReader server_reads(transport);
  EXPECT_EQ(server_reads.next().body, "{\"n\":1}");
  transport.write_all(frame_message("first") + frame_message("second"));
  EXPECT_EQ(transport.receive(100ms), "first");
  EXPECT_EQ(transport.receive(100ms), "second");
  EXPECT_EQ(transport.receive(1ms), std::nullopt);
  transport.close_input();
  EXPECT_EQ(server_reads.next().status, Frame::Status::end);
}

}  // namespace
}  // namespace zorm::protocol
