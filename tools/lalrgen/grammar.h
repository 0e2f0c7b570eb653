// Grammar model and reader for zorm_lalrgen.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace zorm::lalrgen {

// Symbols are plain ints: a terminal is its token code (>= 0), a
// nonterminal is minus its number (numbers start at 1).  This is also the
// encoding of the generated accessing-symbol table.
inline bool is_terminal(int symbol) { return symbol >= 0; }
inline int nonterminal_symbol(int number) { return -number; }
inline int nonterminal_number(int symbol) { return -symbol; }

inline constexpr int kNoAction = -1;
inline constexpr int kMinArgument = -128;
inline constexpr int kMaxArgument = 127;

struct Rule {
    int lhs = 0;               // nonterminal number
    std::vector<int> rhs;      // symbols
    int action = kNoAction;    // index into Grammar::actions
    int argument = 0;          // signed 8-bit
    bool has_argument = false; // written with an argument (for messages)
    int line = 0;              // where the alternative starts in the file
};

struct Grammar {
    std::vector<std::string> tokens;        // index = token code
    std::vector<std::string> actions;       // index = action number
    std::vector<std::string> nonterminals;  // index = number; [0] unused
    std::vector<Rule> rules;                // rules[0] is the start rule

    int token_count() const { return static_cast<int>(tokens.size()); }
    int nonterminal_count() const { return static_cast<int>(nonterminals.size()) - 1; }
    int rule_count() const { return static_cast<int>(rules.size()); }

    // Terminals come out in double quotes, nonterminals bare.
    std::string symbol_name(int symbol) const;
    // "lhs : sym sym {action arg}", or "lhs : %empty".
    std::string rule_text(int rule) const;
};

struct Diagnostic {
    int line = 0;  // 0: not tied to a line
    std::string message;
};

// Thrown by read_grammar for malformed input.  A syntax error stops the
// reader at once; semantic errors (unknown names, unproductive rules, ...)
// are collected so that one run shows them all.
class GrammarError : public std::exception {
public:
    explicit GrammarError(std::vector<Diagnostic> diagnostics)
        : diagnostics_(std::move(diagnostics)) {}
    const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
    const char* what() const noexcept override { return "malformed grammar"; }

private:
    std::vector<Diagnostic> diagnostics_;
};

// Reads and checks a grammar.  Warnings (unreachable nonterminals) are
// appended to `warnings`.
Grammar read_grammar(const std::string& text, std::vector<Diagnostic>& warnings);

}  // namespace zorm::lalrgen
