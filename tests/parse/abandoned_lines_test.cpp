// A line of a false conditional block is ignored whatever it holds, and a line
// that an error abandons is over: in neither case is the next line read as
// part of it.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// A list of n one-digit items, more than the value stack's 100 when n > 100.
std::string digits(int n) {
  std::string list;
  for (int i = 0; i < n; ++i) {
    if (i != 0) list.push_back(',');
    list.push_back(static_cast<char>('0' + i % 10));
  }
  return list;
}

// The lines of a run that stops after pass 1, each error as the line and the
// message, then the summary.
std::string pass1_report(const Assembled& a, const std::vector<std::pair<std::string, std::string>>& errors,
                         int lines) {
  std::string text;
  for (const auto& [line, message] : errors) text += line + "\n\"" + a.dir.file("t.asm") + "\"," + message + ".\n";
  return text + std::to_string(lines) + " lines read, " + std::to_string(errors.size()) +
         (errors.size() == 1 ? " error" : " errors") + " in pass 1.\n";
}

// ---- lines of false blocks ---------------------------------------------------

TEST(FalseBlockLines, ALongDataLineNeitherOverflowsNorSwallowsTheElse) {
  auto a = assemble(" org 0x200\n if 0\n db " + digits(115) + "\n else\n ld a,7\n endif\n", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.out, "");
  EXPECT_EQ(a->dir.read("t.bin"), "\x3e\x07");
}

TEST(FalseBlockLines, ALongDataLineInTheElsePartOfATrueBlock) {
  auto a = assemble(" org 0x200\n if 1\n ld a,7\n else\n db " + digits(115) + "\n endif\n nop\n", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->dir.read("t.bin"), std::string("\x3e\x07\x00", 3));
}

