#pragma once
// zorm-dbg --dap: the Debug Adapter Protocol. One handler per request; the
// protocol kit's reader thread queues what comes in and its one writer thread
// sends what goes out; the emulated CPU runs on a thread of its own, so that
// pause and the debug console work while it runs, and reports its stops as
// events after the program's output. Frame and variable handles are valid
// only until the program runs again.

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "dbg/dap_console.h"
#include "dbg/dap_positions.h"
#include "dbg/debugger.h"
#include "dbg/expressions.h"
#include "protocol/connection.h"
#include "protocol/transport.h"

namespace zorm::dbg {

class DapServer {
 public:
  // log: where the adapter tells what went wrong with the protocol (never
  // the protocol's own output stream); nullptr for nowhere.
  DapServer(protocol::Transport& transport, FILE* log);
  ~DapServer();
  DapServer(const DapServer&) = delete;
  DapServer& operator=(const DapServer&) = delete;

  // Answers requests until a disconnect or the end of the input.
  void serve();

 private:
  using Json = nlohmann::json;
  using Handler = Json (DapServer::*)(const Json& arguments);
  // Thrown by a handler: the request fails with this message.
  struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
  };
  enum class Scope { registers, flags, symbols };

  static const std::map<std::string, Handler>& handlers();
  void handle(const Json& message);
  void respond(const Json& request, bool success, Json body, const std::string& message);
  void send_event(const std::string& event, Json body = Json::object());
  void send(Json message);
  void log(const std::string& text);

  // Session and run control (dap_server.cpp).
  Json initialize(const Json& arguments);
  Json launch(const Json& arguments);
  Json configuration_done(const Json& arguments);
  Json threads(const Json& arguments);
  Json continue_request(const Json& arguments);
  Json next(const Json& arguments);
  Json step_in(const Json& arguments);
  Json step_out(const Json& arguments);
  Json pause(const Json& arguments);
  Json disconnect(const Json& arguments);
  Json terminate(const Json& arguments);

  // Breakpoints and what the stopped program shows (dap_program_state.cpp).
  Json set_breakpoints(const Json& arguments);
  Json set_function_breakpoints(const Json& arguments);
  Json set_exception_breakpoints(const Json& arguments);
  Json stack_trace(const Json& arguments);
  Json scopes(const Json& arguments);
  Json variables(const Json& arguments);
  Json set_variable(const Json& arguments);
  Json evaluate(const Json& arguments);
  Json read_memory(const Json& arguments);

  Debugger& debugger();  // throws Refusal before a launch
  void require_stopped();
  // Asks for the program to run once the request's response is out.
  void resume_after_response(Resume how);
  void resume(Resume how);
  void run_cpu(Resume how);
  void report(const Report& report);
  void end_session(int exit_code);
  void stop_cpu();
  // Runs work where the debugger may be touched: here when the program is
  // stopped, else on the CPU's thread between two instructions.
  Json on_machine(const std::function<Json()>& work);
  void run_jobs();
  Json source_of(int file);
  Json breakpoint_result(int id, int line, int file, const std::string& problem);
  int64_t new_handle();
  std::optional<int32_t> value_of(const std::string& text, std::string& error);

  protocol::Connection connection_;
  FILE* log_;
  std::mutex send_mutex_;
  int64_t next_seq_ = 1;
  DapPositions positions_;

  std::unique_ptr<DapConsole> console_;
  std::unique_ptr<Debugger> debugger_;
  std::unique_ptr<Expressions> expressions_;
  std::optional<Resume> resume_after_response_;
  bool entry_stop_after_response_ = false;
  bool stop_on_entry_ = false;
  bool no_debug_ = false;
  bool configured_ = false;
  bool ended_ = false;
  bool disconnected_ = false;
  std::map<std::string, std::vector<int>> source_breakpoints_;  // canonical path -> breakpoint ids
  std::set<int> function_breakpoints_;

  // Handles of the current stop.
  std::map<int64_t, Scope> scope_handles_;
  std::set<int64_t> frame_handles_;
  int64_t next_handle_ = 1;

  // The CPU's thread and what it shares with the protocol's.
  std::thread cpu_;
  std::mutex state_mutex_;
  bool running_ = false;
  bool quiet_ = false;  // the stop that ends a run is not reported (disconnect, terminate)
  std::mutex jobs_mutex_;
  std::deque<std::function<void()>> jobs_;
};

// zorm-dbg --dap: serves one session on standard input and output, and logs
// to standard error or the command line's log file. Standard output is kept
// for the protocol alone. The exit status.
int run_dap(const std::string& log_file);

}  // namespace zorm::dbg
