// Output of zorm_lalrgen.
#include "output.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <vector>

namespace zorm::lalrgen {
namespace {

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// The narrowest fixed-width type that holds every value; `is_signed` forces
// a signed type for tables in which -1 is meaningful.
std::string type_for(const std::vector<int>& values, bool is_signed = false) {
    long low = is_signed ? -1 : 0;
    long high = 0;
    for (int v : values) {
        low = std::min<long>(low, v);
        high = std::max<long>(high, v);
    }
    if (low >= 0) {
        if (high <= std::numeric_limits<std::uint8_t>::max()) return "std::uint8_t";
        if (high <= std::numeric_limits<std::uint16_t>::max()) return "std::uint16_t";
        return "std::uint32_t";
    }
    if (low >= std::numeric_limits<std::int8_t>::min() && high <= std::numeric_limits<std::int8_t>::max())
        return "std::int8_t";
    if (low >= std::numeric_limits<std::int16_t>::min() && high <= std::numeric_limits<std::int16_t>::max())
        return "std::int16_t";
    return "std::int32_t";
}

std::string quote(const std::string& text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') result += '\\';
        result += c;
    }
    return result + '"';
}

// Emits `values` as the body of an array, padded into columns.
void write_numbers(std::ostream& out, const std::vector<int>& values) {
    std::size_t width = 1;
    for (int v : values) width = std::max(width, std::to_string(v).size());
    const std::size_t per_line = std::max<std::size_t>(1, 96 / (width + 2));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % per_line == 0) out << "\n   ";
        const std::string text = std::to_string(values[i]);
        out << std::string(width + 1 - text.size(), ' ') << text << ',';
    }
    out << '\n';
}

void write_array(std::ostream& out, const std::string& comment, const std::string& name,
                 const std::string& size, std::vector<int> values, bool is_signed = false) {
    const bool empty = values.empty();
    if (empty) values.push_back(0);  // C++ has no empty arrays
    out << "\n// " << comment << (empty ? " (empty; one placeholder entry)" : "") << '\n';
    out << "inline constexpr " << type_for(values, is_signed) << ' ' << name << '[' << (empty ? "1" : size) << "] = {";
    write_numbers(out, values);
    out << "};\n";
}

void write_strings(std::ostream& out, const std::string& comment, const std::string& name,
                   const std::string& size, const std::vector<std::string>& values) {
    out << "\n// " << comment << '\n';
    out << "inline constexpr const char* " << name << '[' << size << "] = {\n";
    for (std::size_t i = 0; i < values.size(); ++i) out << "    " << quote(values[i]) << ",  // " << i << '\n';
    out << "};\n";
}

std::string conflict_kind(const Conflict& c) {
    return c.shift ? (c.rules.size() > 1 ? "shift/reduce/reduce" : "shift/reduce") : "reduce/reduce";
}

std::string state_entry(const Grammar& g, const Automaton& a, int s) {
    if (s == 0) return "start";
    return "entered by " + g.symbol_name(a.states[at(s)].accessing_symbol);
}

std::string item_text(const Grammar& g, const Automaton& a, int item) {
    const int rule = a.item_rule[at(item)];
    const int dot = a.item_dot[at(item)];
    const Rule& r = g.rules[at(rule)];
    std::string text = g.nonterminals[at(r.lhs)] + " :";
    for (std::size_t k = 0; k <= r.rhs.size(); ++k) {
        if (static_cast<int>(k) == dot) text += " .";
        if (k < r.rhs.size()) text += ' ' + g.symbol_name(r.rhs[k]);
    }
    return text;
}

std::string token_list(const Grammar& g, const Automaton& a, const std::vector<int>& tokens) {
    std::string text;
    for (int token : tokens) {
        if (!text.empty()) text += ' ';
        text += token == a.end_marker ? std::string("<end>") : g.symbol_name(token);
    }
    return text;
}

}  // namespace

