// Whole runs of the assembler, checked through the files they leave behind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/debug_reader.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

const std::string PROGRAM =
    " org 0x100\n"
    "start nop\n"
    " ld a,5\n"
    " nop\n"
    " end start\n";

TEST(OutputEndToEndTest, BinaryObjectAndItsReport) {
  auto r = assemble(PROGRAM);
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  EXPECT_EQ(r->dir.read("t.bin"), std::string("\x00\x3E\x05\x00", 4));
  const std::string listing = r->listing();
  EXPECT_NE(listing.find("No errors in pass 2.\n"
                         "Wrote binary from address $0100 through $0103.\nTotal size 4 bytes.\n"
                         "Program start address is at $0100 (256).\n\f"),
            std::string::npos)
      << listing;
}

TEST(OutputEndToEndTest, RecordObjects) {
  auto s = assemble(PROGRAM, {"-s1"});
  ASSERT_EQ(s->run.status, 0) << s->run.out;
  EXPECT_EQ(s->dir.read("t.s19"), "S1070100003E0500B4\nS5030001FB\nS9030100FB\n");
  auto x = assemble(PROGRAM, {"-s2"});
  ASSERT_EQ(x->run.status, 0) << x->run.out;
  EXPECT_EQ(x->dir.read("t.hex"), ":04010000003E0500B8\n:00010001FE\n");
}

TEST(OutputEndToEndTest, ErrorsInPassTwoWriteNoObject) {
  auto r = assemble(" org 0x100\n nop\n ld a,300\n", {"-s2"});
  EXPECT_EQ(r->run.status, 3);
  EXPECT_FALSE(r->dir.exists("t.hex"));
}

TEST(OutputEndToEndTest, NoCodeInBinaryFormatCreatesNoFile) {
  auto r = assemble("value equ 5\n", {"-v"});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  EXPECT_FALSE(r->dir.exists("t.bin"));
  EXPECT_NE(r->run.out.find("No code generated.\n"), std::string::npos);
  EXPECT_NE(r->listing().find("No code generated.\n"), std::string::npos);
}

