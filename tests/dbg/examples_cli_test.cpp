// Every bundled example runs to its end through the built "zorm-dbg run"
// with the output it is known to print: each is assembled by the built zorm
// with the options its "Assemble with:" comment names, and its output is
// compared with tests/dbg/examples/NAME.out. An example without such a file
// fails, so none is left out.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dbg/child_process.h"
#include "support/temp_dir.h"

namespace zorm::test {
namespace {

const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";
const std::string EXPECTED = std::string(ZORM_TEST_DATA_DIR) + "/dbg/examples/";

// The options between "zorm" and the file name in "; Assemble with: zorm ...".
std::vector<std::string> assembly_options(const std::string& source) {
  std::istringstream lines(source);
  std::string line;
  const std::string marker = "Assemble with: zorm ";
  while (std::getline(lines, line)) {
    const size_t at = line.find(marker);
    if (at == std::string::npos) continue;
    std::istringstream words(line.substr(at + marker.size()));
    std::vector<std::string> options;
    std::string word;
    while (words >> word && word[0] == '-') options.push_back(word);
    return options;
  }
  return {};
}

std::vector<std::string> example_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES)) {
    if (entry.path().extension() == ".asm") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ExamplesThroughZormDbg, EveryExampleRunsToItsEndWithItsOutput) {
  const std::vector<std::string> names = example_names();
  ASSERT_GE(names.size(), 4u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TempDir dir;
    const std::string source = read_file(EXAMPLES + name + ".asm");
    dir.write(name + ".asm", source);
    std::vector<std::string> zorm{ZORM_PROGRAM, "-q", "-g", "-s2"};
    for (const std::string& option : assembly_options(source)) zorm.push_back(option);
    zorm.push_back(name + ".asm");
    std::string out, err;
    ASSERT_EQ(run_child(zorm, dir.path(), "", out, err), 0) << out << err;

    ASSERT_TRUE(std::filesystem::exists(EXPECTED + name + ".out")) << "no expected output for the example " << name;
    const int status = run_child({ZORM_DBG_PROGRAM, "run", "--budget", "10000000", name + ".hex"}, dir.path(), "",
                                 out, err);
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(out, read_file(EXPECTED + name + ".out"));
  }
}

}  // namespace
}  // namespace zorm::test
