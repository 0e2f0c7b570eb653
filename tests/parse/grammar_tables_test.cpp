// Tests of the generated operand parser tables (operand_tables.h).
//
// The tables are checked three ways: their token names against the lexer's
// codes, their internal consistency, and their behaviour.  For the last, a
// small table-walking recogniser (independent of the production parser)
// runs token sequences through the tables with a toy value stack, so each
// test states what an operand line must reduce to: the form and condition
// set, and the items left for the encoder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "operand_tables.h"

namespace {

namespace g = zorm::grammar;

// ---------------------------------------------------------------------------
// Helpers

int token_code(std::string_view name) {
    for (int code = 0; code < g::kTokenCount; ++code)
        if (name == g::kTokenNames[code]) return code;
    ADD_FAILURE() << "no token named " << name;
    return 0;
}

std::string nonterminal_of_rule(int rule) { return g::kNonterminalNames[g::kRuleLhs[rule]]; }

std::size_t at(int i) { return static_cast<std::size_t>(i); }

// ---------------------------------------------------------------------------
// A recogniser over the tables, with a toy value stack standing in for the
// expression evaluator and the register pushes.

struct InputToken {
    int code;
    long value;
};

enum class Result { Accepted, SyntaxError, Refused, StackOverflow };

std::ostream& operator<<(std::ostream& out, Result result) {
    switch (result) {
        case Result::Accepted: return out << "Accepted";
        case Result::SyntaxError: return out << "SyntaxError";
        case Result::Refused: return out << "Refused";
        case Result::StackOverflow: return out << "StackOverflow";
    }
    return out;
}

struct Item {
    char kind;  // 'n' number, 's' string, 'r' register
    long value;
};

struct Outcome {
    Result result = Result::SyntaxError;
    int form = kUnset;
    int condition = kUnset;
    std::vector<Item> values;
    std::vector<std::string> actions;        // "set_form 2", ...
    std::vector<std::string> reductions;     // left-hand sides, in order
    std::size_t tokens_read = 0;

    static constexpr int kUnset = 99;

