#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "assembly/fatal_exit.h"
#include "output/object_writer.h"
#include "output/output_harness.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

constexpr int BINARY = 0;
constexpr int S_RECORDS = 1;
constexpr int INTEL_HEX = 2;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

unsigned hex_byte(const std::string& s, size_t at) { return static_cast<unsigned>(std::stoul(s.substr(at, 2), nullptr, 16)); }

// Checks a record's own checksum, independently of the writer.
void expect_valid_record(const std::string& line) {
  ASSERT_GE(line.size(), 10u) << line;
  unsigned sum = 0;
  if (line[0] == 'S') {
    const unsigned length = hex_byte(line, 2);
    ASSERT_EQ(line.size(), 4 + 2 * length) << line;
    for (size_t i = 2; i + 2 < line.size(); i += 2) sum += hex_byte(line, i);
    EXPECT_EQ(hex_byte(line, line.size() - 2), ~sum & 0xFF) << line;
  } else {
    ASSERT_EQ(line[0], ':') << line;
    const unsigned count = hex_byte(line, 1);
    ASSERT_EQ(line.size(), 11 + 2 * count) << line;
    for (size_t i = 1; i < line.size(); i += 2) sum += hex_byte(line, i);
    EXPECT_EQ(sum & 0xFF, 0u) << line;
  }
  for (char c : line.substr(1)) EXPECT_TRUE(std::isdigit(c) || (c >= 'A' && c <= 'F')) << line;
}

// Address and length of every data record.
std::vector<std::pair<unsigned, unsigned>> data_records(const std::vector<std::string>& lines) {
  std::vector<std::pair<unsigned, unsigned>> records;
  for (const std::string& line : lines) {
    if (line.rfind("S1", 0) == 0) records.push_back({hex_byte(line, 4) * 256 + hex_byte(line, 6), hex_byte(line, 2) - 3});
    if (line[0] == ':' && line.substr(7, 2) == "00")
      records.push_back({hex_byte(line, 3) * 256 + hex_byte(line, 5), hex_byte(line, 1)});
  }
  return records;
}

std::vector<std::string> folder_entries(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename());
  return names;
}

class ObjectWriterTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path(const char* name = "t.obj") const { return dir.file(name); }
};

// --- binary ---------------------------------------------------------------

TEST_F(ObjectWriterTest, BinaryCoversLowestToHighestUsedAddressWithFillInGaps) {
  for (uint8_t fill : {uint8_t{0xFF}, uint8_t{0x00}}) {
    OutputHarness h(fill);
    h.store(0x0100, {0x3E, 0x05, 0x00});
    h.store(0x0200, {0xC9});
    write_object_file(h.as.object_request(path(), BINARY, 0x10000));
    const std::string bytes = read_file(path());
    ASSERT_EQ(bytes.size(), 257u);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x3E\x05\x00", 3));
    EXPECT_EQ(bytes.substr(3, 253), std::string(253, static_cast<char>(fill)));
    EXPECT_EQ(static_cast<uint8_t>(bytes[256]), 0xC9);
    EXPECT_EQ(h.listing(), "Wrote binary from address $0100 through $0200.\nTotal size 257 bytes.\n\f");
    EXPECT_EQ(h.out.text(), "");
  }
}

TEST_F(ObjectWriterTest, BinaryReportsStartAddressAndVerboseMessages) {
  OutputHarness h;
  h.as.options.verbose = true;
  h.as.conditionals.start_address = 0x0100;
  h.store(0x0100, {0x00});
  write_object_file(h.as.object_request(path(), BINARY, 0x10000));
  const std::string report =
      "Wrote binary from address $0100 through $0100.\nTotal size 1 bytes.\n"
      "Program start address is at $0100 (256).\n";
  EXPECT_EQ(h.listing(), report + "\f");
  EXPECT_EQ(h.out.text(), "Checking binary file boundaries.\nWriting binary file \"" + path() + "\".\n" + report);
  EXPECT_TRUE(h.as.listing.listing_page_used);
}

