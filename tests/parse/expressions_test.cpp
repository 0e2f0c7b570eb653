#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// The value an equ line gives its label, or the first diagnostic.
std::string value_of(const std::string& expression, const std::vector<std::string>& options = {}) {
  auto result = assemble("x equ " + expression + "\n", options);
  if (result->run.status != 0) {
    const std::string& out = result->run.out;
    size_t colon = out.find(" : ");
    return "error: " + out.substr(colon + 3, out.find('\n', colon) - colon - 3);
  }
  return std::to_string(result->run.assembler->symbols.find("x")->value);
}

TEST(Expressions, ArithmeticWrapsAndTruncates) {
  EXPECT_EQ(value_of("7/2"), "3");
  EXPECT_EQ(value_of("-7/2"), "-3");
  EXPECT_EQ(value_of("-7%2"), "-1");
  EXPECT_EQ(value_of("1<<33"), "2");
  EXPECT_EQ(value_of("-16>>2"), "-4");
  EXPECT_EQ(value_of("0x7fffffff+1"), "-2147483648");
  EXPECT_EQ(value_of("(0-0x7fffffff-1)/-1"), "-2147483648");
  EXPECT_EQ(value_of("(0-0x7fffffff-1)%-1"), "0");
  EXPECT_EQ(value_of("5/0"), "error: Division by zero.");
  EXPECT_EQ(value_of("5%0"), "error: Division by zero.");
}

TEST(Expressions, RelationalAndLogical) {
  EXPECT_EQ(value_of("3=3"), "1");
  EXPECT_EQ(value_of("2<3<1"), "0");
  EXPECT_EQ(value_of("5&&0"), "0");
  EXPECT_EQ(value_of("0||7"), "1");
  EXPECT_EQ(value_of("-1<0"), "1");
  EXPECT_EQ(value_of("3!=4"), "1");
  EXPECT_EQ(value_of("1|2^3&6"), "1");
}

TEST(Expressions, PrecedenceAndUnary) {
  EXPECT_EQ(value_of("2+3*4"), "14");
  EXPECT_EQ(value_of("(2+3)*4"), "20");
  EXPECT_EQ(value_of("1+2<<3"), "24");
  EXPECT_EQ(value_of("hi 300"), "1");
  EXPECT_EQ(value_of("lo 300"), "44");
  EXPECT_EQ(value_of("hi -1"), "255");
  EXPECT_EQ(value_of("hi 0x1234+0x100"), "19");
  EXPECT_EQ(value_of("1+hi 2"), "error: Syntax error.");
  EXPECT_EQ(value_of("--1"), "error: Syntax error.");
  EXPECT_EQ(value_of("!-1"), "0");
  EXPECT_EQ(value_of("~~5"), "5");
  EXPECT_EQ(value_of("-(2+3)"), "-5");
}

TEST(Expressions, NumbersInEveryNotation) {
  EXPECT_EQ(value_of("0x1F"), "31");
  EXPECT_EQ(value_of("0b101"), "5");
  EXPECT_EQ(value_of("16#1f"), "31");
  EXPECT_EQ(value_of("#1F"), "31");
  EXPECT_EQ(value_of("$1F"), "31");
  EXPECT_EQ(value_of("@17"), "15");
  EXPECT_EQ(value_of("%101"), "5");
  EXPECT_EQ(value_of("7 % 4"), "3");
  EXPECT_EQ(value_of("(9)%4"), "1");
  EXPECT_EQ(value_of("1x"), "error: Invalid format.");
  EXPECT_EQ(value_of("37#1"), "error: Invalid format.");
  EXPECT_EQ(value_of("0x"), "0");
  EXPECT_EQ(value_of("4294967296"), "0");
}

TEST(Expressions, StringsAsNumbers) {
  EXPECT_EQ(value_of("'A'"), "65");
  EXPECT_EQ(value_of("\"A\""), "65");
  EXPECT_EQ(value_of("'AB'"), "16706");
  EXPECT_EQ(value_of("'ABCD'"), std::to_string(0x41424344));
  EXPECT_EQ(value_of("'ABC'"), "error: Value not within allowed range.");
  EXPECT_EQ(value_of("''"), "0");
  EXPECT_EQ(value_of("'\\xff'"), "-1");
  EXPECT_EQ(value_of("'\\n'"), "10");
  EXPECT_EQ(value_of("'abc"), "error: Invalid format.");
}

TEST(Expressions, LocationCounter) {
  auto result = assemble("\torg 0x1234\nhere equ $+1\nthere equ *\n");
  EXPECT_EQ(result->run.assembler->symbols.find("here")->value, 0x1235);
  EXPECT_EQ(result->run.assembler->symbols.find("there")->value, 0x1234);
}

TEST(Expressions, DecodeEscapes) {
  auto decoded = [](std::string text) {
    decode_escapes(text);
    return text;
  };
  EXPECT_EQ(decoded("\\65\\065\\x41"), "AAA");
  EXPECT_EQ(decoded("\\a\\b\\e\\f\\n\\r\\t\\v"), std::string("\a\b\x1b\f\n\r\t\v"));
  EXPECT_EQ(decoded("\\\\\\'\\\""), "\\'\"");
  EXPECT_EQ(decoded("\\xg"), std::string("\0g", 2));
  EXPECT_EQ(decoded("\\300"), std::string(1, static_cast<char>(300 & 0xFF)));
  EXPECT_EQ(decoded("\\1234"), std::string("{4"));
  EXPECT_EQ(decoded("ab\\"), "ab");
}

TEST(Expressions, ValueStackOverflow) {
  // 101 pending items: the statement ends and the next line is a statement
  // of its own.
  std::string list = "\tdw 1";
  for (int i = 0; i < 100; ++i) list += ",1";
  auto result = assemble(list + "\nx equ 5\n");
  EXPECT_EQ(result->run.status, 3);
  EXPECT_NE(result->run.out.find("Stack overflow."), std::string::npos);
  EXPECT_EQ(result->run.assembler->symbols.find("x")->value, 5);
}

}  // namespace
}  // namespace zorm::test
