#include <gtest/gtest.h>

#include <string>

#include "listing/memory_map.h"
#include "output/output_harness.h"

namespace zorm::test {
namespace {

const std::string HEADING =
    std::string(18, '-') + " Memory Usage Map ('x'=used, '-'=unused) " + std::string(19, '-') + "\n";

std::string row(const char* address, const std::string& marks) {
  std::string text = std::string(address) + " : ";
  for (size_t i = 0; i < 64; i += 16) text += marks.substr(i, 16) + " ";
  return text + "\n";
}

TEST(MemoryMapTest, OnlyRowsWithUsedAddressesAppear) {
  OutputHarness h;
  h.fill(0x0000, 0x000F);
  h.fill(0x0100, 0x0101);
  write_memory_map(h.as.image, h.as.listing, 0x10000);
  EXPECT_EQ(h.listing(), HEADING + "\n" + row("0000", std::string(16, 'x') + std::string(48, '-')) +
                             row("0100", "xx" + std::string(62, '-')) + "\n");
  EXPECT_EQ(h.as.listing.page_line_count, 5) << "every line is accounted";
}

TEST(MemoryMapTest, EmptyProgramGivesHeadingAndTwoEmptyLines) {
  OutputHarness h;
  write_memory_map(h.as.image, h.as.listing, 0x10000);
  EXPECT_EQ(h.listing(), HEADING + "\n\n");
}

TEST(MemoryMapTest, MarksFollowAddressesWithinTheRow) {
  OutputHarness h;
  h.store(0xFFC0 + 17, {0});
  h.store(0xFFC0 + 63, {0});
  write_memory_map(h.as.image, h.as.listing, 0x10000);
  std::string marks(64, '-');
  marks[17] = marks[63] = 'x';
  EXPECT_EQ(h.listing(), HEADING + "\n" + row("ffc0", marks) + "\n");
}

TEST(MemoryMapTest, LimitEndsTheRowsButRowsStayWhole) {
  OutputHarness h;
  h.store(0x0FC0, {0});
  h.store(0x1000, {0});  // beyond memsize 12
  write_memory_map(h.as.image, h.as.listing, 0x1000);
  EXPECT_EQ(h.listing(), HEADING + "\n" + row("0fc0", "x" + std::string(63, '-')) + "\n");

  // A limit inside a row: the whole row is shown, marks past the limit too.
  OutputHarness odd;
  odd.store(0x013F, {0});
  write_memory_map(odd.as.image, odd.as.listing, 0x012C);
  EXPECT_EQ(odd.listing(), HEADING + "\n" + row("0100", std::string(63, '-') + "x") + "\n");
}

TEST(MemoryMapTest, HeadingFollowsPageWidth) {
  OutputHarness h;
  h.as.options.page_width = 132;
  write_memory_map(h.as.image, h.as.listing, 0x10000);
  const std::string text = h.listing();
  const std::string first = text.substr(0, text.find('\n'));
  EXPECT_EQ(first.size(), 131u);
  EXPECT_EQ(first, std::string(45, '-') + " Memory Usage Map ('x'=used, '-'=unused) " + std::string(45, '-'));
}

}  // namespace
}  // namespace zorm::test
