// Scripted terminal sessions through the built zorm-dbg: each folder under
// tests/dbg/sessions holds the arguments (args, one per line), the commands
// typed (commands) and what the session prints (expected), and any files
// the program needs; the bundled examples are there too. Run with
// ZORM_UPDATE_SESSIONS=1 to write the expected outputs anew (then review them).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dbg/child_process.h"
#include "support/temp_dir.h"

namespace zorm::test {
namespace {

const std::string SESSIONS = std::string(ZORM_TEST_DATA_DIR) + "/dbg/sessions/";
const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";

std::vector<std::string> session_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(SESSIONS)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

class TerminalSession : public ::testing::TestWithParam<std::string> {};

TEST_P(TerminalSession, PrintsWhatItPrintedBefore) {
  const std::string folder = SESSIONS + GetParam() + "/";
  TempDir dir;
  for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES)) {
    if (entry.path().extension() == ".asm") std::filesystem::copy(entry.path(), dir.path());
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "args" && name != "commands" && name != "expected") std::filesystem::copy(entry.path(), dir.path());
  }
  std::vector<std::string> argv{ZORM_DBG_PROGRAM};
  for (const std::string& arg : lines_of(read_file(folder + "args"))) argv.push_back(arg);
  std::string out, err;
  const int status = run_child(argv, dir.path(), read_file(folder + "commands"), out, err);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(err, "");
  if (std::getenv("ZORM_UPDATE_SESSIONS") != nullptr) {
    std::ofstream(folder + "expected", std::ios::binary) << out;
    return;
  }
  EXPECT_EQ(out, read_file(folder + "expected"));
}

INSTANTIATE_TEST_SUITE_P(Sessions, TerminalSession, ::testing::ValuesIn(session_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace zorm::test
