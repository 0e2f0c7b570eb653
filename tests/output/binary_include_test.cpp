#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "listing/error_codes.h"
#include "output/object_writer.h"
#include "output/output_harness.h"
#include "source/binary_include.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

std::string hex2(unsigned v) {
  char buffer[3];
  std::snprintf(buffer, sizeof buffer, "%02X", v & 0xFF);
  return buffer;
}

std::vector<uint8_t> sequence(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(first + i));
  return bytes;
}

// Record lines built here, apart from the object writer.
std::string intel(unsigned address, const std::vector<uint8_t>& data, unsigned type = 0) {
  unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  std::string line = ":";
  line += hex2(static_cast<unsigned>(data.size()));
  line += hex2(address >> 8);
  line += hex2(address);
  line += hex2(type);
  for (uint8_t b : data) {
    sum += b;
    line += hex2(b);
  }
  return line + hex2(-sum) + "\n";
}

std::string srec(unsigned address, const std::vector<uint8_t>& data, char type = '1') {
  const unsigned length = static_cast<unsigned>(data.size()) + 3;
  unsigned sum = length + (address >> 8) + (address & 0xFF);
  std::string line = "S";
  line += type;
  line += hex2(length);
  line += hex2(address >> 8);
  line += hex2(address);
  for (uint8_t b : data) {
    sum += b;
    line += hex2(b);
  }
  return line + hex2(~sum) + "\n";
}

class IncludeTest : public ::testing::Test {
 protected:
  TempDir dir;
  OutputHarness h;

  void SetUp() override { at(0x8000); }

  void at(uint32_t origin) {
    h.as.image.location_counter = origin;
    h.as.image.begin_statement();
  }
  int records(const std::string& text, const char* name = "r.hex") {
    return include_records(h.as, dir.write(name, text));
  }
  std::vector<uint8_t> bytes(uint32_t address, uint32_t count) const {
    std::vector<uint8_t> result;
    for (uint32_t i = 0; i < count; ++i) result.push_back(static_cast<uint8_t>(h.as.image.image_read(address + i)));
    return result;
  }
  // Number of used addresses in the image.
  int used_count() const {
    int n = 0;
    for (uint32_t a = 0; a < IMAGE_SIZE; ++a) n += h.as.image.used(a) ? 1 : 0;
    return n;
  }
};

// --- binary -------------------------------------------------------------------

