#include <gtest/gtest.h>

#include "codegen/registers.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

std::string nested(int depth, const std::string& inner) {
  return std::string(static_cast<size_t>(depth), '(') + inner + std::string(static_cast<size_t>(depth), ')');
}

TEST(OperandParser, ParenthesisDecisions) {
  EXPECT_EQ(encode("\tld a,(1234)\n", {"-x"}), "3A D2 04");
  EXPECT_EQ(encode("\tld a,(1+2)*3\n", {"-x"}), "3E 09");
  EXPECT_EQ(encode("\tld b,(1)+2\n", {"-x"}), "06 03");
  EXPECT_EQ(encode("\tadd a,(5)\n", {"-x"}), "error: Syntax error.");
  EXPECT_EQ(encode("\tjp [label]\nlabel\n", {"-x"}), "error: Syntax error.");
  EXPECT_EQ(encode("\tjp (hl)\n\tjp [ix]\n", {"-x"}), "E9 DD E9");
  EXPECT_EQ(encode("\tld hl,(1234)\n\tld (1234),hl\n", {"-x"}), "2A D2 04 22 D2 04");
  EXPECT_EQ(encode("\tdb (5),'AB',(1)+1\n"), "05 41 42 02");
  EXPECT_EQ(encode("\ttstio (5),3\n", {"-x4"}), "ED 74 03");
  EXPECT_EQ(encode("\ttstio (5)\n", {"-x4"}), "error: Syntax error.");
}

TEST(OperandParser, StackLimitOfFiftyStates) {
  EXPECT_EQ(encode("\tdb " + nested(40, "1") + "\n"), "01");
  EXPECT_EQ(encode("\tdb " + nested(47, "1") + "\n"), "01");
  EXPECT_EQ(encode("\tdb " + nested(48, "1") + "\n"), "error: Stack overflow.");
  EXPECT_EQ(encode("\tdb " + nested(50, "1") + "\n"), "error: Stack overflow.");
  EXPECT_EQ(encode("\tdb " + nested(60, "1") + "\n"), "error: Stack overflow.");
}

TEST(OperandParser, KeptPathsGiveTheTablesDecisions) {
  // The same token codes again and again, with values that make an action
  // fail one time and not the other, and paths that end at the stack limit
  // after a kept beginning; each line differs so that none is replayed whole.
  std::string source;
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i);
    const std::string divisor = std::to_string(2 - i);  // zero last, on a kept path
    source += "\tdb 6/" + divisor + "," + n + "\n";
    source += "\tld a,(ix+" + n + ")\n";
    source += "\tdb " + nested(40 + 4 * i, n) + "\n";
    source += "\tdb " + nested(46 + i, n) + "," + n + "\n";
  }
  TempDir dir;
  const std::string path = dir.write("t.asm", source);
  // Two runs, with kept paths and with every look-ahead decided by the tables.
  auto run = [&](bool remember) {
    TextStream out;
    TextStream err;
    Assembler as(out, err);
    as.parser.remember_paths = remember;
    const int status = as.run(std::vector<std::string>{"zorm", "-x", "-l" + dir.file("t.lst"), path});
    return std::to_string(status) + "\n" + out.text() + dir.read("t.lst");
  };
  const std::string with = run(true);
  EXPECT_EQ(with, run(false));
  EXPECT_EQ(with.substr(0, 2), "3\n");
  EXPECT_NE(with.find("Division by zero"), std::string::npos) << with;
  EXPECT_NE(with.find("Stack overflow"), std::string::npos) << with;
}

// The actions the parser takes itself and those it hands on: a form and a
// condition are noted, a register is admitted by the processor, an error
// action gives its code, and an action the grammar does not have is a syntax
// error.
TEST(OperandParser, ActionsOfEveryKind) {
  TextStream out, err;
  Assembler as(out, err);
  as.options.quiet = true;
  EXPECT_EQ(as.parser.action_error(0, 3), 0);
  EXPECT_EQ(as.encoding.statement_form, 3);
  EXPECT_EQ(as.parser.action_error(1, 5), 0);
  EXPECT_EQ(as.encoding.condition_code, 5);
  EXPECT_EQ(as.parser.action_error(4, ERROR_SYNTAX), ERROR_SYNTAX);
  EXPECT_EQ(as.parser.action_error(4, 0), 0);
  as.values.clear();
  as.processor_level = 2;
  EXPECT_EQ(as.parser.action_error(2, REG_IXH), ERROR_SYNTAX);  // index bytes at levels 3 and 5 only
  EXPECT_EQ(as.parser.action_error(2, 7), 0);
  ASSERT_EQ(as.values.size(), 1);
  EXPECT_EQ(as.values.top().kind, VALUE_REGISTER);
  EXPECT_EQ(as.values.top().value, 7);
  as.processor_level = 3;
  EXPECT_EQ(as.parser.action_error(2, REG_IXH), 0);
  EXPECT_EQ(as.values.size(), 2);
  as.processor_level = 0;
  EXPECT_EQ(as.parser.action_error(2, REG_IXH), ERROR_SYNTAX);
  EXPECT_EQ(as.parser.action_error(3, 0), ERROR_SYNTAX);  // no index registers at the 8080 levels
  as.values.push(VALUE_NUMBER, 6);
  EXPECT_EQ(as.parser.action_error(9, 1), 0);  // an operator of the expressions
  EXPECT_EQ(as.parser.action_error(99, 0), ERROR_SYNTAX);
  EXPECT_EQ(as.parser.action_error(13, 0), ERROR_SYNTAX);
}

TEST(OperandParser, BadTokensAreInvalidFormat) {
  EXPECT_EQ(encode("\tdb 1x\n"), "error: Invalid format.");
  EXPECT_EQ(encode("\tdb 'abc\n"), "error: Invalid format.");
  EXPECT_EQ(encode("\tdb 1,`\n"), "error: Invalid format.");
  EXPECT_EQ(encode("\tdb 1 2\n"), "error: Syntax error.");
}

TEST(OperandParser, ConditionAndFormNumbers) {
  auto ret = assemble("\tret\n", {"-q", "-x"});
  EXPECT_EQ(ret->run.assembler->encoding.condition_code, -1);
  auto call = assemble("\tcall nz,0x1234\n", {"-q", "-x"});
  EXPECT_EQ(call->run.assembler->encoding.condition_code, 0);
  EXPECT_EQ(call->run.assembler->encoding.statement_form, 0);
  auto in = assemble("\tin (c)\n", {"-q", "-x"});
  EXPECT_EQ(in->run.assembler->encoding.statement_form, 2);
}

TEST(OperandParser, StructBodiesSpanLines) {
  auto a = assemble("\tstruct pt\n\n\tdw px ; comment\n\n\tend struct\nafter equ 1\n", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.assembler->symbols.find("pt")->value, 2);
  EXPECT_EQ(a->run.assembler->symbols.find("after")->value, 1);
}

}  // namespace
}  // namespace zorm::test
