#include "dbg/dap_server.h"

#include <unistd.h>

#include <future>

#include "dbg/command_line.h"
#include "dbg/object_file.h"
#include "dbg/paths.h"
#include "dbg/registers.h"
#include "protocol/stream_transport.h"

namespace zorm::dbg {

namespace {

constexpr int THREAD_ID = 1;  // the one thread: the CPU

std::string text_member(const nlohmann::json& object, const char* name) {
  auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}

std::vector<std::string> texts_member(const nlohmann::json& object, const char* name) {
  std::vector<std::string> texts;
  auto found = object.find(name);
  if (found == object.end() || !found->is_array()) return texts;
  for (const nlohmann::json& item : *found) {
    if (item.is_string()) texts.push_back(item.get<std::string>());
  }
  return texts;
}

}  // namespace

DapServer::DapServer(protocol::Transport& transport, FILE* log) : connection_(transport), log_(log) {}

DapServer::~DapServer() {
  stop_cpu();
  connection_.close();
}

const std::map<std::string, DapServer::Handler>& DapServer::handlers() {
  static const std::map<std::string, Handler> table{
      {"initialize", &DapServer::initialize},
      {"launch", &DapServer::launch},
      {"setBreakpoints", &DapServer::set_breakpoints},
      {"setFunctionBreakpoints", &DapServer::set_function_breakpoints},
      {"setExceptionBreakpoints", &DapServer::set_exception_breakpoints},
      {"configurationDone", &DapServer::configuration_done},
      {"threads", &DapServer::threads},
      {"stackTrace", &DapServer::stack_trace},
      {"scopes", &DapServer::scopes},
      {"variables", &DapServer::variables},
      {"setVariable", &DapServer::set_variable},
      {"evaluate", &DapServer::evaluate},
      {"readMemory", &DapServer::read_memory},
      {"continue", &DapServer::continue_request},
      {"next", &DapServer::next},
      {"stepIn", &DapServer::step_in},
      {"stepOut", &DapServer::step_out},
      {"pause", &DapServer::pause},
      {"disconnect", &DapServer::disconnect},
      {"terminate", &DapServer::terminate},
  };
  return table;
}

void DapServer::serve() {
  while (!disconnected_) {
    const protocol::Incoming item = connection_.next();
    if (item.kind == protocol::Incoming::Kind::end) break;
    if (item.kind != protocol::Incoming::Kind::message) {
      log("ignored a message: " + item.error);
      continue;
    }
    handle(item.value);
  }
  stop_cpu();
  connection_.flush();
}

void DapServer::handle(const Json& message) {
  if (!message.is_object() || text_member(message, "type") != "request" || !message.contains("seq")) {
    log("ignored a message that is no request: " + protocol::serialize(message));
    return;
  }
  const std::string command = text_member(message, "command");
  auto found = handlers().find(command);
  if (found == handlers().end()) {
    respond(message, false, nullptr, "zorm-dbg does not support the request \"" + command + "\"");
    return;
  }
  const Json arguments = message.contains("arguments") && message["arguments"].is_object() ? message["arguments"]
                                                                                          : Json::object();
  try {
    Json body = (this->*found->second)(arguments);
    respond(message, true, std::move(body), "");
  } catch (const Refusal& refusal) {
    respond(message, false, nullptr, refusal.what());
  } catch (const LoadError& error) {
    respond(message, false, nullptr, error.what());
  } catch (const nlohmann::json::exception& error) {
    respond(message, false, nullptr, std::string("malformed arguments: ") + error.what());
  }
  // What must follow the response.
  if (command == "launch" && debugger_) send_event("initialized");
  if (entry_stop_after_response_) {
    entry_stop_after_response_ = false;
    send_event("stopped", Json{{"reason", "entry"}, {"threadId", THREAD_ID}, {"allThreadsStopped", true}});
  }
  if (resume_after_response_) {
    const Resume how = *resume_after_response_;
    resume_after_response_.reset();
    resume(how);
  }
}

void DapServer::respond(const Json& request, bool success, Json body, const std::string& message) {
  Json response{{"type", "response"}, {"request_seq", request["seq"]}, {"success", success},
                {"command", request.value("command", "")}};
  if (!message.empty()) response["message"] = message;
  if (!body.is_null()) response["body"] = std::move(body);
  send(std::move(response));
}

void DapServer::send_event(const std::string& event, Json body) {
  send(Json{{"type", "event"}, {"event", event}, {"body", std::move(body)}});
}

void DapServer::send(Json message) {
  // Numbered in the order they are queued for the one writer.
  std::lock_guard lock(send_mutex_);
  message["seq"] = next_seq_++;
  connection_.send(message);
}

void DapServer::log(const std::string& text) {
  if (log_ == nullptr) return;
  std::fprintf(log_, "zorm-dbg: %s\n", text.c_str());
  std::fflush(log_);
}

Debugger& DapServer::debugger() {
  if (!debugger_) throw Refusal("no program has been launched");
  return *debugger_;
}

void DapServer::require_stopped() {
  debugger();
  std::lock_guard lock(state_mutex_);
  if (running_) throw Refusal("the program is running");
  if (ended_) throw Refusal("the program has ended");
}

DapServer::Json DapServer::initialize(const Json& arguments) {
  positions_.set_bases(arguments.value("linesStartAt1", true), arguments.value("columnsStartAt1", true));
  return Json{
      {"supportsConfigurationDoneRequest", true},
      {"supportsFunctionBreakpoints", true},
      {"supportsSetVariable", true},
      {"supportsEvaluateForHovers", true},
      {"supportsReadMemoryRequest", true},
      {"supportsSteppingGranularity", true},
      {"supportsTerminateRequest", true},
      {"exceptionBreakpointFilters", Json::array()},
  };
}

DapServer::Json DapServer::launch(const Json& arguments) {
  if (debugger_) throw Refusal("a program has already been launched");
  LaunchOptions options;
  options.program = text_member(arguments, "program");
  options.debug_file = text_member(arguments, "debugFile");
  options.source = text_member(arguments, "source");
  options.cwd = text_member(arguments, "cwd");
  if (options.program.empty() == options.source.empty()) throw Refusal("launch wants either program or source");
  if (arguments.contains("processor")) {
    options.processor = processor_by_name(text_member(arguments, "processor"));
    if (!options.processor) throw Refusal("processor is one of 8080, 8085, z80, z80x, z180 and z280");
  }
  options.defines = texts_member(arguments, "defines");
  options.include_paths = texts_member(arguments, "includePaths");
  if (arguments.contains("machine")) {
    options.machine = machine_by_name(text_member(arguments, "machine"));
    if (!options.machine) throw Refusal("machine is cpm or bare");
  }
  for (const auto& [name, port] : {std::pair{"outputPort", &options.ports.output},
                                   std::pair{"inputPort", &options.ports.input},
                                   std::pair{"statusPort", &options.ports.status}}) {
    if (!arguments.contains(name)) continue;
    const int value = arguments[name].get<int>();
    if (value < 0 || value > 0xFF) throw Refusal(std::string(name) + " is a port number from 0 to 255");
    *port = static_cast<uint8_t>(value);
  }
  options.instruction_budget = arguments.value("instructionBudget", uint64_t{0});
  stop_on_entry_ = arguments.value("stopOnEntry", false);
  no_debug_ = arguments.value("noDebug", false);
  // The program runs in its folder: the assembler's includes and the debug
  // file's relative source paths are found from there.
  if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) throw Refusal("cannot go to the folder " + options.cwd);
  options.cwd.clear();

