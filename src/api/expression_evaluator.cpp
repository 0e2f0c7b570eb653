// Expressions evaluated outside an assembly: one line handed to the
// assembler's own lexer and operand parser as the operand of an expression
// directive, over a symbol table filled from the given symbols.
#include <cstring>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"
#include "zorm/language.h"

namespace zorm {

struct ExpressionEvaluator::State {
  TextStream out;
  TextStream err;
  Assembler as{out, err};
};

namespace {

SymbolState state_of(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::set: return SYM_SET;
    case SymbolKind::macro: return SYM_MACRO;
    default: return SYM_LABEL;
  }
}

uint8_t attributes_of(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::equ:
    case SymbolKind::set: return 0x50;
    case SymbolKind::structure:
    case SymbolKind::member: return 0x40;
    default: return 0;
  }
}

}  // namespace

ExpressionEvaluator::ExpressionEvaluator(const std::vector<SymbolInfo>& symbols, Processor processor)
    : state_(std::make_unique<State>()) {
  state_->out.open_in_memory(false);
  state_->err.open_in_memory(false);
  Assembler& as = state_->as;
  as.options.quiet = true;
  as.keep_records = true;  // the diagnostics' messages become the errors
  as.processor_level = static_cast<int>(processor);
  // Pass 1: a name not defined is unknown rather than an internal error.
  as.pass_number = 0;
  for (const SymbolInfo& symbol : symbols) {
    as.symbols.symbol_define(symbol.name, symbol.value, state_of(symbol.kind), attributes_of(symbol.kind));
  }
}

ExpressionEvaluator::~ExpressionEvaluator() = default;

ExpressionValue ExpressionEvaluator::evaluate(std::string_view expression) {
  Assembler& as = state_->as;
  ExpressionValue result;
  // A blank first, so that a name is not taken for a label and '*' not for a
  // comment; the line must fit the line buffer as a source line would.
  if (expression.size() + 3 > static_cast<size_t>(LINE_CHUNK_CHARS) ||
      expression.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos) {
    result.error = error_message(ERROR_SYNTAX);
    return result;
  }
  char* line = as.sources.current_line;
  line[0] = ' ';
  std::memcpy(line + 1, expression.data(), expression.size());
  std::memcpy(line + 1 + expression.size(), "\n", 2);

  as.records.diagnostics.clear();
  as.values.clear();
  as.encoding.statement_form = 0;
  as.statements.conditional_statement = false;
  Lexer& lexer = as.lexer;
  lexer.reset_for_pass();
  lexer.struct_mode = 0;
  lexer.last_token = 0;
  lexer.cursor_ = line;
  lexer.pushed_token = TOKEN_CLASS_EXPRESSION;
  int outcome;
  try {
    outcome = as.parser.parse_operands();
  } catch (const FatalExit&) {
    outcome = 1;
  }
  if (outcome != 0 || as.values.empty()) {
    const auto& diagnostics = as.records.diagnostics;
    result.error = diagnostics.empty() ? error_message(ERROR_SYNTAX) : diagnostics.front().message;
    return result;
  }
  const Value& value = as.values.top();
  if (value.kind != VALUE_NUMBER) {
    result.error = error_message(ERROR_UNDEFINED_LABEL);
    return result;
  }
  result.ok = true;
  result.value = value.value;
  return result;
}

}  // namespace zorm