TEST(OutputEndToEndTest, SymbolTableAndMemoryMapInTheListing) {
  auto r = assemble("Zeta equ -1\nalpha equ 70000\ncount set 3\n org 0x10\nBeta nop\n", {"-t", "-u"});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  const std::string listing = r->listing();
  EXPECT_NE(listing.find("               alpha : $00011170      70000\n"
                         "                Beta : $0010             16\n"
                         "               count : $0003              3   *\n"
                         "                Zeta : $ffff             -1\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("labels used\n"), std::string::npos);
  EXPECT_NE(listing.find("0000 : ---------------- x--------------- ---------------- ---------------- \n"),
            std::string::npos)
      << listing;
}

TEST(OutputEndToEndTest, UndefinedLabelStopsTheRunAfterPassOne) {
  auto r = assemble(" nop\n ld a,nowhere\n ld a,nowhere\n", {"-g"});
  EXPECT_EQ(r->run.status, 3);
  EXPECT_NE(r->run.out.find(" : Undefined label nowhere\n"), std::string::npos) << r->run.out;
  EXPECT_FALSE(r->dir.exists("t.bin"));
  const DebugInfo info = read_debug_info(r->dir.read("t.dbg"));
  ASSERT_EQ(info.error, "");
  EXPECT_TRUE(info.has_symbols);
  EXPECT_FALSE(info.has_lines) << "the file ends after the symbol section";
  EXPECT_EQ(info.trailing, 0u);
}

// --- debug information file ---------------------------------------------------

TEST(OutputEndToEndTest, DebugFileDescribesTheProgram) {
  auto r = assemble(PROGRAM, {"-g", "-x"});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  const DebugInfo info = read_debug_info(r->dir.read("t.dbg"));
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.version, 60u);
  EXPECT_EQ(info.stored_checksum, info.computed_checksum);
  EXPECT_EQ(info.processor, 0x5A000500u);
  ASSERT_EQ(info.files.size(), 1u);
  EXPECT_EQ(info.files[0], r->dir.file("t.asm"));
  bool found = false;
  for (const DebugSymbol& symbol : info.symbols) {
    if (symbol.name != "start") continue;
    found = true;
    EXPECT_EQ(symbol.value, 0x100);
    EXPECT_EQ(symbol.attributes, 0x05);
  }
  EXPECT_TRUE(found);
  ASSERT_TRUE(info.has_lines);
  EXPECT_EQ(info.lines, (std::vector<DebugLine>{{0, 2, 0x100, true}, {0, 3, 0x101, false}, {0, 4, 0x103, false}}));
  EXPECT_EQ(info.trailing, 0u);
}

TEST(OutputEndToEndTest, DebugLinesFollowIncludedFilesAndSkipData) {
  auto r = std::make_unique<Assembled>();
  r->dir.write("inc.asm", " nop\n nop\n");
  const std::string source = r->dir.write("t.asm",
                                          " nop\n"
                                          " include \"inc.asm\"\n"
                                          " nop\n"
                                          " data\n"
                                          " org 0x100\n"
                                          " db 1,2\n"
                                          " code\n"
                                          " nop\n");
  r->run = run_assembler({"-g", "-I" + r->dir.path(), source});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  const DebugInfo info = read_debug_info(r->dir.read("t.dbg"));
  ASSERT_EQ(info.error, "");
  ASSERT_EQ(info.files.size(), 2u);
  EXPECT_NE(info.files[1].find("inc.asm"), std::string::npos);
  EXPECT_EQ(info.lines, (std::vector<DebugLine>{{0, 1, 0x0000, true},
                                                {1, 1, 0x0001, true},
                                                {1, 2, 0x0002, false},
                                                {0, 3, 0x0003, true},
                                                {0, 8, 0x0004, false}}));
}

// --- binary and record include --------------------------------------------------

TEST(OutputEndToEndTest, IncludedBinaryIsPartOfTheStatement) {
  auto r = std::make_unique<Assembled>();
  r->dir.write("blob.bin", std::string("\x01\x02\x03", 3));
  const std::string source = r->dir.write("t.asm", " org 0x200\n include \"blob.bin\"\nafter nop\n");
  r->run = run_assembler({"-l", "-t", "-I" + r->dir.path(), source});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  EXPECT_EQ(r->dir.read("t.bin"), std::string("\x01\x02\x03\x00", 4));
  EXPECT_NE(r->listing().find("0200 : 010203"), std::string::npos) << r->listing();
  EXPECT_NE(r->listing().find("               after : $0203"), std::string::npos) << r->listing();
}

TEST(OutputEndToEndTest, RecordFilesRoundTripToAnotherOrigin) {
  const std::string program =
      " org 0\n"
      " ld a,1\n"
      " nop\n"
      " org 0x40\n"
      " ld a,2\n";
  for (const char* format : {"-s1", "-s2"}) {
    auto first = assemble(program, {format});
    ASSERT_EQ(first->run.status, 0) << first->run.out;
    const std::string name = std::string(format) == "-s1" ? "t.s19" : "t.hex";
    auto second = std::make_unique<Assembled>();
    second->dir.write(name, first->dir.read(name));
    const std::string source =
        second->dir.write("t.asm", " org 0x8000\n include \"" + name + "\"\nnext nop\n");
    second->run = run_assembler({"-I" + second->dir.path(), source});
    ASSERT_EQ(second->run.status, 0) << second->run.out;
    EXPECT_EQ(second->bytes(0x8000, 3), (std::vector<uint8_t>{0x3E, 0x01, 0x00}));
    EXPECT_EQ(second->bytes(0x8040, 3), (std::vector<uint8_t>{0x3E, 0x02, 0x00})) << "next follows the last record";
    EXPECT_FALSE(second->run.assembler->image.used(0x8003));
  }
}

TEST(OutputEndToEndTest, BadRecordFileIsReported) {
  auto r = std::make_unique<Assembled>();
  r->dir.write("bad.hex", ":0100000011EE\n:01000100zz00\n");
  const std::string source = r->dir.write("t.asm", " include \"bad.hex\"\n");
  r->run = run_assembler({"-I" + r->dir.path(), source});
  EXPECT_EQ(r->run.status, 3);
  EXPECT_NE(r->run.out.find("Invalid line in S-records or intel-hex include file"), std::string::npos)
      << r->run.out;
}

TEST(OutputEndToEndTest, NegativeStartAddress) {
  auto r = assemble(" nop\n end -2\n", {"-s1", "-v"});
  ASSERT_EQ(r->run.status, 0) << r->run.out;
  EXPECT_EQ(r->dir.read("t.s19"), "S104000000FB\nS5030001FB\nS903FFFEFF\n");
  EXPECT_NE(r->run.out.find("Program start address is at $fffe (65534).\n"), std::string::npos);
}

}  // namespace
}  // namespace zorm::test
