// The bundled examples prove themselves by running: ZORM assembles each one
// with its debug information, the debugger's machine loads the object file
// into an emulated Z80 (the z80ex library), and the program's console output
// or a routine's results in registers and memory are checked. The 8080
// example runs on the Z80 as well, since it uses only the common
// instructions. Without the emulation library the tests are skipped, visibly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/temp_dir.h"
#include "support/zorm_run.h"

namespace zorm::test {
namespace {

const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";

// These need no emulator: the new example is checked against the binary that
// the independent assembler pasmo made from the same source, like the others.
TEST(SieveExample, MatchesTheIndependentAssembler) {
  TempDir dir;
  ZormRun run = run_zorm({"-x", "-q", "-o" + dir.file("zorm.bin"), "-l" + dir.file("zorm.lst"),
                                 EXAMPLES + "z80_sieve.asm"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(dir.read("zorm.bin"), read_file(EXAMPLES + "z80_sieve.pasmo.bin"));
  if (std::system("command -v pasmo >/dev/null 2>&1") == 0) {
    const std::string command = "pasmo " + EXAMPLES + "z80_sieve.asm " + dir.file("pasmo.bin") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(dir.read("zorm.bin"), dir.read("pasmo.bin"));
  }
}

}  // namespace
}  // namespace zorm::test

#ifdef ZORM_WITH_Z80EX

#include "dbg/bare_system.h"
#include "dbg/console.h"
#include "dbg/cpm_system.h"
#include "dbg/machine.h"
#include "dbg/assembled_program.h"

namespace zorm::test {
namespace {

using dbg::Register;
using dbg::StopReason;

std::unique_ptr<AssembledProgram> example(const std::string& name, const std::vector<std::string>& options) {
  return assemble_program(EXAMPLES + name + ".asm", options);
}

TEST(ExampleReaders, ReadTheAssemblersOwnOutputs) {
  const auto hello = example("hello_cpm", {});
  const dbg::Program& program = hello->program;
  ASSERT_TRUE(program.image.start_address.has_value());
  EXPECT_EQ(*program.image.start_address, 0x0100);
  EXPECT_EQ(hello->symbol("start"), 0x0100);
  EXPECT_EQ(hello->symbol("bdos"), 5);
  EXPECT_TRUE(program.image.used.test(0x0100));
  EXPECT_FALSE(program.image.used.test(0x00FF));
  EXPECT_EQ(program.machine, dbg::MachineKind::cpm);
  EXPECT_EQ(program.processor, Processor::i8080);
}

// The primes below 256, worked out here independently of the example.
std::vector<int> primes_below_256() {
  std::vector<int> primes;
  for (int n = 2; n < 256; ++n) {
    bool prime = true;
    for (int d = 2; d * d <= n; ++d) prime = prime && n % d != 0;
    if (prime) primes.push_back(n);
  }
  return primes;
}

// A CP/M machine with its console in memory.
struct CpmRun {
  dbg::MemoryConsole console;
  dbg::CpmSystem system{console};
  dbg::Machine machine{system};

  // Runs the program from 0x100; its console output, or a note of how it
  // did not return to CP/M.
  std::string run(const dbg::Program& program) {
    machine.set_budget(10'000'000);
    machine.start(program.image, program.entry);
    const dbg::Stop stop = machine.run(dbg::RunLimits{});
    if (stop.reason != StopReason::exited) return "<did not return to CP/M>" + console.output;
    return console.output;
  }
};

TEST(RunningExamples, HelloCpmPrintsItsGreetingAt8080Level) {
  CpmRun cpm;
  EXPECT_EQ(cpm.run(example("hello_cpm", {})->program), "Hello from ZORM\r\n");
}

TEST(RunningExamples, HelloCpmRunsTheSameWithZ80BranchOptimisation) {
  // At the Z80 level the backward jp becomes a two-byte jr: the program is
  // shorter and must still behave the same.
  const auto at_8080 = example("hello_cpm", {});
  const auto at_z80 = example("hello_cpm", {"-x"});
  EXPECT_LT(at_z80->program.image.used.count(), at_8080->program.image.used.count());
  CpmRun cpm;
  EXPECT_EQ(cpm.run(at_z80->program), "Hello from ZORM\r\n");
}

TEST(RunningExamples, SievePrintsThePrimesBelow256) {
  std::string expected;
  const std::vector<int> primes = primes_below_256();
  for (size_t i = 0; i < primes.size(); ++i) {
    if (i != 0) expected += ' ';
    expected += std::to_string(primes[i]);
  }
  expected += "\r\n";
  expected += std::to_string(primes.size());
  expected += " primes below 256\r\n";

  CpmRun cpm;
  EXPECT_EQ(cpm.run(example("z80_sieve", {"-x"})->program), expected);
  ASSERT_EQ(primes.size(), 54u);
  EXPECT_EQ(cpm.machine.read(0x9200), 54);
  for (size_t i = 0; i < primes.size(); ++i) EXPECT_EQ(cpm.machine.read(0x9100 + i), primes[i]) << "prime " << i;
  for (int n = 2; n < 256; ++n) {
    const bool prime = std::find(primes.begin(), primes.end(), n) != primes.end();
    EXPECT_EQ(cpm.machine.read(0x9000 + n), prime ? 0 : 1) << "flag of " << n;
  }
}

TEST(RunningExamples, SieveRunsTheSameWithoutBranchOptimisation) {
  CpmRun optimised, plain;
  EXPECT_EQ(plain.run(example("z80_sieve", {"-x", "-n"})->program),
            optimised.run(example("z80_sieve", {"-x"})->program));
}

// The routines are called one at a time on the bare machine: a routine's
// return to its caller (nobody) ends the run.
class Z80Routines : public ::testing::Test {
 protected:
  void SetUp() override { program_ = example("z80_routines", {"-x"}); }
  uint16_t at(const std::string& name) const { return program_->symbol(name); }
  void start(uint16_t routine) { machine_.start(program_->program.image, routine); }
  StopReason call() { return machine_.run(dbg::RunLimits{1'000'000, 0, true}).reason; }

