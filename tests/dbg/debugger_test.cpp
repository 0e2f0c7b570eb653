// The debugger's logic without a front-end: stepping by source lines into
// and over calls (macro expansions and system calls included), finishing a
// routine, single instructions, the call stack's names, breakpoints on lines
// of included files, the ends of a program and the time since a stop.

#include <gtest/gtest.h>

#include "dbg/assembled_program.h"
#include "dbg/console.h"
#include "dbg/debugger.h"

namespace zorm::test {
namespace {

using dbg::Report;
using dbg::Resume;
using dbg::StopReason;

class Session {
 public:
  explicit Session(const std::string& source, const std::vector<std::string>& options = {"-x"})
      : assembled_(assemble_program(source, options)), debugger_(assembled_->program, console_, launch()) {
    debugger_.start();
  }
  // Resumes and gives the line the program stopped at (0 without one).
  int line_after(Resume how) {
    last_ = debugger_.resume(how);
    return line();
  }
  int line() {
    const auto statement = debugger_.statement_at(debugger_.machine().reg(dbg::Register::pc));
    return statement ? statement->line : 0;
  }
  std::vector<std::string> functions() {
    std::vector<std::string> names;
    for (const dbg::StackEntry& entry : debugger_.stack()) names.push_back(entry.function);
    return names;
  }
  dbg::Debugger& debugger() { return debugger_; }
  uint16_t symbol(const std::string& name) const { return assembled_->symbol(name); }
  void break_at_line(int line) {
    debugger_.breakpoints().add(dbg::Breakpoint::Kind::code, std::to_string(line),
                                debugger_.line_addresses("t.asm", line).second);
  }
  const Report& last() const { return last_; }
  const std::string& output() const { return console_.output; }
  std::string dir() const { return assembled_->dir.path(); }

