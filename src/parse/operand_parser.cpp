#include "parse/operand_parser.h"

#include "codegen/encoders.h"
#include "driver/assembler.h"
#include "operand_tables.h"

namespace zorm {

namespace g = grammar;

int OperandParser::run_action(int action, int argument) {
  Assembler& as = as_;
  switch (action) {
    case 0: as.encoding.statement_form = argument; return 0;
    case 1: as.encoding.condition_code = argument; return 0;
    case 2: return admit_register(as, argument);
    case 3: return index_operand(as, argument);
    case 4: return argument;
    case 5: return as.structures.struct_end();
    case 6: return as.structures.struct_begin(argument);
    case 7: return as.structures.struct_member(argument);
    case 8: return as.structures.struct_align(argument);
    case 9: return apply_unary(as, argument);
    case 10: return apply_binary(as, argument);
    case 11: return string_value(as);
    case 12: return push_location(as);
    default: return ERROR_SYNTAX;
  }
}

// The LR driver: a look-ahead is read right after every shift; a state
// reduces by its look-ahead pairs or else by its default rule.
int OperandParser::parse_operands() {
  Lexer& lexer = as_.lexer;
  // The bottom entry, state 0, does not count towards the limit; reductions
  // of empty rules may push a few entries beyond it.
  int stack[PARSER_STACK_SIZE + 16];
  int depth = 0;
  stack[0] = 0;
  int state = 0;
  int token = lexer.next_token(0);
  for (;;) {
    if (token == TOKEN_ABANDONED) return 1;  // already reported
    if (token < 1) {
      as_.diagnostics.report_error(ERROR_INVALID_FORMAT);
      return 1;
    }
    bool shifted = false;
    for (int i = g::kShiftStart[state]; i < g::kShiftStart[state + 1]; ++i) {
      const int target = g::kShiftTargets[i];
      if (g::kAccessingSymbol[target] == token) {
        if (depth >= PARSER_STACK_SIZE) {
          as_.diagnostics.report_error(ERROR_STACK_OVERFLOW);
          return 1;
        }
        stack[++depth] = state;
        state = target;
        token = lexer.next_token(0);
        shifted = true;
        break;
      }
    }
    if (shifted) continue;

    int rule = g::kDefaultRule[state];
    for (int i = g::kLookaheadStart[state]; i < g::kLookaheadStart[state + 1]; ++i) {
      if (g::kLookaheadPairs[i].token == token) {
        rule = g::kLookaheadPairs[i].rule;
        break;
      }
    }
    if (rule == 0) return 0;
    if (rule < 0) {
      as_.diagnostics.report_error(ERROR_SYNTAX);
      return 1;
    }
    const int action = g::kRuleAction[rule];
    if (action >= 0) {
      const int error = run_action(action, g::kRuleArgument[rule]);
      if (error < 0) return 1;  // already reported
      if (error != 0) {
        as_.diagnostics.report_error(error);
        return 1;
      }
    }
    if (depth >= PARSER_STACK_SIZE + 15) {
      as_.diagnostics.report_error(ERROR_STACK_OVERFLOW);
      return 1;
    }
    stack[++depth] = state;
    depth -= g::kRuleLength[rule];
    const int exposed = stack[depth];
    const int lhs = g::kRuleLhs[rule];
    for (int i = g::kGotoStart[exposed];; ++i) {
      const int target = g::kGotoTargets[i];
      if (g::kAccessingSymbol[target] == -lhs) {
        state = target;
        break;
      }
    }
  }
}

}  // namespace zorm
