#include "dbg/debugger.h"

#include "dbg/cpm_system.h"
#include "dbg/object_file.h"

namespace zorm::dbg {

namespace {

std::unique_ptr<System> make_system(MachineKind kind, Console& console, const ConsolePorts& ports) {
  if (kind == MachineKind::cpm) return std::make_unique<CpmSystem>(console);
  return std::make_unique<BareSystem>(console, ports);
}

RunLimits one_instruction() { return RunLimits{1, 0, false}; }

}  // namespace

Debugger::Debugger(Program program, Console& console, const LaunchOptions& options)
    : program_(std::move(program)),
      console_(console),
      system_(make_system(program_.machine, console, options.ports)),
      machine_(std::make_unique<Machine>(*system_)),
      breakpoints_(*machine_) {
  machine_->set_processor(program_.processor);
  machine_->set_budget(options.instruction_budget);
}

Debugger::~Debugger() = default;

void Debugger::start() {
  machine_->start(program_.image, program_.entry);
  state_ = State::stopped;
  blocked_.clear();
  tstates_at_stop_ = 0;
  instructions_at_stop_ = 0;
}

std::string Debugger::source_position(uint16_t address) const {
  const auto statement = statement_at(address);
  if (!statement) return "";
  return program_.sources.recorded(statement->file) + ":" + std::to_string(statement->line);
}

Report Debugger::resume(Resume how) {
  if (!blocked_.empty()) {
    state_ = State::ended;
    Report ended;
    ended.kind = Report::Kind::exited;
    ended.stop = Stop{StopReason::fault, machine_->reg(Register::pc), blocked_, 0, 0, 0};
    ended.exit_status = EXIT_PROGRAM_FAILED;
    ended.message = blocked_;
    return ended;
  }
  tstates_at_stop_ = machine_->tstates();
  instructions_at_stop_ = machine_->instructions();
  Stop stop;
  switch (how) {
    case Resume::go:
      stop = machine_->run(RunLimits{});
      break;
    case Resume::step:
    case Resume::next:
      stop = step_line(how == Resume::next);
      break;
    case Resume::step_instruction:
      stop = machine_->run(one_instruction());
      break;
    case Resume::next_instruction: {
      const size_t depth = machine_->frames().size();
      stop = machine_->run(one_instruction());
      if (stop.reason == StopReason::step && machine_->frames().size() > depth) stop = step_over_call(depth);
      break;
    }
    case Resume::finish:
      stop = machine_->frames().empty() ? Stop{StopReason::step, machine_->reg(Register::pc), "", 0, 0, 0}
                                        : machine_->run(RunLimits{0, machine_->frames().size(), true});
      break;
  }
  console_.flush();
  return report(stop);
}

// Runs until the call just made returns to this depth; a stop on the way
// (a breakpoint in the routine) is the result. A return is a step done.
Stop Debugger::step_over_call(size_t depth) {
  Stop stop = machine_->run(RunLimits{0, depth + 1, true});
  if (stop.reason == StopReason::returned) stop.reason = StopReason::step;
  return stop;
}

// Source-line stepping: instructions run until the pc is at the start of a
// statement outside the line it started in (at the same call depth). A call
// is run through when stepping over, or when it goes where there are no
// source lines (a system call); returning into the middle of a line, or to
// code without lines, steps on to the next line's start (or the end).
Stop Debugger::step_line(bool over) {
  const uint16_t start_pc = machine_->reg(Register::pc);
  std::optional<Statement> range = statement_at(start_pc);
  size_t depth = machine_->frames().size();
  if (!range) return machine_->run(one_instruction());
  for (;;) {
    Stop stop = machine_->run(one_instruction());
    if (stop.reason != StopReason::step) return stop;
    uint16_t pc = machine_->reg(Register::pc);
    if (machine_->frames().size() > depth) {
      if (!over && statement_at(pc)) return stop;  // stepped into a routine with source lines
      stop = step_over_call(depth);
      if (stop.reason != StopReason::step) return stop;
      pc = machine_->reg(Register::pc);
    }
    const size_t now = machine_->frames().size();
    if (now == depth && range && range->contains(pc)) continue;
    const std::optional<Statement> here = statement_at(pc);
    if (here && here->start == pc) return stop;
    // The middle of a line, or code without lines (after a return from the
    // program's first routine, say): on to the next line's start.
    range = here;
    depth = now;
  }
}

Report Debugger::report(const Stop& stop) {
  Report result;
  result.stop = stop;
  const std::string where = source_position(stop.address);
  const std::string at = where.empty() ? hex_address(stop.address) : where + " (" + hex_address(stop.address) + ")";
  switch (stop.reason) {
    case StopReason::breakpoint:
      if (Breakpoint* hit = breakpoints_.hit(Breakpoint::Kind::code, stop.address)) result.breakpoint_id = hit->id;
      break;
    case StopReason::watchpoint:
      if (Breakpoint* hit = breakpoints_.hit(Breakpoint::Kind::watch, stop.watch_address)) {
        result.breakpoint_id = hit->id;
      }
      break;
    case StopReason::exited:
      result.kind = Report::Kind::exited;
      result.message = stop.message;
      state_ = State::ended;
      break;
    case StopReason::fault:
      result.kind = Report::Kind::exception;
      result.message = (where.empty() ? hex_address(stop.address) : where) + ": " + stop.message + " (at " +
                       hex_address(stop.address) + ")";
      blocked_ = result.message;
      break;
    case StopReason::budget:
      result.kind = Report::Kind::exception;
      result.message = "the instruction budget of " + std::to_string(machine_->budget()) +
                       " instructions is used up at " + at;
      blocked_ = result.message;
      break;
    default:
      break;
  }
  if (result.kind == Report::Kind::exited) result.exit_status = 0;
  return result;
}

std::vector<StackEntry> Debugger::stack() const {
  std::vector<StackEntry> entries;
  const std::vector<Frame>& frames = machine_->frames();
  const uint16_t pc = machine_->reg(Register::pc);
  auto routine = [&](size_t frame_count) {
    return program_.symbols.describe(frame_count == 0 ? program_.entry : frames[frame_count - 1].entry);
  };
  entries.push_back(StackEntry{pc, routine(frames.size()), statement_at(pc)});
  for (size_t i = frames.size(); i-- > 0;) {
    const uint16_t call = frames[i].call_address;
    entries.push_back(StackEntry{call, routine(i), statement_at(call)});
  }
  return entries;
}

std::pair<int, std::vector<uint16_t>> Debugger::line_addresses(const std::string& file, int line) {
  const std::vector<int> files = program_.sources.find(file);
  if (files.empty()) throw LoadError("No source file \"" + file + "\" in the program's debug information");
  return program_.source_map.line_addresses(files, line);
}

}  // namespace zorm::dbg
