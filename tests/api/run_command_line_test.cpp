// run_command_line(): the command line through C streams, in-process.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/assemble.h"
#include "zorm/zorm.h"

namespace zorm::test {
namespace {

// The text written to a temporary C stream, which is closed.
std::string contents(FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> args) {
  args.insert(args.begin(), "zorm");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  const int status = run_command_line(static_cast<int>(args.size()), argv.data(), out, err);
  return Outcome{status, contents(out), contents(err)};
}

TEST(RunCommandLine, WritesWhatTheCommandLineWrites) {
  TempDir dir;
  const std::string source = dir.write("t.asm", "\tnop\n\tdb 1,2\n\tend\n");
  const Outcome outcome = run({"-v", "-s2", "-l", source});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("Writing intel-hex file \"" + dir.file("t.hex") + "\".\n"), std::string::npos);
  EXPECT_EQ(outcome.err, "\rReading from file \"" + source + "\"\n\rReading from file \"" + source + "\"\n");
  EXPECT_EQ(dir.read("t.hex"), ":03000000000102FA\n:00000001FF\n");
  EXPECT_NE(dir.read("t.lst").find("0001 : 0102"), std::string::npos);

  const Outcome usage = run({});
  EXPECT_EQ(usage.status, 1);
  EXPECT_EQ(usage.out.rfind("ZORM Assembler for i8080 [1.42].", 0), 0u);
  EXPECT_EQ(run({dir.file("none.asm")}).status, 2);
  EXPECT_EQ(run({"-q", dir.write("bad.asm", "\tjp nowhere\n")}).status, 3);
}

}  // namespace
}  // namespace zorm::test
