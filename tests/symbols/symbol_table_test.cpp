#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "support/assemble.h"

namespace zorm::test {
namespace {

TEST(SymbolTable, CollationPutsLettersBeforeDigits) {
  EXPECT_LT(symbol_compare("ABC", "Abc"), 0);
  EXPECT_LT(symbol_compare("Abc", "abc"), 0);
  EXPECT_LT(symbol_compare("abc", "b1"), 0);
  EXPECT_LT(symbol_compare("bA", "b1"), 0);  // every letter sorts below every digit
  EXPECT_LT(symbol_compare("ab", "abc"), 0);
  EXPECT_EQ(symbol_compare("Loop", "Loop"), 0);
  EXPECT_NE(symbol_compare("Loop", "loop"), 0);
  EXPECT_LT(symbol_compare("a0", "a_"), 0);
  EXPECT_GT(symbol_compare("z", "Z"), 0);
  EXPECT_GT(symbol_compare("Z", "a"), 0);
}

TEST(SymbolTable, InOrderTraversalFollowsTheCollation) {
  TextStream out, err;
  Assembler as(out, err);
  for (const char* name : {"Zeta", "alpha", "Beta", "b1", "bA", "_x", "A"}) as.symbols.symbol_define(name, 1, SYM_LABEL, 0);
  std::vector<std::string> names;
  for (const Symbol* s : as.symbols.in_order()) names.emplace_back(s->name());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "alpha", "Beta", "bA", "b1", "Zeta", "_x"}));
}

TEST(SymbolTable, DefinitionRulesInBothPasses) {
  TextStream out, err;
  Assembler as(out, err);
  SymbolTable& symbols = as.symbols;
  EXPECT_EQ(symbols.symbol_define("x", 1, SYM_SET, 0x50), DEFINE_OK);
  EXPECT_EQ(symbols.symbol_define("x", 2, SYM_SET, 0x50), DEFINE_OK);
  EXPECT_EQ(symbols.find("x")->value, 2);
  EXPECT_EQ(symbols.symbol_define("x", 1, SYM_LABEL, 0x50), DEFINE_OK);  // a set name may become a label
  EXPECT_EQ(symbols.symbol_define("x", 3, SYM_SET, 0x50), DEFINE_REDEFINED);
  EXPECT_EQ(symbols.find("x")->value, 1);
  as.pass_number = 1;
  EXPECT_EQ(symbols.symbol_define("x", 1, SYM_LABEL, 0x50), DEFINE_OK);
  EXPECT_EQ(symbols.symbol_define("x", 9, SYM_LABEL, 0x50), DEFINE_PHASE_ERROR);
  EXPECT_EQ(symbols.find("x")->value, 1);
}

TEST(SymbolTable, ReferencesBeforeDefinition) {
  // A forward reference is entered as undefined and becomes a label.
  auto result = assemble("first equ later+1\nlater equ 5\n");
  EXPECT_EQ(result->run.status, 3);  // first keeps 1 from pass 1: a phase error in pass 2
  EXPECT_NE(result->run.out.find("Phase error between passes."), std::string::npos);
  auto fine = assemble("later equ 5\nfirst equ later+1\n");
  EXPECT_EQ(fine->run.status, 0);
  EXPECT_EQ(fine->run.assembler->symbols.find("first")->value, 6);
}

TEST(SymbolTable, UndefinedLabelsAreReportedOnceWithTheirFirstLine) {
  TempDir dir;
  dir.write("inc.asm", "bb equ missing\n");
  dir.write("t.asm", "\n\nx equ missing\n\tinclude \"" + dir.file("inc.asm") + "\"\ny equ other+missing\n");
  RunResult run = run_assembler({"-q", dir.file("t.asm")});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "File " + dir.file("t.asm") + ", Line 3 : Undefined label missing\n" +
                         "File " + dir.file("t.asm") + ", Line 5 : Undefined label other\n" +
                         "6 lines read, 2 errors in pass 1.\n");
}

