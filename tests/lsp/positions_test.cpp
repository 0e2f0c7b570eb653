#include "lsp/positions.h"

#include <gtest/gtest.h>

#include <string>

namespace zorm::lsp {
namespace {

constexpr auto UTF16 = PositionEncoding::utf16;
constexpr auto UTF8 = PositionEncoding::utf8;

// Non-ASCII text in comments and strings before the names and errors the
// assembler reports by byte column: "é" is 2 bytes and 1 UTF-16 unit, "€" 3
// bytes and 1 unit, "𝄞" 4 bytes and 2 units (a surrogate pair).
const std::string TEXT =
    "; Grüße €\r\n"
    "msg:\tdb \"𝄞é\",lbl\n"
    "\n"
    "last";

TEST(Positions, LinesEndAtLineFeedsWithoutTheirCarriageReturn) {
  const LineIndex index(TEXT);
  ASSERT_EQ(index.line_count(), 4u);
  EXPECT_EQ(index.line_text(0), "; Grüße €");
  EXPECT_EQ(index.line_text(1), "msg:\tdb \"𝄞é\",lbl");
  EXPECT_EQ(index.line_text(2), "");
  EXPECT_EQ(index.line_text(3), "last");
  EXPECT_EQ(index.line_text(9), "");
  EXPECT_EQ(index.line_of(index.line_start(3) + 2), 3u);
}

TEST(Positions, ColumnsCountUtf16UnitsOrBytes) {
  const LineIndex index(TEXT);
  const size_t lbl = TEXT.find("lbl");
  // Before "lbl": msg:<tab>db<space>"𝄞é",  = 9 + 2 + 1 + 2 = 14 units, 9 + 4 + 2 + 2 = 17 bytes.
  EXPECT_EQ(index.position_of(lbl, UTF16), (ProtocolPosition{1, 14}));
  EXPECT_EQ(index.position_of(lbl, UTF8), (ProtocolPosition{1, 17}));
  EXPECT_EQ(index.offset_of({1, 14}, UTF16), lbl);
  EXPECT_EQ(index.offset_of({1, 17}, UTF8), lbl);
  EXPECT_EQ(index.position_at(2, 17, UTF16), (ProtocolPosition{1, 14}));
  EXPECT_EQ(index.position_of(TEXT.find("€"), UTF16), (ProtocolPosition{0, 8}));
  EXPECT_EQ(units_of("Grüße €", UTF16), 7u);
  EXPECT_EQ(units_of("𝄞", UTF16), 2u);
}

TEST(Positions, OutOfRangePositionsAreClampedNotTrusted) {
  const LineIndex index(TEXT);
  EXPECT_EQ(index.offset_of({0, 500}, UTF16), TEXT.find('\r'));
  EXPECT_EQ(index.offset_of({99, 0}, UTF16), TEXT.size());
  EXPECT_EQ(index.offset_of({-3, -3}, UTF16), 0u);
  // Inside the surrogate pair of 𝄞: the whole character.
  const size_t clef = TEXT.find("𝄞");
  EXPECT_EQ(index.offset_of({1, 10}, UTF16), clef + 4);
  EXPECT_EQ(index.position_of(TEXT.size() + 10, UTF16), (ProtocolPosition{3, 4}));
  EXPECT_EQ(index.position_at(40, 0, UTF16), (ProtocolPosition{3, 4}));
  EXPECT_EQ(index.line_range(2, UTF16), (ProtocolRange{{1, 0}, {1, 17}}));
}

TEST(Positions, InvalidUtf8CountsOneUnitPerByte) {
  EXPECT_EQ(units_of("a\xe9z", UTF16), 3u);       // Latin-1 é
  EXPECT_EQ(units_of("\xf0\x9d\x84", UTF16), 3u);  // a cut 4-byte sequence
  const std::string latin = "x db 'caf\xe9',y";
  const LineIndex index(latin);
  EXPECT_EQ(index.position_of(latin.find('y'), UTF16), (ProtocolPosition{0, 12}));
}

TEST(Positions, AssemblerColumnsSkipDroppedControlBytes) {
  const std::string line = "\x01ld a,\x02zz";
  EXPECT_EQ(raw_column(line, 5), 6u);   // before the second control byte
  EXPECT_EQ(raw_column(line, 6), 8u);   // "zz" starts past it
  EXPECT_EQ(assembler_column(line, 8), 6u);
  EXPECT_EQ(assembler_column("\tnop", 1), 1u);  // tab is kept
  const LineIndex index(line);
  EXPECT_EQ(index.position_at(1, 6, UTF16), (ProtocolPosition{0, 8}));
}

}  // namespace
}  // namespace zorm::lsp
