// The encoders of the fixed-opcode and simple register instructions, with
// the processor gating of registers and indexed operands.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

struct Case {
  int level;
  const char* source;
  const char* expected;
};

void expect_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(statement(c.source, c.level), c.expected) << c.source << " at level " << c.level;
  }
}

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

constexpr const char* SYNTAX = "error: Syntax error.";
constexpr const char* RANGE = "error: Value not within allowed range.";

TEST(EncodeCore, FixedOpcodesAndTheirProcessorGates) {
  expect_cases({
      {0, "ccf", "3F"}, {0, "cpl", "2F"}, {2, "cpl a", "2F"}, {0, "disable", "F3"}, {0, "enable", "FB"},
      {0, "stc", "37"}, {0, "rrca", "0F"}, {0, "halt", "76"},
      // Z80 only.
      {0, "ldir", SYNTAX}, {1, "exx", SYNTAX}, {2, "ldir", "ED B0"}, {2, "exx", "D9"}, {4, "reti", "ED 4D"},
      {2, "tsti (c)", "ED 70"}, {0, "tsti (c)", SYNTAX},
      // 8085 only.
      {1, "rim", "20"}, {1, "sim", "30"}, {0, "rim", SYNTAX}, {2, "sim", SYNTAX}, {4, "rim", SYNTAX},
      // Z180 only.
      {4, "otim", "ED 83"}, {4, "otdmr", "ED 9B"}, {4, "slp", "ED 76"}, {2, "slp", SYNTAX}, {3, "otim", SYNTAX},
      {5, "otdm", SYNTAX},
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
      {2, "and a,b", "A0"}, {2, "and b", "A0"}, {0, "cp (hl)", "BE"}, {0, "or a", "B7"}, {0, "xor 0x55", "EE 55"},
      {0, "sub 1", "D6 01"}, {0, "add a,c", "81"}, {0, "adc a,5", "CE 05"}, {0, "sbc a,(hl)", "9E"}, {0, "sbc 1", "DE 01"},
      // The immediate is checked after the opcode is placed, the
      // displacement before anything is placed.
      {2, "and 300", "E6 error: Value not within allowed range."}, {2, "and -128", "E6 80"}, {2, "and -129", "E6 error: Value not within allowed range."},
      {2, "and (ix+128)", RANGE}, {2, "and (ix-128)", "DD A6 80"}, {2, "and (ix)", "DD A6 00"},
      {2, "sub (iy+3)", "FD 96 03"}, {2, "cp [iy+3]", "FD BE 03"},
      // In (ix-e) the whole of e is negated.
      {2, "and (ix-2+1)", "DD A6 FD"}, {2, "and (ix+(-2+1))", "DD A6 FF"},
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
      {0, "add hl,bc", "09"}, {2, "add hl,sp", "39"}, {2, "add hl,hl", "29"}, {2, "add ix,ix", "DD 29"},
      {2, "add iy,de", "FD 19"}, {2, "add ix,sp", "DD 39"},
      {2, "add hl,ix", SYNTAX}, {2, "add ix,hl", SYNTAX}, {2, "add ix,iy", SYNTAX}, {2, "add iy,ix", SYNTAX},
      {2, "adc hl,de", "ED 5A"}, {2, "sbc hl,sp", "ED 72"}, {2, "sbc hl,hl", "ED 62"},
      {2, "adc hl,ix", SYNTAX}, {2, "sbc ix,bc", SYNTAX}, {0, "adc hl,bc", SYNTAX}, {1, "sbc hl,de", SYNTAX},
  });
  expect_cycles({{0, "add hl,bc", 10}, {2, "add hl,bc", 11}, {2, "add ix,bc", 15}, {2, "adc hl,de", 15}});
}

