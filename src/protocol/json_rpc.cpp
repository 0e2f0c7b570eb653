#include "protocol/json_rpc.h"

namespace zorm::protocol::jsonrpc {

using nlohmann::json;

namespace {

json error_message(const json& id, int code, const std::string& message) {
  return json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

// Ids are numbers or strings; 1 and "1" are different requests.
std::string id_key(const json& id) { return serialize(id); }

}  // namespace

// Requests received and not yet answered, by id, shared with their replies.
struct PendingRequests {
  explicit PendingRequests(Connection& connection) : connection(connection) {}
  Connection& connection;
  mutable std::mutex mutex;
  std::map<std::string, std::weak_ptr<Reply::State>> by_id;
};

struct Reply::State {
  State(std::shared_ptr<PendingRequests> pending, json id) : pending(std::move(pending)), id(std::move(id)) {}
  ~State() {
    if (!answered.load()) send(error_message(id, INTERNAL_ERROR, "the request was dropped without an answer"));
  }
  // Sends the answer unless one was sent already.
  void send(const json& message) {
    if (answered.exchange(true)) return;
    {
      std::lock_guard lock(pending->mutex);
      pending->by_id.erase(id_key(id));
    }
    pending->connection.send(message);
  }

  std::shared_ptr<PendingRequests> pending;
  json id;
  std::atomic<bool> answered{false};
  std::atomic<bool> cancelled{false};
};

void Reply::result(json value) const {
  state_->send(json{{"jsonrpc", "2.0"}, {"id", state_->id}, {"result", std::move(value)}});
}

void Reply::error(int code, const std::string& message) const { state_->send(error_message(state_->id, code, message)); }

bool Reply::cancelled() const { return state_->cancelled.load(); }

const std::atomic<bool>& Reply::cancel_flag() const { return state_->cancelled; }

bool Reply::answered() const { return state_->answered.load(); }

Endpoint::Endpoint(Connection& connection)
    : connection_(connection), pending_(std::make_shared<PendingRequests>(connection)) {}

Endpoint::~Endpoint() = default;

void Endpoint::on_request(const std::string& method, RequestHandler handler) { requests_[method] = std::move(handler); }

void Endpoint::on_call(const std::string& method, CallHandler handler) {
  requests_[method] = [handler = std::move(handler)](const json& params, const Reply& reply) {
    reply.result(handler(params));
  };
}

void Endpoint::on_notification(const std::string& method, NotificationHandler handler) {
  notifications_[method] = std::move(handler);
}

void Endpoint::log(const std::string& line) const {
  if (log_) log_(line);
}

void Endpoint::send_error(const json& id, int code, const std::string& message) {
  connection_.send(error_message(id, code, message));
}

void Endpoint::notify(const std::string& method, json params) {
  connection_.send(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

size_t Endpoint::pending() const {
  std::lock_guard lock(pending_->mutex);
  return pending_->by_id.size();
}

void Endpoint::dispatch(const Incoming& item) {
  switch (item.kind) {
    case Incoming::Kind::end:
      return;
    case Incoming::Kind::malformed:
      send_error(nullptr, PARSE_ERROR, "Parse error: " + item.error);
      return;
    case Incoming::Kind::framing_error:
      send_error(nullptr, PARSE_ERROR, "Bad message header: " + item.error);
      return;
    case Incoming::Kind::message:
      break;
  }
  const json& message = item.value;
  if (!message.is_object()) {
    send_error(nullptr, INVALID_REQUEST, "a message must be a JSON object");
    return;
  }
  const auto id = message.find("id");
  const bool has_id = id != message.end();
  if (has_id && !id->is_number_integer() && !id->is_string()) {
    send_error(nullptr, INVALID_REQUEST, "a request id must be an integer or a string");
    return;
  }
  const auto method = message.find("method");
  if (method == message.end()) {
    if (has_id && (message.contains("result") || message.contains("error"))) {
      log("response to no request of ours ignored: id " + serialize(*id));
      return;
    }
    send_error(has_id ? *id : json(nullptr), INVALID_REQUEST, "a request needs a method");
    return;
  }
  if (!method->is_string()) {
    send_error(has_id ? *id : json(nullptr), INVALID_REQUEST, "a method must be a string");
    return;
  }
  const auto params = message.find("params");
  const json no_params;
  const json& arguments = params == message.end() ? no_params : *params;
  if (has_id) {
    handle_request(*id, method->get<std::string>(), arguments);
  } else {
    handle_notification(method->get<std::string>(), arguments);
  }
}

void Endpoint::handle_request(const json& id, const std::string& method, const json& params) {
  auto state = std::make_shared<Reply::State>(pending_, id);
  {
    std::lock_guard lock(pending_->mutex);
    pending_->by_id[id_key(id)] = state;
  }
  const Reply reply(state);
  state.reset();
  try {
    if (gate_) {
      if (std::optional<RpcError> refusal = gate_(method, true)) {
        reply.error(refusal->code(), refusal->what());
        return;
      }
    }
    const auto handler = requests_.find(method);
    if (handler == requests_.end()) {
      reply.error(METHOD_NOT_FOUND, "Unhandled method " + method);
      return;
    }
    handler->second(params, reply);
  } catch (const RpcError& failure) {
    reply.error(failure.code(), failure.what());
  } catch (const json::exception& failure) {
    reply.error(INVALID_PARAMS, std::string("Invalid params: ") + failure.what());
  } catch (const std::exception& failure) {
    reply.error(INTERNAL_ERROR, std::string("Internal error: ") + failure.what());
  }
}

void Endpoint::handle_notification(const std::string& method, const json& params) {
  if (method == "$/cancelRequest") {
    if (!params.is_object() || !params.contains("id")) return;
    std::shared_ptr<Reply::State> state;  // released outside the lock: it may be the last owner
    {
      std::lock_guard lock(pending_->mutex);
      const auto found = pending_->by_id.find(id_key(params["id"]));
      if (found != pending_->by_id.end()) state = found->second.lock();
    }
    if (state) state->cancelled = true;
    return;
  }
  if (gate_ && gate_(method, false)) return;
  const auto handler = notifications_.find(method);
  if (handler == notifications_.end()) {
    if (method.rfind("$/", 0) != 0) log("notification ignored: " + method);
    return;
  }
  try {
    handler->second(params);
  } catch (const std::exception& failure) {
    log("notification " + method + " failed: " + failure.what());
  }
}

}  // namespace zorm::protocol::jsonrpc
