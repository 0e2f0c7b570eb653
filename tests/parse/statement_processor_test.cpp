#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

std::string errors(const Assembled& a) {
  // Every diagnostic message, one per line.
  std::string result;
  const std::string& out = a.run.out;
  for (size_t at = out.find(" : "); at != std::string::npos; at = out.find(" : ", at + 1)) {
    size_t end = out.find('\n', at);
    result += out.substr(at + 3, end - at - 3) + "\n";
  }
  return result;
}

const Symbol* symbol(const Assembled& a, const char* name) { return a.run.assembler->symbols.find(name); }

TEST(Statements, LabelsWithAndWithoutColon) {
  auto a = assemble("\torg 0x10\none:\tnop\ntwo\tnop\nthree:\nfour\n", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(symbol(*a, "one")->value, 0x10);
  EXPECT_EQ(symbol(*a, "two")->value, 0x11);
  EXPECT_EQ(symbol(*a, "three")->value, 0x12);
  EXPECT_EQ(symbol(*a, "four")->value, 0x12);
  EXPECT_EQ(symbol(*a, "one")->attributes, 0x05);  // an instruction label in code
  EXPECT_EQ(symbol(*a, "three")->attributes, 0x00);
}

TEST(Statements, LabelAndMnemonicPlacementRules) {
  auto a = assemble("  name:\tnop\nnop\n\tequ 5\nlbl\tif 1\n  123\nx\t= 3\nx = 4\n", {"-q"});
  EXPECT_EQ(errors(*a),
            "Invalid mnemonic.\n"
            "Opcode may not be used as label.\n"
            "Label must be present.\n"
            "No label allowed.\n"
            "Expecting label or opcode.\n");
  EXPECT_EQ(symbol(*a, "x")->value, 4);
  EXPECT_EQ(symbol(*a, "x")->kind, SYM_SET);
  EXPECT_EQ(symbol(*a, "lbl"), nullptr);
}

TEST(Statements, RedefinitionAndErrorTokenAfterLabel) {
  auto a = assemble("dup\tnop\ndup\tnop\nbad `\n", {"-q"});
  EXPECT_EQ(errors(*a), "Redefinition of label.\nInvalid format.\n");
  EXPECT_EQ(symbol(*a, "bad")->value, 2);
}

TEST(Statements, HandlerAndMemoryErrorsAreBothReported) {
  // The handler's range error and the overlap are two diagnostics; the same
  // code from both is printed once.
  auto a = assemble("\tdb 1,2\n\torg 0\n\tdb 3,300\n\torg 1\n\tdb 4\n", {"-q"});
  EXPECT_EQ(errors(*a), "Invalid origin statement.\nValue not within allowed range.\nInvalid origin statement.\n");
  auto c = assemble("\tds 2\n\tdata\n\tdb 3,300\n", {"-q"});
  EXPECT_EQ(errors(*c), "Value not within allowed range.\nOverwriting previously used memory location.\n");
}

TEST(Statements, SkippedLinesHaveNoEffect) {
  auto a = assemble("\tif 0\nlbl\tnop\n\tbogus stuff ` 'unterminated\n\tinclude \"nothing\"\nendif\n\tendif\n", {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(symbol(*a, "lbl"), nullptr);
}

TEST(Statements, UnterminatedLastLineIsAssembled) {
  auto a = assemble("x equ 1\ny equ 2", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(symbol(*a, "y")->value, 2);
}

TEST(Statements, ProcessorSymbolsAndLevels) {
  struct Case {
    const char* option;
    std::vector<const char*> defined;
    std::vector<const char*> absent;
  };
  const Case cases[] = {
      {"-x0", {"__8080__"}, {"__Z80__", "__8085__"}},
      {"-x1", {"__8085__"}, {"__8080__"}},
      {"-x", {"__Z80__"}, {"__Z80X__"}},
      {"-x3", {"__Z80X__", "__Z80__"}, {"__Z180__"}},
      {"-x4", {"__Z180__"}, {"__Z80__"}},
      {"-x5", {"__Z280__"}, {"__Z80__"}},
      {"-x9", {"__8080__"}, {}},
  };
  for (const Case& c : cases) {
    auto a = assemble("", {"-q", c.option});
    for (const char* name : c.defined) EXPECT_EQ(symbol(*a, name)->value, 1) << c.option << " " << name;
    for (const char* name : c.absent) EXPECT_EQ(symbol(*a, name), nullptr) << c.option << " " << name;
  }
  auto d = assemble("", {"-q", "-x2", "-D__Z80__=7"});
  EXPECT_EQ(symbol(*d, "__Z80__")->value, 7);
  auto e = assemble("__Z80__ equ 2\n", {"-q", "-x"});
  EXPECT_EQ(errors(*e), "Redefinition of label.\n");
  auto v = assemble("", {"-v", "-x4"});
  EXPECT_NE(v->run.out.find("Z180 extensions enabled.\n"), std::string::npos);
  auto v0 = assemble("", {"-v"});
  EXPECT_EQ(v0->run.out.find("extensions enabled"), std::string::npos);
}

TEST(Statements, RunSummaries) {
  auto quiet = assemble("\tnop\n", {"-q"});
  EXPECT_EQ(quiet->run.out, "");
  auto verbose = assemble("\tnop\n", {"-v", "-n", "-x"});
  EXPECT_EQ(verbose->run.out.substr(0, verbose->run.out.find("Writing")),
            "ZORM Assembler for i8080 [1.42].  (c) The ZORM developers\n\n"
            "Optimization disabled.\n"
            "Z80 extensions enabled.\n"
            "Pass 1.\n"
            "1 lines read, no errors in pass 1.\n"
            "Pass 2.\n"
            "No errors in pass 2.\n"
            "Checking binary file boundaries.\n");
  auto two = assemble("\tbogus\n\tbogus\n", {"-q"});
  EXPECT_NE(two->run.out.find("2 lines read, 2 errors in pass 1.\n"), std::string::npos);
  auto one = assemble("\tbogus\n", {"-q"});
  EXPECT_NE(one->run.out.find("1 lines read, 1 error in pass 1.\n"), std::string::npos);
  const std::string listing = one->listing();
  EXPECT_EQ(listing.substr(listing.size() - 34), "1 lines read, 1 error in pass 1.\n\f");
  auto nul = assemble("\tnop\n", {"-q", "-onul"});
  EXPECT_EQ(nul->run.status, 0);
  EXPECT_EQ(nul->listing().back(), '\f');
  EXPECT_FALSE(nul->dir.exists("t.bin"));
}

TEST(Statements, IncludeTakesAStringAndNoLabel) {
  auto a = assemble("lbl\tinclude \"x.asm\"\n\tinclude x\n", {"-q"});
  EXPECT_EQ(errors(*a), "No label allowed.\nSyntax error.\nUndefined label x\n");
}

}  // namespace
}  // namespace zorm::test
