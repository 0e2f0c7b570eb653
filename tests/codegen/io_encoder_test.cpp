// in, out, in0, out0, mlt, tst and tstio: the Z180 forms at level 4 only,
// the register forms of the Z80 family, and the port checks.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

TEST(EncodeIo, PortInputAndOutput) {
  for (int level = 0; level <= 5; ++level) {
    EXPECT_EQ(statement("in a,(0xFE)", level), "DB FE") << level;
    EXPECT_EQ(statement("out (0x10),a", level), "D3 10") << level;
  }
  const std::vector<Case> cases = {
      // A register other than a with an immediate port: the Z180's in0/out0.
      {2, "in b,(0x10)", SYNTAX}, {4, "in b,(0x10)", "ED 00 10"}, {4, "in l,[0x10]", "ED 28 10"},
      {4, "out (0x10),b", "ED 01 10"}, {4, "out (0x10),l", "ED 29 10"}, {5, "out (0x10),c", SYNTAX},
      // The (c) forms.
      {0, "in a,(c)", SYNTAX}, {1, "in (c)", SYNTAX}, {1, "out (c),a", SYNTAX}, {2, "in a,(c)", "ED 78"},
      {2, "in b,(c)", "ED 40"}, {2, "in (c)", "ED 70"}, {2, "out (c),a", "ED 79"}, {2, "out (c),h", "ED 61"},
      // Index byte registers have no port form.
      {3, "in ixh,(c)", SYNTAX}, {5, "out (c),iyl", SYNTAX}, {3, "in ixl,(5)", SYNTAX},
      // The port of in is checked before anything is placed, that of out
      // after the opcode.
      {2, "in a,(300)", RANGE}, {2, "out (300),a", "D3 error: Value not within allowed range."},
      {4, "out (-129),b", "ED 01 error: Value not within allowed range."}, {2, "in a,(-128)", "DB 80"},
  };
  for (const Case& c : cases) EXPECT_EQ(statement(c.source, c.level), c.expected) << c.source << " at " << c.level;
  EXPECT_EQ(cycles("in a,(5)", 0), 10);
  EXPECT_EQ(cycles("in a,(5)", 2), 11);
  EXPECT_EQ(cycles("in a,(c)", 2), 12);
  EXPECT_EQ(cycles("out (c),b", 2), 12);
  EXPECT_EQ(cycles("in (c)", 4), 12);
}

TEST(EncodeIo, Z180Instructions) {
  const std::vector<Case> cases = {
      {4, "in0 a,(5)", "ED 38 05"}, {4, "in0 b,(0xFF)", "ED 00 FF"}, {4, "out0 (5),b", "ED 01 05"},
      {4, "out0 (5),a", "ED 39 05"}, {4, "in0 a,(300)", RANGE}, {4, "out0 (300),a", RANGE},
      {4, "in0 a,(c)", SYNTAX}, {4, "out0 (c),a", SYNTAX}, {2, "in0 a,(5)", SYNTAX}, {5, "out0 (5),a", SYNTAX},
      {4, "mlt bc", "ED 4C"}, {4, "mlt de", "ED 5C"}, {4, "mlt hl", "ED 6C"}, {4, "mlt sp", "ED 7C"},
      {4, "mlt ix", SYNTAX}, {2, "mlt hl", SYNTAX},
      {4, "tst b", "ED 04"}, {4, "tst (hl)", "ED 34"}, {4, "tst a", "ED 3C"}, {4, "tst a,c", "ED 0C"},
      {4, "tst 5", "ED 64 05"}, {4, "tst 300", "ED 64 error: Value not within allowed range."},
      {4, "tst (ix+1)", SYNTAX}, {2, "tst b", SYNTAX},
      {4, "tstio 5", "ED 74 05"}, {4, "tstio (0x10),5", "ED 74 05"}, {4, "tstio 256", "ED 74 error: Value not within allowed range."},
      {2, "tstio 5", SYNTAX},
  };
  for (const Case& c : cases) EXPECT_EQ(statement(c.source, c.level), c.expected) << c.source << " at " << c.level;
  EXPECT_EQ(cycles("tst b", 4), 8);
  EXPECT_EQ(cycles("tst (hl)", 4), 11);
  EXPECT_EQ(cycles("tst 5", 4), 11);
  EXPECT_EQ(cycles("mlt bc", 4), 12);
}

}  // namespace
}  // namespace zorm::test
