#include "protocol/json_rpc.h"

#include <gtest/gtest.h>

#include <thread>

#include "protocol/memory_transport.h"

namespace zorm::protocol::jsonrpc {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// A server endpoint on a memory transport; the test sends messages and reads
// the answers as the client would.
class JsonRpcTest : public ::testing::Test {
 protected:
  JsonRpcTest() : connection(transport), endpoint(connection) {}

  // Sends one body and dispatches everything the server received.
  void exchange(const std::string& body) {
    transport.send(body);
    endpoint.dispatch(connection.next());
  }
  json answer() {
    connection.flush();
    std::optional<std::string> body = transport.receive(1000ms);
    return body ? json::parse(*body) : json();
  }
  bool silent() {
    connection.flush();
    return !transport.receive(0ms).has_value();
  }
  static int code_of(const json& message) { return message["error"]["code"]; }

  MemoryTransport transport;
  Connection connection;
  Endpoint endpoint;
};

TEST_F(JsonRpcTest, ARequestIsAnsweredByItsHandlerWithTheSameId) {
  endpoint.on_call("add", [](const json& params) { return params.at("a").get<int>() + params.at("b").get<int>(); });
  exchange(R"({"jsonrpc":"2.0","id":7,"method":"add","params":{"a":2,"b":3}})");
  EXPECT_EQ(answer(), json::parse(R"({"jsonrpc":"2.0","id":7,"result":5})"));
  exchange(R"({"jsonrpc":"2.0","id":"seven","method":"add","params":{"a":1,"b":1}})");
  EXPECT_EQ(answer()["id"], "seven");
}

TEST_F(JsonRpcTest, BadInputGetsTheStandardErrors) {
  exchange(R"({"jsonrpc":"2.0","id":1,"method":"nowhere"})");
  json unknown = answer();
  EXPECT_EQ(code_of(unknown), METHOD_NOT_FOUND);
  EXPECT_EQ(unknown["id"], 1);

  exchange(R"({"jsonrpc":"2.0","id":2,"method":)");
  json malformed = answer();
  EXPECT_EQ(code_of(malformed), PARSE_ERROR);
  EXPECT_TRUE(malformed["id"].is_null());

  transport.send_raw("Content-Length: 99999999999999999999\r\n\r\n");
  endpoint.dispatch(connection.next());
  EXPECT_EQ(code_of(answer()), PARSE_ERROR);

  for (const char* shape : {"[1,2]", "17", R"({"id":{"x":1},"method":"a"})", R"({"id":3})", R"({"id":4,"method":5})"}) {
    exchange(shape);
    EXPECT_EQ(code_of(answer()), INVALID_REQUEST) << shape;
  }
}

TEST_F(JsonRpcTest, HandlerFailuresBecomeErrorAnswers) {
  endpoint.on_call("refuse", [](const json&) -> json { throw RpcError(REQUEST_FAILED, "no"); });
  endpoint.on_call("typed", [](const json& params) -> json { return params.at("n").get<int>(); });
  exchange(R"({"id":1,"method":"refuse"})");
  json refused = answer();
  EXPECT_EQ(code_of(refused), REQUEST_FAILED);
  EXPECT_EQ(refused["error"]["message"], "no");
  exchange(R"({"id":2,"method":"typed","params":{"n":"text"}})");
  EXPECT_EQ(code_of(answer()), INVALID_PARAMS);
}

TEST_F(JsonRpcTest, EveryRequestIsAnsweredExactlyOnce) {
  std::optional<Reply> kept;
  endpoint.on_request("twice", [](const json&, const Reply& reply) {
    reply.result(1);
    reply.result(2);
  });
  endpoint.on_request("never", [](const json&, const Reply&) {});
  endpoint.on_request("later", [&](const json&, const Reply& reply) { kept = reply; });

  exchange(R"({"id":1,"method":"twice"})");
  EXPECT_EQ(answer()["result"], 1);
  EXPECT_TRUE(silent());

  exchange(R"({"id":2,"method":"never"})");
  EXPECT_EQ(code_of(answer()), INTERNAL_ERROR);

  exchange(R"({"id":3,"method":"later"})");
  EXPECT_TRUE(silent());
  EXPECT_EQ(endpoint.pending(), 1u);
  std::thread([reply = *kept] { reply.result("from a worker"); }).join();
  EXPECT_EQ(answer()["result"], "from a worker");
  EXPECT_EQ(endpoint.pending(), 0u);
}

TEST_F(JsonRpcTest, CancelRequestSetsTheFlagOfThePendingRequest) {
  std::optional<Reply> kept;
  endpoint.on_request("slow", [&](const json&, const Reply& reply) { kept = reply; });
  exchange(R"({"id":"s","method":"slow"})");
  ASSERT_TRUE(kept);
  EXPECT_FALSE(kept->cancelled());
  exchange(R"({"method":"$/cancelRequest","params":{"id":"other"}})");
  EXPECT_FALSE(kept->cancelled());
  exchange(R"({"method":"$/cancelRequest","params":{"id":"s"}})");
  EXPECT_TRUE(kept->cancelled());
  kept->error(REQUEST_CANCELLED, "cancelled");
  EXPECT_EQ(code_of(answer()), REQUEST_CANCELLED);
  exchange(R"({"method":"$/cancelRequest","params":{"id":"s"}})");  // already answered: nothing happens
  EXPECT_TRUE(silent());
}

TEST_F(JsonRpcTest, NotificationsAreNeverAnswered) {
  int seen = 0;
  endpoint.on_notification("ping", [&](const json& params) { seen += params.at("n").get<int>(); });
  endpoint.on_notification("bad", [](const json& params) { (void)params.at("missing").get<int>(); });
  exchange(R"({"method":"ping","params":{"n":4}})");
  exchange(R"({"method":"unknown/thing"})");
  exchange(R"({"method":"$/setTrace","params":{}})");
  exchange(R"({"method":"bad","params":{}})");
  exchange(R"({"id":9,"result":null})");  // a response to no request of ours
  EXPECT_EQ(seen, 4);
  EXPECT_TRUE(silent());
}

TEST_F(JsonRpcTest, TheGateRefusesRequestsAndDropsNotifications) {
  int seen = 0;
  endpoint.on_call("work", [](const json&) { return 1; });
  endpoint.on_notification("note", [&](const json&) { ++seen; });
  endpoint.set_gate([](std::string_view method, bool) -> std::optional<RpcError> {
    if (method == "init") return std::nullopt;
    return RpcError(SERVER_NOT_INITIALIZED, "not initialized");
  });
  exchange(R"({"id":1,"method":"work"})");
  EXPECT_EQ(code_of(answer()), SERVER_NOT_INITIALIZED);
  exchange(R"({"method":"note"})");
  EXPECT_EQ(seen, 0);
  exchange(R"({"id":2,"method":"init"})");
  EXPECT_EQ(code_of(answer()), METHOD_NOT_FOUND);
}

}  // namespace
}  // namespace zorm::protocol::jsonrpc