    bool rejected() const { return result == Result::SyntaxError || result == Result::Refused; }
    bool reduced(const std::string& nonterminal) const {
        return std::find(reductions.begin(), reductions.end(), nonterminal) != reductions.end();
    }
    // The value stack as "n r7 s": numbers in decimal, registers as r<code>,
    // strings as s.
    std::string stack() const {
        std::string text;
        for (const Item& item : values) {
            if (!text.empty()) text += ' ';
            if (item.kind == 'r') text += 'r';
            if (item.kind == 's')
                text += 's';
            else
                text += std::to_string(item.value);
        }
        return text;
    }
};

constexpr std::size_t kStackLimit = 50;     // parser states, as in the assembler
constexpr long kStringValue = 65;    // every test string is "A"
constexpr long kLocation = 0x100;    // "$" and "*"
constexpr int kEndOfInput = 1000;

long binary(int op, long l, long r) {
    switch (op) {
        case 0: return l | r;
        case 1: return l ^ r;
        case 2: return l & r;
        case 3: return l == r;
        case 4: return l != r;
        case 5: return l < r;
        case 6: return l > r;
        case 7: return l <= r;
        case 8: return l >= r;
        case 9: return l << (r & 31);
        case 10: return l >> (r & 31);
        case 11: return l + r;
        case 12: return l - r;
        case 13: return l * r;
        case 14: return r == 0 ? 0 : l / r;
        case 15: return r == 0 ? 0 : l % r;
        case 16: return (l != 0 || r != 0) ? 1 : 0;
        case 17: return (l != 0 && r != 0) ? 1 : 0;
    }
    ADD_FAILURE() << "unknown binary operator " << op;
    return 0;
}

long unary(int op, long v) {
    switch (op) {
        case 0: return -v;
        case 1: return v == 0;
        case 2: return ~v;
        case 3: return (v >> 8) & 0xFF;
        case 4: return v & 0xFF;
    }
    ADD_FAILURE() << "unknown unary operator " << op;
    return 0;
}

// Runs one action; returns false when it refuses the statement.
bool run_action(Outcome& out, int action, int argument) {
    const std::string name = g::kActionNames[action];
    out.actions.push_back(name + ' ' + std::to_string(argument));
    std::vector<Item>& v = out.values;
    if (name == "set_form") {
        out.form = argument;
    } else if (name == "set_condition") {
        out.condition = argument;
    } else if (name == "admit_register") {
        v.push_back({'r', argument});
    } else if (name == "index_operand") {
        // (ix): a zero displacement below the register; (ix+e), (ix-e): the
        // displacement moves below the register, negated for the minus form.
        if (argument == 0) {
            v.insert(v.end() - 1, Item{'n', 0});
        } else {
            std::swap(v[v.size() - 1], v[v.size() - 2]);
            if (argument == 2) v[v.size() - 2].value = -v[v.size() - 2].value;
        }
    } else if (name == "refuse") {
        return false;
    } else if (name == "apply_unary") {
        v.back().value = unary(argument, v.back().value);
    } else if (name == "apply_binary") {
        const long r = v.back().value;
        v.pop_back();
        v.back().value = binary(argument, v.back().value, r);
    } else if (name == "string_value") {
        EXPECT_EQ(v.back().kind, 's');
        v.back() = {'n', kStringValue};
    } else if (name == "push_location") {
        v.push_back({'n', kLocation});
    }
    // struct_begin, struct_member, struct_align, struct_end: only recorded.
    return true;
}

Outcome recognise(const std::vector<InputToken>& input) {
    Outcome out;
    std::size_t position = 0;
    // Like the lexer, push a token's value when it is read.
    auto next = [&]() -> int {
        if (position >= input.size()) return kEndOfInput;
        const InputToken& token = input[position++];
        out.tokens_read = position;
        if (token.code == token_code("<number>")) out.values.push_back({'n', token.value});
        if (token.code == token_code("<string>")) out.values.push_back({'s', kStringValue});
        return token.code;
    };

    int state = 0;
    std::vector<int> stack{0};  // the bottom entry does not count
    int token = next();
    for (int steps = 0; steps < 100000; ++steps) {
        int target = -1;
        for (int i = g::kShiftStart[state]; i < g::kShiftStart[state + 1]; ++i)
            if (g::kAccessingSymbol[g::kShiftTargets[i]] == token) {
                target = g::kShiftTargets[i];
                break;
            }
        if (target >= 0) {
            if (stack.size() - 1 >= kStackLimit) {
                out.result = Result::StackOverflow;
                return out;
            }
            stack.push_back(state);
            state = target;
            token = next();
            continue;
        }
        int rule = g::kDefaultRule[state];
        for (int i = g::kLookaheadStart[state]; i < g::kLookaheadStart[state + 1]; ++i)
            if (g::kLookaheadPairs[i].token == token) {
                rule = g::kLookaheadPairs[i].rule;
                break;
            }
        if (rule == 0) {
            out.result = Result::Accepted;
            return out;
        }
        if (rule < 0) {
            out.result = Result::SyntaxError;
            return out;
        }
        out.reductions.push_back(nonterminal_of_rule(rule));
        if (g::kRuleAction[rule] >= 0 && !run_action(out, g::kRuleAction[rule], g::kRuleArgument[rule])) {
            out.result = Result::Refused;
            return out;
        }
        stack.push_back(state);
        stack.resize(stack.size() - g::kRuleLength[rule]);
        const int exposed = stack.back();
        const int wanted = -g::kRuleLhs[rule];
        int i = g::kGotoStart[exposed];
        while (g::kAccessingSymbol[g::kGotoTargets[i]] != wanted) ++i;
        state = g::kGotoTargets[i];
    }
    ADD_FAILURE() << "the recogniser does not terminate";
    return out;
}

// Words separated by blanks; a word of digits is a "<number>" with that
// value, anything else a token name.
std::vector<InputToken> tokens(std::string_view text) {
    std::vector<InputToken> result;
    std::istringstream words{std::string(text)};
    std::string word;
    while (words >> word) {
        if (std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
            result.push_back({token_code("<number>"), std::stol(word)});
        else
            result.push_back({token_code(word), 0});
    }
    return result;
}

// One operand line: the words, then the two newline tokens of the line end.
Outcome line(std::string_view text) {
    return recognise(tokens(std::string(text) + " <newline> <newline>"));
}

// The value of an expression given as the operand of a data word.
Outcome word(std::string_view expression) { return line("<wordlist> " + std::string(expression)); }

std::string repeat(std::string_view text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

// ---------------------------------------------------------------------------
// Token and action numbering

TEST(GrammarTokens, NamesMatchTheLexerCodes) {
    static const char* const expected[] = {
        "<error>", "<number>", "<string>", "<newline>", "<newline2>", "<identifier>", "<struct>", "<cmap>",
        "<expression>", "<bytelist>", "<wordlist>", "<optexpr>", "<text>", "<blank>", "<jump>", "<bitinstr>",
        "<pushregs>", "<popregs>", "<opta>", "<op8>", "<op16>", "<incdec>", "<ex>", "<input>", "<output>",
        "<load>", "<ret>", "<shift>", "<tsti>", "<call>", "<set>", "<mult>", "<tstio>", "<af'>",
        "!", "!=", "$", "%", "&", "&&", "(", ")", "*", "+", ",", "-", "/", ":", ";", "<", "<<", "<=", "=", ">",
        ">=", ">>", "[", "]", "^",
        "a", "af", "align", "b", "bc", "c", "d", "db", "dd", "de", "ds", "dw", "e", "end", "h", "hi", "hl", "i",
        "ix", "ixh", "ixl", "iy", "iyh", "iyl", "l", "label", "lo", "m", "nc", "ns", "nv", "nz", "p", "pe", "po",
        "r", "s", "sp", "struct", "v", "xh", "xl", "yh", "yl", "z",
        "|", "||", "~"};
    ASSERT_EQ(g::kTokenCount, 107);
    ASSERT_EQ(std::size(expected), std::size_t{107});
    for (int code = 0; code < g::kTokenCount; ++code)
        EXPECT_STREQ(g::kTokenNames[code], expected[code]) << "token code " << code;
}

TEST(GrammarTokens, FixedCodesUsedByOtherParts) {
    EXPECT_STREQ(g::kTokenNames[3], "<newline>");
    EXPECT_STREQ(g::kTokenNames[4], "<newline2>");
    EXPECT_STREQ(g::kTokenNames[6], "<struct>");
    EXPECT_STREQ(g::kTokenNames[32], "<tstio>");
    EXPECT_STREQ(g::kTokenNames[33], "<af'>");
    EXPECT_STREQ(g::kTokenNames[36], "$");
    EXPECT_STREQ(g::kTokenNames[48], ";");
    EXPECT_STREQ(g::kTokenNames[59], "a");
    EXPECT_STREQ(g::kTokenNames[97], "struct");
    EXPECT_STREQ(g::kTokenNames[103], "z");
    EXPECT_STREQ(g::kTokenNames[106], "~");
}

TEST(GrammarTokens, KeywordsAreInByteOrder) {
    for (int code = 60; code <= 103; ++code)
        EXPECT_LT(std::string_view(g::kTokenNames[code - 1]), std::string_view(g::kTokenNames[code]))
            << "keyword code " << code;
}

TEST(GrammarActions, ActionsHaveTheirFixedNumbers) {
    static const char* const expected[] = {"set_form",      "set_condition", "admit_register", "index_operand",
                                           "refuse",        "struct_end",    "struct_begin",   "struct_member",
                                           "struct_align",  "apply_unary",   "apply_binary",   "string_value",
                                           "push_location"};
    ASSERT_EQ(g::kActionCount, 13);
    for (int i = 0; i < g::kActionCount; ++i) EXPECT_STREQ(g::kActionNames[i], expected[i]) << "action " << i;
}

// ---------------------------------------------------------------------------
// Consistency of the tables

TEST(GrammarTables, StartRuleIsOperandsFollowedByNewline) {
    EXPECT_EQ(g::kRuleLength[0], 2);
    EXPECT_STREQ(g::kNonterminalNames[g::kRuleLhs[0]], "line");
    EXPECT_EQ(g::kRuleLhs[0], 1);
    EXPECT_EQ(g::kRuleAction[0], -1);
    EXPECT_STREQ(g::kRuleText[0], "line : operands \"<newline>\"");
}

TEST(GrammarTables, ExactlyOneAcceptStateEnteredByTheNewline) {
    int accepting = 0;
    for (int s = 0; s < g::kStateCount; ++s)
        if (g::kDefaultRule[s] == 0) {
            ++accepting;
            EXPECT_EQ(g::kAccessingSymbol[s], token_code("<newline>"));
            EXPECT_EQ(g::kShiftStart[s], g::kShiftStart[s + 1]) << "the accept state shifts nothing";
        }
    EXPECT_EQ(accepting, 1);
}

TEST(GrammarTables, AccessingSymbolsAreInRange) {
    EXPECT_EQ(g::kAccessingSymbol[0], 0);
    for (int s = 1; s < g::kStateCount; ++s) {
        const int symbol = g::kAccessingSymbol[s];
        EXPECT_TRUE((symbol >= 0 && symbol < g::kTokenCount) || (symbol <= -1 && symbol >= -g::kNonterminalCount))
            << "state " << s;
        EXPECT_NE(symbol, -1) << "nothing may enter a state by the start symbol";
    }
}

TEST(GrammarTables, ShiftListsHoldOneTerminalTargetPerToken) {
    EXPECT_EQ(g::kShiftStart[0], 0);
    EXPECT_EQ(g::kShiftStart[g::kStateCount], static_cast<int>(std::size(g::kShiftTargets)));
    for (int s = 0; s < g::kStateCount; ++s) {
        ASSERT_LE(g::kShiftStart[s], g::kShiftStart[s + 1]);
        std::set<int> seen;
        for (int i = g::kShiftStart[s]; i < g::kShiftStart[s + 1]; ++i) {
            const int target = g::kShiftTargets[i];
            ASSERT_LT(target, g::kStateCount);
            EXPECT_GT(target, 0);
            EXPECT_GE(g::kAccessingSymbol[target], 0) << "state " << s << " shifts to a goto state";
            EXPECT_TRUE(seen.insert(g::kAccessingSymbol[target]).second) << "state " << s << " shifts a token twice";
        }
    }
}

TEST(GrammarTables, LookaheadPairsOnlyOverrideTheDefault) {
    EXPECT_EQ(g::kLookaheadStart[0], 0);
    for (int s = 0; s < g::kStateCount; ++s) {
        ASSERT_LE(g::kLookaheadStart[s], g::kLookaheadStart[s + 1]);
        std::set<int> seen;
        for (int i = g::kLookaheadStart[s]; i < g::kLookaheadStart[s + 1]; ++i) {
            const auto& pair = g::kLookaheadPairs[i];
            EXPECT_LT(pair.token, g::kTokenCount);
            EXPECT_GT(pair.rule, 0);
            EXPECT_LT(pair.rule, g::kRuleCount);
            EXPECT_GT(g::kDefaultRule[s], 0) << "a state with pairs has a default reduction too";
            EXPECT_NE(pair.rule, g::kDefaultRule[s]) << "state " << s;
            EXPECT_TRUE(seen.insert(pair.token).second) << "state " << s << " pairs a token twice";
            for (int j = g::kShiftStart[s]; j < g::kShiftStart[s + 1]; ++j)
                EXPECT_NE(g::kAccessingSymbol[g::kShiftTargets[j]], pair.token) << "state " << s << ": dead pair";
        }
    }
}

TEST(GrammarTables, RulesAreWellFormed) {
    for (int r = 0; r < g::kRuleCount; ++r) {
        EXPECT_GE(g::kRuleLhs[r], 1);
        EXPECT_LE(g::kRuleLhs[r], g::kNonterminalCount);
        EXPECT_GE(g::kRuleAction[r], -1);
        EXPECT_LT(g::kRuleAction[r], g::kActionCount);
        if (g::kRuleAction[r] < 0) {
            EXPECT_EQ(g::kRuleArgument[r], 0);
        }
        EXPECT_EQ(std::string(g::kRuleText[r]).rfind(nonterminal_of_rule(r) + " :", 0), 0u) << g::kRuleText[r];
    }
    for (int s = 0; s < g::kStateCount; ++s) EXPECT_LT(g::kDefaultRule[s], g::kRuleCount);
}

// Walks the automaton through its shifts and gotos: every state must be
// reachable, every goto target must be entered by a nonterminal.
TEST(GrammarTables, EveryStateIsReachable) {
    std::vector<bool> reached(at(g::kStateCount), false);
    reached[0] = true;
    for (int s = 0; s < g::kStateCount; ++s)
        for (int i = g::kShiftStart[s]; i < g::kShiftStart[s + 1]; ++i) reached[at(g::kShiftTargets[i])] = true;
    for (int target : g::kGotoTargets) {
        ASSERT_LT(target, g::kStateCount);
        EXPECT_LT(g::kAccessingSymbol[target], 0) << "goto list holds shift state " << target;
        reached[at(target)] = true;
    }
    for (int s = 0; s < g::kStateCount; ++s) EXPECT_TRUE(reached[at(s)]) << "state " << s;
}

// ---------------------------------------------------------------------------
// Conflicts.  Each is a reduce/reduce conflict the grammar relies on, settled
// for the rule written first.  A change to this list changes how the
// assembler reads parenthesised operands.

std::string describe_conflict(const g::GrammarConflict& c) {
    return std::string(g::kTokenNames[c.token]) + " | " +
           (c.chosen_rule < 0 ? std::string("shift") : std::string(g::kRuleText[c.chosen_rule])) + " | " +
           g::kRuleText[c.rejected_rule];
}

TEST(GrammarConflicts, ExactlyTheExpectedOnesAreResolvedForTheEarliestRule) {
    std::vector<std::string> expected = {
        // A lone string in a data list stays a string.
        "<newline> | byte_item : \"<string>\" | primary : \"<string>\" {string_value}",
        ", | byte_item : \"<string>\" | primary : \"<string>\" {string_value}",
        // Where only an immediate may stand: "(" expr ")" is refused.
        "<newline> | imm : \"(\" expr \")\" {refuse 1} | primary : \"(\" expr \")\"",
        ", | imm : \"(\" expr \")\" {refuse 1} | primary : \"(\" expr \")\"",
        // tstio at the line end: refused (followed by "," it is the port).
        "<newline> | imm : \"(\" expr \")\" {refuse 1} | primary : \"(\" expr \")\"",
        // ld sources: a memory address at the line end.
        "<newline> | mem_address : \"(\" expr \")\" | imm : \"(\" expr \")\" {refuse 1}",
        "<newline> | mem_address : \"(\" expr \")\" | primary : \"(\" expr \")\"",
        "<newline> | mem_address : \"[\" expr \"]\" | imm : \"[\" expr \"]\" {refuse 1}",
    };
    std::vector<std::string> actual;
    std::set<std::pair<int, int>> state_tokens;
    for (int i = 0; i < g::kConflictCount; ++i) {
        const g::GrammarConflict& c = g::kConflicts[i];
        ASSERT_LT(c.state, g::kStateCount);
        ASSERT_LT(c.rejected_rule, g::kRuleCount);
        EXPECT_GE(c.chosen_rule, 0) << "no shift/reduce conflict is expected";
        EXPECT_LT(c.chosen_rule, c.rejected_rule) << "the earliest rule wins";
        actual.push_back(describe_conflict(c));
        state_tokens.emplace(c.state, c.token);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(state_tokens.size(), 7u);
}

#ifdef ZORM_GRAMMAR_REPORT
TEST(GrammarConflicts, ReportListsEveryConflictAndTheCounts) {
    std::ifstream in(ZORM_GRAMMAR_REPORT);
    ASSERT_TRUE(in) << "cannot read " << ZORM_GRAMMAR_REPORT;
    std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::pair<int, int>> state_tokens;
    for (int i = 0; i < g::kConflictCount; ++i) state_tokens.emplace(g::kConflicts[i].state, g::kConflicts[i].token);
    std::size_t listed = 0;
    for (std::size_t at_line = report.find("\nconflict: "); at_line != std::string::npos;
         at_line = report.find("\nconflict: ", at_line + 1))
        ++listed;
    EXPECT_EQ(listed, state_tokens.size());
    const std::string counts =
        std::to_string(g::kRuleCount) + " rules, " + std::to_string(g::kStateCount) + " states";
    EXPECT_NE(report.find(counts), std::string::npos) << "report lacks \"" << counts << '"';
}
#endif

// ---------------------------------------------------------------------------
// Parenthesis decisions

TEST(GrammarParentheses, LoadSourceAtLineEndIsAMemoryAddress) {
    const Outcome paren = line("<load> a , ( 1234 )");
    EXPECT_EQ(paren.result, Result::Accepted);
    EXPECT_EQ(paren.form, 2);
    EXPECT_EQ(paren.stack(), "1234");
    EXPECT_TRUE(paren.reduced("mem_address"));

    const Outcome bracket = line("<load> a , [ 1234 ]");
    EXPECT_EQ(bracket.result, Result::Accepted);
    EXPECT_EQ(bracket.form, 2);
    EXPECT_EQ(bracket.stack(), "1234");

    const Outcome pair = line("<load> hl , ( 1234 )");
    EXPECT_EQ(pair.result, Result::Accepted);
    EXPECT_EQ(pair.form, 11);
    EXPECT_EQ(pair.stack(), "r12 1234");
}

TEST(GrammarParentheses, ParenthesesFollowedByAnOperatorOnlyGroup) {
    const Outcome times = line("<load> a , ( 1 + 2 ) * 3");
    EXPECT_EQ(times.result, Result::Accepted);
    EXPECT_EQ(times.form, 0);
    EXPECT_EQ(times.stack(), "9 r-1");
    EXPECT_FALSE(times.reduced("mem_address"));

    const Outcome plus = line("<load> b , ( 1 ) + 2");
    EXPECT_EQ(plus.result, Result::Accepted);
    EXPECT_EQ(plus.form, 3);
    EXPECT_EQ(plus.stack(), "r0 3 r-1");

    const Outcome alu = line("<op8> ( 5 ) + 1");
    EXPECT_EQ(alu.result, Result::Accepted);
    EXPECT_EQ(alu.stack(), "6 r-1");
}

TEST(GrammarParentheses, WholeParenthesisedImmediateIsRefused) {
    EXPECT_EQ(line("<op8> ( 5 )").result, Result::Refused);
    EXPECT_EQ(line("<op8> a , ( 5 )").result, Result::Refused);
    EXPECT_EQ(line("<expression> ( 5 )").result, Result::Refused);
    EXPECT_EQ(line("<jump> ( 100 )").result, Result::Refused);
    EXPECT_EQ(line("<call> nz , ( 100 )").result, Result::Refused);
    EXPECT_EQ(line("<load> ( hl ) , ( 5 )").result, Result::Refused);
    // Followed by "," as well.
    EXPECT_EQ(line("<bitinstr> ( 3 ) , a").result, Result::Refused);
    EXPECT_EQ(line("<set> ( 3 ) , b").result, Result::Refused);
}

TEST(GrammarParentheses, BracketsNeverGroupInAnImmediate) {
    EXPECT_EQ(line("<jump> [ 100 ]").result, Result::Refused);
    EXPECT_EQ(line("<op8> [ 5 ]").result, Result::Refused);
    EXPECT_TRUE(line("<expression> [ 5 ] + 1").rejected());
    EXPECT_TRUE(line("<expression> 1 + [ 5 ]").rejected());
}

TEST(GrammarParentheses, TstioPortIsFollowedByAComma) {
    const Outcome port = line("<tstio> ( 5 ) , 3");
    EXPECT_EQ(port.result, Result::Accepted);
    EXPECT_EQ(port.form, 0);
    EXPECT_EQ(port.stack(), "5 3");
    EXPECT_TRUE(port.reduced("port"));

    const Outcome bracket = line("<tstio> [ 5 ] , 3");
    EXPECT_EQ(bracket.result, Result::Accepted);
    EXPECT_EQ(bracket.stack(), "5 3");

    EXPECT_EQ(line("<tstio> ( 5 )").result, Result::Refused);
    EXPECT_EQ(line("<tstio> [ 5 ]").result, Result::Refused);
    const Outcome immediate = line("<tstio> ( 5 ) + 1");
    EXPECT_EQ(immediate.result, Result::Accepted);
    EXPECT_EQ(immediate.stack(), "6");
    EXPECT_EQ(line("<tstio> 7").stack(), "7");
}

TEST(GrammarParentheses, DataListItemsGroup) {
    const Outcome bytes = line("<bytelist> ( 5 )");
    EXPECT_EQ(bytes.result, Result::Accepted);
    EXPECT_EQ(bytes.stack(), "5");
    const Outcome words = line("<wordlist> ( 5 ) , [ 6 ]");
    EXPECT_TRUE(words.rejected()) << "brackets are not grouping parentheses";
    EXPECT_EQ(line("<wordlist> ( 5 ) , ( 1 ) * 2").stack(), "5 2");
}

TEST(GrammarParentheses, LoneStringInAByteListStaysAString) {
    const Outcome kept = line("<bytelist> <string> , 5");
    EXPECT_EQ(kept.result, Result::Accepted);
    EXPECT_EQ(kept.stack(), "s 5");
    EXPECT_EQ(line("<bytelist> 1 , <string>").stack(), "1 s");
    EXPECT_EQ(line("<cmap> 65 , <string> , 1").stack(), "65 s 1");

    const Outcome number = line("<bytelist> <string> + 1");
    EXPECT_EQ(number.result, Result::Accepted);
    EXPECT_EQ(number.stack(), std::to_string(kStringValue + 1));
    // Outside a byte list a string is always a number.
    EXPECT_EQ(word("<string>").stack(), std::to_string(kStringValue));
}

// ---------------------------------------------------------------------------
// Operand classes

TEST(GrammarOperandClasses, LoadForms) {
    struct Case {
        const char* text;
        int form;
        const char* stack;
    };
    const Case cases[] = {
        {"<load> a , b", 0, "r0"},
        {"<load> a , ( hl )", 0, "r6"},
        {"<load> a , ixl", 0, "r21"},
        {"<load> a , 5", 0, "5 r-1"},
        {"<load> a , ( ix + 5 )", 0, "5 r26"},
        {"<load> a , ( bc )", 1, "r8"},
        {"<load> a , [ de ]", 1, "r9"},
        {"<load> a , i", 1, "r24"},
        {"<load> a , r", 1, "r25"},
        {"<load> b , c", 3, "r0 r1"},
        {"<load> e , iyh", 3, "r3 r22"},
        {"<load> h , 7", 3, "r4 7 r-1"},
        {"<load> ixh , b", 4, "r20 r0"},
        {"<load> yl , 9", 4, "r23 9 r-1"},
        {"<load> ixh , ixl", 5, "r20 r21"},
        {"<load> iyl , yh", 5, "r23 r22"},
        {"<load> ( bc ) , a", 6, "r8"},
        {"<load> r , a", 6, "r25"},
        {"<load> ( hl ) , 7", 7, "r6 7 r-1"},
        {"<load> ( ix ) , a", 7, "0 r26 r7"},
        {"<load> [ iy + 3 ] , e", 7, "3 r27 r3"},
        {"<load> ( iy - 2 ) , h", 8, "-2 r27 r4"},
        {"<load> ( hl ) , l", 8, "r6 r5"},
        {"<load> sp , 1234", 9, "r13 1234"},
        {"<load> ix , ( 1 ) + 1", 9, "r30 2"},
        {"<load> hl , bc", 10, "r12 r10"},
        {"<load> de , ( 1234 )", 11, "r11 1234"},
        {"<load> ( 1234 ) , a", 12, "1234"},
        {"<load> [ 1234 ] , a", 12, "1234"},
        {"<load> ( 1234 ) , hl", 13, "1234 r12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Outcome out = line(c.text);
        EXPECT_EQ(out.result, Result::Accepted);
        EXPECT_EQ(out.form, c.form);
        EXPECT_EQ(out.stack(), c.stack);
    }
}

TEST(GrammarOperandClasses, LoadRejectsImpossibleCombinations) {
    for (const char* text : {"<load> h , ixl", "<load> ixh , iyl", "<load> ixh , h", "<load> ( hl ) , ( hl )",
                             "<load> ( 5 ) , b", "<load> i , b", "<load> a", "<load> a , ( sp )",
                             "<load> ( hl ) , ixh", "<load> bc , a"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(line(text).rejected());
    }
}

TEST(GrammarOperandClasses, JumpsCallsAndReturns) {
    const Outcome indirect = line("<jump> ( hl )");
    EXPECT_EQ(indirect.result, Result::Accepted);
    EXPECT_EQ(indirect.form, 2);
    EXPECT_EQ(indirect.stack(), "r12");
    const Outcome bracket = line("<jump> [ ix ]");
    EXPECT_EQ(bracket.form, 2);
    EXPECT_EQ(bracket.stack(), "r30");

    const Outcome conditional = line("<jump> nz , 100");
    EXPECT_EQ(conditional.form, 0);
    EXPECT_EQ(conditional.condition, 0);
    const Outcome plain = line("<jump> 100");
    EXPECT_EQ(plain.form, 1);
    EXPECT_EQ(plain.condition, Outcome::kUnset) << "the plain jump is told apart by its form";

    const Outcome call = line("<call> nz , 100");
    EXPECT_EQ(call.result, Result::Accepted);
    EXPECT_EQ(call.form, 0);
    EXPECT_EQ(call.condition, 0);
    EXPECT_EQ(call.stack(), "100");
    const Outcome unconditional = line("<call> 100");
    EXPECT_EQ(unconditional.form, 0);
    EXPECT_EQ(unconditional.condition, -1);

    EXPECT_EQ(line("<ret>").condition, -1);
    EXPECT_EQ(line("<ret>").result, Result::Accepted);

    const std::map<std::string, int> conditions = {{"nz", 0}, {"z", 1},  {"nc", 2}, {"c", 3},
                                                   {"po", 4}, {"nv", 4}, {"pe", 5}, {"v", 5},
                                                   {"p", 6},  {"ns", 6}, {"m", 7},  {"s", 7}};
    for (const auto& [name, code] : conditions) {
        SCOPED_TRACE(name);
        EXPECT_EQ(line("<ret> " + name).condition, code);
        EXPECT_EQ(line("<call> " + name + " , 5").condition, code);
    }
    EXPECT_TRUE(line("<ret> b").rejected());
    EXPECT_TRUE(line("<jump> ( bc )").rejected());
}

TEST(GrammarOperandClasses, InputOutputAndTest) {
    const Outcome in_c = line("<input> a , ( c )");
    EXPECT_EQ(in_c.result, Result::Accepted);
    EXPECT_EQ(in_c.form, 1);
    EXPECT_EQ(in_c.stack(), "r7");
    const Outcome in_alone = line("<input> ( c )");
    EXPECT_EQ(in_alone.form, 2);
    EXPECT_EQ(in_alone.stack(), "");
    const Outcome in_port = line("<input> a , ( 254 )");
    EXPECT_EQ(in_port.form, 0);
    EXPECT_EQ(in_port.stack(), "r7 254");
    const Outcome out_c = line("<output> [ c ] , ixh");
    EXPECT_EQ(out_c.form, 1);
    EXPECT_EQ(out_c.stack(), "r20");
    const Outcome out_port = line("<output> ( 254 ) , a");
    EXPECT_EQ(out_port.form, 0);
    EXPECT_EQ(out_port.stack(), "254 r7");
    EXPECT_EQ(line("<tsti> ( c )").result, Result::Accepted);
    EXPECT_TRUE(line("<tsti> ( 5 )").rejected());
    EXPECT_TRUE(line("<input> ( 254 )").rejected());
}

TEST(GrammarOperandClasses, ArithmeticIncrementAndBitOperands) {
    EXPECT_EQ(line("<op8> a , b").stack(), "r0");
    EXPECT_EQ(line("<op8> a").stack(), "r7");
    EXPECT_EQ(line("<op8> ( hl )").stack(), "r6");
    EXPECT_EQ(line("<op8> 5").form, 0);
    const Outcome pair = line("<op16> hl , bc");
    EXPECT_EQ(pair.form, 1);
    EXPECT_EQ(pair.stack(), "r12 r10");
    const Outcome accumulator = line("<op16> a , 5");
    EXPECT_EQ(accumulator.form, 0);
    EXPECT_EQ(accumulator.stack(), "5 r-1");
    EXPECT_EQ(line("<incdec> ( ix + 1 )").stack(), "1 r26");
    EXPECT_EQ(line("<incdec> sp").stack(), "r13");
    EXPECT_EQ(line("<incdec> xl").stack(), "r21");
    EXPECT_EQ(line("<shift> [ iy - 3 ]").stack(), "-3 r27");
    EXPECT_EQ(line("<mult> de").stack(), "r11");
    const Outcome bit = line("<bitinstr> 3 , ( hl )");
    EXPECT_EQ(bit.result, Result::Accepted);
    EXPECT_EQ(bit.stack(), "3 r6");
    EXPECT_EQ(line("<set> 5").form, 0);
    const Outcome set_bit = line("<set> 3 , b");
    EXPECT_EQ(set_bit.form, 1);
    EXPECT_EQ(set_bit.stack(), "3 r0");
    EXPECT_TRUE(line("<incdec> 5").rejected());
    EXPECT_TRUE(line("<mult> a").rejected());
}

TEST(GrammarOperandClasses, ExchangeAndStackRegisters) {
    EXPECT_EQ(line("<ex> af , <af'>").form, 1);
    const Outcome de_hl = line("<ex> de , hl");
    EXPECT_EQ(de_hl.form, 0);
    EXPECT_EQ(de_hl.stack(), "");
    EXPECT_EQ(line("<ex> hl , de").form, 0);
    const Outcome sp_ix = line("<ex> ( sp ) , ix");
    EXPECT_EQ(sp_ix.form, 2);
    EXPECT_EQ(sp_ix.stack(), "r30");
    EXPECT_EQ(line("<ex> iy , [ sp ]").stack(), "r31");
    EXPECT_EQ(line("<ex> hl , ( sp )").form, 2);
    EXPECT_TRUE(line("<ex> bc , de").rejected());

    EXPECT_EQ(line("<pushregs> af , bc , ix").stack(), "r13 r10 r30");
    EXPECT_EQ(line("<popregs> de , hl").stack(), "r11 r12");
    EXPECT_TRUE(line("<pushregs> sp").rejected());
}

TEST(GrammarOperandClasses, DirectiveOperands) {
    EXPECT_EQ(line("<optexpr>").form, 0);
    EXPECT_EQ(line("<optexpr> 5").form, 1);
    EXPECT_EQ(line("<cmap>").form, 0);
    EXPECT_EQ(line("<cmap> 65").form, 1);
    EXPECT_EQ(line("<cmap> 65 , 1 , 2").form, 2);
    EXPECT_EQ(line("<text> <string>").stack(), "s");
    EXPECT_EQ(line("<blank>").result, Result::Accepted);
    EXPECT_TRUE(line("<blank> 5").rejected());
    EXPECT_EQ(line("<opta>").result, Result::Accepted);
    const Outcome opta = line("<opta> a");
    EXPECT_EQ(opta.result, Result::Accepted);
    EXPECT_EQ(opta.stack(), "") << "a bare a that is the only choice pushes nothing";
    EXPECT_TRUE(line("<opta> b").rejected());
    EXPECT_TRUE(line("<expression>").rejected());
    EXPECT_TRUE(line("<expression> <error>").rejected());
}

TEST(GrammarOperandClasses, AcceptingConsumesBothNewlines) {
    const Outcome out = line("<load> a , b");
    EXPECT_EQ(out.result, Result::Accepted);
    EXPECT_EQ(out.tokens_read, tokens("<load> a , b <newline> <newline>").size());
}

// ---------------------------------------------------------------------------
// Structure bodies

std::vector<InputToken> struct_tokens(const std::string& head, const std::vector<std::string>& members) {
    std::string text = "<struct> " + head + " <newline2> <newline2>";
    for (const std::string& member : members) text += ' ' + member + " <newline2> <newline2>";
    return tokens(text + " end struct <newline> <newline>");
}

TEST(GrammarStructBody, MembersKeywordFirst) {
    const Outcome out = recognise(struct_tokens(
        "<identifier>", {"db <identifier>", "dw <identifier>", "dd <identifier>", "ds <identifier> , 4",
                         "label <identifier>", "align", "align 4", "ds 2", ""}));
    EXPECT_EQ(out.result, Result::Accepted);
    const std::vector<std::string> expected = {
        "struct_begin 0", "struct_member 1", "struct_member 2", "struct_member 4", "struct_member 3",
        "struct_member 0", "struct_align 0",  "struct_align 1",  "struct_align 2",  "struct_end 0"};
    EXPECT_EQ(out.actions, expected);
}

TEST(GrammarStructBody, HeadWithOriginAndEmptyBody) {
    const Outcome out = recognise(struct_tokens("<identifier> , 100", {}));
    EXPECT_EQ(out.result, Result::Accepted);
    ASSERT_FALSE(out.actions.empty());
    EXPECT_EQ(out.actions.front(), "struct_begin 1");
}

TEST(GrammarStructBody, NameBeforeKeywordIsAnError) {
    EXPECT_TRUE(recognise(struct_tokens("<identifier>", {"<identifier> db"})).rejected());
    EXPECT_TRUE(recognise(tokens("<struct> <identifier> <newline2> <newline2> end <newline> <newline>")).rejected());
}

// ---------------------------------------------------------------------------
// Expressions

TEST(GrammarExpressions, PrecedenceFromLoosestToTightest) {
    struct Case {
        const char* text;
        long value;
    };
    const Case cases[] = {
        {"1 + 2 * 3", 7},      {"7 - 2 - 1", 4},     {"7 % 4 * 2", 6},     {"1 << 2 + 1", 8},
        {"8 >> 1 < 5", 1},     {"1 < 2 = 1", 1},     {"2 < 3 < 1", 0},     {"2 & 2 = 2", 0},
        {"6 ^ 3 & 1", 7},      {"1 | 2 ^ 3", 1},     {"0 && 0 | 1", 0},    {"1 || 0 && 0", 1},
        {"3 = 3", 1},          {"3 != 3", 0},        {"5 >= 6", 0},        {"5 <= 5", 1},
        {"- 2 * 3", -6},       {"+ 5", 5},           {"~ ~ 5", 5},         {"! - 1", 0},
        {"- ( 2 + 1 )", -3},   {"hi 300", 1},        {"lo 300", 44},       {"lo 255 + 1", 0},
        {"( hi 300 ) + 1", 2}, {"$ + 1", kLocation + 1}, {"* * 2", kLocation * 2}, {"* * *", kLocation * kLocation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Outcome out = word(c.text);
        EXPECT_EQ(out.result, Result::Accepted);
        EXPECT_EQ(out.stack(), std::to_string(c.value));
    }
}

TEST(GrammarExpressions, PrefixAndHiLoRestrictions) {
    EXPECT_TRUE(word("- - 1").rejected()) << "prefix minus applies to a primary only";
    EXPECT_TRUE(word("+ - 1").rejected());
    EXPECT_TRUE(word("1 + hi 2").rejected()) << "hi only at the front of an expression";
    EXPECT_TRUE(word("hi hi 2").rejected());
    EXPECT_TRUE(word("1 +").rejected());
    EXPECT_TRUE(word("( 1").rejected());
}

TEST(GrammarExpressions, NestingDepthIsBoundedByTheParserStack) {
    const Outcome forty = word(repeat("( ", 40) + "1" + repeat(" )", 40));
    EXPECT_EQ(forty.result, Result::Accepted);
    EXPECT_EQ(forty.stack(), "1");
    EXPECT_EQ(word(repeat("( ", 50) + "1" + repeat(" )", 50)).result, Result::StackOverflow);
}

TEST(GrammarExpressions, ListsDoNotGrowTheParserStack) {
    const Outcome bytes = line("<bytelist> 1" + repeat(" , 1", 99));
    EXPECT_EQ(bytes.result, Result::Accepted);
    EXPECT_EQ(bytes.values.size(), 100u);
    EXPECT_EQ(line("<wordlist> 1" + repeat(" , 1", 99)).result, Result::Accepted);
    EXPECT_EQ(line("<pushregs> bc" + repeat(" , de", 80)).result, Result::Accepted);
    const Outcome members = recognise(struct_tokens("<identifier>", std::vector<std::string>(80, "db <identifier>")));
    EXPECT_EQ(members.result, Result::Accepted);
}

}  // namespace
