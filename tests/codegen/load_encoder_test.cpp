// ld: the fourteen operand forms, the register-pair moves, the range checks
// with what is placed before a failing one, the cycle counts at the Intel
// and Zilog levels, and the warning about moves that do nothing.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

// The forms themselves are compared with another assembler in the
// cross-check; here: the registers and forms a processor lacks.
TEST(EncodeLoad, FormsTheProcessorLacks) {
  expect_cases({
      {0, "ld a,i", SYNTAX}, {1, "ld r,a", SYNTAX}, {0, "ld a,(ix+1)", SYNTAX}, {2, "ld a,ixh", SYNTAX},
      {4, "ld ixh,b", SYNTAX}, {3, "ld ixh,iyl", SYNTAX}, {3, "ld h,ixh", SYNTAX}, {0, "ld bc,(0x1234)", SYNTAX},
      {1, "ld (0x1234),sp", SYNTAX}, {0, "ld sp,ix", SYNTAX},
      // A parenthesised expression followed by more is an immediate.
      {0, "ld hl,(2)+3", "21 05 00"},
  });
}

TEST(EncodeLoad, RegisterPairMoves) {
  expect_cases({
      {0, "ld hl,bc", "60 69"}, {0, "ld hl,de", "62 6B"}, {0, "ld de,bc", "50 59"}, {0, "ld de,hl", "54 5D"},
      {0, "ld bc,de", "42 4B"}, {0, "ld bc,hl", "44 4D"}, {0, "ld sp,hl", "F9"}, {2, "ld sp,ix", "DD F9"},
      {2, "ld sp,iy", "FD F9"}, {2, "ld ix,bc", "DD 60 DD 69"}, {2, "ld ix,de", "DD 62 DD 6B"},
      {2, "ld iy,bc", "FD 60 FD 69"}, {2, "ld iy,de", "FD 62 FD 6B"}, {2, "ld bc,ix", "DD 44 DD 4D"},
      {2, "ld bc,iy", "FD 44 FD 4D"}, {2, "ld de,ix", "DD 54 DD 5D"}, {4, "ld de,iy", "FD 54 FD 5D"},
      // Pairs outside the table.
      {2, "ld hl,ix", SYNTAX}, {2, "ld ix,hl", SYNTAX}, {2, "ld ix,iy", SYNTAX}, {0, "ld sp,bc", SYNTAX},
      {0, "ld hl,sp", SYNTAX}, {0, "ld bc,sp", SYNTAX},
      // The same pair on both sides places nothing.
      {0, "ld hl,hl", ""}, {2, "ld ix,ix", ""},
  });
}

TEST(EncodeLoad, RangesAndWhatIsPlacedBeforeAFailingCheck) {
  expect_cases({
      // Only ld a,n keeps its opcode when the immediate fails.
      {0, "ld a,300", "3E error: Value not within allowed range."}, {0, "ld a,-128", "3E 80"},
      {0, "ld b,300", RANGE}, {0, "ld (hl),256", RANGE}, {3, "ld ixh,-129", RANGE},
      {2, "ld (ix+5),7", "DD 36 05 07"}, {2, "ld (ix+200),7", RANGE}, {2, "ld (ix-129),a", RANGE},
      {2, "ld a,(iy+128)", RANGE}, {2, "ld c,(ix-128)", "DD 4E 80"},
      // Sixteen-bit operands: -32768 to 65535.
      {0, "ld hl,0x10000", RANGE}, {0, "ld hl,-32768", "21 00 80"}, {0, "ld hl,-32769", RANGE},
      {0, "ld a,(0x10000)", RANGE}, {0, "ld (0x10000),a", RANGE}, {0, "ld (0x10000),hl", RANGE},
      {2, "ld de,(65536)", RANGE},
  });
  // A target not yet defined in pass 1 keeps the statement's length.
  EXPECT_EQ(outcome("        ld hl,fwd\n        ld (fwd),a\nfwd:\n"), "21 06 00 32 06 00");
}

TEST(EncodeLoad, CycleCounts) {
  struct CycleCase {
    int level;
    const char* source;
    int cycles;
  };
  const std::vector<CycleCase> cases = {
      {0, "ld a,b", 5}, {2, "ld a,b", 4}, {0, "ld a,(hl)", 7}, {2, "ld a,5", 7}, {2, "ld a,(ix+1)", 19},
      {0, "ld a,(bc)", 7}, {2, "ld a,i", 9}, {0, "ld a,(5)", 13}, {0, "ld b,c", 5}, {2, "ld b,c", 4},
      {2, "ld b,(hl)", 7}, {0, "ld b,5", 7}, {3, "ld b,ixh", 8}, {3, "ld ixh,5", 13}, {3, "ld ixh,b", 8},
      {3, "ld ixl,ixh", 8}, {0, "ld (bc),a", 7}, {2, "ld r,a", 9}, {0, "ld (hl),b", 7}, {0, "ld (hl),5", 10},
      {2, "ld (ix+1),b", 19}, {2, "ld (iy+1),5", 19}, {0, "ld bc,5", 10}, {2, "ld ix,5", 14}, {0, "ld hl,(5)", 16},
      {2, "ld de,(5)", 20}, {2, "ld ix,(5)", 20}, {0, "ld (5),a", 13}, {0, "ld (5),hl", 16}, {2, "ld (5),sp", 20},
      {0, "ld hl,bc", 10}, {2, "ld hl,bc", 8}, {0, "ld sp,hl", 5}, {2, "ld sp,hl", 6}, {2, "ld sp,ix", 10},
      {2, "ld ix,bc", 16}, {2, "ld hl,hl", 0},
  };
  for (const CycleCase& c : cases) EXPECT_EQ(cycles(c.source, c.level), c.cycles) << c.source << " at " << c.level;
}

TEST(EncodeLoad, UnintendedNopWarningInPassTwoOnly) {
  const char* const source = "        ld a,a\n        ld hl,hl\n        ld b,b\n        ld b,c\n";
  auto warned = assemble(source, {"-x3"});
  EXPECT_EQ(warned->run.status, 0);
  EXPECT_EQ(placed_bytes(warned->run), "7F 40 41");
  size_t count = 0;
  for (size_t at = warned->run.out.find("Probably unintended NOP"); at != std::string::npos;
       at = warned->run.out.find("Probably unintended NOP", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 3u);  // one per pass-2 statement, none in pass 1
  EXPECT_NE(assemble("        ld ixh,ixh\n", {"-x3"})->run.out.find("Probably unintended NOP"), std::string::npos);
  for (const char* quiet : {"-q", "+q"}) {
    auto silent = assemble(source, {"-x3", quiet});
    EXPECT_EQ(silent->run.out.find("Probably unintended NOP"), std::string::npos) << quiet;
  }
}

}  // namespace
}  // namespace zorm::test
