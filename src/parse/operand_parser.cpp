#include "parse/operand_parser.h"

#include "assembly/assembler.h"
#include "codegen/encoders.h"
#include "operand_tables.h"

namespace zorm {

namespace g = grammar;

// The run's encoder context is a member declared after the parser: only its
// place is taken here.
OperandParser::OperandParser(Assembler& as) : as_(as), encoders_(as.encoders) {}

int OperandParser::other_action_error(int action, int argument) {
  Assembler& as = as_;
  switch (action) {
    case 3: return index_operand(as.encoders, argument);
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

void OperandParser::report_action_error(int error) {
  if (error > 0) as_.diagnostics.report_error(error);
}

namespace {

// The parse step for every (state, token) pair, worked out once from the
// generated per-state lists exactly as the driver would scan them: a shift to
// the first target whose accessing symbol is the token, else the first
// look-ahead pair for the token, else the state's default rule. The gotos are
// indexed the same way. The driver then finds each step with one lookup
// instead of a scan.
class ParseSteps {
 public:
  static constexpr int kOtherToken = g::kTokenCount;  // any code outside the table, end of input among them

  constexpr ParseSteps() : step_(), goto_(), unit_lhs_() {
    for (int state = 0; state < g::kStateCount; ++state) {
      for (int token = 0; token <= kOtherToken; ++token) step_[state][token] = decide(state, token);
      fill_gotos(state);
    }
    for (int rule = 1; rule < g::kRuleCount; ++rule) {
      if (g::kRuleLength[rule] == 1 && g::kRuleAction[rule] < 0) unit_lhs_[rule] = static_cast<int8_t>(g::kRuleLhs[rule]);
    }
  }

  // A shift to state s is s + 1; a reduction by rule r is -(r + 1); 0 is an
  // error (no shift and a default rule of -1). Accept is a reduction by rule 0.
  constexpr int step(int state, int token) const {
    const int column = token >= 0 && token < g::kTokenCount ? token : kOtherToken;
    return step_[state][column];
  }
  constexpr int goto_state(int state, int lhs) const { return goto_[state][lhs]; }
  // For a reduction step by a one-symbol rule without an action: the rule's
  // left-hand side; 0 for every other step.
  constexpr int unit_lhs(int step) const { return step >= 0 ? 0 : unit_lhs_[-step - 1]; }

 private:
  static constexpr int16_t decide(int state, int token) {
    if (token < g::kTokenCount) {
      for (int i = g::kShiftStart[state]; i < g::kShiftStart[state + 1]; ++i) {
        const int target = g::kShiftTargets[i];
        if (g::kAccessingSymbol[target] == token) return static_cast<int16_t>(target + 1);
      }
    }
    int rule = g::kDefaultRule[state];
    for (int i = g::kLookaheadStart[state]; i < g::kLookaheadStart[state + 1]; ++i) {
      if (g::kLookaheadPairs[i].token == token) {
        rule = g::kLookaheadPairs[i].rule;
        break;
      }
    }
    return rule < 0 ? 0 : static_cast<int16_t>(-(rule + 1));
  }

  // The driver scans a state's goto list from its start, without an end
  // bound, for the first target entered by the nonterminal. A state's own
  // list holds each nonterminal at most once, so the first match always lies
  // within the first kNonterminalCount entries.
  constexpr void fill_gotos(int state) {
    for (int lhs = 0; lhs <= g::kNonterminalCount; ++lhs) goto_[state][lhs] = -1;
    const int size = static_cast<int>(sizeof g::kGotoTargets / sizeof g::kGotoTargets[0]);
    const int start = g::kGotoStart[state];
    for (int i = start; i < size && i < start + g::kNonterminalCount; ++i) {
      const int target = g::kGotoTargets[i];
      const int symbol = g::kAccessingSymbol[target];
      if (symbol < 0 && goto_[state][-symbol] == -1) goto_[state][-symbol] = static_cast<int16_t>(target);
    }
  }

  int16_t step_[g::kStateCount][kOtherToken + 1];
  int16_t goto_[g::kStateCount][g::kNonterminalCount + 1];
  int8_t unit_lhs_[g::kRuleCount];  // per rule, as unit_lhs() gives it
};

// Worked out by the compiler: the tables are constants.
constexpr ParseSteps PARSE_STEPS;

constexpr const ParseSteps& parse_steps() { return PARSE_STEPS; }

}  // namespace

// Follows reductions by one-symbol rules without actions: each pushes the
// state and pops it again, so the state below stays on top and the new state
// is its goto.
int OperandParser::follow_unit_reductions(int below, int state, int token) {
  const ParseSteps& steps = parse_steps();
  const int column = token >= 0 && token < g::kTokenCount ? token : g::kTokenCount;
  UnitRun& cached = unit_runs_[(static_cast<unsigned>(below) * 31u + static_cast<unsigned>(state) * 7u +
                                static_cast<unsigned>(column)) % UNIT_RUN_CACHE_SIZE];
  if (cached.below == below && cached.state == state && cached.token == column) return cached.end_state;
  const int start = state;
  for (int lhs = steps.unit_lhs(steps.step(state, token)); lhs != 0; lhs = steps.unit_lhs(steps.step(state, token))) {
    state = steps.goto_state(below, lhs);
  }
  cached = UnitRun{static_cast<uint16_t>(below), static_cast<uint16_t>(start), static_cast<uint16_t>(column),
                   static_cast<uint16_t>(state)};
  return state;
}

// Runs an action of the grammar, as it is kept for the line when the line is
// recorded; false after the error was reported.
bool OperandParser::run_action(int action, int argument) {
  StatementCache& cache = as_.statement_cache;
  if (cache.recording()) cache.note_action(action, argument);
  const int error = action_error(action, argument);
  if (error == 0) return true;
  report_action_error(error);
  return false;
}

// The LR driver: a look-ahead is read right after every shift; a state
// reduces by its look-ahead pairs or else by its default rule. Along paths of
// look-aheads met before, the kept decisions stand in for the tables.
int OperandParser::parse_operands() {
  Lexer& lexer = as_.lexer;
  const ParseSteps& steps = parse_steps();
  // The bottom entry, state 0, does not count towards the limit; reductions
  // of empty rules may push a few entries beyond it.
  int stack[PARSER_STACK_SIZE + 16];
  int depth = 0;
  stack[0] = 0;
  int state = 0;
  // The path so far, while it is a kept one; whether stack and state hold
  // its configuration (after a kept transition they are not brought along).
  uint32_t node = remember_paths ? 0 : ParsePaths::NO_NODE;
  bool stack_current = true;
  int token = lexer.next_token(0);
  for (;;) {
    if (token == TOKEN_ABANDONED) return 1;  // already reported
    if (token < 1) {
      as_.diagnostics.report_error(ERROR_INVALID_FORMAT);
      return 1;
    }
    const int column = token < g::kTokenCount ? token : ParseSteps::kOtherToken;
    if (node != ParsePaths::NO_NODE) {
      if (const ParsePaths::Transition* kept = paths_.find(node, column)) {
        for (uint32_t i = 0; i < kept->action_count; ++i) {
          const ParsePaths::Action& action = paths_.actions()[kept->first_action + i];
          if (!run_action(action.action, action.argument)) return 1;
        }
        if (kept->accept) return 0;
        node = kept->child;
        stack_current = false;
        token = lexer.next_token(0);
        continue;
      }
      if (!stack_current) paths_.restore(node, stack, depth, state);
      stack_current = true;
    }
    // The tables decide this look-ahead.
    const size_t first_action = paths_.action_mark();
    for (;;) {
      int step = steps.step(state, token);
      if (steps.unit_lhs(step) != 0) {
        state = follow_unit_reductions(stack[depth], state, token);
        step = steps.step(state, token);
      }
      if (step > 0) {
        if (depth >= PARSER_STACK_SIZE) {
          if (node != ParsePaths::NO_NODE) paths_.drop_actions(first_action);
          as_.diagnostics.report_error(ERROR_STACK_OVERFLOW);
          return 1;
        }
        stack[++depth] = state;
        state = step - 1;
        if (node != ParsePaths::NO_NODE) {
          const uint32_t child = paths_.add_node(stack, depth, state);
          if (child == ParsePaths::NO_NODE) {
            paths_.drop_actions(first_action);
          } else {
            paths_.add_transition(node, column, child, first_action, false);
          }
          node = child;
        }
        break;
      }
      if (step == 0) {
        if (node != ParsePaths::NO_NODE) paths_.drop_actions(first_action);
        as_.diagnostics.report_error(ERROR_SYNTAX);
        return 1;
      }
      const int rule = -step - 1;
      if (rule == 0) {
        if (node != ParsePaths::NO_NODE) paths_.add_transition(node, column, 0, first_action, true);
        return 0;
      }
      const int action = g::kRuleAction[rule];
      if (action >= 0) {
        if (node != ParsePaths::NO_NODE) paths_.add_action(action, g::kRuleArgument[rule]);
        if (!run_action(action, g::kRuleArgument[rule])) {
          if (node != ParsePaths::NO_NODE) paths_.drop_actions(first_action);
          return 1;
        }
      }
      if (depth >= PARSER_STACK_SIZE + 15) {
        if (node != ParsePaths::NO_NODE) paths_.drop_actions(first_action);
        as_.diagnostics.report_error(ERROR_STACK_OVERFLOW);
        return 1;
      }
      stack[++depth] = state;
      depth -= g::kRuleLength[rule];
      state = steps.goto_state(stack[depth], g::kRuleLhs[rule]);
    }
    token = lexer.next_token(0);
  }
}

}  // namespace zorm
