#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

int32_t value(const Assembled& a, const char* name) {
  const Symbol* s = a.run.assembler->symbols.find(name);
  return s == nullptr ? -999 : s->value;
}

TEST(Conditionals, FalseBlocksSkipNestedBlocksAndElseSwitches) {
  auto a = assemble(
      "\tif 0\n"
      "x equ 1\n"
      "\tif 1\n"
      "y equ 1\n"
      "\telse\n"
      "y equ 2\n"
      "\tendif\n"
      "\telse\n"
      "x equ 2\n"
      "\tendif\n",
      {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(value(*a, "x"), 2);
  EXPECT_EQ(value(*a, "y"), -999);
}

TEST(Conditionals, RepeatedElseTogglesAgain) {
  auto a = assemble("\tif 1\nx1 equ 1\n\telse\nx2 equ 2\n\telse\nx3 equ 3\n\tendif\n", {"-q"});
  EXPECT_EQ(value(*a, "x1"), 1);
  EXPECT_EQ(value(*a, "x2"), -999);
  EXPECT_EQ(value(*a, "x3"), 3);
}

TEST(Conditionals, ForwardLabelIsFalseInPassOneAndTrueInPassTwo) {
  // The block is skipped in pass 1 and assembled in pass 2, where its name is
  // a label that pass 1 never saw.
  auto a = assemble("\tif later\nx equ 5\n\tendif\nlater equ 1\n", {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(value(*a, "x"), 5);
}

TEST(Conditionals, NineLevelsAndStackOverflowAtTheTenth) {
  std::string nine, ten;
  for (int i = 0; i < 9; ++i) nine += "\tif 1\n";
  for (int i = 0; i < 9; ++i) nine += "\tendif\n";
  EXPECT_EQ(assemble(nine, {"-q"})->run.status, 0);
  for (int i = 0; i < 10; ++i) ten += "\tif 1\n";
  for (int i = 0; i < 9; ++i) ten += "\tendif\n";
  auto a = assemble(ten, {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Stack overflow."), std::string::npos);
}

TEST(Conditionals, ErrorsOfUnbalancedBlocks) {
  auto a = assemble("\telse\n\tendif\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_NE(a->run.out.find("Else or endif without if."), std::string::npos);
  auto b = assemble("\tif 1\n\tif 0\n", {"-q"});
  EXPECT_EQ(b->run.out, "ZM80 : If without endif.\n2 lines read, 1 error in pass 1.\n");
  auto c = assemble("lbl\tif 1\n\tendif\n", {"-q"});
  EXPECT_NE(c->run.out.find("No label allowed."), std::string::npos);
  EXPECT_NE(c->run.out.find("Else or endif without if."), std::string::npos);
}

TEST(Conditionals, TenThousandNestedBlocksInASkippedRegion) {
  std::string source = "\tif 0\n";
  for (int i = 0; i < 10000; ++i) source += "\tif 1\n";
  for (int i = 0; i < 10000; ++i) source += "\tendif\n";
  source += "\tendif\nx equ 1\n";
  auto a = assemble(source, {"-q"});
  EXPECT_EQ(a->run.status, 0) << a->run.out.substr(0, 200);
  EXPECT_EQ(value(*a, "x"), 1);
}

TEST(Conditionals, EndRecordsTheStartAddress) {
  auto a = assemble("\tend 0x100\n", {"-q"});
  EXPECT_EQ(a->run.assembler->conditionals.start_address, 0x100);
  EXPECT_EQ(assemble("\tend 65535\n", {"-q"})->run.status, 0);
  EXPECT_EQ(assemble("\tend 65536\n", {"-q"})->run.status, 3);
  EXPECT_EQ(assemble("\tend -32767\n", {"-q"})->run.status, 0);
  EXPECT_EQ(assemble("\tend -32768\n", {"-q"})->run.status, 3);
  EXPECT_EQ(assemble("\tmemsize 0x8000\n\tend 0x8000\n", {"-q"})->run.status, 3);
  // Lines after end are still assembled; a later end replaces the address.
  auto b = assemble("\tend 1\nx equ 2\n\tend 3\n", {"-q"});
  EXPECT_EQ(b->run.assembler->conditionals.start_address, 3);
  EXPECT_EQ(value(*b, "x"), 2);
}

}  // namespace
}  // namespace zorm::test
