#include "protocol/connection.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "protocol/memory_transport.h"

namespace zorm::protocol {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

TEST(Connection, QueuesParsedMessagesMalformedBodiesRefusedHeadersAndTheEnd) {
  MemoryTransport transport;
  Connection connection(transport);
  transport.send("{\"method\":\"a\"}");
  transport.send("{\"method\":");
  transport.send_raw("Content-Length: 1e9\r\n\r\n");
  transport.send("[1,2]");
  transport.close_input();

  Incoming first = connection.next();
  ASSERT_EQ(first.kind, Incoming::Kind::message);
  EXPECT_EQ(first.value["method"], "a");
  EXPECT_EQ(connection.next().kind, Incoming::Kind::malformed);
  EXPECT_EQ(connection.next().kind, Incoming::Kind::framing_error);
  Incoming array = connection.next();
  EXPECT_EQ(array.kind, Incoming::Kind::message);
  EXPECT_EQ(array.value, json::array({1, 2}));
  EXPECT_EQ(connection.next().kind, Incoming::Kind::end);
  EXPECT_EQ(connection.next().kind, Incoming::Kind::end);
}

TEST(Connection, OneWriterKeepsMessagesFromManyThreadsWhole) {
  MemoryTransport transport;
  Connection connection(transport);
  constexpr int THREADS = 4;
  constexpr int EACH = 200;
  std::vector<std::thread> senders;
  for (int t = 0; t < THREADS; ++t) {
    senders.emplace_back([&, t] {
      for (int i = 0; i < EACH; ++i) connection.send(json{{"thread", t}, {"i", i}, {"pad", std::string(100, 'p')}});
    });
  }
  for (std::thread& sender : senders) sender.join();
  connection.flush();
  std::set<std::pair<int, int>> seen;
  std::vector<int> last(THREADS, -1);
  while (std::optional<std::string> body = transport.receive(0ms)) {
    const json message = json::parse(*body);
    const int t = message["thread"];
    const int i = message["i"];
    EXPECT_EQ(i, last[t] + 1) << "each thread's messages keep their order";
    last[t] = i;
    seen.insert({t, i});
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(THREADS * EACH));
}

TEST(Connection, InvalidUtf8IsReplacedNotRefused) {
  EXPECT_EQ(serialize(json{{"text", "a\xff" "b"}}), "{\"text\":\"a\xef\xbf\xbd" "b\"}");
}

TEST(Connection, CloseWritesWhatWasSentAndEndsReading) {
  MemoryTransport transport;
  {
    Connection connection(transport);
    connection.send(json{{"last", true}});
    connection.close();
    EXPECT_EQ(connection.next().kind, Incoming::Kind::end);
  }
  EXPECT_EQ(transport.receive(100ms), "{\"last\":true}");
}

}  // namespace
}  // namespace zorm::protocol
