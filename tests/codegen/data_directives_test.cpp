// db, defb, defm, dw, defw, dd, ds, defs, align and cmap.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

constexpr const char* RANGE = "error: Value not within allowed range.";
constexpr const char* UNDEFINED = "error: Undefined label.";

TEST(DataDirectives, BytesAndStrings) {
  EXPECT_EQ(outcome("        db \"AB\",0,-1\n"), "41 42 00 FF");
  EXPECT_EQ(outcome("        db 1,2,256,3\n"), "01 02 error: Value not within allowed range.");
  EXPECT_EQ(outcome("        db -129\n"), RANGE);
  EXPECT_EQ(outcome("        db \"A\\x42\\n\\0\",'C'\n"), "41 42 0A 00 43");
  EXPECT_EQ(outcome("        db fwd,fwd+1\nfwd     equ 7\n"), "07 08");
  // defb takes expressions: a two-character string is a 16-bit number.
  EXPECT_EQ(outcome("        defb \"AB\"\n"), RANGE);
  EXPECT_EQ(outcome("        defb 'A',2\n"), "41 02");
  EXPECT_EQ(outcome("        defm \"AB\"\n"), "41 42");
  // Every item sees the same location.
  EXPECT_EQ(outcome("        org 5\n        db $,$,$\n", {}, 5), "05 05 05");
}

TEST(DataDirectives, Words) {
  EXPECT_EQ(outcome("        dw 0x1234,-1\n"), "34 12 FF FF");
  EXPECT_EQ(outcome("        defw -32768,65535\n"), "00 80 FF FF");
  EXPECT_EQ(outcome("        dw 0x12345\n"), RANGE);
  EXPECT_EQ(outcome("        dw -32769\n"), RANGE);
  EXPECT_EQ(outcome("        dd 0x12345,-2\n"), "45 23 01 00 FE FF FF FF");
  EXPECT_EQ(outcome("        dw fwd\n        dd fwd\nfwd:\n"), "06 00 06 00 00 00");
}

TEST(DataDirectives, ReservedSpaceAndAlignment) {
  EXPECT_EQ(outcome("        org 0x100\n        ds 3\n        db 0x55\n", {}, 0x100), "00 00 00 55");
  EXPECT_EQ(outcome("        defs 2\n"), "00 00");
  EXPECT_EQ(outcome("        ds 0\n"), RANGE);
  EXPECT_EQ(outcome("        ds 65536\n"), RANGE);
  EXPECT_EQ(outcome("        ds fwd\nfwd     equ 2\n"), UNDEFINED);
  // In bss only the location counter moves.
  EXPECT_EQ(outcome("        bss\n        ds 3\nx:      ds 1\n        db 9\n        code\n        dw x\n"), "03 00");
  EXPECT_EQ(outcome("        org 0x101\n        align 4\n        db 0x55\n", {}, 0x100), "00 00 00 55");
  EXPECT_EQ(outcome("        org 0x100\n        align\n        db 0x55\n", {}, 0x100), "55");
  EXPECT_EQ(outcome("        org 0x101\n        align\n        db 0x55\n", {}, 0x100), "00 55");
  EXPECT_EQ(outcome("        align 1\n"), RANGE);
  EXPECT_EQ(outcome("        align fwd\nfwd     equ 4\n"), UNDEFINED);
  // An alignment that is not a power of two pads to its next multiple.
  EXPECT_EQ(outcome("        org 5\n        align 3\n        db 0x55\n", {}, 5), "00 55");
  EXPECT_EQ(outcome("        org 10\n        align 6\n        db 0x55\n", {}, 10), "00 00 55");
}

// Space reserved in bss is counted in one step rather than byte by byte; the
// counter, its wrap past 0xFFFF and the memory limit behave as before.
TEST(DataDirectives, SpaceInBssIsCountedWhole) {
  EXPECT_EQ(outcome("        bss\n        ds 65535\nx:\n        align 16\ny:\n        code\n        dw x,y\n"),
            "FF FF 00 00");
  EXPECT_EQ(outcome("        memsize 256\n        bss\n        ds 300\n        ds 1\n"),
            "error: Location counter outside memory space.");
  EXPECT_EQ(outcome("        memsize 256\n        bss\n        org 255\n        ds 300\nx:\n        code\n        dw x\n"),
            "2B 02");
}

TEST(DataDirectives, LabelAttributes) {
  auto run = assemble("b1      db 1\nw1      dw 1\nl1      dd 1\ns1      ds 1\n");
  ASSERT_EQ(run->run.status, 0);
  SymbolTable& symbols = run->run.assembler->symbols;
  EXPECT_EQ(symbols.find("b1")->attributes & 7, 1);
  EXPECT_EQ(symbols.find("w1")->attributes & 7, 2);
  EXPECT_EQ(symbols.find("l1")->attributes & 7, 4);
  EXPECT_EQ(symbols.find("s1")->attributes & 7, 1);
  EXPECT_EQ(outcome("a1      align 2\n"), "error: No label allowed.");
}

TEST(DataDirectives, CharacterMap) {
  // A map translates the strings of db and defm, not numbers or words.
  EXPECT_EQ(outcome("        cmap 0x41,0x61\n        db \"AB\",0x41\n        defm \"A\"\n        dw 0x41\n"),
            "61 42 41 61 41 00");
  EXPECT_EQ(outcome("        cmap 0x41,\"xy\",0x7A\n        db \"ABCD\"\n"), "78 79 7A 44");
  // In a map a backslash is an ordinary character.
  EXPECT_EQ(outcome("        cmap 0x41,\"\\n\"\n        db \"AB\"\n"), "5C 6E");
  EXPECT_EQ(outcome("        cmap 0x20\n        db \"AB\",1\n"), "20 20 01");
  EXPECT_EQ(outcome("        cmap -1\n        db \"A\"\n"), "FF");
  EXPECT_EQ(outcome("        cmap 0x20\n        cmap\n        db \"AB\"\n"), "41 42");
  // A map set late in the source does not reach back: both passes start
  // with the identity.
  EXPECT_EQ(outcome("        db \"A\"\n        cmap 0x41,0x61\n"), "41");
  EXPECT_EQ(outcome("        cmap 300\n"), RANGE);
  EXPECT_EQ(outcome("        cmap 256,1\n"), RANGE);
  EXPECT_EQ(outcome("        cmap fwd\nfwd     equ 1\n"), UNDEFINED);
  EXPECT_EQ(outcome("        cmap 0,fwd\nfwd     equ 1\n"), UNDEFINED);
  EXPECT_EQ(outcome("        cmap 0,256\n"), RANGE);
  // Entries written before an error keep their values.
  auto full = assemble("        cmap 254,1,2,3\n");
  EXPECT_EQ(first_error(full->run), "Value not within allowed range.");
  EXPECT_EQ(full->run.assembler->char_map[254], 1);
  EXPECT_EQ(full->run.assembler->char_map[255], 2);
  EXPECT_EQ(outcome("        cmap 254,\"abc\"\n"), RANGE);
}

}  // namespace
}  // namespace zorm::test