TEST_F(ObjectWriterTest, BinaryWithoutCodeCreatesNoFile) {
  OutputHarness h;
  h.as.options.verbose = true;
  write_object_file(h.as.object_request(path(), BINARY, 0x10000));
  EXPECT_FALSE(dir.exists("t.obj"));
  EXPECT_EQ(h.listing(), "No code generated.\n\f");
  EXPECT_EQ(h.out.text(), "Checking binary file boundaries.\nNo code generated.\n");
}

TEST_F(ObjectWriterTest, NothingAtOrAboveTheLimitIsWritten) {
  OutputHarness h;
  h.store(0x0FFE, {0x11, 0x22, 0x33, 0x44});  // 0x1000 and 0x1001 lie beyond a 4 KiB limit
  write_object_file(h.as.object_request(path("a.bin"), BINARY, 0x1000));
  EXPECT_EQ(read_file(path("a.bin")), "\x11\x22");
  write_object_file(h.as.object_request(path("a.s19"), S_RECORDS, 0x1000));
  EXPECT_EQ(read_file(path("a.s19")), "S1050FFE1122BA\nS5030001FB\n");
  write_object_file(h.as.object_request(path("a.hex"), INTEL_HEX, 0x1000));
  EXPECT_EQ(read_file(path("a.hex")), ":020FFE001122BE\n:00000001FF\n");
}

// --- S-records and Intel hex --------------------------------------------

TEST_F(ObjectWriterTest, RecordsWithoutCodeHoldOnlyTheClosingRecords) {
  struct Case {
    int format;
    uint8_t fill;
    int32_t start;
    const char* expected;
  } cases[] = {
      {S_RECORDS, 0xFF, -1, "S5030000FC\n"},
      {S_RECORDS, 0x00, -1, "S5030000FC\nS9030000FC\n"},  // -z takes 0 as the start
      {S_RECORDS, 0xFF, 0x0100, "S5030000FC\nS9030100FB\n"},
      {INTEL_HEX, 0xFF, -1, ":00000001FF\n"},
      {INTEL_HEX, 0x00, -1, ":00000001FF\n"},
      {INTEL_HEX, 0xFF, 0x0100, ":00010001FE\n"},
  };
  for (const Case& c : cases) {
    OutputHarness h(c.fill);
    h.as.conditionals.start_address = c.start;
    write_object_file(h.as.object_request(path(), c.format, 0x10000));
    EXPECT_EQ(read_file(path()), c.expected);
    EXPECT_EQ(h.listing(), "") << "record writers leave the listing alone";
  }
}

TEST_F(ObjectWriterTest, RecordsSplitAtThirtyTwoByteBoundariesAndGaps) {
  struct Case {
    uint32_t first, last;
    std::vector<std::pair<unsigned, unsigned>> records;
  } cases[] = {
      {0x0100, 0x017F, {{0x0100, 32}, {0x0120, 32}, {0x0140, 32}, {0x0160, 32}}},
      {0x0110, 0x0130, {{0x0110, 16}, {0x0120, 17}}},
      {0x001F, 0x0021, {{0x001F, 1}, {0x0020, 2}}},
      {0xFFF0, 0xFFFF, {{0xFFF0, 16}}},
  };
  for (const Case& c : cases) {
    for (int format : {S_RECORDS, INTEL_HEX}) {
      OutputHarness h;
      h.fill(c.first, c.last);
      write_object_file(h.as.object_request(path(), format, 0x10000));
      const std::vector<std::string> lines = lines_of(read_file(path()));
      for (const std::string& line : lines) expect_valid_record(line);
      EXPECT_EQ(data_records(lines), c.records) << std::hex << c.first;
    }
  }
  // An unused byte ends a record.
  OutputHarness h;
  h.store(0x40, {1, 2});
  h.store(0x43, {3});
  write_object_file(h.as.object_request(path(), INTEL_HEX, 0x10000));
  EXPECT_EQ(read_file(path()), ":020040000102BB\n:0100430003B9\n:00000001FF\n");
}

