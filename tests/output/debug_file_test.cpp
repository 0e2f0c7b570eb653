#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembly/fatal_exit.h"
#include "output/debug_file.h"
#include "output/debug_reader.h"
#include "output/output_harness.h"
#include "support/assemble.h"
#include "symbols/symbol_listing.h"

namespace zorm::test {
namespace {

std::string bytes_of(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

class DebugFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  OutputHarness h;
  std::string path = dir.file("t.dbg");

  std::string contents() {
    h.as.debug.close();
    return read_file(path);
  }

  // A complete file around the given line map: processor, one file record,
  // an empty symbol section, then the line records. Returns the line section.
  std::string line_section(const std::vector<LineMapEntry>& entries) {
    h.as.debug.line_map.clear();
    EXPECT_TRUE(h.as.debug.create_debug_file(path));
    h.as.debug.write_processor_record(0x5A000503);
    h.as.debug.write_file_record("t.asm");
    finish_pass1_symbols(h.as.pass1_symbols());
    for (const LineMapEntry& e : entries) h.as.debug.line_map.add(e.address, e.line, e.file_index);
    h.as.debug.finish_debug_file();
    const std::string all = contents();
    const size_t prefix = debug_file_header(DEBUG_IDENTIFICATION_TEXT, 60, 0, DEBUG_NOTICE_TEXT).size() + 4 + 6 + 1 + 1;
    return all.size() >= prefix ? all.substr(prefix) : std::string();
  }
};

// --- header ---------------------------------------------------------------

TEST_F(DebugFileTest, HeaderWithEmptyNoticeMatchesTheKnownBytes) {
  const std::string header = debug_file_header(DEBUG_IDENTIFICATION_TEXT, 60, 0, "");
  ASSERT_EQ(header.size(), 84u);
  EXPECT_EQ(header.substr(0, 12), "INFO1D\b\b\b\b\b\b");
  EXPECT_EQ(header.substr(12, 67),
            "This is a Quenmarch source-level debug information file [0.60]\r\n\r\n\x1a");
  EXPECT_EQ(header.substr(79), bytes_of({0x00, 0x00, 0x01, 0xF2, 0x1E}));
}

TEST_F(DebugFileTest, CreatedFileHeaderReadsBack) {
  ASSERT_TRUE(h.as.debug.create_debug_file(path));
  const DebugInfo info = read_debug_info(contents());
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.identification, DEBUG_IDENTIFICATION_TEXT);
  EXPECT_EQ(info.version, 60u);
  EXPECT_EQ(info.notice, "Written by ZORM");
  EXPECT_EQ(info.flags, 0x0001u);
  EXPECT_EQ(info.stored_checksum, info.computed_checksum);
  EXPECT_EQ(info.header_length, 84u + 15u);
  EXPECT_FALSE(info.has_processor);
}

TEST_F(DebugFileTest, FlagsKeepBitZeroAndVersionsAbove999AreRefused) {
  DebugInfo info = read_debug_info(debug_file_header("id", 999, 0x0100, "n"));
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.version, 999u);
  EXPECT_EQ(info.flags, 0x0101u);
  EXPECT_EQ(info.stored_checksum, info.computed_checksum);
  EXPECT_EQ(debug_file_header("id", 1000, 0, "n"), "");
  EXPECT_FALSE(h.as.debug.create_debug_file(path, "id", 1000, 0, "n"));
  EXPECT_FALSE(dir.exists("t.dbg"));
  EXPECT_FALSE(h.as.debug.is_open());
}

