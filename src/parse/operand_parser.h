#pragma once

#include <cstdint>

#include "codegen/encoders.h"
#include "parse/parse_paths.h"

namespace zorm {

class Assembler;

inline constexpr int PARSER_STACK_SIZE = 50;

// The table-driven LALR(1) operand parser.
class OperandParser {
 public:
  explicit OperandParser(Assembler& as);

  // 0 when the statement was accepted, 1 after an error was reported.
  int parse_operands();
  // Runs a grammar action: 0, an error code, or -1 when it has reported
  // its error itself. The actions of nearly every operand (its form, its
  // condition, a register) are taken here, the others by other_action_error.
  int action_error(int action, int argument) {
    switch (action) {
      case 0: encoders_.encoding.statement_form = argument; return 0;
      case 1: encoders_.encoding.condition_code = argument; return 0;
      case 2: return admit_register(encoders_, argument);
      case 4: return argument;
      default: return other_action_error(action, argument);
    }
  }
  // Whether action_error() returns 0 for the action again once it has
  // returned 0 for a statement: the form and the condition are only noted, a
  // register is admitted by the processor, which is fixed for the run, onto
  // a value stack that holds what it held then.
  static bool action_cannot_fail(int action, int argument) {
    return action <= 2 || (action == 4 && argument == 0);
  }
  // Reports what action_error() returned unless it was reported already.
  void report_action_error(int error);

  // Whether the decisions along paths of look-aheads are kept (a test turns
  // it off to compare).
  bool remember_paths = true;

 private:
  int other_action_error(int action, int argument);
  bool run_action(int action, int argument);
  int follow_unit_reductions(int below, int state, int token);

  // Reductions by one-symbol rules without an action only replace the
  // current state by the goto of the state below it, so a run of them
  // depends on nothing but (state below, current state, look-ahead). The
  // expression grammar makes such runs a dozen steps long; this cache
  // remembers where they end.
  struct UnitRun {
    uint16_t below = 0xFFFF;
    uint16_t state = 0;
    uint16_t token = 0;
    uint16_t end_state = 0;
  };
  static constexpr int UNIT_RUN_CACHE_SIZE = 1024;
  UnitRun unit_runs_[UNIT_RUN_CACHE_SIZE];
  ParsePaths paths_;
  Assembler& as_;
  EncoderContext& encoders_;
};

}  // namespace zorm
