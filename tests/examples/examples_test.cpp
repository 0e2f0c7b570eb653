#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/assemble.h"

namespace zorm::test {
namespace {

const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";

struct Example {
  const char* name;
  std::vector<std::string> options;
};

// Every bundled example assembles to the same bytes as an independent
// assembler (pasmo) produced from the same source: the reference binaries
// next to the sources were written by pasmo, and where pasmo is installed the
// test runs it again.
class Examples : public ::testing::TestWithParam<Example> {};

TEST_P(Examples, MatchTheIndependentAssembler) {
  const Example& example = GetParam();
  TempDir dir;
  std::vector<std::string> args = example.options;
  args.push_back("-q");
  args.push_back("-o" + dir.file("zorm.bin"));
  args.push_back("-l" + dir.file("zorm.lst"));
  args.push_back(EXAMPLES + example.name + ".asm");
  RunResult run = run_assembler(args);
  ASSERT_EQ(run.status, 0) << run.out;
  const std::string ours = dir.read("zorm.bin");
  EXPECT_EQ(ours, read_file(EXAMPLES + example.name + ".pasmo.bin"));
  if (std::system("command -v pasmo >/dev/null 2>&1") == 0) {
    const std::string command = "pasmo " + EXAMPLES + example.name + ".asm " + dir.file("pasmo.bin") + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ours, dir.read("pasmo.bin"));
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, Examples,
                         ::testing::Values(Example{"hello_cpm", {}}, Example{"z80_routines", {"-x"}},
                                           Example{"z80_powers", {"-x"}}),
                         [](const ::testing::TestParamInfo<Example>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zorm::test