  Program program = prepare_program(options);
  for (const std::string& note : program.notes) {
    send_event("output", Json{{"category", "console"}, {"output", "zorm-dbg: " + note + "\n"}});
  }
  console_ = std::make_unique<DapConsole>(
      [this](const std::string& text) { send_event("output", Json{{"category", "stdout"}, {"output", text}}); },
      [this] {
        send_event("output", Json{{"category", "console"},
                                  {"output", "zorm-dbg: the program waits for console input: type it in the debug "
                                             "console after \">\"\n"}});
      });
  debugger_ = std::make_unique<Debugger>(std::move(program), *console_, options);
  expressions_ = std::make_unique<Expressions>(debugger_->program().symbols, debugger_->program().processor);
  debugger_->machine().set_service([this] { run_jobs(); });
  debugger_->start();
  return Json::object();
}

DapServer::Json DapServer::configuration_done(const Json&) {
  debugger();
  if (configured_) throw Refusal("the configuration is already done");
  configured_ = true;
  if (stop_on_entry_ && !no_debug_) {
    entry_stop_after_response_ = true;
  } else {
    resume_after_response(Resume::go);
  }
  return Json::object();
}

DapServer::Json DapServer::threads(const Json&) {
  return Json{{"threads", Json::array({Json{{"id", THREAD_ID}, {"name", "Z80"}}})}};
}

DapServer::Json DapServer::continue_request(const Json&) {
  require_stopped();
  resume_after_response(Resume::go);
  return Json{{"allThreadsContinued", true}};
}

DapServer::Json DapServer::next(const Json& arguments) {
  require_stopped();
  resume_after_response(arguments.value("granularity", "") == "instruction" ? Resume::next_instruction : Resume::next);
  return Json::object();
}

DapServer::Json DapServer::step_in(const Json& arguments) {
  require_stopped();
  resume_after_response(arguments.value("granularity", "") == "instruction" ? Resume::step_instruction
                                                                              : Resume::step);
  return Json::object();
}

DapServer::Json DapServer::step_out(const Json&) {
  require_stopped();
  resume_after_response(Resume::finish);
  return Json::object();
}

DapServer::Json DapServer::pause(const Json&) {
  debugger();
  std::lock_guard lock(state_mutex_);
  if (running_) debugger_->machine().request_pause();
  return Json::object();
}