void write_header(std::ostream& out, const Grammar& g, const Automaton& a, const ParseTables& t,
                  const std::string& grammar_name) {
    const int states = static_cast<int>(a.states.size());
    out << "// Operand parser tables.\n"
           "//\n"
           "// GENERATED FILE - do not edit.  zorm_lalrgen wrote it from the grammar\n"
           "// "
        << grammar_name
        << "; change the grammar instead.\n"
           "//\n"
           "// "
        << g.rule_count() << " rules, " << states << " states, " << g.token_count() << " tokens, "
        << g.nonterminal_count() << " nonterminals;\n"
           "// "
        << a.conflicts.size()
        << " conflicts (state and look-ahead token) resolved, see kConflicts.\n"
           "//\n"
           "// Driver: shift to the first entry of the state's shift list whose\n"
           "// accessing symbol is the look-ahead token; otherwise reduce by the rule\n"
           "// of the first look-ahead pair naming the token, else by the state's\n"
           "// default rule (0 accepts, -1 is a syntax error).  After a reduction,\n"
           "// scan the goto list of the exposed state, without an end bound, for the\n"
           "// first target whose accessing symbol is minus the rule's left-hand side.\n"
           "#pragma once\n\n#include <cstdint>\n\nnamespace zorm::grammar {\n\n";
    out << "inline constexpr int kTokenCount = " << g.token_count() << ";\n";
    out << "inline constexpr int kNonterminalCount = " << g.nonterminal_count() << ";  // numbered from 1\n";
    out << "inline constexpr int kActionCount = " << g.actions.size() << ";\n";
    out << "inline constexpr int kRuleCount = " << g.rule_count() << ";\n";
    out << "inline constexpr int kStateCount = " << states << ";\n";
    out << "inline constexpr int kAcceptRule = 0;\n";
    out << "inline constexpr int kErrorRule = -1;\n";
    out << "inline constexpr int kNoAction = -1;\n";

    write_strings(out, "Token names; the index is the token code.", "kTokenNames", "kTokenCount", g.tokens);
    std::vector<std::string> nonterminals = g.nonterminals;
    write_strings(out, "Nonterminal names; the index is the nonterminal number (0 is unused).",
                  "kNonterminalNames", "kNonterminalCount + 1", nonterminals);
    if (!g.actions.empty())
        write_strings(out, "Action names; the index is the action number of kRuleAction.", "kActionNames",
                      "kActionCount", g.actions);

    write_array(out, "Per state: the token code, or minus the nonterminal number, of the symbol that enters it.",
                "kAccessingSymbol", "kStateCount", t.accessing_symbol, true);
    write_array(out, "Per state: its shift targets are kShiftTargets[kShiftStart[s] .. kShiftStart[s + 1]).",
                "kShiftStart", "kStateCount + 1", t.shift_start);
    write_array(out, "Shift targets of all states.", "kShiftTargets", std::to_string(t.shift_targets.size()),
                t.shift_targets);

    std::vector<int> pair_tokens;
    std::vector<int> pair_rules;
    for (const auto& [token, rule] : t.lookahead_pairs) {
        pair_tokens.push_back(token);
        pair_rules.push_back(rule);
    }
    write_array(out, "Per state: its look-ahead pairs are kLookaheadPairs[kLookaheadStart[s] .. kLookaheadStart[s + 1]).",
                "kLookaheadStart", "kStateCount + 1", t.lookahead_start);
    const bool no_pairs = t.lookahead_pairs.empty();
    if (no_pairs) {
        pair_tokens.push_back(0);
        pair_rules.push_back(0);
    }
    out << "\nstruct LookaheadPair {\n    " << type_for(pair_tokens) << " token;\n    " << type_for(pair_rules)
        << " rule;\n};\n";
    out << "\n// (token, rule): reduce by rule when the look-ahead is token." << (no_pairs ? " (empty; one placeholder entry)" : "")
        << "\ninline constexpr LookaheadPair kLookaheadPairs[" << pair_tokens.size() << "] = {\n";
    for (std::size_t i = 0; i < pair_tokens.size(); ++i)
        out << "    {" << pair_tokens[i] << ", " << pair_rules[i] << "},  // " << quote(g.tokens[at(pair_tokens[i])])
            << '\n';
    out << "};\n";

    write_array(out, "Per state: the rule to reduce when no shift and no pair applies (0 accept, -1 error).",
                "kDefaultRule", "kStateCount", t.default_rule, true);
    write_array(out, "Per state: where its goto list starts in kGotoTargets (lists may overlap).", "kGotoStart",
                "kStateCount", t.goto_start);
    write_array(out, "Goto targets of all states.", "kGotoTargets", std::to_string(t.goto_targets.size()),
                t.goto_targets);

    std::vector<int> lengths, lhs, actions, arguments;
    std::vector<std::string> texts;
    for (int r = 0; r < g.rule_count(); ++r) {
        const Rule& rule = g.rules[at(r)];
        lengths.push_back(static_cast<int>(rule.rhs.size()));
        lhs.push_back(rule.lhs);
        actions.push_back(rule.action);
        arguments.push_back(rule.argument);
        texts.push_back(g.rule_text(r));
    }
    write_array(out, "Per rule: the number of right-hand-side symbols.", "kRuleLength", "kRuleCount", lengths);
    write_array(out, "Per rule: the left-hand side's nonterminal number.", "kRuleLhs", "kRuleCount", lhs);
    write_array(out, "Per rule: the action number, or -1 for none.", "kRuleAction", "kRuleCount", actions, true);
    // The argument is a signed 8-bit value by definition, whatever the values.
    out << "\n// Per rule: the action's argument.\ninline constexpr std::int8_t kRuleArgument[kRuleCount] = {";
    write_numbers(out, arguments);
    out << "};\n";
    write_strings(out, "Per rule: the rule as written in the grammar (for diagnostics and tests).", "kRuleText",
                  "kRuleCount", texts);

    // Conflicts, one entry per rejected reduction.
    std::vector<int> c_state, c_token, c_chosen, c_rejected;
    for (const Conflict& c : a.conflicts)
        for (int rule : c.rules) {
            if (rule == c.chosen_rule) continue;
            c_state.push_back(c.state);
            c_token.push_back(c.token);
            c_chosen.push_back(c.chosen_rule);
            c_rejected.push_back(rule);
        }
    const bool no_conflicts = c_state.empty();
    out << "\n// Conflicts met while the tables were built, one entry per rejected\n"
           "// reduction.  chosen_rule is the rule that was kept, or -1 when the shift was.\n";
    out << "inline constexpr int kConflictCount = " << c_state.size() << ";\n";
    if (no_conflicts) {
        c_state.push_back(0);
        c_token.push_back(0);
        c_chosen.push_back(0);
        c_rejected.push_back(0);
    }
    std::vector<int> rule_values = c_chosen;
    rule_values.insert(rule_values.end(), c_rejected.begin(), c_rejected.end());
    const std::string rule_type = type_for(rule_values, true);
    out << "\nstruct GrammarConflict {\n    " << type_for(c_state) << " state;\n    " << type_for(c_token)
        << " token;\n    " << rule_type << " chosen_rule;\n    " << rule_type << " rejected_rule;\n};\n";
    out << "\ninline constexpr GrammarConflict kConflicts[" << c_state.size() << "] = {"
        << (no_conflicts ? "  // none; one placeholder entry" : "") << '\n';
    for (std::size_t i = 0; i < c_state.size(); ++i)
        out << "    {" << c_state[i] << ", " << c_token[i] << ", " << c_chosen[i] << ", " << c_rejected[i] << "},\n";
    out << "};\n\n}  // namespace zorm::grammar\n";
}

