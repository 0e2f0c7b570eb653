#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

const Symbol* symbol(const Assembled& a, const char* name) { return a.run.assembler->symbols.find(name); }

// The stored body of a macro the assembly defined.
std::string body_of(const Assembled& a, const char* name) {
  const SymbolTable& table = a.run.assembler->symbols;
  const Symbol* macro = table.find(name);
  if (macro == nullptr) return "<no symbol>";
  const auto body = table.macro_body(*macro);
  return body ? *body : "<no body>";
}

TEST(Macros, ParametersAreNumberedAndQuotedTextIsLeftAlone) {
  auto a = assemble("mv\tmacro x,y\n\tld x,y\n\tdb \"x,y\",'x'\n\tendm\n", {"-q", "-x"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(symbol(*a, "mv")->kind, SYM_MACRO);
  EXPECT_EQ(body_of(*a, "mv"), "\tld \\1,\\2\n\tdb \"x,y\",'\\1'\n");
}

TEST(Macros, CallsSubstituteArguments) {
  auto a = assemble("mv\tmacro x,y\n\tld x,y\n\tendm\n\tmv a,b\n\tmv h\n", {"-q", "-x"});
  ASSERT_EQ(a->run.status, 3);  // "ld h," is a syntax error: the second argument is missing
  auto b = assemble("two\tmacro u,w\n\tdb u\n\tdb w\n\tendm\n\ttwo 1, 2\n", {"-q"});
  ASSERT_EQ(b->run.status, 0) << b->run.out;
  EXPECT_EQ(b->bytes(0, 2), (std::vector<uint8_t>{1, 2}));
}

TEST(Macros, ArgumentCountAndSerialNumbers) {
  auto a = assemble(
      "cnt\tmacro\n\tdb \\0\n\tendm\n"
      "lp\tmacro\n\tlocal here\nhere     nop\n\tdw here\n\tendm\n"
      "\tcnt 1,2,3\n\tcnt\n\tcnt 1,\n\tlp\n\tlp\n",
      {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->bytes(0, 3), (std::vector<uint8_t>{3, 0, 1}));
  EXPECT_EQ(body_of(*a, "lp"), "here\\? nop\n\tdw here\\?\n");
  // cnt used serials 1..3, so the two lp expansions are 0004 and 0005.
  EXPECT_EQ(symbol(*a, "here0004")->value, 3);
  EXPECT_EQ(symbol(*a, "here0005")->value, 6);
}

TEST(Macros, ParameterListErrors) {
  auto a = assemble("mc\tmacro a,hl\n\tnop\n\tendm\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Syntax error."), std::string::npos);
  // The body was assembled as ordinary source: its endm is out of place.
  EXPECT_NE(a->run.out.find("Endm, exitm or local used outside macro."), std::string::npos);
  std::string ten = "mc\tmacro p1,p2,p3,p4,p5,p6,p7,p8,p9,p10\n\tendm\n";
  auto b = assemble(ten, {"-q"});
  EXPECT_EQ(b->run.status, 4);
  EXPECT_NE(b->run.out.find("No memory."), std::string::npos);
}

TEST(Macros, LocalAndBodyLimitsAreFatal) {
  std::string locals = "mc\tmacro\n\tlocal q1";
  for (int i = 2; i <= 21; ++i) locals += ",q" + std::to_string(i);
  auto a = assemble(locals + "\n\tendm\n", {"-q"});
  EXPECT_EQ(a->run.status, 4);
  EXPECT_NE(a->run.out.find("No memory."), std::string::npos);
  std::string twenty = "mc\tmacro\n\tlocal q1";
  for (int i = 2; i <= 20; ++i) twenty += ",q" + std::to_string(i);
  EXPECT_EQ(assemble(twenty + "\n\tendm\n", {"-q"})->run.status, 0);
  // The body buffer holds 5000 bytes and needs 256 free before each line.
  std::string body = "big\tmacro\n";
  for (int i = 0; i < 200; ++i) body += "\tdb 1,2,3,4,5,6,7,8,9,10,11,12\n";
  auto b = assemble(body + "\tendm\n", {"-q"});
  EXPECT_EQ(b->run.status, 4);
  EXPECT_NE(b->run.out.find("No memory."), std::string::npos);
}

TEST(Macros, MissingEndmAndRedefinition) {
  auto a = assemble("mc\tmacro\n\tnop\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Error in macro definition."), std::string::npos);
  auto b = assemble("mc\tequ 1\nmc\tmacro\n\tendm\n", {"-q"});
  EXPECT_NE(b->run.out.find("Redefinition of label."), std::string::npos);
  auto c = assemble("mc\tmacro\n\tdb 1\n\tendm\nmc\tmacro\n\tdb 2\n\tendm\n\tmc\n", {"-q"});
  ASSERT_EQ(c->run.status, 0) << c->run.out;
  EXPECT_EQ(c->bytes(0, 1), std::vector<uint8_t>{2});
}

// A call expands the definition in force where it stands, in pass 2 as in
// pass 1: pass 2 once expanded the last definition of pass 1 everywhere, so
// the first call placed 2,3 where pass 1 had laid out 1.
TEST(Macros, ACallExpandsTheDefinitionAboveItInBothPasses) {
  auto a = assemble("mc\tmacro\n\tdb 1\n\tendm\n\tmc\nmc\tmacro\n\tdb 2,3\n\tendm\n\tmc\nafter\n", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->dir.read("t.bin"), std::string("\1\2\3", 3));
  EXPECT_EQ(symbol(*a, "after")->value, 3);
}

// A macro defined again while it expands (here by a file it includes) goes
// on with the body it started with; the new one serves the later calls. The
// old body was freed under the running expansion.
TEST(Macros, DefinedAgainWhileItExpandsItKeepsItsBody) {
  TempDir dir;
  dir.write("redef.asm", "mc\tmacro\n\tdb 9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9\n\tendm\n");
  const std::string source = dir.write("t.asm", "mc\tmacro\n\tdb 1\n\tinclude \"redef.asm\"\n\tdb 2\n\tendm\n\tmc\n\tmc\n");
  const RunResult run = run_assembler({"-q", "-I" + dir.path(), "-o" + dir.file("t.bin"), source});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(dir.read("t.bin"), std::string("\1\2", 2) + std::string(32, '\x09'));
}

TEST(Macros, ExitmAndConditionalDepth) {
  auto a = assemble(
      "mc\tmacro\n\tdb 1\n\tif 1\n\texitm\n\tendif\n\tdb 2\n\tendm\n\tmc\n\tdb 3\n"
      "open\tmacro\n\tif 0\n\tendm\n\topen\n\tdb 4\n",
      {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->bytes(0, 3), (std::vector<uint8_t>{1, 3, 4}));
  auto b = assemble("\texitm\n\tendm\n\tlocal x\n", {"-q"});
  EXPECT_EQ(b->run.out.find("Endm, exitm or local used outside macro."), b->run.out.find("Endm"));
}

TEST(Macros, ErrorsInsideExpansionsNameTheMacro) {
  auto a = assemble("\n\nbad\tmacro\n\tnop\n\tbogus\n\tendm\n\tbad\n", {"-q"});
  EXPECT_EQ(a->run.out, "2:\tbogus<<\n\"" + a->dir.file("t.asm") + "\",7 (bad) : Invalid mnemonic.\n" +
                            "7 lines read, 1 error in pass 1.\n");
}

TEST(Macros, CallArgumentsKeepParenthesesAndQuotes) {
  EXPECT_EQ(Macros::scan_arguments("  1, 2 ; comment\n"), std::string("1\x1f 2 "));
  EXPECT_EQ(Macros::scan_arguments("(1,2),3\n"), std::string("(1,2)\x1f" "3"));
  EXPECT_EQ(Macros::scan_arguments("\"a,b;c\",'x'\n"), std::string("\"a,b;c\"\x1f'x'"));
  EXPECT_EQ(Macros::scan_arguments("a\r\x1f,b\n"), std::string("a\x1f" "b"));
  // Runs of other bytes are copied whole between the bytes looked at; a
  // carriage return is dropped inside a quoted constant too.
  const std::string run(100, 'r');
  EXPECT_EQ(Macros::scan_arguments((run + "\t(x, y)" + run + ",'a\rb'" + run + ";,\n").c_str()),
            run + "\t(x, y)" + run + "\x1f'ab'" + run);
}

TEST(Macros, AQuotedConstantIsOneTokenToTheArgumentScanner) {
  // Nothing inside a complete constant in apostrophes separates, nests,
  // quotes or ends the arguments; the apostrophe of af' opens no constant.
  EXPECT_EQ(Macros::scan_arguments(" '\"',0x10\n"), std::string("'\"'\x1f" "0x10"));
  EXPECT_EQ(Macros::scan_arguments("',',';',')','(',1\n"), std::string("','\x1f';'\x1f')'\x1f'('\x1f" "1"));
  EXPECT_EQ(Macros::scan_arguments("af',1\n"), std::string("af'\x1f" "1"));
  EXPECT_EQ(Macros::scan_arguments("af',',' ; comment\n"), std::string("af'\x1f',' "));
  EXPECT_EQ(Macros::scan_arguments("xaf',' ; a constant follows the name xaf\n"), std::string("xaf',' "));
  EXPECT_EQ(Macros::scan_arguments("$af',1'\n"), std::string("$af',1'"));
  // An apostrophe without a closing one is a plain character, as before.
  EXPECT_EQ(Macros::scan_arguments("'a,b\n"), std::string("'a\x1f" "b"));
  // Nor is one with more than 250 characters before the closing one.
  std::string long_constant(1, '\'');
  long_constant.append(251, 'c').append("',1\n");
  EXPECT_EQ(Macros::scan_arguments(long_constant.c_str()), long_constant.substr(0, 253) + "\x1f" "1");
}

TEST(Macros, QuotedConstantsInCallsAndBodies) {
  auto a = assemble(
      "outc\tmacro ch,port\n\tld a,ch\n\tout (port),a\n\tendm\n"
      "cnt\tmacro\n\tdb \\0\n\tendm\n"
      "dbq\tmacro x\n\tdb '\"',x,\"'\",x\n\tendm\n"
      "\toutc '\"',0x10\n"
      "\tcnt '\"',0x10\n\tcnt ','\n\tcnt '(',1\n\tcnt ';'\n\tcnt af',af'\n"
      "\tdbq 7\n",
      {"-q", "-x"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->bytes(0, 4), (std::vector<uint8_t>{0x3E, 0x22, 0xD3, 0x10}));
  EXPECT_EQ(a->bytes(4, 5), (std::vector<uint8_t>{2, 1, 2, 1, 2}));
  // A double quote inside a constant starts no quoted text in a body either.
  EXPECT_EQ(body_of(*a, "dbq"), "\tdb '\"',\\1,\"'\",\\1\n");
  EXPECT_EQ(a->bytes(9, 4), (std::vector<uint8_t>{0x22, 7, 0x27, 7}));
}

TEST(Macros, TheLastLettersOfAKeywordAreNoParameter) {
  // ix, iy and af are read whole; a parameter x, y or f after their first
  // letter would turn ld ix,x into ld i\1,\1.
  auto a = assemble("ldx\tmacro x,y,f\n\tld ix,x\n\tld iy,y\n\tex af,af'\n\tpush af\n\tendm\n\tldx 1,2,3\n",
                    {"-q", "-x"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(body_of(*a, "ldx"), "\tld ix,\\1\n\tld iy,\\2\n\tex af,af'\n\tpush af\n");
  EXPECT_EQ(a->bytes(0, 10), (std::vector<uint8_t>{0xDD, 0x21, 1, 0, 0xFD, 0x21, 2, 0, 0x08, 0xF5}));
}

TEST(Macros, ARecursiveMacroReachesTheNestingLimit) {
  auto a = assemble("rec\tmacro\n\trec\n\tendm\n\trec\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Include file nesting limit reached."), std::string::npos);
}

TEST(Macros, LongExpandedLinesAreCutAndContinued) {
  std::string arg(200, '1');
  auto a = assemble("mc\tmacro u\n\tdb u,u\n\tendm\n\tmc 1\n", {"-q"});
  ASSERT_EQ(a->run.status, 0);
  auto b = assemble("mc\tmacro u\n; u u\n\tendm\n\tmc " + arg + "\n", {"-q", "-l", "-m"});
  // The comment line expands to 403 characters: the 152 after the cut at 251
  // come back as a line of their own, whose digits are not a statement.
  EXPECT_EQ(b->run.status, 3);
  EXPECT_NE(b->run.out.find("1:" + std::string(152, '1') + "<<\n"), std::string::npos) << b->run.out.substr(0, 400);
}

}  // namespace
}  // namespace zorm::test
