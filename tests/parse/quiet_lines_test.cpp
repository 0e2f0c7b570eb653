// Empty lines, comment lines and the lines of false conditional blocks are
// passed over without the lexer where that is quick: they must behave
// exactly as lines the lexer reads, whatever they hold.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// A false block of lines that look like much and are nothing, then an else
// part that is assembled.
const std::string ODD_LINES = std::string(" org 0x100\n if 0\n ld a,1 ; skipped\n") +
                              "x: endif\n"         // a label first: the line is skipped, the block goes on
                              "endif\n"            // in the first column: a label
                              " ENDIF\n endifx\n ifx 1\n elsewhere\n"  // names that are no directive
                              " db endif\n ld else,a\n"                 // directive names as operands
                              " db \"unterminated\n\"alone\n '\n"       // strings that do not end
                              "* star comment\n * 2\n" +
                              std::string(18, '\t') + " ld b,2\n"  // more blanks than a block holds
                              " ld c,3\r\n ld\rd,4\n \x01ld e,5\n"  // carriage returns, a control byte
                              " if 1\n db 9\n else\n db 10\n endif\n"  // a nested block is counted
                              " ; " + std::string(250, 'x') + " endif\n"  // its second piece starts at 'xx'
                              "\n   \n\t;\n"
                              " else\n db 0x11\n endif\n db 0x22\n";

TEST(QuietLines, AFalseBlockOfOddLinesEndsOnlyAtItsOwnElse) {
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"-q", "-x"}, {"-q", "-x", "-i"}, {"-q", "-x", "-l"}}) {
    auto a = assemble(ODD_LINES, options);
    ASSERT_EQ(a->run.status, 0) << a->run.out;
    EXPECT_EQ(a->run.out, "");
    EXPECT_EQ(a->dir.read("t.bin"), "\x11\x22") << options.back();
  }
}

TEST(QuietLines, EveryLineOfTheFalseBlockIsListedOnceAsItWasRead) {
  auto a = assemble(ODD_LINES, {"-q", "-x", "-l"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  const std::string block =
      "0100 =                   org 0x100\n"
      "                         if 0\n"
      "                         ld a,1 ; skipped\n"
      "                        x: endif\n"
      "                        endif\n"
      "                         ENDIF\n"
      "                         endifx\n"
      "                         ifx 1\n"
      "                         elsewhere\n"
      "                         db endif\n"
      "                         ld else,a\n"
      "                         db \"unterminated\n"
      "                        \"alone\n"
      "                         '\n"
      "                        * star comment\n"
      "                         * 2\n"
      "                        \t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t ld b,2\n"
      "                         ld c,3\n"
      "                         ldd,4\n"
      "                         ld e,5\n"
      "                         if 1\n"
      "                         db 9\n"
      "                         else\n"
      "                         db 10\n"
      "                         endif\n"
      "                         ; xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n"
      "                        xx endif\n"
      "                        \n"
      "                           \n"
      "                        \t;\n"
      "                         else\n"
      "0100 : 11                db 0x11\n"
      "                         endif\n"
      "0101 : 22                db 0x22\n";
  EXPECT_NE(a->listing().find(block), std::string::npos) << a->listing();
}

TEST(QuietLines, APieceOfALongLineOrTheEndOfAnExpansionEndsAFalseBlock) {
  // A line is read in pieces of 251 characters; a piece that starts with a
  // blank and endif ends the block like a line of its own. An expansion ends
  // the blocks it opened.
  const std::string source = " org 0x100\n if 0\n ;" + std::string(249, 'x') + " endif\n db 0x33\n" +
                             " if 0\n" + std::string(300, ' ') + "endif\n db 0x44\n" +
                             "half macro\n if 0\n db 0x55\n endm\n half\n db 0x66\n" +
                             " if 0\n\r\n half\n endif\n db 0x77\n";
  for (const std::vector<std::string>& options : {std::vector<std::string>{"-q", "-x"}, {"-q", "-x", "-l"}}) {
    auto a = assemble(source, options);
    ASSERT_EQ(a->run.status, 0) << a->run.out;
    EXPECT_EQ(a->dir.read("t.bin"), "\x33\x44\x66\x77") << options.back();
  }
}

TEST(QuietLines, AnEmptyOrCommentLineEndsTheLineBeforeItForTheLexer) {
  // After a line abandoned behind a name, a '%' at the start of the next
  // line is the operator; after a line end it starts a binary number. The
  // diagnostic's marker shows which.
  auto a = assemble(" org 0x100\n ld a,1 zz\n; comment\n%101\n ld a,1 zz\n\n%101\n ld a,1 zz\n%101\n", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 3);
  const std::string file = std::string(1, '"') + a->dir.file("t.asm") + "\",";
  EXPECT_EQ(a->run.out, "2: ld a,1 zz<<\n" + file + "2 : Syntax error.\n" +
                            "4:%101<<\n" + file + "4 : Expecting label or opcode.\n" +
                            "5: ld a,1 zz<<\n" + file + "5 : Syntax error.\n" +
                            "7:%101<<\n" + file + "7 : Expecting label or opcode.\n" +
                            "8: ld a,1 zz<<\n" + file + "8 : Syntax error.\n" +
                            "9:%<<101\n" + file + "9 : Expecting label or opcode.\n" +
                            "File " + a->dir.file("t.asm") + ", Line 2 : Undefined label zz\n" +
                            "9 lines read, 7 errors in pass 1.\n");
}

TEST(QuietLines, AnUnfinishedFalseBlockAtTheEndIsReportedOnce) {
  auto a = assemble(" nop\n if 0\n nop\n; c\n\n", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_EQ(a->run.out, "ZM80 : If without endif.\n5 lines read, 1 error in pass 1.\n");
}

// The smallest statement limit under which a source assembles.
uint64_t statements_needed(const std::string& source, const std::vector<std::string>& options) {
  TempDir dir;
  std::vector<std::string> args{"zorm"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(dir.write("t.asm", source));
  auto fits = [&](uint64_t limit) {
    TextStream out, err;
    Assembler assembler(out, err);
    assembler.statement_limit = limit;
    const int status = assembler.run(args);
    return status == 0 && assembler.stop_reason == StopReason::none;
  };
  uint64_t low = 1, high = 1000;
  EXPECT_TRUE(fits(high));
  while (low < high) {
    const uint64_t middle = (low + high) / 2;
    if (fits(middle)) high = middle; else low = middle + 1;
  }
  return low;
}

TEST(QuietLines, CountAsTheStatementsTheyWere) {
  // A line that ends at statement level (empty, a comment) is followed by an
  // empty statement, its line end handed out again (a statement with
  // operands takes both); a line a false block drops is one statement, each
  // piece of a long one too. The input ends with two more: a last line end
  // and the end itself.
  for (const std::vector<std::string>& options : {std::vector<std::string>{"-q"}, {"-q", "-l"}}) {
    EXPECT_EQ(statements_needed("\n; c\n* c\n", options), 3u * 2 + 2);
    EXPECT_EQ(statements_needed(" if 0\n nop\n ld a,1\n endif\n", options), 4u + 2);
    EXPECT_EQ(statements_needed(" if 0\n\n nop\n; c\n endif\n nop\n", options), 1u + 2 + 1 + 2 + 1 + 1 + 2);
    EXPECT_EQ(statements_needed(" if 0\n" + std::string(300, 'x') + "\n endif\n", options), 1u + 2 + 1 + 2);
  }
}

}  // namespace
}  // namespace zorm::test