void write_summary(std::ostream& out, const Grammar& g, const Automaton& a, const std::string& grammar_name) {
    int shift_reduce = 0;
    for (const Conflict& c : a.conflicts) shift_reduce += c.shift ? 1 : 0;
    out << "grammar " << grammar_name << ": " << g.token_count() << " tokens, " << g.nonterminal_count()
        << " nonterminals, " << g.rule_count() << " rules, " << a.states.size() << " states\n";
    out << a.conflicts.size() << " conflicts (" << shift_reduce << " shift/reduce, "
        << a.conflicts.size() - static_cast<std::size_t>(shift_reduce) << " reduce/reduce)\n";
    for (const Conflict& c : a.conflicts) {
        out << "conflict: state " << c.state << " (" << state_entry(g, a, c.state) << "), look-ahead "
            << token_list(g, a, {c.token}) << ", " << conflict_kind(c) << '\n';
        if (c.shift) out << "    shift to state " << a.actions[at(c.state)][at(c.token)].value << "  <- chosen\n";
        for (int rule : c.rules) {
            out << "    reduce by rule " << rule << ": " << g.rule_text(rule);
            if (rule == c.chosen_rule) out << "  <- chosen";
            out << '\n';
        }
        out << "    resolved: "
            << (c.shift ? "shift (shift beats reduce)"
                        : "reduce by rule " + std::to_string(c.chosen_rule) + " (the earliest rule)")
            << '\n';
    }
    for (int rule : a.unused_rules) out << "warning: rule " << rule << " is never reduced: " << g.rule_text(rule) << '\n';
}

void write_report(std::ostream& out, const Grammar& g, const Automaton& a, const ParseTables& t,
                  const std::string& grammar_name) {
    out << "Operand grammar report (generated by zorm_lalrgen)\n\n";
    write_summary(out, g, a, grammar_name);

    out << "\nRules\n\n";
    for (int r = 0; r < g.rule_count(); ++r) out << "  " << r << "  " << g.rule_text(r) << '\n';

    out << "\nStates\n";
    for (std::size_t s = 0; s < a.states.size(); ++s) {
        const State& state = a.states[s];
        const std::vector<Action>& row = a.actions[s];
        out << "\nstate " << s << " (" << state_entry(g, a, static_cast<int>(s)) << ")\n";
        for (int item : state.kernel) out << "    " << item_text(g, a, item) << '\n';
        for (const Transition& transition : state.transitions)
            out << "    " << (is_terminal(transition.symbol) ? "shift " : "goto  ") << g.symbol_name(transition.symbol)
                << " -> state " << transition.target << '\n';
        for (const Reduction& reduction : state.reductions) {
            std::vector<int> won;
            for (int token : reduction.lookahead.members())
                if (row[at(token)].kind == Action::Kind::Reduce && row[at(token)].value == reduction.rule)
                    won.push_back(token);
            out << "    reduce by rule " << reduction.rule << " on " << token_list(g, a, reduction.lookahead.members());
            if (won.size() != static_cast<std::size_t>(reduction.lookahead.count()))
                out << "  (after conflicts: " << (won.empty() ? std::string("none") : token_list(g, a, won)) << ')';
            out << '\n';
        }
        const int rule = t.default_rule[s];
        out << "    default: "
            << (rule == kAcceptRule ? std::string("accept")
                                    : rule == kErrorRule ? std::string("error") : "reduce by rule " + std::to_string(rule))
            << '\n';
        for (int i = t.lookahead_start[s]; i < t.lookahead_start[s + 1]; ++i)
            out << "    on " << g.symbol_name(t.lookahead_pairs[at(i)].first) << " reduce by rule "
                << t.lookahead_pairs[at(i)].second << '\n';
    }
}

}  // namespace zorm::lalrgen
