#pragma once
// A small JSON-RPC client for the language server's tests: sessions with the
// real zorm-lsp over its standard streams (framing included), and sessions
// with a server in this process on a memory transport.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lsp/server.h"
#include "protocol/connection.h"
#include "protocol/memory_transport.h"
#include "protocol/stream_transport.h"

namespace zorm::lsp::test {

using nlohmann::json;
using namespace std::chrono_literals;

inline constexpr std::chrono::milliseconds WAIT = 5000ms;

// The client's half: sends requests and notifications, keeps what the server
// sends until a test asks for it.
class Session {
 public:
  virtual ~Session() = default;

  // Sends a request and waits for its response (result or error).
  json request(const std::string& method, const json& params);
  // Sends a request without waiting; returns its id.
  int send_request(const std::string& method, const json& params);
  json response_to(int id);
  void notify(const std::string& method, const json& params);
  // Sends a message body as it is (malformed JSON, odd shapes).
  virtual void send_body(const std::string& body) = 0;
  // Sends bytes as they are (framing faults).
  virtual void send_raw(const std::string& bytes) = 0;

  // The next notification with this method whose params satisfy the test.
  json notification(const std::string& method, const std::function<bool(const json&)>& wanted = nullptr);
  // An error response whose id is null (to input that had no usable id).
  json unnumbered_error();
  // The diagnostics published for a URI (with this version, when given).
  json diagnostics(const std::string& uri, std::optional<int> version = std::nullopt);
  // Messages received and not yet taken, in order.
  std::vector<json> unread();

  // initialize and initialized; returns the initialize result.
  json initialize(const std::string& root_uri, const json& capabilities = json::object());
  void open(const std::string& uri, const std::string& text, int version = 1, const std::string& language = "zorm-asm");
  void change(const std::string& uri, int version, const json& content_changes);
  void replace(const std::string& uri, int version, const std::string& text);

  // Position params: {"textDocument": {"uri"}, "position": {line, character}}.
  static json at(const std::string& uri, int line, int character);

 protected:
  // Stores one message received from the server.
  void received(json message);
  // Fetches what the server wrote, where that is not done by a thread.
  virtual void poll() {}
  // Waits for a received message satisfying the test and takes it.
  json take(const std::function<bool(const json&)>& wanted, const std::string& what);

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<json> inbox_;
  int next_id_ = 1;
};

// zorm-lsp run as a child process.
class ProcessSession : public Session {
 public:
  explicit ProcessSession(const std::vector<std::string>& arguments = {});
  ~ProcessSession() override;
  void send_body(const std::string& body) override;
  void send_raw(const std::string& bytes) override;
  // Closes the server's input when asked, then waits for it to end; its exit status.
  int wait_for_exit(bool close_input = false);

 private:
  int pid_ = -1;
  int to_server_ = -1;
  int from_server_ = -1;
  std::unique_ptr<protocol::StreamTransport> transport_;
  std::unique_ptr<protocol::Connection> connection_;
  std::thread pump_;
};

// A Server in this process, on a memory transport.
class InProcessSession : public Session {
 public:
  InProcessSession();
  ~InProcessSession() override;
  void send_body(const std::string& body) override;
  void send_raw(const std::string& bytes) override;
  // Waits until the server has handled everything sent, finished the work
  // it caused and written its answers; then collects them.
  void idle();
  int exit_status();

 protected:
  void poll() override;

 private:
  void collect();
  protocol::MemoryTransport transport_;
  Server server_;
  std::thread runner_;
  int status_ = -1;
  uint64_t sent_ = 0;
};

// A scratch folder of source files.
class Sources {
 public:
  Sources();
  ~Sources();
  std::string write(const std::string& name, const std::string& text) const;
  std::string path(const std::string& name) const { return root_ + "/" + name; }
  std::string uri(const std::string& name) const;
  const std::string& root() const { return root_; }
  std::string root_uri() const;

 private:
  std::string root_;
};

}  // namespace zorm::lsp::test
