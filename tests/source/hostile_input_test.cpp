#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

TEST(HostileInput, TenMegabyteLine) {
  // The line comes back in pieces of 251 characters; pieces of blanks are
  // empty statements.
  std::string source = "x equ 1 ;" + std::string(10 * 1024 * 1024, ' ') + "\ny equ 2\n";
  auto a = assemble(source, {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out.substr(0, 300);
  EXPECT_EQ(a->run.assembler->symbols.find("y")->value, 2);
  EXPECT_EQ(a->run.assembler->sources.total_lines_read, 2u);
}

TEST(HostileInput, LongLinesOfTextGiveErrorsButNoCrash) {
  std::string source = "\tdb " + std::string(100000, '1') + "\n";
  auto a = assemble(source, {"-q"});
  EXPECT_EQ(a->run.status, 3);
}

TEST(HostileInput, AFileThatIncludesItself) {
  TempDir dir;
  dir.write("self.asm", "\tinclude \"" + dir.file("self.asm") + "\"\n");
  RunResult run = run_assembler({"-q", dir.file("self.asm")});
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("Include file nesting limit reached."), std::string::npos);
}

TEST(HostileInput, UnreadableFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not keep files unreadable";
  TempDir dir;
  std::string path = dir.write("locked.asm", "nop\n");
  chmod(path.c_str(), 0);
  RunResult run = run_assembler({"-q", path});
  EXPECT_EQ(run.status, 2);
}

TEST(HostileInput, TokensAtTheirLimits) {
  std::string name31(31, 'n');
  std::string name32 = name31 + "x";
  auto a = assemble(name31 + " equ 1\n" + "\tdb \"" + std::string(245, 's') + "\"\n", {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.assembler->symbols.find(name31)->value, 1);
  auto b = assemble(name32 + " equ 1\n", {"-q"});
  EXPECT_EQ(b->run.status, 3);  // the 32nd character begins the next token
  auto c = assemble("\tdb \"" + std::string(251, 's') + "\"\n", {"-q"});
  EXPECT_EQ(c->run.status, 3);
  EXPECT_NE(c->run.out.find("Invalid format."), std::string::npos);
}

TEST(HostileInput, AByteListOf150Items) {
  std::string list = "\tdb 0";
  for (int i = 1; i < 150; ++i) list += ",1";
  auto a = assemble(list + "\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Stack overflow."), std::string::npos);
}

}  // namespace
}  // namespace zorm::test
