#pragma once
// Expressions as the debugger's user writes them: the assembler's syntax
// over the program's symbols, plus the registers by name (a, hl, ix, sp, pc,
// af' ...) and "$" for the pc, as they stand when the program is stopped.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "dbg/symbols.h"
#include "zorm/language.h"

namespace zorm::dbg {

class Machine;

struct Evaluation {
  bool ok = false;
  int32_t value = 0;
  std::string error;  // when not ok: the assembler's message ("Undefined label")
};

class Expressions {
 public:
  Expressions(const Symbols& symbols, Processor processor);
  ~Expressions();
  Expressions(const Expressions&) = delete;
  Expressions& operator=(const Expressions&) = delete;

  Evaluation evaluate(std::string_view text, const Machine& machine);

  // The text with every register name that no symbol shadows, and "$"
  // standing alone, replaced by its value in decimal.
  std::string with_registers(std::string_view text, const Machine& machine) const;

 private:
  const Symbols& symbols_;
  std::unique_ptr<ExpressionEvaluator> evaluator_;
};

}  // namespace zorm::dbg
