#pragma once

#include <cstdint>

#include "parse/parse_paths.h"

namespace zorm {

class Assembler;

inline constexpr int PARSER_STACK_SIZE = 50;

// The table-driven LALR(1) operand parser.
class OperandParser {
 public:
  explicit OperandParser(Assembler& as) : as_(as) {}

  // 0 when the statement was accepted, 1 after an error was reported.
  int parse_operands();
  // Runs a grammar action: 0, an error code, or -1 when it has reported
  // its error itself.
  int action_error(int action, int argument);
  // Reports what action_error() returned unless it was reported already.
  void report_action_error(int error);

  // Whether the decisions along paths of look-aheads are kept (a test turns
  // it off to compare).
  bool remember_paths = true;

 private:
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
};

}  // namespace zorm