TEST_F(ObjectWriterTest, RecordDataIsExact) {
  OutputHarness h;
  h.store(0x0100, {0x3E, 0x05, 0x00});
  h.as.conditionals.start_address = 0x0100;
  h.as.options.verbose = true;
  write_object_file(h.as.object_request(path("a.s19"), S_RECORDS, 0x10000));
  EXPECT_EQ(read_file(path("a.s19")), "S10601003E0500B5\nS5030001FB\nS9030100FB\n");
  write_object_file(h.as.object_request(path("a.hex"), INTEL_HEX, 0x10000));
  EXPECT_EQ(read_file(path("a.hex")), ":030100003E0500B9\n:00010001FE\n");
  const std::string start = "Program start address is at $0100 (256).\n";
  EXPECT_EQ(h.out.text(), "Writing s-records file \"" + path("a.s19") + "\".\n" + start +
                              "Writing intel-hex file \"" + path("a.hex") + "\".\n" + start);
}

TEST_F(ObjectWriterTest, NegativeStartAddressUsesItsLow16Bits) {
  OutputHarness h;
  h.as.conditionals.start_address = -2;
  h.as.options.verbose = true;
  h.store(0, {0});
  write_object_file(h.as.object_request(path("n.s19"), S_RECORDS, 0x10000));
  EXPECT_EQ(read_file(path("n.s19")), "S104000000FB\nS5030001FB\nS903FFFEFF\n");
  write_object_file(h.as.object_request(path("n.hex"), INTEL_HEX, 0x10000));
  EXPECT_EQ(read_file(path("n.hex")), ":0100000000FF\n:00FFFE0102\n");
  write_object_file(h.as.object_request(path("n.bin"), BINARY, 0x10000));
  EXPECT_NE(h.listing().find("Program start address is at $fffe (65534).\n"), std::string::npos);
  EXPECT_NE(h.out.text().find("Program start address is at $fffe (65534).\n"), std::string::npos);
}

// --- failures: never a truncated object ----------------------------------

TEST_F(ObjectWriterTest, UncreatableObjectEndsTheRunWithStatus2) {
  const std::string folder = dir.file("sub");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  for (const std::string& name : {folder, dir.file("missing/t.hex")}) {
    for (int format : {BINARY, S_RECORDS, INTEL_HEX}) {
      OutputHarness h;
      h.store(0, {1});
      try {
        write_object_file(h.as.object_request(name, format, 0x10000));
        ADD_FAILURE() << "no failure for " << name;
      } catch (const FatalExit& fatal) {
        EXPECT_EQ(fatal.status, EXIT_FILE);
      }
      EXPECT_EQ(h.out.text(), "Can't create output file " + name + ".\n");
    }
  }
  EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"sub"});
  EXPECT_TRUE(folder_entries(folder).empty());
}

TEST_F(ObjectWriterTest, FullDeviceIsReportedAndLeftInPlace) {
  struct stat before;
  if (stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode)) GTEST_SKIP() << "no /dev/full";
  for (int format : {BINARY, S_RECORDS, INTEL_HEX}) {
    OutputHarness h;
    h.fill(0, 0x3FFF);  // more than a stdio buffer
    EXPECT_THROW(write_object_file(h.as.object_request("/dev/full", format, 0x10000)), FatalExit);
    EXPECT_EQ(h.out.text(), "Can't create output file /dev/full.\n");
    struct stat after;
    ASSERT_EQ(stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode)) << "the device was replaced";
  }
}

TEST_F(ObjectWriterTest, ExistingObjectIsReplacedWholeWithNoTemporaryLeft) {
  dir.write("t.obj", std::string(100000, 'z'));
  OutputHarness h;
  h.store(0x10, {0xAB});
  write_object_file(h.as.object_request(path(), BINARY, 0x10000));
  EXPECT_EQ(read_file(path()), "\xAB");
  EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"t.obj"});
  struct stat st;
  ASSERT_EQ(stat(path().c_str(), &st), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

}  // namespace
}  // namespace zorm::test