TEST_F(DebugFileTest, ChecksumRotatesBeforeAdding) {
  EXPECT_EQ(debug_header_checksum("\x01\x01", 2), 3);
  const uint8_t wrap[] = {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // bit 15 comes round to bit 0
  EXPECT_EQ(debug_header_checksum(wrap, 10), 0x0001);
}

TEST_F(DebugFileTest, UncreatableFileIsReported) {
  EXPECT_FALSE(h.as.debug.create_debug_file(dir.file("no/such/folder/t.dbg")));
  EXPECT_FALSE(h.as.debug.is_open());
  struct stat st;
  if (stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) {
    EXPECT_FALSE(h.as.debug.create_debug_file("/dev/full"));
    EXPECT_FALSE(h.as.debug.is_open());
  }
}

// --- whole file -------------------------------------------------------------

TEST_F(DebugFileTest, StagesReadBackAsWritten) {
  ASSERT_TRUE(h.as.debug.create_debug_file(path));
  h.as.debug.write_processor_record(0x6901F900);
  h.as.debug.write_file_record("main.asm");
  h.as.debug.write_file_record("lib/io.inc");
  h.as.debug.write_file_record("main.asm");  // opened twice, listed twice
  h.as.symbols.symbol_define("start", 0x0100, SYM_LABEL, 0x05);
  h.as.symbols.symbol_define("big", 70000, SYM_LABEL, 0x50);
  h.as.symbols.symbol_define("mac", 0, SYM_MACRO, 0);
  h.as.symbols.symbol_define("count", -3, SYM_SET, 0x50);
  finish_pass1_symbols(h.as.pass1_symbols());
  h.as.debug.line_map.add(0x0100, 1, 0);
  h.as.debug.line_map.add(0x0103, 2, 0);
  h.as.debug.line_map.add(0x0104, 5, 1);
  h.as.debug.line_map.add(0x0105, 4, 0);
  h.as.debug.finish_debug_file();

  const DebugInfo info = read_debug_info(contents());
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.processor, 0x6901F900u);
  EXPECT_EQ(info.files, (std::vector<std::string>{"main.asm", "lib/io.inc", "main.asm"}));
  ASSERT_TRUE(info.has_symbols);
  ASSERT_EQ(info.symbols.size(), 3u);  // the macro is left out; name order: big, count, start
  EXPECT_EQ(info.symbols[0].name, "big");
  EXPECT_EQ(info.symbols[0].attributes, 0xD0);
  EXPECT_EQ(info.symbols[0].value, 70000);
  EXPECT_EQ(info.symbols[1].name, "count");
  EXPECT_EQ(info.symbols[1].value, -3);
  EXPECT_EQ(info.symbols[2].name, "start");
  EXPECT_EQ(info.symbols[2].attributes, 0x05);
  EXPECT_EQ(info.symbols[2].value, 0x0100);
  ASSERT_TRUE(info.has_lines);
  EXPECT_EQ(info.lines, (std::vector<DebugLine>{{0, 1, 0x0100, true},
                                                {0, 2, 0x0103, false},
                                                {1, 5, 0x0104, true},
                                                {0, 4, 0x0105, true}}));
  EXPECT_EQ(info.trailing, 0u);
}

TEST_F(DebugFileTest, SymbolRecordsMatchTheKnownBytes) {
  ASSERT_TRUE(h.as.debug.create_debug_file(path));
  h.as.debug.write_processor_record(0);
  h.as.symbols.symbol_define("CNT", 0x1234, SYM_LABEL, 0x50);
  h.as.symbols.symbol_define("CNTM", -1, SYM_SET, 0x50);
  h.as.symbols.symbol_define("top", 0xFFFF, SYM_LABEL, 0x00);
  h.as.symbols.symbol_define("undef", 7, SYM_UNDEFINED, 0);
  finish_pass1_symbols(h.as.pass1_symbols());
  const std::string all = contents();
  const size_t start = read_debug_info(all).header_length + 4;
  EXPECT_EQ(all.substr(start), bytes_of({0x00,                                                      // files end
                                         0x03, 'C', 'N', 'T', 0x50, 0x12, 0x34,                     //
                                         0x04, 'C', 'N', 'T', 'M', 0xD0, 0xFF, 0xFF, 0xFF, 0xFF,    //
                                         0x03, 't', 'o', 'p', 0x00, 0xFF, 0xFF,                     //
                                         0x00}));                                                   // symbols end
  EXPECT_EQ(h.as.symbols.find("CNTM")->attributes, 0xD0) << "bit 7 stays set in the table";
  EXPECT_EQ(h.as.symbols.find("CNT")->attributes, 0x50);
  EXPECT_EQ(h.as.diagnostics.error_count, 1u);
}

TEST_F(DebugFileTest, FailedPassOneLeavesTheFileEndingAfterTheSymbols) {
  ASSERT_TRUE(h.as.debug.create_debug_file(path));
  h.as.debug.write_processor_record(0x5A000503);
  h.as.debug.write_file_record("t.asm");
  h.as.symbols.symbol_define("missing", 3, SYM_UNDEFINED, 0);
  h.as.symbols.symbol_define("here", 1, SYM_LABEL, 0);
  finish_pass1_symbols(h.as.pass1_symbols());
  const std::string all = contents();
  const DebugInfo info = read_debug_info(all);
  ASSERT_EQ(info.error, "");
  EXPECT_TRUE(info.has_symbols);
  EXPECT_EQ(info.symbols.size(), 1u);
  EXPECT_FALSE(info.has_lines);
  EXPECT_EQ(all.back(), '\0');
}

