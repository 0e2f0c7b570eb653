// The encoders of the fixed-opcode and simple register instructions, with
// the processor gating of registers and indexed operands.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

struct CycleCase {
  int level;
  const char* source;
  int cycles;
};

void expect_cycles(const std::vector<CycleCase>& cases) {
  for (const CycleCase& c : cases) {
    EXPECT_EQ(cycles(c.source, c.level), c.cycles) << c.source << " at level " << c.level;
  }
}

TEST(EncodeCore, ProcessorGatesOfFixedOpcodes) {
  expect_cases({
      // Z80 only.
      {0, "ldir", SYNTAX}, {1, "exx", SYNTAX}, {4, "reti", "ED 4D"}, {2, "tsti (c)", "ED 70"}, {0, "tsti (c)", SYNTAX},
      // 8085 only.
      {1, "rim", "20"}, {1, "sim", "30"}, {0, "rim", SYNTAX}, {2, "sim", SYNTAX}, {4, "rim", SYNTAX},
      // Z180 only.
      {4, "otim", "ED 83"}, {2, "slp", SYNTAX}, {3, "otim", SYNTAX}, {5, "otdm", SYNTAX},
  });
}

TEST(EncodeCore, NopCount) {
  expect_cases({
      {0, "nop", "00"}, {2, "nop 3", "00 00 00"}, {2, "nop 0", RANGE}, {2, "nop -1", RANGE},
      {2, "nop 65536", RANGE},
  });
  EXPECT_EQ(outcome("        nop fwd\nfwd     equ 2\n"), "error: Undefined label.");
  expect_cycles({{2, "nop", 4}, {2, "nop 3", 12}, {2, "nop 24", 96}, {2, "nop 25", 99}, {2, "nop 30", 99}});
}

TEST(EncodeCore, EightBitArithmeticAndLogic) {
  expect_cases({
      {2, "and a,b", "A0"}, {2, "and b", "A0"},
      // The immediate is checked after the opcode is placed, the
      // displacement before anything is placed.
      {2, "and 300", "E6 error: Value not within allowed range."}, {2, "and -128", "E6 80"}, {2, "and -129", "E6 error: Value not within allowed range."},
      {2, "and (ix+128)", RANGE}, {2, "and (ix-128)", "DD A6 80"}, {2, "and (ix)", "DD A6 00"},
      {2, "and (ix-2+1)", "DD A6 FD"},  // in (ix-e) the whole of e is negated
      // Index byte registers at levels 3 and 5 only; indexed operands not on
      // the Intel processors.
      {3, "and ixh", "DD A4"}, {5, "xor yl", "FD AD"}, {2, "and ixh", SYNTAX}, {4, "and iyl", SYNTAX},
      {0, "and (ix+1)", SYNTAX}, {1, "and (iy)", SYNTAX},
  });
  expect_cycles({{2, "and b", 4}, {2, "and (hl)", 7}, {2, "and 5", 7}, {2, "and (ix+1)", 19}, {3, "and ixh", 8},
                 {0, "and b", 4}, {0, "cp (hl)", 7}});
}

TEST(EncodeCore, SixteenBitArithmetic) {
  expect_cases({
      {2, "add ix,ix", "DD 29"}, {2, "add hl,ix", SYNTAX}, {2, "add ix,hl", SYNTAX}, {2, "add ix,iy", SYNTAX}, {2, "add iy,ix", SYNTAX},
      {2, "adc hl,ix", SYNTAX}, {2, "sbc ix,bc", SYNTAX}, {0, "adc hl,bc", SYNTAX}, {1, "sbc hl,de", SYNTAX},
  });
  expect_cycles({{0, "add hl,bc", 10}, {2, "add hl,bc", 11}, {2, "add ix,bc", 15}, {2, "adc hl,de", 15}});
}

TEST(EncodeCore, IncrementAndDecrement) {
  expect_cases({
      {3, "inc ixh", "DD 24"}, {2, "inc ixh", SYNTAX}, {4, "inc ixh", SYNTAX}, {2, "inc (ix+200)", RANGE},
      {0, "inc ix", SYNTAX},
  });
  expect_cycles({{0, "inc b", 5}, {2, "inc b", 4}, {0, "inc (hl)", 10}, {2, "inc (hl)", 11}, {0, "inc bc", 5},
                 {2, "dec bc", 6}, {2, "inc ix", 10}, {3, "inc ixh", 8}, {2, "inc (ix+1)", 23}});
}

TEST(EncodeCore, ShiftsAndBitOperations) {
  expect_cases({
      {2, "rl (ix+128)", RANGE}, {0, "rl a", SYNTAX}, {1, "sla b", SYNTAX}, {2, "bit 8,a", RANGE}, {2, "bit -1,b", RANGE},
      {2, "bit 0,(ix+200)", RANGE}, {0, "bit 0,a", SYNTAX}, {1, "set 3,(hl)", SYNTAX}, {3, "bit 0,ixh", SYNTAX},
  });
  expect_cycles({{2, "sla a", 8}, {2, "rl (hl)", 15}, {2, "rr (ix+1)", 23}, {2, "bit 0,a", 8}, {2, "set 0,a", 8},
                 {2, "bit 0,(hl)", 12}, {2, "res 0,(hl)", 15}, {2, "bit 0,(ix+1)", 20}, {2, "set 0,(iy+1)", 23}});
}

TEST(EncodeCore, SetIsBothDirectiveAndInstruction) {
  EXPECT_EQ(outcome("x       set 5\n        ld a,x\n", {"-x2"}), "3E 05");
  EXPECT_EQ(outcome("x       set 1\nx       set 2\n        ld a,x\n", {"-x2"}), "3E 02");
  EXPECT_EQ(statement("set 5", 2), "error: Label must be present.");
  EXPECT_EQ(outcome("        bss\n        set 3,(hl)\n", {"-x2"}),
            "error: Only data statements can be used in the bss segment.");
}

TEST(EncodeCore, StackLists) {
  expect_cases({{0, "push bc,de,hl", "C5 D5 E5"}, {0, "pop bc,de,hl", "E1 D1 C1"}, {0, "push ix", SYNTAX}});
  expect_cycles({{2, "push ix,bc", 26}, {2, "pop ix,bc", 24}, {0, "push bc", 11}, {0, "pop af", 10}});
}

TEST(EncodeCore, Exchanges) {
  expect_cases({{0, "ex hl,(sp)", "E3"}, {2, "ex iy,(sp)", "FD E3"}, {0, "ex af,af'", SYNTAX}});
  expect_cycles({{0, "ex (sp),hl", 18}, {2, "ex hl,(sp)", 19}, {2, "ex (sp),iy", 23}});
}

TEST(EncodeCore, InterruptModesNegateAndReturn) {
  expect_cases({
      {2, "im 3", RANGE}, {5, "im 3", "ED 4E"}, {5, "im 4", RANGE}, {2, "im -1", RANGE}, {0, "im 1", SYNTAX},
      {2, "neg", "ED 44"}, {0, "neg", "2F 3C"},
  });
  expect_cycles({{0, "neg", 9}, {2, "neg", 8}, {0, "ret", 10}, {2, "ret", 10}, {0, "ret z", 11}, {2, "ret z", 10},
                 {0, "halt", 7}, {2, "halt", 4}, {2, "ldir", 99}, {2, "ldi", 16}, {2, "im 1", 8}});
}

}  // namespace
}  // namespace zorm::test
