#pragma once
// A debugging session over one program, without any user interface: it
// starts and runs the machine, steps by source lines and instructions, keeps
// the breakpoints and answers where the program is. The terminal and the
// Debug Adapter Protocol front-ends both drive it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbg/breakpoints.h"
#include "dbg/console.h"
#include "dbg/machine.h"
#include "dbg/program.h"

namespace zorm::dbg {

enum class Resume {
  go,                // until a breakpoint, a watchpoint or the end
  step,              // to the start of another source line, into calls
  next,              // the same, over calls
  step_instruction,  // one instruction
  next_instruction,  // one instruction, over a call
  finish,            // until the current call returns
};

// What a resume came to.
struct Report {
  enum class Kind {
    stopped,    // the program can go on
    exception,  // stopped where it cannot go on (a fault, the budget): resuming ends it
    exited,     // the program has ended
  };
  Kind kind = Kind::stopped;
  Stop stop;              // the machine's reason and pc
  int breakpoint_id = 0;  // the breakpoint or watchpoint hit, 0 for none
  int exit_status = 0;    // exited: 0 after a normal end, else EXIT_PROGRAM_FAILED
  std::string message;    // exception and exited: what happened, with the source line
};

// Exit status of a program that did not end as programs of its machine end.
inline constexpr int EXIT_PROGRAM_FAILED = 3;

struct StackEntry {
  uint16_t pc = 0;         // frame 0: where the program is; others: the call instruction
  std::string function;    // the name of the routine the frame is in
  std::optional<Statement> statement;
};

class Debugger {
 public:
  enum class State { not_started, stopped, ended };

  Debugger(Program program, Console& console, const LaunchOptions& options);
  ~Debugger();
  Debugger(const Debugger&) = delete;
  Debugger& operator=(const Debugger&) = delete;

  Program& program() { return program_; }
  Machine& machine() { return *machine_; }
  Breakpoints& breakpoints() { return breakpoints_; }
  State state() const { return state_; }

  // Puts the program in memory with pc at its entry point (again).
  void start();
  // Runs as asked. Call only while stopped (start() first).
  Report resume(Resume how);
  // Ends the program where it is (a user's kill).
  void end() { state_ = State::ended; }

  std::optional<Statement> statement_at(uint16_t address) const { return program_.source_map.statement_at(address); }
  // "file:line" of the statement at an address, or "" without one.
  std::string source_position(uint16_t address) const;
  // The call stack, innermost first.
  std::vector<StackEntry> stack() const;
  uint64_t tstates_since_stop() const { return machine_->tstates() - tstates_at_stop_; }
  uint64_t instructions_since_stop() const { return machine_->instructions() - instructions_at_stop_; }

  // Addresses a source line stands for (see SourceMap::line_addresses);
  // the file is a name as a user gives it. Throws LoadError when the file
  // is not one of the program's.
  std::pair<int, std::vector<uint16_t>> line_addresses(const std::string& file, int line);

 private:
  Stop step_line(bool over);
  Stop step_over_call(size_t depth);
  Report report(const Stop& stop);

  Program program_;
  Console& console_;
  std::unique_ptr<System> system_;
  std::unique_ptr<Machine> machine_;
  Breakpoints breakpoints_;
  State state_ = State::not_started;
  std::string blocked_;  // why the program cannot go on, after an exception
  uint64_t tstates_at_stop_ = 0;
  uint64_t instructions_at_stop_ = 0;
};

}  // namespace zorm::dbg
