#include <gtest/gtest.h>

#include <cstring>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// Tokenises one line with the operand-mode lexer (labels are looked up).
class LineLexer {
 public:
  explicit LineLexer(const std::string& line) : as(out, err) {
    as.options.quiet = true;
    std::string text = line + "\n";
    std::memcpy(as.sources.current_line, text.c_str(), text.size() + 1);
    as.lexer.cursor_ = as.sources.current_line;
  }
  std::vector<int> tokens(int raw = 0) {
    std::vector<int> result;
    for (int i = 0; i < 40; ++i) {
      int t = as.lexer.next_token(raw);
      result.push_back(t);
      if (t == TOKEN_NEWLINE || t == TOKEN_NEWLINE2) break;
    }
    return result;
  }
  TextStream out, err;
  Assembler as;
};

TEST(Lexer, DollarPercentAndStar) {
  LineLexer a(" $ $+ $1F");
  EXPECT_EQ(a.tokens(), (std::vector<int>{TOKEN_DOLLAR, TOKEN_DOLLAR, TOKEN_PLUS, TOKEN_NUMBER, TOKEN_NEWLINE}));
  EXPECT_EQ(a.as.values.top().value, 31);
  LineLexer p(" %101 (x)%101");
  auto t = p.tokens();
  EXPECT_EQ(t[0], TOKEN_NUMBER);
  EXPECT_EQ(p.as.values.at(0).value, 5);
  EXPECT_EQ(t[4], TOKEN_PERCENT);
  LineLexer star("* comment");
  EXPECT_EQ(star.tokens(), (std::vector<int>{TOKEN_NEWLINE}));
  LineLexer star2(" * 2");
  EXPECT_EQ(star2.tokens()[0], TOKEN_STAR);
}

TEST(Lexer, OperatorsTakeTheLongestMatch) {
  LineLexer ops(" != ! && & <= << < >> >= > || | == ~ ^");
  EXPECT_EQ(ops.tokens(), (std::vector<int>{TOKEN_NOT_EQUAL, TOKEN_NOT, TOKEN_AND_AND, TOKEN_AMPERSAND, TOKEN_LESS_EQUAL,
                                           TOKEN_SHIFT_LEFT, TOKEN_LESS, TOKEN_SHIFT_RIGHT, TOKEN_GREATER_EQUAL,
                                           TOKEN_GREATER, TOKEN_BAR_BAR, TOKEN_BAR, TOKEN_EQUAL, TOKEN_EQUAL,
                                           TOKEN_TILDE, TOKEN_CARET, TOKEN_NEWLINE}));
}

TEST(Lexer, IdentifiersAreCutAt31Characters) {
  LineLexer l(" " + std::string(40, 'q'));
  auto t = l.tokens(1);
  EXPECT_EQ(t[0], TOKEN_IDENTIFIER);
  EXPECT_EQ(t[1], TOKEN_IDENTIFIER);
  EXPECT_EQ(l.as.lexer.token_length, 9);
}

TEST(Lexer, KeywordsAndAfPrime) {
  LineLexer k(" af,af' db hl HL");
  auto t = k.tokens(1);
  EXPECT_EQ(t, (std::vector<int>{60, TOKEN_COMMA, TOKEN_AF_PRIME, TOKEN_IDENTIFIER, 75, TOKEN_IDENTIFIER, TOKEN_NEWLINE}));
  LineLexer s(" db label xyz");
  s.as.lexer.struct_mode = 1;
  EXPECT_EQ(s.tokens(), (std::vector<int>{TOKEN_KW_DB, TOKEN_KW_LABEL, TOKEN_IDENTIFIER, TOKEN_NEWLINE2}));
  EXPECT_EQ(s.as.values.top().text, "xyz");
}

TEST(Lexer, StringsAndErrors) {
  LineLexer q(" 'ab' \"ab\" '' 'x");
  auto t = q.tokens();
  EXPECT_EQ(t[0], TOKEN_STRING);
  EXPECT_EQ(t[1], TOKEN_STRING);
  EXPECT_EQ(q.as.values.at(0).text, q.as.values.at(1).text);
  EXPECT_EQ(t[2], TOKEN_STRING);
  EXPECT_EQ(t[3], TOKEN_BAD_STRING);
  LineLexer bad(" \\ 1x 0b101");
  EXPECT_EQ(bad.tokens()[0], TOKEN_ERROR);
  LineLexer radix(" 1x");
  EXPECT_EQ(radix.tokens()[0], TOKEN_ERROR);
  LineLexer longstring(" '" + std::string(251, 'x') + "'");
  EXPECT_EQ(longstring.tokens()[0], TOKEN_BAD_STRING);
  LineLexer maxstring(" '" + std::string(250, 'x') + "'");
  EXPECT_EQ(maxstring.tokens()[0], TOKEN_STRING);
}

TEST(Lexer, EveryLineEndsWithTwoNewlineTokens) {
  auto result = assemble("\n");
  EXPECT_EQ(result->run.status, 0);
  LineLexer empty("");
  EXPECT_EQ(empty.as.lexer.next_token(0), TOKEN_NEWLINE);
  EXPECT_EQ(empty.as.lexer.next_token(0), TOKEN_NEWLINE);
  // With no source open the input has ended: one more line end, then the end.
  EXPECT_EQ(empty.as.lexer.next_token(0), TOKEN_NEWLINE);
  EXPECT_EQ(empty.as.lexer.next_token(0), TOKEN_END_OF_INPUT);
  EXPECT_EQ(empty.as.lexer.next_token(0), TOKEN_END_OF_INPUT);
}

TEST(Lexer, DiagnosticMarkerFollowsTheCursor) {
  auto result = assemble("\n\nx equ 1+)+2\n", {"-q"});
  EXPECT_EQ(result->run.out, "3:x equ 1+)<<+2\n\"" + result->dir.file("t.asm") + "\",3 : Syntax error.\n" +
                                 "3 lines read, 1 error in pass 1.\n");
  auto first = assemble("`\n", {"-q"});
  EXPECT_EQ(first->run.out.substr(0, 6), "1:`<<\n");
}

TEST(Lexer, UpperCaseMnemonicsAreNotRecognised) {
  auto result = assemble("x EQU 1\n");
  EXPECT_NE(result->run.out.find("Invalid mnemonic."), std::string::npos);
}

}  // namespace
}  // namespace zorm::test