TEST(SymbolTable, ConditionalsDoNotEnterUnknownNames) {
  auto result = assemble("\tif never_seen\nx equ 1\n\telse\nx equ 2\n\tendif\n");
  EXPECT_EQ(result->run.status, 0) << result->run.out;
  EXPECT_EQ(result->run.assembler->symbols.find("never_seen"), nullptr);
  EXPECT_EQ(result->run.assembler->symbols.find("x")->value, 2);
}

TEST(SymbolTable, ManySymbolsInNameOrder) {
  TextStream out, err;
  Assembler as(out, err);
  char name[16];
  for (int i = 0; i < 50000; ++i) {
    std::snprintf(name, sizeof name, "L%05d", i);
    ASSERT_EQ(as.symbols.symbol_define(name, i, SYM_LABEL, 0), DEFINE_OK);
  }
  EXPECT_EQ(as.symbols.symbol_lookup("L04711").value, 4711);
  auto order = as.symbols.in_order();
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end(),
                             [](const Symbol* a, const Symbol* b) { return symbol_compare(a->name(), b->name()) < 0; }));
}

TEST(SymbolTable, IndicesFollowTheOrderOfEntryAcrossGrowth) {
  TextStream out, err;
  Assembler as(out, err);
  SymbolTable& symbols = as.symbols;
  // Defined names and names met before their definition are both entered;
  // 10,000 names grow the hash index several times and fill more than one
  // block of symbols, which never move.
  std::vector<const Symbol*> entered;
  char name[16];
  for (int i = 0; i < 10000; ++i) {
    std::snprintf(name, sizeof name, "n%d", i);
    if (i % 3 == 0) {
      symbols.symbol_lookup(name);
    } else {
      symbols.symbol_define(name, i, SYM_LABEL, 0);
    }
    entered.push_back(symbols.find(name));
  }
  symbols.symbol_define("n6", 60, SYM_LABEL, 0);  // defining a name met before keeps its place
  ASSERT_EQ(symbols.size(), entered.size());
  for (uint32_t i = 0; i < entered.size(); ++i) {
    ASSERT_EQ(entered[i]->index, i);
    ASSERT_EQ(&symbols.at(i), entered[i]);
    std::snprintf(name, sizeof name, "n%u", i);
    ASSERT_EQ(symbols.at(i).name(), name);
    ASSERT_EQ(symbols.at(i).name_data[symbols.at(i).name_length], '\0');
  }
  EXPECT_EQ(std::as_const(symbols).at(6).value, 60);
  // Every symbol is found again by its name, and listed once in name order.
  for (uint32_t i = 0; i < entered.size(); ++i) ASSERT_EQ(symbols.find(entered[i]->name()), entered[i]);
  const std::vector<Symbol*> listed = symbols.in_order();
  ASSERT_EQ(listed.size(), entered.size());
  for (size_t i = 1; i < listed.size(); ++i) ASSERT_LT(symbol_compare(listed[i - 1]->name(), listed[i]->name()), 0);
  EXPECT_EQ(symbols.in_order(SYM_UNDEFINED).size(), 3333u);
}

TEST(SymbolTable, MacroBodiesBelongToTheirSymbolAndOutliveReplacement) {
  TextStream out, err;
  Assembler as(out, err);
  SymbolTable& symbols = as.symbols;
  symbols.symbol_define("one", 0, SYM_MACRO, 0);
  symbols.symbol_define("two", 0, SYM_MACRO, 0);
  Symbol& one = *symbols.find("one");
  Symbol& two = *symbols.find("two");
  EXPECT_EQ(symbols.macro_body(one), nullptr);
  symbols.set_macro_body(one, std::make_shared<const std::string>("\tnop\n"));
  symbols.set_macro_body(two, std::make_shared<const std::string>("\thalt\n"));
  // An expansion keeps the body it started with when the macro is stored again.
  const std::shared_ptr<const std::string> running = symbols.macro_body(one);
  symbols.set_macro_body(one, std::make_shared<const std::string>("\tdi\n"));
  EXPECT_EQ(*running, "\tnop\n");
  EXPECT_EQ(*symbols.macro_body(one), "\tdi\n");
  EXPECT_EQ(*symbols.macro_body(two), "\thalt\n");
}

}  // namespace
}  // namespace zorm::test
