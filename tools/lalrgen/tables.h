// The parser's table layout, filled from a resolved automaton.
#pragma once

#include <utility>
#include <vector>

#include "grammar.h"
#include "lalr.h"

namespace zorm::lalrgen {

inline constexpr int kAcceptRule = 0;
inline constexpr int kErrorRule = -1;

struct ParseTables {
    std::vector<int> accessing_symbol;          // per state
    std::vector<int> shift_start;               // per state, plus the end
    std::vector<int> shift_targets;
    std::vector<int> lookahead_start;           // per state, plus the end
    std::vector<std::pair<int, int>> lookahead_pairs;  // (token, rule)
    std::vector<int> default_rule;              // per state; 0 accept, -1 error
    std::vector<int> goto_start;                // per state
    std::vector<int> goto_targets;
};

ParseTables make_tables(const Grammar& grammar, const Automaton& automaton);

}  // namespace zorm::lalrgen
