// LALR(1) automaton construction and conflict resolution.
#pragma once

#include <vector>

#include "grammar.h"
#include "token_set.h"

namespace zorm::lalrgen {

struct Transition {
    int symbol;  // terminal code or minus nonterminal number
    int target;
};

struct Reduction {
    int rule;
    TokenSet lookahead;  // as computed, before conflicts are resolved
};

struct State {
    int accessing_symbol = 0;
    std::vector<int> kernel;    // item ids, sorted
    std::vector<int> closure;   // kernel items first, then the added ones
    std::vector<Transition> transitions;  // in the order the items name them
    std::vector<Reduction> reductions;    // by rule number
};

// One look-ahead token of one state on which more than one action applied.
struct Conflict {
    int state;
    int token;
    bool shift;               // a shift was among the candidates (and won)
    std::vector<int> rules;   // the candidate reductions, ascending
    int chosen_rule;          // -1 when the shift won, else rules.front()
};

// The resolved action for one look-ahead token in one state.
struct Action {
    enum class Kind { Error, Shift, Reduce } kind = Kind::Error;
    int value = 0;  // target state or rule
};

struct Automaton {
    int end_marker = 0;          // look-ahead code of the end of input
    std::vector<int> item_rule;  // item id -> rule
    std::vector<int> item_dot;   // item id -> position of the dot
    std::vector<int> item_base;  // rule -> id of its item with the dot first
    std::vector<State> states;
    std::vector<std::vector<Action>> actions;  // [state][token], end marker included
    std::vector<Conflict> conflicts;
    std::vector<int> unused_rules;  // rules that no state ever reduces
};

Automaton build_automaton(const Grammar& grammar);

}  // namespace zorm::lalrgen
