#pragma once
// JSON-RPC 2.0 over a Connection: a method table for requests and
// notifications, every request answered exactly once, the standard error
// codes, and cancellation through $/cancelRequest.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "protocol/connection.h"

namespace zorm::protocol::jsonrpc {

enum ErrorCode : int {
  PARSE_ERROR = -32700,
  INVALID_REQUEST = -32600,
  METHOD_NOT_FOUND = -32601,
  INVALID_PARAMS = -32602,
  INTERNAL_ERROR = -32603,
  SERVER_NOT_INITIALIZED = -32002,
  REQUEST_FAILED = -32803,
  SERVER_CANCELLED = -32802,
  CONTENT_MODIFIED = -32801,
  REQUEST_CANCELLED = -32800,
};

// Thrown by a handler to answer its request with an error.
class RpcError : public std::runtime_error {
 public:
  RpcError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class Endpoint;
struct PendingRequests;

// The answer to one request. Copies share one state; the first answer is
// sent and later ones are ignored; when the last copy goes away unanswered,
// an internal error is sent, so no request is ever left without an answer.
class Reply {
 public:
  void result(nlohmann::json value) const;
  void error(int code, const std::string& message) const;
  // Set once the client cancelled the request ($/cancelRequest).
  bool cancelled() const;
  // The cancellation flag itself, for work that checks it as it goes.
  const std::atomic<bool>& cancel_flag() const;
  bool answered() const;

 private:
  friend class Endpoint;
  friend struct PendingRequests;
  struct State;
  explicit Reply(std::shared_ptr<State> state) : state_(std::move(state)) {}
  std::shared_ptr<State> state_;
};

class Endpoint {
 public:
  using RequestHandler = std::function<void(const nlohmann::json& params, const Reply& reply)>;
  using CallHandler = std::function<nlohmann::json(const nlohmann::json& params)>;
  using NotificationHandler = std::function<void(const nlohmann::json& params)>;
  // Consulted before each handler: an error refuses a request with it and
  // drops a notification.
  using Gate = std::function<std::optional<RpcError>(std::string_view method, bool is_request)>;
  using Log = std::function<void(const std::string& line)>;

  explicit Endpoint(Connection& connection);
  ~Endpoint();
  Endpoint(const Endpoint&) = delete;
  Endpoint& operator=(const Endpoint&) = delete;

  // A handler that answers through the Reply, now or later from any thread.
  void on_request(const std::string& method, RequestHandler handler);
  // A handler whose return value is the result (or whose RpcError the error).
  void on_call(const std::string& method, CallHandler handler);
  void on_notification(const std::string& method, NotificationHandler handler);
  void set_gate(Gate gate) { gate_ = std::move(gate); }
  void set_log(Log log) { log_ = std::move(log); }

  // Handles one incoming item on the calling thread.
  void dispatch(const Incoming& item);
  void notify(const std::string& method, nlohmann::json params);
  // Requests received and not yet answered.
  size_t pending() const;

 private:
  void handle_request(const nlohmann::json& id, const std::string& method, const nlohmann::json& params);
  void handle_notification(const std::string& method, const nlohmann::json& params);
  void send_error(const nlohmann::json& id, int code, const std::string& message);
  void log(const std::string& line) const;

  Connection& connection_;
  std::shared_ptr<PendingRequests> pending_;
  std::map<std::string, RequestHandler, std::less<>> requests_;
  std::map<std::string, NotificationHandler, std::less<>> notifications_;
  Gate gate_;
  Log log_;
};

}  // namespace zorm::protocol::jsonrpc
