#pragma once
// What the source language knows by name, and expressions evaluated outside
// an assembly (a debugger's watch expressions, an editor's hover).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zorm/assembly.h"

namespace zorm {

enum class KeywordKind { instruction, directive, register_name, condition, operator_word };

struct Keyword {
  std::string_view name;
  KeywordKind kind;
  uint8_t levels;  // bit n set: accepted at processor level n
};

// Every mnemonic, directive, register, condition and word operator.
const std::vector<Keyword>& language_keywords();

struct ExpressionValue {
  bool ok = false;
  int32_t value = 0;
  std::string error;  // the diagnostic's message text when not ok ("Undefined label")
};

// Evaluates expressions in the assembler's syntax (numbers in every radix,
// characters, every operator and its precedence) over a set of symbols.
class ExpressionEvaluator {
 public:
  explicit ExpressionEvaluator(const std::vector<SymbolInfo>& symbols, Processor processor = Processor::z80);
  ~ExpressionEvaluator();
  ExpressionEvaluator(const ExpressionEvaluator&) = delete;
  ExpressionEvaluator& operator=(const ExpressionEvaluator&) = delete;

  ExpressionValue evaluate(std::string_view expression);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// "1.42"
const char* version();

}  // namespace zorm