TEST_F(IncludeTest, BinaryFiles) {
  EXPECT_EQ(include_binary(h.as, dir.write("b.bin", std::string("\x01\x00\xFF\x7F", 4))), 0);
  EXPECT_EQ(h.as.image.statement_length, 4);
  EXPECT_EQ(bytes(0x8000, 4), (std::vector<uint8_t>{0x01, 0x00, 0xFF, 0x7F}));

  at(0x9000);
  EXPECT_EQ(include_binary(h.as, dir.write("empty.bin", "")), 0);
  EXPECT_EQ(h.as.image.statement_length, 0);
  EXPECT_EQ(include_binary(h.as, dir.file("missing.bin")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(include_records(h.as, dir.file("missing.s19")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(used_count(), 4);

  at(0);
  EXPECT_EQ(include_binary(h.as, dir.write("big.bin", std::string(INCLUDE_BYTE_LIMIT + 100, 'a'))), 0);
  EXPECT_EQ(h.as.image.statement_length, INCLUDE_BYTE_LIMIT) << "the rest is ignored";

  at(0x10);  // overlaps what the big file placed
  EXPECT_EQ(include_binary(h.as, dir.write("small.bin", "b")), ERROR_OVERWRITING);
}

// --- records: placement ---------------------------------------------------------

TEST_F(IncludeTest, ContiguousRecordsMoveToTheLocationCounter) {
  EXPECT_EQ(records(intel(0x0000, sequence(32, 0)) + intel(0x0020, sequence(16, 32)) + intel(0, {}, 1)), 0);
  EXPECT_EQ(h.as.image.statement_length, 48);
  EXPECT_EQ(bytes(0x8000, 48), sequence(48, 0));
  EXPECT_EQ(used_count(), 48);
  h.as.image.end_statement();
  EXPECT_EQ(h.as.image.location_counter, 0x8030u);
}

TEST_F(IncludeTest, GapsBetweenRecordsAreKept) {
  EXPECT_EQ(records(srec(0x0000, sequence(16, 1)) + srec(0x0100, sequence(16, 0x41))), 0);
  EXPECT_EQ(h.as.image.statement_length, 0x110);
  EXPECT_EQ(bytes(0x8000, 16), sequence(16, 1));
  EXPECT_EQ(bytes(0x8100, 16), sequence(16, 0x41));
  EXPECT_EQ(used_count(), 32) << "the bytes in between stay untouched";
}

TEST_F(IncludeTest, LaterRecordsKeepTheirDistanceFromEarlierOnes) {
  h.as.image.emit_byte(0xAA);  // the statement's bytes so far come first
  EXPECT_EQ(records(intel(0x0100, {1, 2}) + intel(0x0000, {3})), 0);
  EXPECT_EQ(bytes(0x8000, 3), (std::vector<uint8_t>{0xAA, 1, 2}));
  EXPECT_EQ(bytes(0x7F01, 1), (std::vector<uint8_t>{3}));
  EXPECT_EQ(h.as.image.statement_length, 1 - 0xFF);
}

// --- records: which lines count --------------------------------------------------

TEST_F(IncludeTest, OnlyS1LinesCarryData) {
  const std::string file = srec(0, {'h', 'd', 'r'}, '0') + srec(0x0200, {1, 2}) + "S2080000000102030405EF\n" +
                           "S30900000000010203EF\n" + srec(0x0202, {3}) + "S5030002FA\nS9030000FC\n";
  EXPECT_EQ(records(file, "r.s19"), 0);
  EXPECT_EQ(bytes(0x8000, 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(used_count(), 3);
}

TEST_F(IncludeTest, IntelNonDataRecordsAreSkippedEvenAfterEndOfFile) {
  const std::string file = intel(0, {0x10, 0x00}, 4) + intel(0, {0x12, 0x00}, 2) + intel(0x0000, {7}) +
                           intel(0, {}, 1) + intel(0x0001, {8}) + intel(0, {0, 0, 1, 0}, 5);
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(bytes(0x8000, 2), (std::vector<uint8_t>{7, 8}));
  EXPECT_EQ(used_count(), 2);
}

std::string crlf(const std::string& line) { return line.substr(0, line.size() - 1) + "\r\n"; }

TEST_F(IncludeTest, CommentsEmptyLinesLowerCaseAndLineEnds) {
  std::string data = intel(0x0000, {0xAB, 0xCD});
  for (char& c : data) c = static_cast<char>(std::tolower(c));
  const std::string file = "; made by hand\n\n" + data + "\r\n" + crlf(intel(0x0002, {0xEF})) + "\n";
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(bytes(0x8000, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
}

TEST_F(IncludeTest, LinesLongerThanTheBufferAreReadWhole) {
  // What does not fit in the 128-byte line buffer is dropped, never read as a
  // line of its own: the end of a long comment, blanks after a checksum, the
  // line end of a comment of exactly 127 characters. A comment holding NUL
  // bytes is one line too.
  std::string file(1, ';');
  file.append(300, 'c').append("\n");
  file.append(intel(0x0000, {0x01}), 0, 13).append(200, ' ').append("\n");
  file.append(1, ';').append(126, '-').append("\n");
  file.append(";\0\0 NUL\n", 8);
  file.append(intel(0x0001, {0x02}));
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(bytes(0x8000, 2), (std::vector<uint8_t>{0x01, 0x02}));
}

TEST_F(IncludeTest, InvalidLinesEndTheIncludeKeepingEarlierRecords) {
  const std::string good = intel(0x0000, {0x11});
  const std::vector<std::string> bad = {
      ":0000000000\n",                          // count 0
      intel(0x0001, sequence(57, 0)),           // count above 56
      "S1030001FB\n",                           // length below 4
      srec(0x0001, sequence(57, 0)),            // length above 59
      ":01000100G022\n",                        // G as a high digit
      ":0100010022 DC\n",                       // a space before the checksum
      ":0100010022DD\n",                        // wrong checksum
      ":010001\n",                              // shorter than its count
      "X0100010022DC\n",                        // unknown first character
      " :0100010022DC\n",                       // not in column 0
      ":010001zz22DC\n",                        // type is no hex byte
  };
  for (const std::string& line : bad) {
    OutputHarness fresh;
    fresh.as.image.location_counter = 0x8000;
    fresh.as.image.begin_statement();
    EXPECT_EQ(include_records(fresh.as, dir.write("bad.hex", good + line + intel(0x0002, {0x33}))),
              ERROR_INVALID_RECORD_LINE)
        << line;
    EXPECT_EQ(fresh.as.image.image_read(0x8000), 0x11 | USED_MARK) << line;
    EXPECT_FALSE(fresh.as.image.used(0x8002)) << line << "nothing after the bad line";
  }
  // Checksums of both kinds, right ones pass.
  EXPECT_EQ(records(good + "S104000122D8\n" + ":0100020033CA\n"), 0);
  EXPECT_EQ(bytes(0x8000, 3), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
}

TEST_F(IncludeTest, ByteBudgetLimitsAFile) {
  std::string file;
  for (unsigned a = 0; a < INCLUDE_BYTE_LIMIT; a += 32) file += intel(a, sequence(32, 0));
  at(0);
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(h.as.image.statement_length, INCLUDE_BYTE_LIMIT);

  OutputHarness over;
  over.as.image.begin_statement();
  EXPECT_EQ(include_records(over.as, dir.write("over.hex", file + intel(INCLUDE_BYTE_LIMIT, {1, 2}))),
            ERROR_INVALID_RECORD_LINE);
  EXPECT_FALSE(over.as.image.used(INCLUDE_BYTE_LIMIT));
}

TEST_F(IncludeTest, ProgressLinesOnStandardError) {
  std::string file;
  for (int i = 0; i < 100; ++i) file += "; comment\n";
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(h.err.text(), "Reading line   100\r");

  h.err.clear_text();
  h.as.options.verbose = true;
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(h.err.text(), "Reading line    25\rReading line    50\rReading line    75\rReading line   100\r");

  h.err.clear_text();
  h.as.options.quiet = true;
  EXPECT_EQ(records(file), 0);
  EXPECT_EQ(h.err.text(), "");
}

// --- round trip through the object writers ------------------------------------

TEST_F(IncludeTest, ObjectFilesIncludeBackRelocated) {
  std::mt19937 rng(12345);
  OutputHarness source;
  // Scattered blocks of random bytes between 0x0100 and 0x0900.
  for (uint32_t a = 0x0100; a < 0x0900;) {
    const uint32_t length = 1 + rng() % 80;
    for (uint32_t i = 0; i < length && a + i < 0x0900; ++i)
      source.as.image.image_store(a + i, static_cast<uint8_t>(rng()));
    a += length + rng() % 40;
  }
  for (int format : {1, 2}) {
    const std::string path = dir.file(format == 1 ? "o.s19" : "o.hex");
    write_object_file(source.as.object_request(path, format, 0x10000));
    OutputHarness target;
    target.as.image.location_counter = 0x4000;
    target.as.image.begin_statement();
    EXPECT_EQ(include_records(target.as, path), 0);
    uint32_t first = 0x0100;
    while (!source.as.image.used(first)) ++first;
    for (uint32_t a = 0; a < IMAGE_SIZE; ++a) {
      const uint32_t moved = (a - first + 0x4000) & 0xFFFF;
      ASSERT_EQ(source.as.image.image_read(a) & (source.as.image.used(a) ? 0x1FF : USED_MARK),
                target.as.image.image_read(moved) & (target.as.image.used(moved) ? 0x1FF : USED_MARK))
          << std::hex << "address " << a;
    }
  }
}

}  // namespace
}  // namespace zorm::test
