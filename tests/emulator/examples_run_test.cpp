// The bundled examples prove themselves by running: ZORM assembles each one to
// Intel hex, the object file is loaded into an emulated Z80 (the z80ex
// library), and the program's console output, captured through a trapped
// CP/M BDOS call, or a routine's results in registers and memory are checked.
// The 8080 example runs on the Z80 as well, since it uses only the common
// instructions. Without the emulation library the tests are skipped, visibly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "emulator/z80_machine.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";

// One example assembled by ZORM to Intel hex, with its symbol table.
struct Program {
  HexImage image;
  std::map<std::string, long> symbols;

  uint16_t symbol(const std::string& name) const {
    auto found = symbols.find(name);
    if (found == symbols.end()) throw std::runtime_error("no symbol " + name);
    return static_cast<uint16_t>(found->second);
  }
};

Program assemble_example(const std::string& name, const std::vector<std::string>& options) {
  TempDir dir;
  std::vector<std::string> args = options;
  for (const char* option : {"-q", "-s2", "-t"}) args.emplace_back(option);
  args.push_back("-o" + dir.file("out.hex"));
  args.push_back("-l" + dir.file("out.lst"));
  args.push_back(EXAMPLES + name + ".asm");
  RunResult run = run_assembler(args);
  if (run.status != 0) throw std::runtime_error("zorm failed on " + name + ":\n" + run.out);
  Program program;
  program.image = read_intel_hex(dir.read("out.hex"));
  program.symbols = read_symbol_table(dir.read("out.lst"));
  return program;
}

// These need no emulator: the new example is checked against the binary that
// the independent assembler pasmo made from the same source, like the others.
TEST(SieveExample, MatchesTheIndependentAssembler) {
  TempDir dir;
  RunResult run = run_assembler({"-x", "-q", "-o" + dir.file("zorm.bin"), "-l" + dir.file("zorm.lst"),
                                 EXAMPLES + "z80_sieve.asm"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(dir.read("zorm.bin"), read_file(EXAMPLES + "z80_sieve.pasmo.bin"));
  if (std::system("command -v pasmo >/dev/null 2>&1") == 0) {
    const std::string command = "pasmo " + EXAMPLES + "z80_sieve.asm " + dir.file("pasmo.bin") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(dir.read("zorm.bin"), dir.read("pasmo.bin"));
  }
}

TEST(ExampleReaders, ReadTheAssemblersOwnOutputs) {
  const Program program = assemble_example("hello_cpm", {});
  ASSERT_TRUE(program.image.start_address.has_value());
  EXPECT_EQ(*program.image.start_address, 0x0100);
  EXPECT_EQ(program.symbol("start"), 0x0100);
  EXPECT_EQ(program.symbol("bdos"), 5);
  EXPECT_EQ(program.image.bytes.count(0x0100), 1u);
  EXPECT_EQ(program.image.bytes.count(0x00FF), 0u);
  EXPECT_THROW(read_intel_hex(":0100000000FE\n"), std::runtime_error);  // checksum off by one
}

#ifdef ZORM_EMULATOR_AVAILABLE

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

// Loads an example and runs it as a CP/M program from its start address (the
// operand of its end statement, carried by the hex file's end record).
std::string run_cpm(const std::string& name, const std::vector<std::string>& options, Z80Machine& machine) {
  const Program program = assemble_example(name, options);
  machine.load(program.image);
  if (!program.image.start_address) return "<no start address>";
  const Z80Machine::Stop stop = machine.run_program(*program.image.start_address);
  if (stop != Z80Machine::Stop::WarmStart) return "<did not return to CP/M>" + machine.console;
  return machine.console;
}

TEST(RunningExamples, HelloCpmPrintsItsGreetingAt8080Level) {
  Z80Machine machine;
  EXPECT_EQ(run_cpm("hello_cpm", {}, machine), "Hello from ZORM\r\n");
  EXPECT_EQ(machine.bdos_calls, 17u);  // one console call per character
}

TEST(RunningExamples, HelloCpmRunsTheSameWithZ80BranchOptimisation) {
  // At the Z80 level the backward jp becomes a two-byte jr: the program is
  // shorter and must still behave the same.
  const Program at_8080 = assemble_example("hello_cpm", {});
  const Program at_z80 = assemble_example("hello_cpm", {"-x"});
  EXPECT_LT(at_z80.image.bytes.size(), at_8080.image.bytes.size());
  Z80Machine machine;
  EXPECT_EQ(run_cpm("hello_cpm", {"-x"}, machine), "Hello from ZORM\r\n");
}

TEST(RunningExamples, SievePrintsThePrimesBelow256) {
  std::string expected;
  const std::vector<int> primes = primes_below_256();
  for (size_t i = 0; i < primes.size(); ++i) expected += (i == 0 ? "" : " ") + std::to_string(primes[i]);
  expected += "\r\n" + std::to_string(primes.size()) + " primes below 256\r\n";

  Z80Machine machine;
  EXPECT_EQ(run_cpm("z80_sieve", {"-x"}, machine), expected);
  ASSERT_EQ(primes.size(), 54u);
  EXPECT_EQ(machine.memory[0x9200], 54);
  for (size_t i = 0; i < primes.size(); ++i) EXPECT_EQ(machine.memory[0x9100 + i], primes[i]) << "prime " << i;
  for (int n = 2; n < 256; ++n) {
    const bool prime = std::find(primes.begin(), primes.end(), n) != primes.end();
    EXPECT_EQ(machine.memory[0x9000 + n], prime ? 0 : 1) << "flag of " << n;
  }
}

TEST(RunningExamples, SieveRunsTheSameWithoutBranchOptimisation) {
  Z80Machine optimised, plain;
  EXPECT_EQ(run_cpm("z80_sieve", {"-x", "-n"}, plain), run_cpm("z80_sieve", {"-x"}, optimised));
}

class Z80Routines : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = assemble_example("z80_routines", {"-x"});
    machine_.load(program_.image);
  }
  uint16_t at(const std::string& name) const { return program_.symbol(name); }

  Program program_;
  Z80Machine machine_;
};