DapServer::Json DapServer::disconnect(const Json&) {
  {
    std::lock_guard lock(state_mutex_);
    quiet_ = true;
  }
  stop_cpu();
  disconnected_ = true;
  return Json::object();
}

DapServer::Json DapServer::terminate(const Json&) {
  debugger();
  {
    std::lock_guard lock(state_mutex_);
    quiet_ = true;
  }
  stop_cpu();
  if (!ended_) {
    debugger_->end();
    ended_ = true;
    end_session(EXIT_PROGRAM_FAILED);
  }
  return Json::object();
}

void DapServer::resume_after_response(Resume how) { resume_after_response_ = how; }

void DapServer::resume(Resume how) {
  if (cpu_.joinable()) cpu_.join();  // the last run has reported its stop
  scope_handles_.clear();
  frame_handles_.clear();
  {
    std::lock_guard lock(state_mutex_);
    running_ = true;
  }
  cpu_ = std::thread(&DapServer::run_cpu, this, how);
}

void DapServer::run_cpu(Resume how) {
  if (no_debug_) debugger_->breakpoints().remove_all();
  const Report result = debugger_->resume(how);
  bool quiet;
  {
    // Work queued while the machine ran is done before it counts as
    // stopped, and a pause asked for too late is taken back.
    std::lock_guard lock(state_mutex_);
    debugger_->machine().attend();
    running_ = false;
    ended_ = result.kind == Report::Kind::exited;
    quiet = quiet_;
  }
  if (!quiet) report(result);
}

void DapServer::report(const Report& result) {
  if (result.kind == Report::Kind::exited) {
    if (!result.message.empty() && result.exit_status != 0) {
      send_event("output", Json{{"category", "stderr"}, {"output", "zorm-dbg: " + result.message + "\n"}});
    } else if (!result.message.empty()) {
      send_event("output", Json{{"category", "console"}, {"output", "zorm-dbg: the program ended: " + result.message + "\n"}});
    }
    end_session(result.exit_status);
    return;
  }
  Json body{{"threadId", THREAD_ID}, {"allThreadsStopped", true}};
  switch (result.stop.reason) {
    case StopReason::breakpoint:
      body["reason"] = function_breakpoints_.count(result.breakpoint_id) != 0 ? "function breakpoint" : "breakpoint";
      body["hitBreakpointIds"] = Json::array({result.breakpoint_id});
      break;
    case StopReason::paused:
      body["reason"] = "pause";
      break;
    case StopReason::fault:
    case StopReason::budget:
      body["reason"] = "exception";
      body["description"] = result.message;
      body["text"] = result.message;
      break;
    default:
      body["reason"] = "step";
      break;
  }
  send_event("stopped", std::move(body));
}

void DapServer::end_session(int exit_code) {
  send_event("exited", Json{{"exitCode", exit_code}});
  send_event("terminated");
}

void DapServer::stop_cpu() {
  {
    std::lock_guard lock(state_mutex_);
    if (running_ && debugger_) debugger_->machine().request_pause();
  }
  if (cpu_.joinable()) cpu_.join();
}

DapServer::Json DapServer::on_machine(const std::function<Json()>& work) {
  std::promise<Json> done;
  std::future<Json> result = done.get_future();
  {
    std::lock_guard lock(state_mutex_);
    if (running_) {
      {
        std::lock_guard jobs(jobs_mutex_);
        jobs_.push_back([&work, &done] {
          try {
            done.set_value(work());
          } catch (...) {
            done.set_exception(std::current_exception());
          }
        });
      }
      debugger_->machine().request_service();
    } else {
      return work();
    }
  }
  return result.get();
}

void DapServer::run_jobs() {
  std::deque<std::function<void()>> jobs;
  {
    std::lock_guard lock(jobs_mutex_);
    jobs.swap(jobs_);
  }
  for (const auto& job : jobs) job();
}

int64_t DapServer::new_handle() { return next_handle_++; }

int run_dap(const std::string& log_file) {
  // The protocol gets its own copy of standard output; the descriptor itself
  // then goes to standard error, so that nothing written by mistake can
  // break a message.
  const int protocol_output = dup(STDOUT_FILENO);
  if (protocol_output < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    std::fprintf(stderr, "zorm-dbg: cannot set up standard output for the protocol\n");
    return EXIT_LOAD;
  }
  FILE* log = log_file.empty() ? stderr : std::fopen(log_file.c_str(), "a");
  if (log == nullptr) {
    std::fprintf(stderr, "zorm-dbg: cannot open the log file %s\n", log_file.c_str());
    return EXIT_LOAD;
  }
  {
    protocol::StreamTransport transport(STDIN_FILENO, protocol_output);
    DapServer server(transport, log);
    server.serve();
  }
  if (log != stderr) std::fclose(log);
  close(protocol_output);
  return 0;
}

}  // namespace zorm::dbg
