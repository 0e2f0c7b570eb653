// The keyword list and the expression evaluator, held against what the
// assembler itself accepts and computes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "zorm/zorm.h"

namespace zorm::test {
namespace {

constexpr const char* MAIN = "/nonexistent-zorm/probe.asm";

// Assembles one statement per line at a processor level and returns the
// lines that drew no error.
std::set<int> accepted_lines(const std::vector<std::string>& statements, int level) {
  std::string text;
  for (const std::string& statement : statements) text += "\t" + statement + "\n";
  OverlayProvider overlay;
  overlay.set(MAIN, text);
  AssemblyOptions options;
  options.main_file = MAIN;
  options.sources = &overlay;
  options.processor = static_cast<Processor>(level);
  const AssemblyResult result = assemble(options);
  std::set<int> refused;
  for (const Diagnostic& d : result.diagnostics) {
    if (d.severity == Severity::error && d.file == 0) refused.insert(d.line);
  }
  std::set<int> accepted;
  for (int line = 1; line <= static_cast<int>(statements.size()); ++line) {
    if (refused.count(line) == 0) accepted.insert(line);
  }
  return accepted;
}

// For each word, the levels at which at least one of its probe statements
// assembles; the probes fill "%" with the word.
std::map<std::string, uint8_t> levels_accepting(KeywordKind kind, const std::vector<std::string>& probes) {
  std::vector<std::string> statements;
  std::vector<std::string> word_of_line;
  for (const Keyword& keyword : language_keywords()) {
    if (keyword.kind != kind) continue;
    for (const std::string& probe : probes) {
      std::string statement = probe;
      statement.replace(statement.find('%'), 1, keyword.name);
      statements.push_back(statement);
      word_of_line.emplace_back(keyword.name);
    }
  }
  std::map<std::string, uint8_t> levels;
  for (const std::string& word : word_of_line) levels[word] = 0;
  for (int level = 0; level <= 5; ++level) {
    for (int line : accepted_lines(statements, level)) {
      levels[word_of_line[static_cast<size_t>(line - 1)]] |= static_cast<uint8_t>(1u << level);
    }
  }
  return levels;
}

void expect_levels_as_listed(KeywordKind kind, const std::vector<std::string>& probes) {
  const std::map<std::string, uint8_t> found = levels_accepting(kind, probes);
  for (const Keyword& keyword : language_keywords()) {
    if (keyword.kind != kind) continue;
    EXPECT_EQ(found.at(std::string(keyword.name)), keyword.levels) << keyword.name;
  }
}

TEST(LanguageKeywords, InstructionsAtExactlyTheLevelsThatAcceptThem) {
  // One operand form or another fits every instruction.
  expect_levels_as_listed(KeywordKind::instruction,
                          {"%", "% a", "% b", "% bc", "% a,b", "% hl,bc", "% 0,b", "% 1", "% $", "% de,hl",
                           "% a,(1)", "% (1),a", "% b,(1)", "% (1),b", "% 0", "% (c)"});
}

TEST(LanguageKeywords, RegistersConditionsAndOperatorsAtTheirLevels) {
  expect_levels_as_listed(KeywordKind::register_name, {"inc %", "push %", "ld a,%"});
  expect_levels_as_listed(KeywordKind::condition, {"jp %,$"});
  expect_levels_as_listed(KeywordKind::operator_word, {"db % 1"});
}

TEST(LanguageKeywords, EveryDirectiveIsKnownToTheAssembler) {
  std::vector<std::string> directives;
  for (const Keyword& keyword : language_keywords()) {
    if (keyword.kind == KeywordKind::directive && keyword.name != "label") directives.emplace_back(keyword.name);
  }
  EXPECT_GT(directives.size(), 30u);
  std::vector<std::string> statements;
  for (const std::string& name : directives) statements.push_back(name);
  OverlayProvider overlay;
  std::string text;
  for (const std::string& statement : statements) text += "\t" + statement + "\n";
  overlay.set(MAIN, text);
  AssemblyOptions options;
  options.main_file = MAIN;
  options.sources = &overlay;
  for (const Diagnostic& d : assemble(options).diagnostics) {
    EXPECT_NE(d.message, "Invalid mnemonic") << directives.at(static_cast<size_t>(d.line - 1));
  }
  // A member line of a structure body.
  overlay.set(MAIN, " struct rec\n label here\n end struct\n");
  EXPECT_EQ(assemble(options).exit_status, 0);
}

TEST(LanguageKeywords, SortedByNameWithBothMeaningsOfAWord) {
  const std::vector<Keyword>& keywords = language_keywords();
  EXPECT_TRUE(std::is_sorted(keywords.begin(), keywords.end(),
                             [](const Keyword& a, const Keyword& b) { return a.name < b.name; }));
  auto kinds_of = [&](std::string_view name) {
    std::set<KeywordKind> kinds;
    for (const Keyword& k : keywords) {
      if (k.name == name) kinds.insert(k.kind);
    }
    return kinds;
  };
  EXPECT_EQ(kinds_of("c"), (std::set<KeywordKind>{KeywordKind::register_name, KeywordKind::condition}));
  EXPECT_EQ(kinds_of("set"), (std::set<KeywordKind>{KeywordKind::instruction, KeywordKind::directive}));
  EXPECT_EQ(std::string(version()), "1.42");
}

// ---- expressions --------------------------------------------------------------

const std::vector<SymbolInfo> SYMBOLS = {
    {"start", 0x100, SymbolKind::label}, {"size", 4, SymbolKind::equ},   {"count", -3, SymbolKind::set},
    {"rec", 3, SymbolKind::structure},  {"field", 1, SymbolKind::member}, {"helper", 0, SymbolKind::macro},
};

TEST(ExpressionEvaluator, ComputesWhatAnAssemblyComputes) {
  const std::vector<std::string> expressions = {
      "1+2*3",       "(1+2)*3",        "-7/2",           "-7%2",          "0x1F|0b101",    "$FF & %1100",
      "#10 ^ @17",   "16#ff + 2#101",  "36#z",           "'A'",           "'AB'",          "\"\\n\"",
      "'ABCD'",      "1<<4>>2",        "-16>>2",         "3<4 && 5>=5",   "0 || 2",        "!0 + ~0",
      "1=1 != 0",   "2<=1",           "hi $1234",       "lo $1234",      "start+size*2",  "count-rec+field",
      "(start)/3",   "-(-5)",          "2+3*4-5/2%3&7",  "1 | 2 ^ 3 & 4", "3 > 2 > 1",     "'a' - 'A'",
  };
  // The value an assembly gives an equ of the same text, over the same names.
  std::string text =
      "start\tequ $100\nsize\tequ 4\ncount\tset -3\n struct rec\n db f0\n db field\n db f2\n end struct\n";
  for (size_t i = 0; i < expressions.size(); ++i) text += "v" + std::to_string(i) + "\tequ " + expressions[i] + "\n";
  OverlayProvider overlay;
  overlay.set(MAIN, text);
  AssemblyOptions options;
  options.main_file = MAIN;
  options.sources = &overlay;
  options.processor = Processor::z80;
  const AssemblyResult assembled = assemble(options);
  ASSERT_EQ(assembled.exit_status, 0) << assembled.standard_output;
  std::map<std::string, int32_t> values;
  for (const SymbolInfo& symbol : assembled.symbols) values[symbol.name] = symbol.value;

  ExpressionEvaluator evaluator(SYMBOLS);
  for (size_t i = 0; i < expressions.size(); ++i) {
    const ExpressionValue value = evaluator.evaluate(expressions[i]);
    ASSERT_TRUE(value.ok) << expressions[i] << ": " << value.error;
    EXPECT_EQ(value.value, values.at("v" + std::to_string(i))) << expressions[i];
  }
}

TEST(ExpressionEvaluator, ErrorsCarryTheAssemblersMessages) {
  ExpressionEvaluator evaluator(SYMBOLS, Processor::i8080);
  struct Case {
    const char* expression;
    const char* error;
  };
  const Case cases[] = {
      {"1/0", "Division by zero"},  {"5 % (size-4)", "Division by zero"}, {"nowhere+1", "Undefined label"},
      {"helper", "Undefined label"}, {"1 2", "Syntax error"},              {"", "Syntax error"},
      {"(1", "Syntax error"},       {"'toolong'", "Value not within allowed range"},
      {"a", "Syntax error"},        {"1\n2", "Syntax error"},
  };
  for (const Case& c : cases) {
    const ExpressionValue value = evaluator.evaluate(c.expression);
    EXPECT_FALSE(value.ok) << c.expression;
    EXPECT_EQ(value.error, c.error) << c.expression;
  }
  // Each evaluation starts afresh: an error leaves nothing behind.
  EXPECT_EQ(evaluator.evaluate("size").value, 4);
  EXPECT_TRUE(evaluator.evaluate(std::string(240, ' ') + "1").ok);
  EXPECT_FALSE(evaluator.evaluate(std::string(260, ' ') + "1").ok);
}

}  // namespace
}  // namespace zorm::test
