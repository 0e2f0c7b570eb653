#include <gtest/gtest.h>

#include <string>

#include "output/output_harness.h"
#include "symbols/symbol_listing.h"

namespace zorm::test {
namespace {

const std::string TABLE_HEAD = std::string(32, '-') + " Symbol Table " + std::string(32, '-') +
                               "\n\n              Symbol   Value        Decimal\n\n";

class SymbolListingTest : public ::testing::Test {
 protected:
  OutputHarness h;
  void define(const char* name, int32_t value, SymbolState kind, uint8_t attributes = 0x50) {
    h.as.symbols.symbol_define(name, value, kind, attributes);
  }
};

TEST_F(SymbolListingTest, UndefinedLabelsAreErrorsOfPassOne) {
  h.as.options.source_name = "prog.asm";
  define("later", 12, SYM_UNDEFINED, 0);
  define("Early", 3, SYM_UNDEFINED, 0);
  define("known", 1, SYM_LABEL);
  finish_pass1_symbols(h.as.pass1_symbols());
  const std::string report =
      "File prog.asm, Line 3 : Undefined label Early\n"
      "File prog.asm, Line 12 : Undefined label later\n";
  EXPECT_EQ(h.out.text(), report);
  EXPECT_EQ(h.listing(), report);
  EXPECT_EQ(h.as.diagnostics.error_count, 2u);
  EXPECT_EQ(h.as.listing.page_line_count, 2);
}

TEST_F(SymbolListingTest, WithoutOptionTNoTableIsWritten) {
  define("a", 1, SYM_LABEL);
  finish_pass1_symbols(h.as.pass1_symbols());
  EXPECT_EQ(h.listing(), "");
  EXPECT_EQ(h.as.diagnostics.error_count, 0u);
}

TEST_F(SymbolListingTest, TableInNameOrderWithBothNumberLayouts) {
  h.as.options.symbol_table = true;
  define("Zeta", 0x1234, SYM_LABEL);
  define("alpha", -1, SYM_LABEL);
  define("Beta", 70000, SYM_LABEL);
  define("counter", 5, SYM_SET);
  define("low", -32768, SYM_LABEL);
  define("lower", -32769, SYM_LABEL);
  define("mac", 0, SYM_MACRO, 0);
  define("ghost", 9, SYM_UNDEFINED, 0);
  define("a_very_long_symbol_name_here", 65535, SYM_LABEL);
  finish_pass1_symbols(h.as.pass1_symbols());
  const std::string text = h.listing();
  // The undefined-label line used the listing, so the table is on a new page.
  EXPECT_EQ(text.substr(0, 40), "File , Line 9 : Undefined label ghost\n\n\f");
  const size_t table = text.find(TABLE_HEAD);
  ASSERT_NE(table, std::string::npos);
  EXPECT_EQ(text.substr(table),
            TABLE_HEAD +
                "               alpha : $ffff             -1\n"
                "a_very_long_symbol_name_here : $ffff          65535\n"
                "                Beta : $00011170      70000\n"
                "             counter : $0005              5   *\n"
                "                 low : $8000         -32768\n"
                "               lower : $ffff7fff     -32769\n"
                "                 mac : <macro>\n"
                "                Zeta : $1234           4660\n"
                "\n7 labels used\n\n");
}

TEST_F(SymbolListingTest, TableStartsANewPageWhenTheListingWasUsed) {
  h.as.options.symbol_table = true;
  define("x", 1, SYM_LABEL);
  h.as.listing.listing_page_used = true;
  finish_pass1_symbols(h.as.pass1_symbols());
  const std::string text = h.listing();
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(0, 2), "\n\f") << "line feed, then the new page's form feed";
  EXPECT_NE(text.find("Page    2\n"), std::string::npos);
  EXPECT_NE(text.find(TABLE_HEAD + "                   x : $0001              1\n\n1 labels used\n\n"),
            std::string::npos);
}

TEST_F(SymbolListingTest, TableGoesToStandardOutputWithListingThere) {
  h.as.options.symbol_table = true;
  h.as.options.listing_to_stdout = true;
  define("x", 1, SYM_LABEL);
  define("u", 4, SYM_UNDEFINED, 0);
  finish_pass1_symbols(h.as.pass1_symbols());
  EXPECT_EQ(h.listing(), "");
  const std::string undefined = "File , Line 4 : Undefined label u\n";
  EXPECT_EQ(h.out.text().substr(0, 2 * undefined.size()), undefined + undefined);
  EXPECT_NE(h.out.text().find("\n1 labels used\n\n"), std::string::npos);
}

}  // namespace
}  // namespace zorm::test