 private:
  static dbg::LaunchOptions launch() {
    dbg::LaunchOptions options;
    options.instruction_budget = 100000;
    return options;
  }
  std::unique_ptr<AssembledProgram> assembled_;
  dbg::MemoryConsole console_;
  dbg::Debugger debugger_;
  Report last_;
};

const std::string CALLS =
    " org 0x100\n"            // 1
    "start: call outer\n"     // 2
    " ld a,1\n"               // 3
    " ret\n"                  // 4
    "outer: call inner\n"     // 5
    " ret\n"                  // 6
    "inner: nop\n"            // 7
    " ret\n";                 // 8

TEST(Stepping, StepGoesIntoCallsAndBackOut) {
  Session session(CALLS);
  EXPECT_EQ(session.line(), 2);
  EXPECT_EQ(session.line_after(Resume::step), 5);
  EXPECT_EQ(session.line_after(Resume::step), 7);
  EXPECT_EQ(session.functions(), (std::vector<std::string>{"inner", "outer", "start"}));
  EXPECT_EQ(session.line_after(Resume::step), 8);
  EXPECT_EQ(session.line_after(Resume::step), 6);  // the return lands on outer's next line
  EXPECT_EQ(session.line_after(Resume::step), 3);
  EXPECT_EQ(session.last().stop.reason, StopReason::step);
  EXPECT_EQ(session.line_after(Resume::step), 4);
  session.debugger().resume(Resume::step);  // returns to CP/M
  EXPECT_EQ(session.debugger().state(), dbg::Debugger::State::ended);
}

TEST(Stepping, NextGoesOverCallsAndFinishOutOfThem) {
  Session session(CALLS);
  EXPECT_EQ(session.line_after(Resume::next), 3);
  session.debugger().start();
  EXPECT_EQ(session.line_after(Resume::step), 5);
  EXPECT_EQ(session.line_after(Resume::step), 7);
  EXPECT_EQ(session.line_after(Resume::finish), 6);
  EXPECT_EQ(session.last().stop.reason, StopReason::returned);
  EXPECT_EQ(session.line_after(Resume::finish), 3);
  // In the outermost frame there is nothing to finish: the program stays.
  EXPECT_EQ(session.line_after(Resume::finish), 3);
}

TEST(Stepping, ABreakpointInACalledRoutineStopsANext) {
  Session session(CALLS);
  session.debugger().breakpoints().add(dbg::Breakpoint::Kind::code, "inner", {session.symbol("inner")});
  EXPECT_EQ(session.line_after(Resume::next), 7);
  EXPECT_EQ(session.last().stop.reason, StopReason::breakpoint);
  EXPECT_EQ(session.last().breakpoint_id, 1);
  EXPECT_EQ(session.debugger().breakpoints().all().at(1).hits, 1);
}

TEST(Stepping, InstructionsOneAtATimeAndOverACall) {
  Session session(CALLS);
  EXPECT_EQ(session.line_after(Resume::step_instruction), 5);
  EXPECT_EQ(session.line_after(Resume::next_instruction), 6);
  EXPECT_EQ(session.debugger().machine().frames().size(), 1u);
}

TEST(Stepping, AMacroLineIsOneLineAndSystemCallsAreSteppedOver) {
  Session session(
      "say macro char\n"     // 1
      " ld e,char\n"         // 2
      " ld c,2\n"            // 3
      " call 5\n"            // 4
      " endm\n"              // 5
      " org 0x100\n"         // 6
      " say 'a'\n"           // 7
      " say 'b'\n"           // 8
      " ret\n");             // 9
  EXPECT_EQ(session.line(), 7);
  EXPECT_EQ(session.line_after(Resume::step), 8);  // three instructions and a BDOS call
  EXPECT_EQ(session.output(), "a");
  EXPECT_EQ(session.line_after(Resume::step_instruction), 8);
  EXPECT_EQ(session.line_after(Resume::step), 9);
  EXPECT_EQ(session.output(), "ab");
}

TEST(Stepping, ReturningIntoTheMiddleOfALineGoesOnToTheNextLine) {
  Session session(
      "both macro\n"          // 1
      " call first\n"         // 2
      " call second\n"        // 3
      " endm\n"               // 4
      " org 0x100\n"          // 5
      " both\n"               // 6
      " ret\n"                // 7
      "first: ret\n"          // 8
      "second: ret\n");       // 9
  EXPECT_EQ(session.line_after(Resume::step), 8);
  EXPECT_EQ(session.line_after(Resume::step), 9);  // back into line 6, and into its second call
  EXPECT_EQ(session.line_after(Resume::step), 7);
  session.debugger().start();
  EXPECT_EQ(session.line_after(Resume::next), 7);
}

TEST(Stepping, TheSameLineOneCallDeeperIsAnotherStop) {
  Session session(
      " org 0x100\n"          // 1
      " ld a,3\n"             // 2
      " call down\n"          // 3
      " ret\n"                // 4
      "down: dec a\n"         // 5
      " ret z\n"              // 6
      " call down\n"          // 7
      " ret\n");              // 8
  session.break_at_line(7);
  EXPECT_EQ(session.line_after(Resume::go), 7);
  EXPECT_EQ(session.line_after(Resume::step), 5);
  EXPECT_EQ(session.functions(), (std::vector<std::string>{"down", "down", "0x0100"}));
  EXPECT_EQ(session.debugger().stack()[1].pc, session.debugger().line_addresses("t.asm", 7).second.front());
}

TEST(Breakpoints, LinesOfAnIncludedFile) {
  TempDir dir;
  dir.write("part.inc", "; a routine\nroutine: nop\n ret\n");
  Session session(" org 0x100\n call routine\n ret\n include \"" + dir.file("part.inc") + "\"\n");
  const auto [line, addresses] = session.debugger().line_addresses("part.inc", 1);
  EXPECT_EQ(line, 2);
  ASSERT_EQ(addresses.size(), 1u);
  session.debugger().breakpoints().add(dbg::Breakpoint::Kind::code, "part.inc:2", addresses);
  EXPECT_EQ(session.line_after(Resume::go), 2);
  EXPECT_EQ(session.debugger().source_position(addresses.front()), dir.file("part.inc") + ":2");
  EXPECT_THROW(session.debugger().line_addresses("other.asm", 1), dbg::LoadError);
}

TEST(Ends, ANormalEndAFaultThatBlocksAndTheTimeSinceAStop) {
  Session normal(" org 0x100\n ld c,0\n call 5\n");
  const Report ended = normal.debugger().resume(Resume::go);
  EXPECT_EQ(ended.kind, Report::Kind::exited);
  EXPECT_EQ(ended.exit_status, 0);
  EXPECT_EQ(ended.message, "BDOS function 0 (system reset)");

  Session fault(" org 0x100\n nop\n nop\n slp\n", {"-x4"});
  fault.break_at_line(3);
  fault.debugger().resume(Resume::go);
  const Report stopped = fault.debugger().resume(Resume::go);
  EXPECT_EQ(stopped.kind, Report::Kind::exception);
  EXPECT_EQ(stopped.message, fault.dir() + "/t.asm:4: slp is a Z180 instruction, which the emulated Z80 does not "
                                           "have (at 0x0102)");
  EXPECT_EQ(fault.debugger().tstates_since_stop(), 4u);
  EXPECT_EQ(fault.debugger().instructions_since_stop(), 1u);
  const Report after = fault.debugger().resume(Resume::step);
  EXPECT_EQ(after.kind, Report::Kind::exited);
  EXPECT_EQ(after.exit_status, dbg::EXIT_PROGRAM_FAILED);
  EXPECT_EQ(after.message, stopped.message);
}

}  // namespace
}  // namespace zorm::test