  std::unique_ptr<AssembledProgram> program_;
  dbg::MemoryConsole console_;
  dbg::BareSystem system_{console_, dbg::ConsolePorts{}};
  dbg::Machine machine_{system_};
};

TEST_F(Z80Routines, SumTableAddsTheEightTableBytes) {
  start(at("sum_table"));
  machine_.set_reg(Register::ix, at("table"));
  machine_.set_reg(Register::bc, 0x0800);  // b = 8 entries
  ASSERT_EQ(call(), StopReason::exited);
  EXPECT_EQ(machine_.reg(Register::hl), 36);  // 1 + 2 + ... + 8
  EXPECT_EQ(machine_.reg(Register::b), 0);
  EXPECT_EQ(machine_.reg(Register::ix), at("table") + 8);
}

TEST_F(Z80Routines, SumTableOfBytesPlacedByTheTest) {
  start(at("sum_table"));
  const std::vector<uint8_t> values{200, 255, 17, 0, 99};
  for (size_t i = 0; i < values.size(); ++i) machine_.write(0x9000 + i, values[i]);
  machine_.set_reg(Register::ix, 0x9000);
  machine_.set_reg(Register::b, static_cast<uint16_t>(values.size()));
  ASSERT_EQ(call(), StopReason::exited);
  EXPECT_EQ(machine_.reg(Register::hl), 200 + 255 + 17 + 0 + 99);
}

TEST_F(Z80Routines, CopyStringCopiesUpToTheTerminatorAndCounts) {
  start(at("copy_string"));
  const std::string text = "ZORM";
  for (size_t i = 0; i <= text.size(); ++i) machine_.write(0x9000 + i, i < text.size() ? text[i] : 0);
  machine_.write(0x9100 + text.size() + 1, 0x55);  // behind the copy: must stay
  machine_.set_reg(Register::iy, 0x9000);
  machine_.set_reg(Register::ix, 0x9100);
  ASSERT_EQ(call(), StopReason::exited);
  EXPECT_EQ(machine_.reg(Register::bc), text.size());
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(machine_.read(0x9100 + i), text[i]);
  EXPECT_EQ(machine_.read(0x9100 + text.size()), 0);
  EXPECT_EQ(machine_.read(0x9100 + text.size() + 1), 0x55);
  EXPECT_EQ(machine_.reg(Register::ix), 0x9100 + text.size());
}

TEST_F(Z80Routines, FillDownFillsBelowIx) {
  start(at("fill_down"));
  machine_.set_reg(Register::ix, 0x9200);
  machine_.set_reg(Register::b, 5);
  machine_.set_reg(Register::a, 0xAA);
  ASSERT_EQ(call(), StopReason::exited);
  for (uint16_t address = 0x91FB; address < 0x9200; ++address) EXPECT_EQ(machine_.read(address), 0xAA) << address;
  EXPECT_EQ(machine_.read(0x91FA), 0);
  EXPECT_EQ(machine_.read(0x9200), 0);
  EXPECT_EQ(machine_.reg(Register::ix), 0x91FB);
}

TEST_F(Z80Routines, MultiplyGivesTheProductOfHAndE) {
  const std::vector<std::pair<int, int>> cases{{0, 0}, {1, 1}, {12, 13}, {255, 255}, {128, 2}, {7, 0}, {0, 9}};
  for (const auto& [h, e] : cases) {
    start(at("multiply"));
    machine_.set_reg(Register::hl, static_cast<uint16_t>(h << 8));
    machine_.set_reg(Register::de, static_cast<uint16_t>(e));
    ASSERT_EQ(call(), StopReason::exited);
    EXPECT_EQ(machine_.reg(Register::hl), h * e) << h << " * " << e;
  }
}

TEST_F(Z80Routines, TheWordTableHoldsTheRoutineAddresses) {
  start(at("sum_table"));
  const uint16_t words = at("words");
  EXPECT_EQ(machine_.read_word(words), at("sum_table"));
  EXPECT_EQ(machine_.read_word(words + 2), at("copy_string"));
  EXPECT_EQ(machine_.read_word(words + 4), at("fill_down"));
  EXPECT_EQ(machine_.read_word(words + 6), at("multiply"));
  // Call multiply through the table, as a dispatcher would.
  start(machine_.read_word(words + 6));
  machine_.set_reg(Register::hl, 9 << 8);
  machine_.set_reg(Register::de, 11);
  ASSERT_EQ(call(), StopReason::exited);
  EXPECT_EQ(machine_.reg(Register::hl), 99);
}

}  // namespace
}  // namespace zorm::test

#else

TEST(RunningExamples, NeedTheZ80EmulationLibrary) {
  GTEST_SKIP() << "the z80ex emulation library is not available to this build (Debian package libz80ex-dev); "
                  "the bundled examples were not run";
}

#endif
