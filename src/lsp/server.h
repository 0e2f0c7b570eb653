#pragma once
// The language server's protocol layer: the LSP methods in the JSON-RPC
// method table, the conversion between JSON and the server logic's types,
// and the session's life cycle (initialize, shutdown, exit).

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "lsp/positions.h"
#include "lsp/workspace.h"
#include "protocol/connection.h"
#include "protocol/json_rpc.h"
#include "protocol/transport.h"

namespace zorm::lsp {

struct ServerOptions {
  uint64_t statement_budget = 2'000'000;
  FILE* log = nullptr;  // where to log (standard error, never standard output); nullptr: nowhere
};

class Server {
 public:
  Server(protocol::Transport& transport, ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Answers messages until exit (or the end of the input); returns the exit
  // status: 0 after shutdown and exit, 1 otherwise.
  int run();

  // For in-process tests: blocks until `messages` incoming items have been
  // handled, every assembly and query they caused is done, and every answer
  // and notification has been written.
  void wait_until_idle(uint64_t messages);

 private:
  void register_methods();
  void log(const std::string& line) const;

  ServerOptions options_;
  protocol::Connection connection_;
  protocol::jsonrpc::Endpoint endpoint_;
  PositionEncoding encoding_ = PositionEncoding::utf16;
  bool hierarchical_ = false;  // the client takes nested document symbols
  std::unique_ptr<Workspace> workspace_;
  bool initialized_ = false;
  bool shutting_down_ = false;
  bool exit_requested_ = false;
  std::atomic<uint64_t> handled_{0};
};

}  // namespace zorm::lsp