TEST(FalseBlockLines, AreListedOnceAndTheLineAfterThemIsAssembled) {
  auto a = assemble(" if 0\n dw " + digits(101) + "\n endif\n db 1\n", {"-q", "-l", "-w60"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->listing(),
            "ZORM Assembler for i8080 [1.42].                  Page    1\n"
            "-------------------------- t.asm --------------------------\n"
            "\n"
            "4 lines read, no errors in pass 1.\n"
            "                         if 0\n"
            "                         dw 0,1,2,3,4,5,6,7,8,9,0,1,2,3,4,5\n"
            "                         endif\n"
            "0000 : 01                db 1\n"
            "No errors in pass 2.\n"
            "Wrote binary from address $0000 through $0000.\n"
            "Total size 1 bytes.\n"
            "\f");
}

TEST(FalseBlockLines, OnlyAConditionalDirectiveInOperationPositionCounts) {
  // Nothing on these lines is looked at: numbers and strings, a bad string,
  // illegal bytes, labels, an if and an else in column 0 or after a label,
  // a macro definition with a bad parameter list, an include of a missing
  // file, a structure.
  auto a = assemble(
      " if 0\n"
      " db " + digits(60) + ",\"" + std::string(60, 's') + "\",'q'," + digits(20) + "\n"
      " db \"unterminated\n"
      " db \x01\x02 ` {}\n"
      "lbl else\n"
      "if 1\n"
      "else\n"
      "bad macro 1,2,3\n"
      " local 4\n"
      " endm\n"
      " include \"missing.asm\"\n"
      " struct s\n"
      " db hl\n"
      " end struct\n"
      " " + digits(110) + "\n"
      " else\n"
      " db 0x5a\n"
      " endif\n",
      {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.out, "");
  EXPECT_EQ(a->dir.read("t.bin"), "\x5a");
  EXPECT_EQ(a->run.assembler->symbols.find("lbl"), nullptr);
}

TEST(FalseBlockLines, AnIfInsideAFalseBlockStillHasItsOperandRead) {
  // The operand of a nested if is parsed as usual; an error there ends that
  // line only, and the else after it belongs to the outer block.
  auto a = assemble(" if 0\n if " + std::string(60, '(') + "1" + std::string(60, ')') + "\n else\n db 1\n endif\n",
                    {"-q"});
  EXPECT_EQ(a->run.out,
            pass1_report(*a,
                         {{"2: if " + std::string(50, '(') + "<<" + std::string(10, '(') + "1" + std::string(60, ')'),
                           "2 : Stack overflow"}},
                         5));
}

// ---- errors that abandon a line ----------------------------------------------

TEST(AbandonedLines, DataListsThatOverflowTheStackEndTheirLineOnly) {
  // Each overflowing list is followed by an else: had the list's line taken
  // the else with it, the data after the else would be assembled too, and
  // the endif would be missing.
  std::string locations = "$";
  for (int i = 1; i < 101; ++i) locations += ",$";
  for (const std::string& list : {" db " + digits(101), " dw " + digits(101), " dd " + digits(101), " db " + locations,
                                  " cmap 0," + digits(101)}) {
    auto a = assemble(" if 1\n" + list + "\n else\n db 0xee\n endif\n db 0x5a\n", {"-q", "-p", "-l-"});
    EXPECT_EQ(a->run.status, 3) << list;
    EXPECT_NE(a->run.out.find("\",2 : Stack overflow.\n"), std::string::npos) << a->run.out;
    EXPECT_EQ(a->run.out.find("If without endif"), std::string::npos) << list;
    EXPECT_EQ(a->run.out.find(" ee "), std::string::npos) << list;
    EXPECT_NE(a->run.out.find("0000 : 5a                db 0x5a\n"), std::string::npos) << list;
    EXPECT_NE(a->run.out.find("6 lines read, 1 error in pass 1.\n"), std::string::npos) << a->run.out;
  }
}

TEST(AbandonedLines, AnIfWhoseOperandFailsIsNotExecutedAndTheElseIsReadAlone) {
  auto a = assemble(" if " + std::string(60, '(') + "1" + std::string(60, ')') + "\n else\n db 1\n endif\n", {"-q"});
  EXPECT_EQ(a->run.out,
            pass1_report(*a,
                         {{"1: if " + std::string(50, '(') + "<<" + std::string(10, '(') + "1" + std::string(60, ')'),
                           "1 : Stack overflow"},
                          {"2: else", "2 : Else or endif without if"},
                          {"4: endif", "4 : Else or endif without if"}},
                         4));
}

TEST(AbandonedLines, MacroParameterAndLocalListErrorsEndTheirLineOnly) {
  // The body lines after the error are assembled as ordinary source, the
  // first of them included.
  auto a = assemble("m1 macro a,1\nx1 equ 1\n endm\nm2 macro\n local q,4\nx2 equ 2\n endm\n", {"-q"});
  EXPECT_EQ(a->run.out, pass1_report(*a,
                                     {{"1:m1 macro a<<,1", "1 : Syntax error"},
                                      {"3: endm", "3 : Endm, exitm or local used outside macro"},
                                      {"5: local q,4<<", "5 : Syntax error"},
                                      {"7: endm", "7 : Endm, exitm or local used outside macro"}},
                                     7));
  EXPECT_EQ(a->run.assembler->symbols.find("x1")->value, 1);
  EXPECT_EQ(a->run.assembler->symbols.find("x2")->value, 2);
}

TEST(AbandonedLines, AStructureBodyErrorEndsTheStructureAndItsLineOnly) {
  // The keyword z is no structure word: the lexer reports it and ends the
  // line, and the parser, left without the body's line end, reports the
  // line once more. The next line is a statement of its own.
  auto a = assemble(" struct pt\n db one\n ds z,2\ntwo equ 2\n end struct\nthree equ 3\n", {"-q"});
  EXPECT_EQ(a->run.out, pass1_report(*a,
                                     {{"3: ds z<<,2", "3 : Invalid mnemonic"},
                                      {"3: ds z,2", "3 : Syntax error"},
                                      {"5: end struct<<", "5 : Syntax error"}},
                                     6));
  EXPECT_EQ(a->run.assembler->symbols.find("two")->value, 2);
  EXPECT_EQ(a->run.assembler->symbols.find("three")->value, 3);
}

}  // namespace
}  // namespace zorm::test
