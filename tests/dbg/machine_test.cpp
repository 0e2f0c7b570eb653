// The machine: the CP/M and bare systems around the emulated Z80, the ends
// of a program, breakpoints, watchpoints, the tracked call stack, T-states,
// the budget, and the instructions the Z80 does not have.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "dbg/assembled_program.h"
#include "dbg/bare_system.h"
#include "dbg/console.h"
#include "dbg/cpm_system.h"
#include "dbg/machine.h"

namespace zorm::test {
namespace {

using dbg::Register;
using dbg::RunLimits;
using dbg::Stop;
using dbg::StopReason;

// One program on one machine, its console in memory.
class MachineRun {
 public:
  MachineRun(const std::string& source, const std::vector<std::string>& options = {"-x"}, const std::string& input = "",
             dbg::LaunchOptions launch = {})
      : assembled_(assemble_program(source, options, launch)),
        console_(input, true),
        system_(make_system(launch.ports)),
        machine_(*system_) {
    machine_.set_processor(assembled_->program.processor);
    machine_.set_budget(100'000);
    machine_.start(assembled_->program.image, assembled_->program.entry);
  }

  Stop run(RunLimits limits = {}) { return machine_.run(limits); }
  dbg::Machine& machine() { return machine_; }
  const std::string& output() const { return console_.output; }
  uint16_t symbol(const std::string& name) const { return assembled_->symbol(name); }

 private:
  std::unique_ptr<dbg::System> make_system(dbg::ConsolePorts ports) {
    if (assembled_->program.machine == dbg::MachineKind::cpm) return std::make_unique<dbg::CpmSystem>(console_);
    return std::make_unique<dbg::BareSystem>(console_, ports);
  }

  std::unique_ptr<AssembledProgram> assembled_;
  dbg::MemoryConsole console_;
  std::unique_ptr<dbg::System> system_;
  dbg::Machine machine_;
};

const std::string CPM = " org 0x100\n";

dbg::LaunchOptions cpm_machine() {
  dbg::LaunchOptions launch;
  launch.machine = dbg::MachineKind::cpm;
  return launch;
}
const std::string BARE = " org 0x8000\n";

TEST(CpmMachine, ConsoleOutputFunctionsAndTheThreeWaysToEnd) {
  const std::string body = CPM +
                           " ld c,2\n ld e,'A'\n call 5\n"
                           " ld c,9\n ld de,text\n call 5\n"
                           " ld c,6\n ld e,'!'\n call 5\n";
  const std::string data = "text: db 'bc$'\n";
  MachineRun by_return(body + " ret\n" + data);
  Stop stop = by_return.run();
  EXPECT_EQ(stop.reason, StopReason::exited);
  EXPECT_EQ(by_return.output(), "Abc!");

  MachineRun by_jump(body + " jp 0\n" + data);
  stop = by_jump.run();
  EXPECT_EQ(stop.reason, StopReason::exited);
  EXPECT_EQ(stop.message, "warm start (jump to 0)");

  MachineRun by_reset(body + " ld c,0\n call 5\n halt\n" + data);
  stop = by_reset.run();
  EXPECT_EQ(stop.reason, StopReason::exited);
  EXPECT_EQ(stop.message, "BDOS function 0 (system reset)");
  EXPECT_EQ(by_reset.output(), "Abc!");
}

TEST(CpmMachine, ConsoleInputIsEchoedAndEndsWithControlZ) {
  // Function 1 reads (and echoes) a character; 11 says whether one waits;
  // 12 gives the version; at the end of the input function 1 gives 1Ah.
  MachineRun run(CPM +
              " ld c,11\n call 5\n ld (status),a\n"
              " ld c,1\n call 5\n ld (first),a\n"
              " ld c,1\n call 5\n ld (second),a\n"
              " ld c,1\n call 5\n ld (third),a\n"
              " ld c,12\n call 5\n ld (version),hl\n ret\n"
              "status: db 0\nfirst: db 0\nsecond: db 0\nthird: db 0\nversion: dw 0\n",
          {"-x"}, "x\n");
  ASSERT_EQ(run.run().reason, StopReason::exited);
  dbg::Machine& m = run.machine();
  EXPECT_EQ(m.read(run.symbol("status")), 0xFF);
  EXPECT_EQ(m.read(run.symbol("first")), 'x');
  EXPECT_EQ(m.read(run.symbol("second")), '\r');  // the host's line feed is the Return key
  EXPECT_EQ(m.read(run.symbol("third")), 0x1A);
  EXPECT_EQ(m.read_word(run.symbol("version")), 0x0022);
  EXPECT_EQ(run.output(), "x\r\x1a");
}

TEST(CpmMachine, LineInputFillsTheBufferUpToItsSize) {
  MachineRun run(CPM + " ld c,10\n ld de,buffer\n call 5\n ld c,10\n ld de,buffer2\n call 5\n ret\n"
                "buffer: db 20\n ds 21\nbuffer2: db 3\n ds 4\n",
          {"-x"}, "hello\r\nworld\n");
  ASSERT_EQ(run.run().reason, StopReason::exited);
  dbg::Machine& m = run.machine();
  const uint16_t buffer = run.symbol("buffer");
  ASSERT_EQ(m.read(buffer + 1), 5);
  EXPECT_EQ(std::string({char(m.read(buffer + 2)), char(m.read(buffer + 6))}), "ho");
  const uint16_t second = run.symbol("buffer2");
  ASSERT_EQ(m.read(second + 1), 3);  // three of "world" fit
  EXPECT_EQ(m.read(second + 4), 'r');
  EXPECT_EQ(run.output(), "hello\rwor\r");
}

TEST(CpmMachine, AnUnemulatedBdosFunctionStopsTheRun) {
  MachineRun run(CPM + " ld c,15\n ld de,0x5c\n call 5\n ret\n");
  const Stop stop = run.run();
  EXPECT_EQ(stop.reason, StopReason::fault);
  EXPECT_EQ(stop.message, "BDOS function 15 is not emulated (only the console functions are)");
  EXPECT_EQ(stop.address, 5);
}

TEST(CpmMachine, PageZeroLooksLikeCpm) {
  MachineRun run(CPM + " ld hl,(6)\n ld sp,hl\n ld hl,(1)\n push hl\n ld c,2\n ld e,'*'\n call 5\n ret\n");
  EXPECT_EQ(run.run().reason, StopReason::exited);  // returns through the BIOS warm start
  EXPECT_EQ(run.output(), "*");
}

TEST(BareMachine, ConsolePortsAndHalt) {
  MachineRun run(BARE +
              "loop: in a,(0)\n or a\n jr z,done\n in a,(1)\n out (1),a\n jr loop\n"
              "done: halt\n",
          {"-x"}, "ok");
  // The status port says "waiting" at the end of the input too; then the
  // input port gives 1Ah, which is copied like any other byte.
  const Stop stop = run.run(RunLimits{200, 0, true});
  EXPECT_EQ(run.output().substr(0, 4), "ok\x1a\x1a");
  EXPECT_EQ(stop.reason, StopReason::step);
}

TEST(BareMachine, OtherPortsAndTheEnds) {
  dbg::LaunchOptions launch;
  launch.ports.output = 0x10;
  MachineRun run(BARE + " ld a,'>'\n out (0x10),a\n out (1),a\n call routine\n halt\nroutine: ret\n", {"-x"}, "", launch);
  const Stop stop = run.run();
  EXPECT_EQ(stop.reason, StopReason::exited);
  EXPECT_EQ(stop.message, "halt");
  EXPECT_EQ(stop.address, run.symbol("routine") - 1);
  EXPECT_EQ(run.output(), ">");

  MachineRun routine(BARE + " ld a,1\n ret\n");
  EXPECT_EQ(routine.run().message, "return from the entry point");
}

TEST(Machine, BreakpointsStopBeforeTheInstructionButNotWhereTheRunStarts) {
  MachineRun run(CPM + "start: ld b,3\nloop: djnz loop\nhere: nop\n ret\n");
  run.machine().set_breakpoint(run.symbol("here"), true);
  run.machine().set_breakpoint(run.symbol("start"), true);
  Stop stop = run.run();
  ASSERT_EQ(stop.reason, StopReason::breakpoint);
  EXPECT_EQ(stop.address, run.symbol("here"));
  EXPECT_EQ(run.machine().reg(Register::b), 0);
  EXPECT_EQ(run.run().reason, StopReason::exited);
}

TEST(Machine, WatchpointsStopAfterTheWriteWithBothValues) {
  MachineRun run(CPM + " ld a,7\n ld (cell),a\n ld (cell),a\n inc a\n ld (cell),a\n ret\ncell: db 7\n");
  run.machine().set_watch(run.symbol("cell"), true);
  Stop stop = run.run();
  ASSERT_EQ(stop.reason, StopReason::watchpoint);
  EXPECT_EQ(stop.watch_address, run.symbol("cell"));
  EXPECT_EQ(stop.old_value, 7);
  EXPECT_EQ(stop.new_value, 7);  // a write of the same value counts
  EXPECT_EQ(stop.address, 0x0105);  // after the instruction
  run.run();
  stop = run.run();
  ASSERT_EQ(stop.reason, StopReason::watchpoint);
  EXPECT_EQ(stop.new_value, 8);
}

TEST(Machine, TheCallStackFollowsCallsRstAndReturns) {
  MachineRun run(CPM +
          "start: call outer\n ret\n"
          "outer: call inner\n ret\n"
          "inner: ld a,1\n or a\n call z,never\n rst 0x38\n ret nz\n"
          "never: ret\n"
          " org 0x38\nrestart: nop\nwhere: ret\n",
          {"-x"}, "", cpm_machine());
  dbg::Machine& m = run.machine();
  m.set_breakpoint(run.symbol("where"), true);
  ASSERT_EQ(run.run().reason, StopReason::breakpoint);
  const std::vector<dbg::Frame>& frames = m.frames();
  ASSERT_EQ(frames.size(), 3u);  // the call z,never was not taken
  EXPECT_EQ(frames[0].entry, run.symbol("outer"));
  EXPECT_EQ(frames[0].call_address, run.symbol("start"));
  EXPECT_EQ(frames[0].return_address, run.symbol("start") + 3);
  EXPECT_EQ(frames[1].entry, run.symbol("inner"));
  EXPECT_EQ(frames[2].entry, 0x38);
  EXPECT_EQ(frames[2].return_address, frames[2].call_address + 1);
  // finish: until the rst returns, then until inner returns.
  Stop stop = run.run(RunLimits{0, 3, true});
  EXPECT_EQ(stop.reason, StopReason::returned);
  EXPECT_EQ(m.frames().size(), 2u);
  stop = run.run(RunLimits{0, 2, true});
  EXPECT_EQ(stop.reason, StopReason::returned);
  EXPECT_EQ(stop.address, run.symbol("outer") + 3);
  EXPECT_EQ(run.run().reason, StopReason::exited);
  EXPECT_TRUE(m.frames().empty());
}

TEST(Machine, AStackAtTheTopOfMemoryUnwindsAcrossZero) {
  MachineRun run(BARE + "start: call routine\nafter: halt\nroutine: call leaf\n ret\nleaf: ret\n");
  run.machine().set_breakpoint(run.symbol("after"), true);
  ASSERT_EQ(run.run().reason, StopReason::breakpoint);
  EXPECT_TRUE(run.machine().frames().empty());
  EXPECT_EQ(run.machine().reg(Register::sp), 0);
}

TEST(Machine, CountsTStatesAndStopsAtTheBudget) {
  MachineRun run(CPM + " nop\n ld bc,0x1234\n ex (sp),hl\n ex (sp),hl\nloop: jr loop\n");
  Stop stop = run.run(RunLimits{4, 0, true});
  EXPECT_EQ(stop.reason, StopReason::step);
  EXPECT_EQ(run.machine().tstates(), 4u + 10u + 19u + 19u);
  EXPECT_EQ(run.machine().instructions(), 4u);
  run.machine().set_budget(10);
  stop = run.run();
  EXPECT_EQ(stop.reason, StopReason::budget);
  EXPECT_EQ(run.machine().instructions(), 10u);
  EXPECT_EQ(run.machine().tstates(), 52u + 6u * 12u);
}

TEST(Machine, APauseFromAnotherThreadStopsARunningProgram) {
  MachineRun run(CPM + "loop: jr loop\n");
  run.machine().set_budget(0);
  std::thread pauser([&run] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    run.machine().request_pause();
  });
  const Stop stop = run.run();
  pauser.join();
  EXPECT_EQ(stop.reason, StopReason::paused);
  EXPECT_EQ(stop.address, 0x100);
}

TEST(Machine, RegistersByNameAndHalves) {
  MachineRun run(CPM + " ret\n");
  dbg::Machine& m = run.machine();
  m.set_reg(Register::hl, 0x1234);
  m.set_reg(Register::l, 0x99);
  EXPECT_EQ(m.reg(Register::hl), 0x1299);
  EXPECT_EQ(m.reg(Register::h), 0x12);
  m.set_reg(Register::ixh, 0xAB);
  EXPECT_EQ(m.reg(Register::ix), 0xAB00);
  m.set_reg(Register::r, 0x85);
  EXPECT_EQ(m.reg(Register::r), 0x85);
  m.set_reg(Register::af_alt, 0x4321);
  EXPECT_EQ(m.reg(Register::af_alt), 0x4321);
  EXPECT_EQ(m.reg(Register::sp), dbg::CpmSystem::STACK_TOP - 2);
}

struct ForeignCase {
  const char* source;
  std::vector<std::string> options;
  const char* message;
};

class ForeignInstructions : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignInstructions, StopTheRunInFrontOfThem) {
  const ForeignCase& c = GetParam();
  MachineRun run(CPM + " ld a,1\n" + c.source + "\n ret\n", c.options);
  const Stop stop = run.run();
  EXPECT_EQ(stop.reason, StopReason::fault);
  EXPECT_EQ(stop.message, c.message);
  EXPECT_EQ(stop.address, 0x102);
  EXPECT_EQ(run.machine().instructions(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Z180Z280And8085, ForeignInstructions,
    ::testing::Values(
        ForeignCase{" mlt bc", {"-x4"}, "mlt bc is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" mlt sp", {"-x4"}, "mlt sp is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" in0 a,(0x10)", {"-x4"}, "in0 a,(0x10) is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" out0 (0x20),c", {"-x4"}, "out0 (0x20),c is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" in b,(0x10)", {"-x4"}, "in0 b,(0x10) is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" tst (hl)", {"-x4"}, "tst (hl) is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" tst 5", {"-x4"}, "tst 0x05 is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" tstio 0x80", {"-x4"}, "tstio 0x80 is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" slp", {"-x4"}, "slp is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" otimr", {"-x4"}, "otimr is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" otdm", {"-x4"}, "otdm is a Z180 instruction, which the emulated Z80 does not have"},
        ForeignCase{" im 3", {"-x5"}, "im 3 is a Z280 instruction, which the emulated Z80 does not have"},
        ForeignCase{" rim", {"-x1"}, "rim is an 8085 instruction, which the emulated Z80 does not have"},
        ForeignCase{" sim", {"-x1"}, "sim is an 8085 instruction, which the emulated Z80 does not have"},
        ForeignCase{" db 0xed,0xfe", {"-x"}, "the bytes 0xed 0xfe are no instruction of the emulated Z80"}));

TEST(Machine, Z80FormsThatLookForeignStillRun) {
  // The Z80's own ED instructions, and the 8085's opcodes 20h and 30h as the
  // Z80's relative jumps in a Z80 program.
  MachineRun run(CPM + " in (c)\n ld b,2\n out (c),a\n neg\n im 2\n im 0\n jr nz,$+2\n jr nc,$+2\n ldir\n ret\n");
  EXPECT_EQ(run.run().reason, StopReason::exited);
}

}  // namespace
}  // namespace zorm::test
