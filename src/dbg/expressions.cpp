#include "dbg/expressions.h"

#include <cctype>

#include "dbg/machine.h"
#include "dbg/registers.h"

namespace zorm::dbg {

namespace {

bool starts_name(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '?'; }
bool continues_name(char c) { return starts_name(c) || std::isdigit(static_cast<unsigned char>(c)); }
bool is_hex_digit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

namespace {

SymbolInfo symbol_info(const DebugSymbol& symbol) {
  SymbolInfo info;
  info.name = symbol.name;
  info.value = symbol.value;
  if (symbol.is_structure()) {
    info.kind = SymbolKind::member;
  } else if (!symbol.is_label()) {
    info.kind = SymbolKind::equ;
  }
  return info;
}

std::vector<SymbolInfo> symbol_infos(const Symbols& symbols) {
  std::vector<SymbolInfo> infos;
  for (const DebugSymbol& symbol : symbols.all()) infos.push_back(symbol_info(symbol));
  return infos;
}

}  // namespace

Expressions::Expressions(const Symbols& symbols, Processor processor)
    : symbols_(symbols), evaluator_(std::make_unique<ExpressionEvaluator>(symbol_infos(symbols), processor)) {}

Expressions::~Expressions() = default;

std::string Expressions::with_registers(std::string_view text, const Machine& machine) const {
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\'' || c == '"') {  // a string runs to the same quote
      const size_t close = text.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? text.size() : close + 1;
      result.append(text.substr(i, end - i));
      i = end;
    } else if (c == '$' && (i + 1 >= text.size() || !is_hex_digit(text[i + 1]))) {
      result += std::to_string(machine.reg(Register::pc));
      ++i;
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' || c == '#' || c == '@') {
      size_t end = i + 1;  // a number in any radix: its digits and letters
      while (end < text.size() && (continues_name(text[end]) || text[end] == '#')) ++end;
      result.append(text.substr(i, end - i));
      i = end;
    } else if (starts_name(c)) {
      size_t end = i + 1;
      while (end < text.size() && continues_name(text[end])) ++end;
      const std::string_view name = text.substr(i, end - i);
      std::optional<RegisterName> reg;
      if (symbols_.find(name) == nullptr) reg = find_register(name);
      if (reg && end < text.size() && text[end] == '\'') {
        const auto alternate = find_register(std::string(name) + "'");
        if (alternate) {
          reg = alternate;
          ++end;
        }
      }
      if (reg) {
        result += std::to_string(machine.reg(reg->reg));
      } else {
        result.append(name);
      }
      i = end;
    } else {
      result += c;
      ++i;
    }
  }
  return result;
}

Evaluation Expressions::evaluate(std::string_view text, const Machine& machine) {
  const ExpressionValue result = evaluator_->evaluate(with_registers(text, machine));
  return Evaluation{result.ok, result.value, result.error};
}

}  // namespace zorm::dbg
