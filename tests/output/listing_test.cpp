#include <gtest/gtest.h>

#include <sstream>

#include "support/assemble.h"

namespace zorm::test {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Listing, StatementFields) {
  auto a = assemble("\torg 0x100\nstart\tld a,(ix+5)\n\tdb 1,2,3,4,5,6,7,8,9,10,11,12\n\tbss\nbuf\tds 4\n"
                    "minus\tequ -1\nbig\tequ 0x12345\n",
                    {"-q", "-l", "-x"});
  const std::string listing = a->listing();
  EXPECT_NE(listing.find("0100 =                  \torg 0x100\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("0100 : dd7e05           start\tld a,(ix+5)\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("0103 : 01020304050607.. \tdb 1,2,3,4,5,6,7,8,9,10,11,12\n"), std::string::npos);
  EXPECT_NE(listing.find("0000 =                  buf\tds 4\n"), std::string::npos);
  EXPECT_NE(listing.find("ffff =                  minus\tequ -1\n"), std::string::npos);
  EXPECT_NE(listing.find("00012345 =              big\tequ 0x12345\n"), std::string::npos);
}

TEST(Listing, CycleColumnAndClipping) {
  std::string long_comment(100, 'c');
  auto a = assemble("\tnop\n\tldir\n\tdb 1\n; " + long_comment + "\n", {"-q", "-l", "-c", "-x"});
  const std::string listing = a->listing();
  EXPECT_NE(listing.find("0000 : 00               [ 4] \tnop\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("0001 : edb0             [  ] \tldir\n"), std::string::npos) << listing;
  EXPECT_NE(listing.find("0003 : 01                    \tdb 1\n"), std::string::npos) << listing;
  // 79 - 30 = 49 characters of source text at most.
  EXPECT_NE(listing.find("                             ; " + std::string(47, 'c') + "\n"), std::string::npos) << listing;
}

TEST(Listing, PageHeadersInBothWidths) {
  auto narrow = assemble("", {"-q", "-l"});
  auto lines = lines_of(narrow->listing());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "ZORM Assembler for i8080 [1.42].                                     Page    1");
  EXPECT_EQ(lines[0].size(), 78u);
  EXPECT_EQ(lines[1], std::string(35, '-') + " t.asm " + std::string(36, '-'));
  EXPECT_EQ(lines[2], "");
  auto wide = assemble("", {"-q", "-l", "-w132"});
  auto wide_lines = lines_of(wide->listing());
  EXPECT_EQ(wide_lines[0].size(), 131u);
  EXPECT_EQ(wide_lines[0].substr(0, 57), "ZORM Assembler for i8080 [1.42].  (c) The ZORM developers");
  EXPECT_EQ(wide_lines[0].substr(122), "Page    1");
}

TEST(Listing, PagesHoldTheirHeightAndFormFeedsSeparateThem) {
  std::string source;
  for (int i = 0; i < 100; ++i) source += "\tnop\n";
  auto a = assemble(source, {"-q", "-l", "-h30"});
  const std::string listing = a->listing();
  auto lines = lines_of(listing);
  // Page 1: header (3), "lines read" line... every page holds 3 + 27 lines.
  EXPECT_EQ(lines[30].substr(0, 1), "\f");
  EXPECT_NE(lines[30].find("Page    2"), std::string::npos);
  EXPECT_EQ(listing.find('\f'), listing.find("ZORM", 10) - 1);
  auto none = assemble(source, {"-q", "-l", "-h0"});
  EXPECT_EQ(none->listing().find("Page    2"), std::string::npos);
}

TEST(Listing, ListNolistTitleAndPage) {
  auto a = assemble("\tnolist\n\tnop\n\tnolist\n\tlist\n\tdb 1\n\tlist\n\tdb 2\n\ttitle \"Part two\"\n\tpage\n\tdb 3\n",
                    {"-q", "-l"});
  const std::string listing = a->listing();
  EXPECT_NE(listing.find("\tnolist\n"), std::string::npos);
  EXPECT_EQ(listing.find("\tnop\n"), std::string::npos);
  EXPECT_EQ(listing.find("\tdb 1\n"), std::string::npos);
  EXPECT_NE(listing.find("\tdb 2\n"), std::string::npos);
  EXPECT_NE(listing.find(std::string(34, '-') + " Part two " + std::string(34, '-') + "\n"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("\f"), std::string::npos);
  auto empty_title = assemble("\ttitle \"\"\n\tpage\n\tnop\n", {"-q", "-l"});
  EXPECT_NE(empty_title->listing().find(std::string(79, '-') + "\n"), std::string::npos);
  auto range = assemble("\tpage 100\n", {"-q"});
  EXPECT_NE(range->run.out.find("Value not within allowed range."), std::string::npos);
}

TEST(Listing, ExpansionsOnlyWithTheOption) {
  const std::string source = "mc\tmacro\n\tnop\n\tendm\n\tmc\n";
  auto without = assemble(source, {"-q", "-l"});
  auto with = assemble(source, {"-q", "-l", "-m"});
  EXPECT_EQ(without->listing().find(">\tnop"), std::string::npos);
  EXPECT_NE(with->listing().find("0000 : 00              >\tnop\n"), std::string::npos) << with->listing();
}

TEST(Listing, PassOneAndPassTwoListings) {
  auto a = assemble("\tnop\n", {"-q", "-p", "-l"});
  const std::string listing = a->listing();
  // The pass-2 listing starts on a new page.
  EXPECT_NE(listing.find("1 lines read, no errors in pass 1.\n\fZORM"), std::string::npos) << listing;
  EXPECT_NE(listing.find("Page    2"), std::string::npos);
}

}  // namespace
}  // namespace zorm::test