TEST_F(Z80Routines, SumTableAddsTheEightTableBytes) {
  machine_.set_reg(regIX, at("table"));
  machine_.set_reg(regBC, 0x0800);  // b = 8 entries
  ASSERT_EQ(machine_.call(at("sum_table")), Z80Machine::Stop::WarmStart);
  EXPECT_EQ(machine_.reg(regHL), 36);  // 1 + 2 + ... + 8
  EXPECT_EQ(machine_.reg(regBC) >> 8, 0);
  EXPECT_EQ(machine_.reg(regIX), at("table") + 8);
}

TEST_F(Z80Routines, SumTableOfBytesPlacedByTheTest) {
  const std::vector<uint8_t> values{200, 255, 17, 0, 99};
  for (size_t i = 0; i < values.size(); ++i) machine_.memory[0x9000 + i] = values[i];
  machine_.set_reg(regIX, 0x9000);
  machine_.set_reg(regBC, static_cast<uint16_t>(values.size() << 8));
  ASSERT_EQ(machine_.call(at("sum_table")), Z80Machine::Stop::WarmStart);
  EXPECT_EQ(machine_.reg(regHL), 200 + 255 + 17 + 0 + 99);
}

TEST_F(Z80Routines, CopyStringCopiesUpToTheTerminatorAndCounts) {
  const std::string text = "ZORM";
  for (size_t i = 0; i <= text.size(); ++i) machine_.memory[0x9000 + i] = i < text.size() ? text[i] : 0;
  machine_.memory[0x9100 + text.size() + 1] = 0x55;  // behind the copy: must stay
  machine_.set_reg(regIY, 0x9000);
  machine_.set_reg(regIX, 0x9100);
  ASSERT_EQ(machine_.call(at("copy_string")), Z80Machine::Stop::WarmStart);
  EXPECT_EQ(machine_.reg(regBC), text.size());
  for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(machine_.memory[0x9100 + i], text[i]);
  EXPECT_EQ(machine_.memory[0x9100 + text.size()], 0);
  EXPECT_EQ(machine_.memory[0x9100 + text.size() + 1], 0x55);
  EXPECT_EQ(machine_.reg(regIX), 0x9100 + text.size());
}

TEST_F(Z80Routines, FillDownFillsBelowIx) {
  machine_.set_reg(regIX, 0x9200);
  machine_.set_reg(regBC, 0x0500);
  machine_.set_reg(regAF, 0xAA00);
  ASSERT_EQ(machine_.call(at("fill_down")), Z80Machine::Stop::WarmStart);
  for (uint16_t address = 0x91FB; address < 0x9200; ++address) EXPECT_EQ(machine_.memory[address], 0xAA) << address;
  EXPECT_EQ(machine_.memory[0x91FA], 0);
  EXPECT_EQ(machine_.memory[0x9200], 0);
  EXPECT_EQ(machine_.reg(regIX), 0x91FB);
}

TEST_F(Z80Routines, MultiplyGivesTheProductOfHAndE) {
  const std::vector<std::pair<int, int>> cases{{0, 0}, {1, 1}, {12, 13}, {255, 255}, {128, 2}, {7, 0}, {0, 9}};
  for (const auto& [h, e] : cases) {
    machine_.set_reg(regHL, static_cast<uint16_t>(h << 8));
    machine_.set_reg(regDE, static_cast<uint16_t>(e));
    ASSERT_EQ(machine_.call(at("multiply")), Z80Machine::Stop::WarmStart);
    EXPECT_EQ(machine_.reg(regHL), h * e) << h << " * " << e;
  }
}

TEST_F(Z80Routines, TheWordTableHoldsTheRoutineAddresses) {
  const uint16_t words = at("words");
  EXPECT_EQ(machine_.word_at(words), at("sum_table"));
  EXPECT_EQ(machine_.word_at(words + 2), at("copy_string"));
  EXPECT_EQ(machine_.word_at(words + 4), at("fill_down"));
  EXPECT_EQ(machine_.word_at(words + 6), at("multiply"));
  // Call multiply through the table, as a dispatcher would.
  machine_.set_reg(regHL, 9 << 8);
  machine_.set_reg(regDE, 11);
  ASSERT_EQ(machine_.call(machine_.word_at(words + 6)), Z80Machine::Stop::WarmStart);
  EXPECT_EQ(machine_.reg(regHL), 99);
}

TEST(RunningExamples, TheMachineStopsAProgramThatNeverEnds) {
  Z80Machine machine;
  machine.memory[0x0100] = 0x18;  // jr $
  machine.memory[0x0101] = 0xFE;
  EXPECT_EQ(machine.run_program(0x0100, 1000), Z80Machine::Stop::StepLimit);
}

#else

TEST(RunningExamples, NeedTheZ80EmulationLibrary) {
  GTEST_SKIP() << "the z80ex emulation library is not available to this build (Debian package libz80ex-dev); "
                  "the bundled examples were not run";
}

#endif

}  // namespace
}  // namespace zorm::test
