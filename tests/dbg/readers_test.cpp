// The readers of the object files and of the debug information file, and the
// source map built from the line records.

#include <gtest/gtest.h>

#include "dbg/assembled_program.h"
#include "dbg/debug_info.h"
#include "dbg/object_file.h"
#include "dbg/source_map.h"

namespace zorm::test {
namespace {

using dbg::LoadError;
using dbg::ObjectFormat;
using dbg::ProgramImage;

ProgramImage intel(const std::string& text) { return dbg::read_object("p.hex", text, ObjectFormat::intel_hex, 0); }
ProgramImage srec(const std::string& text) { return dbg::read_object("p.s19", text, ObjectFormat::s_records, 0); }

std::string error_of(const std::function<void()>& read) {
  try {
    read();
  } catch (const LoadError& error) {
    return error.what();
  }
  return "no error";
}

TEST(ObjectReader, IntelHexRecordsAndTheStartAddress) {
  const ProgramImage image = intel(":03010000C3000039\r\n:0000000000\n:00010001FE\n");
  EXPECT_EQ(image.used.count(), 3u);
  EXPECT_EQ(image.bytes[0x100], 0xC3);
  EXPECT_EQ(image.lowest_address(), 0x100);
  EXPECT_EQ(image.highest_address(), 0x102);
  EXPECT_EQ(image.start_address, 0x100);
  // zorm writes 0000 when there is no start address.
  EXPECT_FALSE(intel(":01800000007F\n:00000001FF\n").start_address);
  EXPECT_EQ(intel(":0100000000FF\n:00000001FF\n").start_address, 0);
  EXPECT_EQ(error_of([] { intel(":0100000000FE\n"); }), "p.hex:1: checksum error");
  EXPECT_EQ(error_of([] { intel("\n:02000000\n"); }), "p.hex:2: record length does not match");
  EXPECT_EQ(error_of([] { intel("S1030000FC\n"); }), "p.hex:1: not an Intel hex record");
  EXPECT_EQ(error_of([] { intel(":0100000G00FF\n"); }), "p.hex:1: not a hexadecimal digit");
  EXPECT_EQ(error_of([] { intel(":02FFFF000102FD\n"); }), "p.hex:1: record beyond the 64 KiB address space");
}

TEST(ObjectReader, SRecordsHeaderDataCountAndStart) {
  const ProgramImage image = srec("S00600004844521B\nS1050100C9C967\nS5030001FB\nS9030100FB\n");
  EXPECT_EQ(image.used.count(), 2u);
  EXPECT_EQ(image.bytes[0x101], 0xC9);
  EXPECT_EQ(image.start_address, 0x100);
  EXPECT_FALSE(srec("S1040000C932\nS5030001FB\n").start_address);
  EXPECT_EQ(error_of([] { srec("S1040000C933\n"); }), "p.s19:1: checksum error");
  EXPECT_EQ(error_of([] { srec("S1050000C932\n"); }), "p.s19:1: record length does not match");
  EXPECT_EQ(error_of([] { srec("X1040000C932\n"); }), "p.s19:1: not an S-record");
}

TEST(ObjectReader, ABinaryGoesWhereItIsToldAndMustFit) {
  const ProgramImage image = dbg::read_object("p.bin", std::string("\x3E\x01\xC9", 3), ObjectFormat::binary, 0xFFFD);
  EXPECT_EQ(image.lowest_address(), 0xFFFD);
  EXPECT_EQ(image.bytes[0xFFFF], 0xC9);
  EXPECT_FALSE(image.start_address);
  EXPECT_EQ(error_of([] { dbg::read_object("p.bin", "1234", ObjectFormat::binary, 0xFFFD); }),
            "p.bin: 4 bytes do not fit in memory from address 65533");
}

TEST(ObjectReader, TheFormatByExtensionOrContent) {
  EXPECT_EQ(dbg::guess_object_format("a.hex", "S1"), ObjectFormat::intel_hex);
  EXPECT_EQ(dbg::guess_object_format("a.s19", ":"), ObjectFormat::s_records);
  EXPECT_EQ(dbg::guess_object_format("a.bin", ":00"), ObjectFormat::binary);
  EXPECT_EQ(dbg::guess_object_format("a.obj", ":00000001FF"), ObjectFormat::intel_hex);
  EXPECT_EQ(dbg::guess_object_format("a.obj", "S9030000FC"), ObjectFormat::s_records);
  EXPECT_EQ(dbg::guess_object_format("a.obj", "SAVE"), ObjectFormat::binary);
}

TEST(ObjectReader, TheThreeFormatsOfOneProgramGiveOneImage) {
  const std::string source = " org 0x8000\nstart: ld a,1\n jp start\n org 0x8100\n db 1,2,3\n end start\n";
  std::vector<ProgramImage> images;
  for (const char* format : {"-s0", "-s1", "-s2"}) {
    TempDir dir;
    const std::string path = dir.write("t.asm", source);
    const std::string object = dir.file(std::string("t.") + (format[2] == '0' ? "bin" : format[2] == '1' ? "s19" : "hex"));
    ASSERT_EQ(run_zorm({"-q", format, "-o" + object, path}).status, 0);
    const std::string content = dbg::read_whole_file(object);
    images.push_back(dbg::read_object(object, content, dbg::guess_object_format(object, content), 0x8000));
  }
  for (const ProgramImage& image : images) {
    EXPECT_EQ(image.bytes[0x8100], 1);
    EXPECT_EQ(image.bytes[0x8102], 3);
    EXPECT_EQ(image.highest_address(), 0x8102);
  }
  EXPECT_EQ(images[1].used, images[2].used);
  EXPECT_EQ(images[1].used.count(), 8u);
  EXPECT_EQ(images[0].used.count(), 0x103u);  // the binary fills the gap
  EXPECT_EQ(images[1].start_address, 0x8000);
  EXPECT_EQ(images[2].start_address, 0x8000);
}

// The header and processor code zorm writes, followed by sections built here.
std::string debug_file(const std::string& sections) {
  TempDir dir;
  const std::string path = dir.write("t.asm", " nop\n");
  EXPECT_EQ(run_zorm({"-q", "-g", "-x", "-o" + dir.file("t.bin"), path}).status, 0);
  const std::string written = dir.read("t.dbg");
  const size_t header = static_cast<size_t>(written[4] - 0x30) * 64 + static_cast<size_t>(written[5] - 0x30);
  return written.substr(0, header + 4) + sections;
}

TEST(DebugInfoReader, FilesSymbolsAndBothKindsOfLineRecords) {
  using namespace std::string_literals;
  const std::string bytes = debug_file(
      "\x05main1\x03inc\x00"s                           // two files
      "\x03" "CNT\x50\x12\x34\x03NEG\xD0\xFF\xFF\xFF\xFF\x00"s  // 16-bit and 32-bit values
      "\x80\x00\x01\x01\x00\x01\x01\x01\x01\x81\x00\x07\x02\x00\x00"s);
  const dbg::DebugInfo info = dbg::read_debug_info("t.dbg", bytes);
  EXPECT_EQ(info.processor(), Processor::z80);
  EXPECT_EQ(info.files, (std::vector<std::string>{"main1", "inc"}));
  ASSERT_EQ(info.symbols.size(), 2u);
  EXPECT_EQ(info.symbols[0].name, "CNT");
  EXPECT_EQ(info.symbols[0].value, 0x1234);
  EXPECT_FALSE(info.symbols[0].is_label());
  EXPECT_EQ(info.symbols[1].value, -1);
  ASSERT_TRUE(info.has_line_section);
  ASSERT_EQ(info.lines.size(), 4u);
  EXPECT_EQ(info.lines[2].line, 3);
  EXPECT_EQ(info.lines[2].address, 0x0102);
  EXPECT_EQ(info.lines[3].file, 1);
  EXPECT_EQ(info.lines[3].line, 7);
  EXPECT_EQ(info.lines[3].address, 0x0200);
}

TEST(DebugInfoReader, AFileFromAFailedFirstPassHasNoLines) {
  using namespace std::string_literals;
  const dbg::DebugInfo info = dbg::read_debug_info("t.dbg", debug_file("\x01m\x00\x00"s));
  EXPECT_FALSE(info.has_line_section);
  EXPECT_TRUE(info.lines.empty());
}

TEST(DebugInfoReader, WhatIsWrongWithAFileIsNamed) {
  using namespace std::string_literals;
  EXPECT_EQ(error_of([] { dbg::read_debug_info("t.dbg", "INFX"); }), "t.dbg: not a debug information file");
  std::string bad_checksum = debug_file("\x00\x00\x00"s);
  bad_checksum[20] ^= 1;
  EXPECT_EQ(error_of([&] { dbg::read_debug_info("t.dbg", bad_checksum); }),
            "t.dbg: the header's checksum does not match");
  EXPECT_EQ(error_of([] { dbg::read_debug_info("t.dbg", debug_file("\x01m\x00\x03" "CN"s)); }),
            "t.dbg: the file ends inside a symbol record");
  EXPECT_EQ(error_of([] { dbg::read_debug_info("t.dbg", debug_file("\x01m\x00\x00\x01\x01\x00"s)); }),
            "t.dbg: a short line record comes first");
  EXPECT_EQ(error_of([] { dbg::read_debug_info("t.dbg", debug_file("\x01m\x00\x00\x82\x00\x01\x01\x00\x00"s)); }),
            "t.dbg: a line record names file 2, which the file has no record of");
}

TEST(DebugInfoReader, TheDebugFileNameOfAnObject) {
  EXPECT_EQ(dbg::debug_file_name_for("prog.hex"), "prog.dbg");
  EXPECT_EQ(dbg::debug_file_name_for("dir.v2/prog"), "dir.v2/prog.dbg");
  EXPECT_EQ(dbg::debug_file_name_for("a.b.s19"), "a.b.dbg");
  EXPECT_EQ(dbg::debug_file_name_for(".hex"), ".hex.dbg");
}

TEST(SourceMap, StatementsRunToTheNextRecordOrTheEndOfTheBytes) {
  // Lines 1, 2 and 4 of file 0 at 0x100, 0x102, 0x105; the bytes end at 0x107;
  // line 10 of file 1 at 0x200.
  ProgramImage image;
  for (uint16_t address = 0x100; address < 0x107; ++address) image.place(address, 0);
  image.place(0x200, 0);
  const dbg::SourceMap map({{0, 1, 0x100}, {0, 2, 0x102}, {0, 4, 0x105}, {1, 10, 0x200}}, image);
  EXPECT_FALSE(map.statement_at(0xFF));
  EXPECT_EQ(map.statement_at(0x101)->line, 1);
  EXPECT_EQ(map.statement_at(0x104)->start, 0x102);
  EXPECT_EQ(map.statement_at(0x106)->end, 0x107u);
  EXPECT_FALSE(map.statement_at(0x107));
  EXPECT_EQ(map.statement_at(0x200)->file, 1);
  EXPECT_FALSE(map.statement_at(0x201));
  // Line 3 has no code: a breakpoint there goes to line 4.
  const auto [line, addresses] = map.line_addresses({0}, 3);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(addresses, std::vector<uint16_t>{0x105});
  EXPECT_EQ(map.line_addresses({0}, 5).first, 0);
  EXPECT_EQ(map.line_addresses({0, 1}, 5).first, 10);
}

}  // namespace
}  // namespace zorm::test
