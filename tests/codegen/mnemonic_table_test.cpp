#include <gtest/gtest.h>

#include <cstring>

#include "assembly/options.h"
#include "codegen/mnemonic_table.h"
#include "operand_tables.h"
#include "parse/tokens.h"

namespace zorm {
namespace {

TEST(MnemonicTable, HoldsEveryMnemonicSortedForBinarySearch) {
  EXPECT_EQ(MNEMONIC_COUNT, 119);
  for (int i = 1; i < MNEMONIC_COUNT; ++i)
    EXPECT_LT(std::strcmp(MNEMONIC_TABLE[i - 1].name, MNEMONIC_TABLE[i].name), 0) << MNEMONIC_TABLE[i].name;
  // Both lookups: the exact-match index of the default comparison and the
  // binary search that -i uses.
  for (auto compare : {keyword_strcmp, static_cast<KeywordCompare>(std::strcoll)}) {
    for (int i = 0; i < MNEMONIC_COUNT; ++i) EXPECT_EQ(find_mnemonic(MNEMONIC_TABLE[i].name, compare), &MNEMONIC_TABLE[i]);
    for (const char* absent : {"LD", "zzz", "", "l", "ldd2", "a"}) EXPECT_EQ(find_mnemonic(absent, compare), nullptr) << absent;
  }
  EXPECT_EQ(assignment_row().name, nullptr);
  EXPECT_EQ(assignment_row().label_rule, LABEL_REQUIRED);
}

TEST(MnemonicTable, RowsAgreeWithTheGrammarAndTheConditionalFlag) {
  for (int i = 0; i <= MNEMONIC_COUNT; ++i) {
    const MnemonicEntry& row = MNEMONIC_TABLE[i];
    if (row.operand_class != 0) {
      EXPECT_GE(row.operand_class, TOKEN_CLASS_STRUCT);
      EXPECT_LE(row.operand_class, TOKEN_CLASS_TSTIO);
      EXPECT_EQ(grammar::kTokenNames[row.operand_class][0], '<');
    }
    const bool conditional = row.name != nullptr && (std::strcmp(row.name, "if") == 0 || std::strcmp(row.name, "else") == 0 ||
                                                     std::strcmp(row.name, "endif") == 0);
    EXPECT_EQ(row.conditional != 0, conditional) << (row.name ? row.name : "=");
  }
}

TEST(MnemonicTable, TokenCodesMatchTheGrammar) {
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_NEWLINE2], "<newline2>");
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_CLASS_LOAD], "<load>");
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_AF_PRIME], "<af'>");
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_CARET], "^");
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_KW_STRUCT], "struct");
  EXPECT_STREQ(grammar::kTokenNames[TOKEN_TILDE], "~");
  for (int k = 0; k < KEYWORD_COUNT; ++k) EXPECT_STREQ(grammar::kTokenNames[TOKEN_KEYWORD_FIRST + k], KEYWORD_TABLE[k]);
}

}  // namespace
}  // namespace zorm