TEST_F(DebugFileTest, OverlongPathsAndNamesAreCutTo255Characters) {
  const std::string long_path = std::string(250, 'd') + "/file.asm";  // 259 characters
  const std::string long_name = std::string(300, 'n');
  ASSERT_TRUE(h.as.debug.create_debug_file(path));
  h.as.debug.write_processor_record(0);
  h.as.debug.write_file_record(long_path);
  h.as.symbols.symbol_define(long_name, 1, SYM_LABEL, 0);
  finish_pass1_symbols(h.as.pass1_symbols());
  const DebugInfo info = read_debug_info(contents());
  ASSERT_EQ(info.error, "");
  ASSERT_EQ(info.files.size(), 1u);
  EXPECT_EQ(info.files[0], long_path.substr(0, 255));
  ASSERT_EQ(info.symbols.size(), 1u);
  EXPECT_EQ(info.symbols[0].name, long_name.substr(0, 255));
  EXPECT_EQ(info.symbols[0].value, 1);
}

// --- line records -------------------------------------------------------------

TEST_F(DebugFileTest, FullAndShortLineRecords) {
  struct Case {
    std::vector<LineMapEntry> entries;
    std::string bytes;
  } cases[] = {
      // Three one-byte instructions on lines 1 to 3.
      {{{0x0100, 1, 0}, {0x0101, 2, 0}, {0x0102, 3, 0}},
       bytes_of({0x80, 0x00, 0x01, 0x01, 0x00, 0x01, 0x01, 0x01, 0x01, 0x00})},
      // A line step of 127 and an address step of 255 still fit a short record.
      {{{0x0100, 1, 0}, {0x01FF, 128, 0}}, bytes_of({0x80, 0x00, 0x01, 0x01, 0x00, 0x7F, 0xFF, 0x00})},
      {{{0x0100, 10, 0}, {0x0110, 200, 0}},
       bytes_of({0x80, 0x00, 0x0A, 0x01, 0x00, 0x80, 0x00, 0xC8, 0x01, 0x10, 0x00})},
      {{{0x0100, 1, 0}, {0x0200, 2, 0}},
       bytes_of({0x80, 0x00, 0x01, 0x01, 0x00, 0x80, 0x00, 0x02, 0x02, 0x00, 0x00})},
      // A line number that goes back.
      {{{0x0100, 5, 0}, {0x0101, 4, 0}},
       bytes_of({0x80, 0x00, 0x05, 0x01, 0x00, 0x80, 0x00, 0x04, 0x01, 0x01, 0x00})},
      // Two statements of one line (a macro call): the next line is measured
      // from the first, 0x101 bytes away.
      {{{0x0200, 7, 0}, {0x0203, 7, 0}, {0x0301, 8, 0}},
       bytes_of({0x80, 0x00, 0x07, 0x02, 0x00, 0x80, 0x00, 0x08, 0x03, 0x01, 0x00})},
  };
  for (const Case& c : cases) EXPECT_EQ(line_section(c.entries), c.bytes);
}

TEST_F(DebugFileTest, FilesFromIndex128AreLeftOut) {
  line_section({{0x0100, 1, 0}, {0x0101, 1, 128}, {0x0102, 9, 200}, {0x0103, 2, 0}, {0x0104, 3, 127}});
  const DebugInfo info = read_debug_info(read_file(path));
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.lines, (std::vector<DebugLine>{{0, 1, 0x0100, true},
                                                {0, 2, 0x0103, false},
                                                {127, 3, 0x0104, true}}));
}

TEST_F(DebugFileTest, AddressesAndLinesKeepTheirLow16Bits) {
  line_section({{0xFFFF, 70000, 0}, {0x10001, 70001, 0}, {0x10101, 70002, 0}});
  const DebugInfo info = read_debug_info(read_file(path));
  ASSERT_EQ(info.error, "");
  EXPECT_EQ(info.lines, (std::vector<DebugLine>{{0, 70000 & 0xFFFF, 0xFFFF, true},
                                                {0, 70001 & 0xFFFF, 0x0001, false},
                                                {0, 70002 & 0xFFFF, 0x0101, true}}));
}

}  // namespace
}  // namespace zorm::test
