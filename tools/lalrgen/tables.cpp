// Compression of the resolved automaton into the parser's lists.
#include "tables.h"

#include <algorithm>
#include <cstddef>

namespace zorm::lalrgen {

ParseTables make_tables(const Grammar& grammar, const Automaton& automaton) {
    ParseTables t;
    const int state_count = static_cast<int>(automaton.states.size());
    for (int s = 0; s < state_count; ++s) {
        const State& state = automaton.states[static_cast<std::size_t>(s)];
        const std::vector<Action>& row = automaton.actions[static_cast<std::size_t>(s)];
        t.accessing_symbol.push_back(state.accessing_symbol);

        // Shifts, by token code.  Every terminal transition survives
        // conflict resolution, since shifts always win.
        t.shift_start.push_back(static_cast<int>(t.shift_targets.size()));
        for (int token = 0; token < grammar.token_count(); ++token)
            if (row[static_cast<std::size_t>(token)].kind == Action::Kind::Shift)
                t.shift_targets.push_back(row[static_cast<std::size_t>(token)].value);

        // Reductions that still own a look-ahead after resolution.  The one
        // with the most tokens (ties: the lowest rule) becomes the default;
        // the others need (token, rule) pairs.
        std::vector<std::pair<int, int>> counts;  // (rule, tokens)
        for (const Action& action : row) {
            if (action.kind != Action::Kind::Reduce) continue;
            auto it = std::find_if(counts.begin(), counts.end(),
                                   [&](const auto& c) { return c.first == action.value; });
            if (it == counts.end())
                counts.emplace_back(action.value, 1);
            else
                ++it->second;
        }
        int default_rule = kErrorRule;
        int best = 0;
        for (const auto& [rule, count] : counts)
            if (count > best || (count == best && rule < default_rule)) {
                default_rule = rule;
                best = count;
            }
        t.default_rule.push_back(default_rule);
        t.lookahead_start.push_back(static_cast<int>(t.lookahead_pairs.size()));
        if (counts.size() > 1) {
            // The end marker is never a real token, so it needs no pair.
            for (int token = 0; token < grammar.token_count(); ++token) {
                const Action& action = row[static_cast<std::size_t>(token)];
                if (action.kind == Action::Kind::Reduce && action.value != default_rule)
                    t.lookahead_pairs.emplace_back(token, action.value);
            }
        }

        // Gotos, sorted by target.  A list equal to a run that is already in
        // the shared array reuses it.
        std::vector<int> gotos;
        for (const Transition& transition : state.transitions)
            if (!is_terminal(transition.symbol)) gotos.push_back(transition.target);
        std::sort(gotos.begin(), gotos.end());
        if (gotos.empty()) {
            t.goto_start.push_back(0);
            continue;
        }
        auto found = std::search(t.goto_targets.begin(), t.goto_targets.end(), gotos.begin(), gotos.end());
        t.goto_start.push_back(static_cast<int>(found - t.goto_targets.begin()));
        if (found == t.goto_targets.end()) t.goto_targets.insert(t.goto_targets.end(), gotos.begin(), gotos.end());
    }
    t.shift_start.push_back(static_cast<int>(t.shift_targets.size()));
    t.lookahead_start.push_back(static_cast<int>(t.lookahead_pairs.size()));
    return t;
}

}  // namespace zorm::lalrgen