TEST(EncodeCore, IncrementAndDecrement) {
  expect_cases({
      {0, "inc b", "04"}, {0, "dec a", "3D"}, {0, "inc (hl)", "34"}, {0, "dec (hl)", "35"}, {0, "inc bc", "03"},
      {0, "dec sp", "3B"}, {2, "inc ix", "DD 23"}, {2, "dec iy", "FD 2B"}, {3, "inc ixh", "DD 24"},
      {3, "dec iyl", "FD 2D"}, {2, "inc ixh", SYNTAX}, {4, "inc ixh", SYNTAX}, {2, "inc (ix+5)", "DD 34 05"},
      {2, "dec (iy-1)", "FD 35 FF"}, {2, "inc (ix+200)", RANGE}, {0, "inc ix", SYNTAX},
  });
  expect_cycles({{0, "inc b", 5}, {2, "inc b", 4}, {0, "inc (hl)", 10}, {2, "inc (hl)", 11}, {0, "inc bc", 5},
                 {2, "dec bc", 6}, {2, "inc ix", 10}, {3, "inc ixh", 8}, {2, "inc (ix+1)", 23}});
}

TEST(EncodeCore, ShiftsAndBitOperations) {
  expect_cases({
      {2, "sla a", "CB 27"}, {2, "rlc b", "CB 00"}, {2, "rr (hl)", "CB 1E"}, {2, "sl c", "CB 21"},
      {2, "shr d", "CB 3A"}, {2, "srl (ix+2)", "DD CB 02 3E"}, {2, "sra (iy-1)", "FD CB FF 2E"},
      {2, "rl (ix+128)", RANGE}, {0, "rl a", SYNTAX}, {1, "sla b", SYNTAX},
      {2, "bit 0,a", "CB 47"}, {2, "bit 7,(hl)", "CB 7E"}, {2, "res 3,(ix+4)", "DD CB 04 9E"},
      {2, "set 5,(iy+1)", "FD CB 01 EE"}, {2, "set 1,c", "CB C9"}, {2, "bit 8,a", RANGE}, {2, "bit -1,b", RANGE},
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
  expect_cases({
      {0, "push bc,de,hl", "C5 D5 E5"}, {0, "pop bc,de,hl", "E1 D1 C1"}, {0, "push af", "F5"}, {0, "pop af", "F1"},
      {2, "pop ix", "DD E1"}, {2, "push iy,af", "FD E5 F5"}, {0, "push ix", SYNTAX},
  });
  expect_cycles({{2, "push ix,bc", 26}, {2, "pop ix,bc", 24}, {0, "push bc", 11}, {0, "pop af", 10}});
}

TEST(EncodeCore, Exchanges) {
  expect_cases({
      {0, "ex de,hl", "EB"}, {0, "ex hl,de", "EB"}, {2, "ex af,af'", "08"}, {0, "ex af,af'", SYNTAX},
      {0, "ex (sp),hl", "E3"}, {0, "ex hl,(sp)", "E3"}, {2, "ex (sp),ix", "DD E3"}, {2, "ex iy,(sp)", "FD E3"},
  });
  expect_cycles({{0, "ex (sp),hl", 18}, {2, "ex hl,(sp)", 19}, {2, "ex (sp),iy", 23}});
}

TEST(EncodeCore, InterruptModesNegateAndReturn) {
  expect_cases({
      {2, "im 0", "ED 46"}, {2, "im 1", "ED 56"}, {2, "im 2", "ED 5E"}, {2, "im 3", RANGE}, {5, "im 3", "ED 4E"},
      {5, "im 4", RANGE}, {2, "im -1", RANGE}, {0, "im 1", SYNTAX},
      {2, "neg", "ED 44"}, {4, "neg a", "ED 44"}, {0, "neg", "2F 3C"},
      {0, "ret", "C9"}, {0, "ret nz", "C0"}, {0, "ret m", "F8"}, {2, "ret pe", "E8"}, {2, "ret ns", "F0"},
  });
  expect_cycles({{0, "neg", 9}, {2, "neg", 8}, {0, "ret", 10}, {2, "ret", 10}, {0, "ret z", 11}, {2, "ret z", 10},
                 {0, "halt", 7}, {2, "halt", 4}, {2, "ldir", 99}, {2, "ldi", 16}, {2, "im 1", 8}});
}

}  // namespace
}  // namespace zorm::test
