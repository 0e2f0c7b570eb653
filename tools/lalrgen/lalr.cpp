// LALR(1) construction.
//
// The LR(0) automaton is built first.  Look-aheads are then found by
// repeatedly taking the LR(1) closure of every state's kernel (with the
// look-aheads known so far) and passing each item's look-ahead along its
// transition to the successor kernel item, until nothing grows.  Identical
// LR(0) kernels share one state, which is what makes the result LALR(1)
// rather than canonical LR(1).
#include "lalr.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace zorm::lalrgen {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

class Builder {
public:
    explicit Builder(const Grammar& grammar)
        : g_(grammar), end_marker_(grammar.token_count()), set_size_(grammar.token_count() + 1) {}

    Automaton build() {
        number_items();
        compute_first_sets();
        build_lr0();
        compute_lookaheads();
        resolve();
        return std::move(a_);
    }

private:
    void number_items() {
        a_.end_marker = end_marker_;
        rules_of_.assign(g_.nonterminals.size(), {});
        for (int r = 0; r < g_.rule_count(); ++r) {
            const Rule& rule = g_.rules[at(r)];
            rules_of_[at(rule.lhs)].push_back(r);
            a_.item_base.push_back(static_cast<int>(a_.item_rule.size()));
            for (std::size_t dot = 0; dot <= rule.rhs.size(); ++dot) {
                a_.item_rule.push_back(r);
                a_.item_dot.push_back(static_cast<int>(dot));
            }
        }
    }

    int length(int rule) const { return static_cast<int>(g_.rules[at(rule)].rhs.size()); }
    // The symbol after the dot of an item; only valid when there is one.
    int next_symbol(int item) const {
        return g_.rules[at(a_.item_rule[at(item)])].rhs[at(a_.item_dot[at(item)])];
    }
    bool complete(int item) const { return a_.item_dot[at(item)] == length(a_.item_rule[at(item)]); }

    void compute_first_sets() {
        const std::size_t n = g_.nonterminals.size();
        nullable_.assign(n, false);
        first_.assign(n, TokenSet(set_size_));
        for (bool changed = true; changed;) {
            changed = false;
            for (const Rule& rule : g_.rules) {
                bool all_nullable = true;
                for (int symbol : rule.rhs) {
                    if (is_terminal(symbol)) {
                        changed |= first_[at(rule.lhs)].insert(symbol);
                        all_nullable = false;
                        break;
                    }
                    const auto b = at(nonterminal_number(symbol));
                    changed |= first_[at(rule.lhs)].merge(first_[b]);
                    if (!nullable_[b]) {
                        all_nullable = false;
                        break;
                    }
                }
                if (all_nullable && !nullable_[at(rule.lhs)]) {
                    nullable_[at(rule.lhs)] = true;
                    changed = true;
                }
            }
        }
        // FIRST of what follows the symbol after the dot, per item.
        const std::size_t items = a_.item_rule.size();
        rest_first_.assign(items, TokenSet(set_size_));
        rest_nullable_.assign(items, true);
        for (std::size_t item = 0; item < items; ++item) {
            const Rule& rule = g_.rules[at(a_.item_rule[item])];
            for (std::size_t k = at(a_.item_dot[item]) + 1; k < rule.rhs.size(); ++k) {
                const int symbol = rule.rhs[k];
                if (is_terminal(symbol)) {
                    rest_first_[item].insert(symbol);
                    rest_nullable_[item] = false;
                    break;
                }
                rest_first_[item].merge(first_[at(nonterminal_number(symbol))]);
                if (!nullable_[at(nonterminal_number(symbol))]) {
                    rest_nullable_[item] = false;
                    break;
                }
            }
        }
    }

