#pragma once

namespace zorm {

class Assembler;

inline constexpr int PARSER_STACK_SIZE = 50;

// The table-driven LALR(1) operand parser.
class OperandParser {
 public:
  explicit OperandParser(Assembler& as) : as_(as) {}

  // 0 when the statement was accepted, 1 after an error was reported.
  int parse_operands();

 private:
  int run_action(int action, int argument);
  Assembler& as_;
};

}  // namespace zorm