    std::vector<int> closure_of(const std::vector<int>& kernel) const {
        std::vector<int> items = kernel;
        std::vector<bool> added(g_.nonterminals.size(), false);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (complete(items[i])) continue;
            const int symbol = next_symbol(items[i]);
            if (is_terminal(symbol)) continue;
            const auto b = at(nonterminal_number(symbol));
            if (added[b]) continue;
            added[b] = true;
            for (int r : rules_of_[b]) items.push_back(a_.item_base[at(r)]);
        }
        return items;
    }

    void build_lr0() {
        std::map<std::vector<int>, int> by_kernel;
        State start;
        start.kernel = {a_.item_base[0]};
        by_kernel.emplace(start.kernel, 0);
        a_.states.push_back(std::move(start));
        for (std::size_t s = 0; s < a_.states.size(); ++s) {
            std::vector<int> closure = closure_of(a_.states[s].kernel);
            // Successor kernels, keyed by symbol in the order the items name them.
            std::vector<int> order;
            std::map<int, std::vector<int>> successors;
            for (int item : closure) {
                if (complete(item)) continue;
                const int symbol = next_symbol(item);
                auto [it, inserted] = successors.try_emplace(symbol);
                if (inserted) order.push_back(symbol);
                it->second.push_back(item + 1);
            }
            std::vector<Transition> transitions;
            for (int symbol : order) {
                std::vector<int>& kernel = successors[symbol];
                std::sort(kernel.begin(), kernel.end());
                auto [it, inserted] = by_kernel.try_emplace(kernel, static_cast<int>(a_.states.size()));
                if (inserted) {
                    State next;
                    next.accessing_symbol = symbol;
                    next.kernel = kernel;
                    a_.states.push_back(std::move(next));
                }
                transitions.push_back({symbol, it->second});
            }
            a_.states[s].closure = std::move(closure);
            a_.states[s].transitions = std::move(transitions);
        }
    }

    int target(int state, int symbol) const {
        for (const Transition& t : a_.states[at(state)].transitions)
            if (t.symbol == symbol) return t.target;
        return -1;
    }

    int kernel_index(int state, int item) const {
        const std::vector<int>& kernel = a_.states[at(state)].kernel;
        auto it = std::lower_bound(kernel.begin(), kernel.end(), item);
        return static_cast<int>(it - kernel.begin());
    }

    // LR(1) closure of one state: a look-ahead set per closure item.
    std::vector<TokenSet> closure_lookaheads(int s) const {
        const State& state = a_.states[at(s)];
        std::vector<TokenSet> la(state.closure.size(), TokenSet(set_size_));
        std::map<int, std::size_t> position;
        for (std::size_t i = 0; i < state.closure.size(); ++i) position.emplace(state.closure[i], i);
        std::vector<std::size_t> pending;
        std::vector<bool> queued(state.closure.size(), false);
        for (std::size_t k = 0; k < state.kernel.size(); ++k) {
            la[k] = kernel_la_[at(s)][k];
            pending.push_back(k);
            queued[k] = true;
        }
        while (!pending.empty()) {
            const std::size_t i = pending.back();
            pending.pop_back();
            queued[i] = false;
            const int item = state.closure[i];
            if (complete(item) || is_terminal(next_symbol(item))) continue;
            TokenSet passed = rest_first_[at(item)];
            if (rest_nullable_[at(item)]) passed.merge(la[i]);
            for (int r : rules_of_[at(nonterminal_number(next_symbol(item)))]) {
                const std::size_t j = position.at(a_.item_base[at(r)]);
                if (la[j].merge(passed) && !queued[j]) {
                    queued[j] = true;
                    pending.push_back(j);
                }
            }
        }
        return la;
    }

    void compute_lookaheads() {
        kernel_la_.resize(a_.states.size());
        for (std::size_t s = 0; s < a_.states.size(); ++s)
            kernel_la_[s].assign(a_.states[s].kernel.size(), TokenSet(set_size_));
        kernel_la_[0][0].insert(end_marker_);
        for (bool changed = true; changed;) {
            changed = false;
            for (std::size_t s = 0; s < a_.states.size(); ++s) {
                const std::vector<TokenSet> la = closure_lookaheads(static_cast<int>(s));
                const State& state = a_.states[s];
                for (std::size_t i = 0; i < state.closure.size(); ++i) {
                    const int item = state.closure[i];
                    if (complete(item)) continue;
                    const int t = target(static_cast<int>(s), next_symbol(item));
                    const int k = kernel_index(t, item + 1);
                    changed |= kernel_la_[at(t)][at(k)].merge(la[i]);
                }
            }
        }
        for (std::size_t s = 0; s < a_.states.size(); ++s) {
            const std::vector<TokenSet> la = closure_lookaheads(static_cast<int>(s));
            State& state = a_.states[s];
            for (std::size_t i = 0; i < state.closure.size(); ++i)
                if (complete(state.closure[i])) state.reductions.push_back({a_.item_rule[at(state.closure[i])], la[i]});
            std::sort(state.reductions.begin(), state.reductions.end(),
                      [](const Reduction& x, const Reduction& y) { return x.rule < y.rule; });
        }
    }

    // Shift beats reduce; between reductions the earliest rule wins.
    void resolve() {
        std::vector<bool> used(at(g_.rule_count()), false);
        a_.actions.resize(a_.states.size());
        for (std::size_t s = 0; s < a_.states.size(); ++s) {
            const State& state = a_.states[s];
            std::vector<Action>& row = a_.actions[s];
            row.assign(at(end_marker_ + 1), Action{});
            for (int token = 0; token <= end_marker_; ++token) {
                const int shift = token < end_marker_ ? target(static_cast<int>(s), token) : -1;
                std::vector<int> rules;
                for (const Reduction& reduction : state.reductions)
                    if (reduction.lookahead.contains(token)) rules.push_back(reduction.rule);
                if (shift >= 0) {
                    row[at(token)] = {Action::Kind::Shift, shift};
                } else if (!rules.empty()) {
                    row[at(token)] = {Action::Kind::Reduce, rules.front()};
                    used[at(rules.front())] = true;
                }
                if ((shift >= 0 && !rules.empty()) || rules.size() > 1)
                    a_.conflicts.push_back({static_cast<int>(s), token, shift >= 0, rules,
                                            shift >= 0 ? -1 : rules.front()});
            }
        }
        for (int r = 0; r < g_.rule_count(); ++r)
            if (!used[at(r)]) a_.unused_rules.push_back(r);
    }

    const Grammar& g_;
    const int end_marker_;
    const int set_size_;
    Automaton a_;
    std::vector<std::vector<int>> rules_of_;       // nonterminal -> its rules
    std::vector<bool> nullable_;
    std::vector<TokenSet> first_;
    std::vector<TokenSet> rest_first_;
    std::vector<bool> rest_nullable_;
    std::vector<std::vector<TokenSet>> kernel_la_;  // [state][kernel item]
};

}  // namespace

Automaton build_automaton(const Grammar& grammar) {
    Builder builder(grammar);
    return builder.build();
}

}  // namespace zorm::lalrgen
