// Reader for the grammar file format described in README.md.
#include "grammar.h"

#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace zorm::lalrgen {

std::string Grammar::symbol_name(int symbol) const {
    if (is_terminal(symbol)) return '"' + tokens.at(static_cast<std::size_t>(symbol)) + '"';
    return nonterminals.at(static_cast<std::size_t>(nonterminal_number(symbol)));
}

std::string Grammar::rule_text(int rule) const {
    const Rule& r = rules.at(static_cast<std::size_t>(rule));
    std::string text = nonterminals.at(static_cast<std::size_t>(r.lhs)) + " :";
    if (r.rhs.empty()) text += " %empty";
    for (int symbol : r.rhs) text += ' ' + symbol_name(symbol);
    if (r.action != kNoAction) {
        text += " {" + actions.at(static_cast<std::size_t>(r.action));
        if (r.has_argument) text += ' ' + std::to_string(r.argument);
        text += '}';
    }
    return text;
}

namespace {

enum class Kind { End, Quoted, Identifier, Directive, Integer, Colon, Bar, Semicolon, LeftBrace, RightBrace };

struct Lexeme {
    Kind kind = Kind::End;
    std::string text;
    long value = 0;
    int line = 0;
};

std::string describe(const Lexeme& lexeme) {
    switch (lexeme.kind) {
        case Kind::End: return "end of file";
        case Kind::Quoted: return "token \"" + lexeme.text + '"';
        case Kind::Identifier: return "name '" + lexeme.text + "'";
        case Kind::Directive: return "'" + lexeme.text + "'";
        case Kind::Integer: return "number " + lexeme.text;
        case Kind::Colon: return "':'";
        case Kind::Bar: return "'|'";
        case Kind::Semicolon: return "';'";
        case Kind::LeftBrace: return "'{'";
        case Kind::RightBrace: return "'}'";
    }
    return "?";
}

[[noreturn]] void fail(int line, const std::string& message) {
    throw GrammarError({Diagnostic{line, message}});
}

class Scanner {
public:
    explicit Scanner(const std::string& text) : text_(text) {}

    Lexeme next() {
        skip_blanks_and_comments();
        Lexeme lexeme;
        lexeme.line = line_;
        if (pos_ >= text_.size()) return lexeme;
        const char c = text_[pos_];
        auto single = [&](Kind kind) {
            lexeme.kind = kind;
            lexeme.text = std::string(1, c);
            ++pos_;
            return lexeme;
        };
        switch (c) {
            case ':': return single(Kind::Colon);
            case '|': return single(Kind::Bar);
            case ';': return single(Kind::Semicolon);
            case '{': return single(Kind::LeftBrace);
            case '}': return single(Kind::RightBrace);
            default: break;
        }
        if (c == '"') {
            ++pos_;
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\n') ++pos_;
            if (pos_ >= text_.size() || text_[pos_] != '"') fail(line_, "unterminated token name");
            lexeme.kind = Kind::Quoted;
            lexeme.text = text_.substr(start, pos_ - start);
            ++pos_;
            if (lexeme.text.empty()) fail(line_, "empty token name \"\"");
            return lexeme;
        }
        if (c == '%' || is_name_start(c)) {
            const std::size_t start = pos_;
            ++pos_;
            while (pos_ < text_.size() && is_name_char(text_[pos_])) ++pos_;
            lexeme.kind = c == '%' ? Kind::Directive : Kind::Identifier;
            lexeme.text = text_.substr(start, pos_ - start);
            if (lexeme.text == "%") fail(line_, "'%' must be followed by a directive name");
            return lexeme;
        }
        if (is_digit(c) || ((c == '-' || c == '+') && pos_ + 1 < text_.size() && is_digit(text_[pos_ + 1]))) {
            const std::size_t start = pos_;
            ++pos_;
            while (pos_ < text_.size() && is_digit(text_[pos_])) ++pos_;
            if (pos_ < text_.size() && is_name_char(text_[pos_]))
                fail(line_, "malformed number '" + text_.substr(start, pos_ + 1 - start) + "'");
            lexeme.kind = Kind::Integer;
            lexeme.text = text_.substr(start, pos_ - start);
            if (pos_ - start > 9) fail(line_, "number " + lexeme.text + " is too large");
            lexeme.value = std::stol(lexeme.text);
            return lexeme;
        }
        const unsigned char u = static_cast<unsigned char>(c);
        std::string shown = std::isprint(u) ? std::string(1, c) : "\\x" + hex(u);
        fail(line_, "unexpected character '" + shown + "'");
    }

private:
    static bool is_digit(char c) { return c >= '0' && c <= '9'; }
    static bool is_name_start(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    }
    static bool is_name_char(char c) { return is_name_start(c) || is_digit(c); }
    static std::string hex(unsigned char u) {
        const char* digits = "0123456789abcdef";
        return {digits[u >> 4], digits[u & 15]};
    }

    void skip_blanks_and_comments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A right-hand-side symbol before names are resolved.
struct RawSymbol {
    bool terminal = false;
    std::string name;
    int line = 0;
};

struct RawRule {
    std::string lhs;
    std::vector<RawSymbol> rhs;
    std::optional<std::string> action;
    int action_line = 0;
    long argument = 0;
    bool has_argument = false;
    int argument_line = 0;
    int line = 0;
};

class Reader {
public:
    explicit Reader(const std::string& text) : scanner_(text) { advance(); }

    Grammar read(std::vector<Diagnostic>& warnings) {
        bool have_tokens = false;
        bool have_actions = false;
        bool have_rules = false;
        while (current_.kind != Kind::End) {
            if (current_.kind != Kind::Directive)
                fail(current_.line, "expected '%tokens', '%actions' or '%rules', found " + describe(current_));
            const Lexeme directive = current_;
            advance();
            if (directive.text == "%tokens") {
                if (have_tokens) fail(directive.line, "'%tokens' given twice");
                if (have_rules) fail(directive.line, "'%tokens' must come before '%rules'");
                have_tokens = true;
                read_tokens();
            } else if (directive.text == "%actions") {
                if (have_actions) fail(directive.line, "'%actions' given twice");
                if (have_rules) fail(directive.line, "'%actions' must come before '%rules'");
                have_actions = true;
                read_actions();
            } else if (directive.text == "%rules") {
                if (have_rules) fail(directive.line, "'%rules' given twice");
                have_rules = true;
                read_rules();
            } else {
                fail(directive.line, "unknown directive '" + directive.text + "'");
            }
        }
        if (!have_tokens) fail(0, "no '%tokens' section");
        if (!have_rules || raw_rules_.empty()) fail(0, "no rules");
        return resolve(warnings);
    }

private:
    void advance() { current_ = scanner_.next(); }

    void read_tokens() {
        // A number asserts the code of the token that follows it.
        bool have_expected = false;
        long expected_code = 0;
        int expected_line = 0;
        while (current_.kind == Kind::Quoted || current_.kind == Kind::Integer) {
            if (current_.kind == Kind::Integer) {
                if (have_expected) fail(current_.line, "two token codes in a row");
                have_expected = true;
                expected_code = current_.value;
                expected_line = current_.line;
            } else {
                const long code = static_cast<long>(grammar_.tokens.size());
                if (have_expected && expected_code != code)
                    fail(expected_line, "token \"" + current_.text + "\" has code " + std::to_string(code) +
                                            ", not " + std::to_string(expected_code));
                have_expected = false;
                auto [it, inserted] = token_codes_.emplace(current_.text, static_cast<int>(code));
                if (!inserted)
                    fail(current_.line, "token \"" + current_.text + "\" declared twice (code " +
                                            std::to_string(it->second) + ')');
                grammar_.tokens.push_back(current_.text);
            }
            advance();
        }
        if (have_expected)
            fail(expected_line, "token code " + std::to_string(expected_code) + " is not followed by a token");
        if (current_.kind != Kind::Directive && current_.kind != Kind::End)
            fail(current_.line, "expected a token name in double quotes, found " + describe(current_));
        if (grammar_.tokens.empty()) fail(current_.line, "'%tokens' declares no token");
    }

    void read_actions() {
        while (current_.kind == Kind::Identifier) {
            auto [it, inserted] = action_numbers_.emplace(current_.text, static_cast<int>(grammar_.actions.size()));
            if (!inserted) fail(current_.line, "action '" + current_.text + "' declared twice");
            grammar_.actions.push_back(current_.text);
            advance();
        }
        if (current_.kind != Kind::Directive && current_.kind != Kind::End)
            fail(current_.line, "expected an action name, found " + describe(current_));
    }

    void read_rules() {
        while (current_.kind == Kind::Identifier) {
            const Lexeme lhs = current_;
            advance();
            if (current_.kind != Kind::Colon)
                fail(current_.line, "expected ':' after '" + lhs.text + "', found " + describe(current_));
            auto [it, inserted] = definition_lines_.emplace(lhs.text, lhs.line);
            if (!inserted)
                fail(lhs.line, "'" + lhs.text + "' is already defined on line " + std::to_string(it->second) +
                                   "; give all its alternatives in one place");
            definition_order_.push_back(lhs.text);
            advance();
            for (;;) {
                read_alternative(lhs.text);
                if (current_.kind == Kind::Bar) {
                    advance();
                    continue;
                }
                if (current_.kind == Kind::Semicolon) {
                    advance();
                    break;
                }
                fail(current_.line, "expected '|' or ';', found " + describe(current_));
            }
        }
        if (current_.kind != Kind::End && current_.kind != Kind::Directive)
            fail(current_.line, "expected a rule, found " + describe(current_));
    }

    void read_alternative(const std::string& lhs) {
        RawRule rule;
        rule.lhs = lhs;
        rule.line = current_.line;
        bool empty_marker = false;
        for (;;) {
            if (current_.kind == Kind::Quoted) {
                rule.rhs.push_back({true, current_.text, current_.line});
            } else if (current_.kind == Kind::Identifier) {
                rule.rhs.push_back({false, current_.text, current_.line});
            } else if (current_.kind == Kind::Directive && current_.text == "%empty") {
                if (empty_marker) fail(current_.line, "'%empty' given twice");
                empty_marker = true;
            } else {
                break;
            }
            advance();
        }
        if (empty_marker && !rule.rhs.empty()) fail(rule.line, "'%empty' in an alternative that has symbols");
        if (current_.kind == Kind::LeftBrace) {
            advance();
            if (current_.kind != Kind::Identifier)
                fail(current_.line, "expected an action name after '{', found " + describe(current_));
            rule.action = current_.text;
            rule.action_line = current_.line;
            advance();
            if (current_.kind == Kind::Integer) {
                rule.argument = current_.value;
                rule.has_argument = true;
                rule.argument_line = current_.line;
                advance();
            }
            if (current_.kind != Kind::RightBrace)
                fail(current_.line, "expected '}' after the action, found " + describe(current_));
            advance();
            if (current_.kind != Kind::Bar && current_.kind != Kind::Semicolon)
                fail(current_.line, "the action must end the alternative; found " + describe(current_) + " after it");
        }
        raw_rules_.push_back(std::move(rule));
    }

    Grammar resolve(std::vector<Diagnostic>& warnings) {
        std::vector<Diagnostic> errors;
        std::map<std::string, int> numbers;
        grammar_.nonterminals.assign(1, "");
        for (const std::string& name : definition_order_) {
            numbers.emplace(name, static_cast<int>(grammar_.nonterminals.size()));
            grammar_.nonterminals.push_back(name);
        }

        std::set<std::string> reported_unknown;
        for (const RawRule& raw : raw_rules_) {
            Rule rule;
            rule.lhs = numbers.at(raw.lhs);
            rule.line = raw.line;
            for (const RawSymbol& symbol : raw.rhs) {
                if (symbol.terminal) {
                    auto it = token_codes_.find(symbol.name);
                    if (it == token_codes_.end()) {
                        if (reported_unknown.insert('"' + symbol.name).second)
                            errors.push_back({symbol.line, "unknown token \"" + symbol.name + '"'});
                        continue;
                    }
                    rule.rhs.push_back(it->second);
                } else {
                    auto it = numbers.find(symbol.name);
                    if (it == numbers.end()) {
                        if (reported_unknown.insert(symbol.name).second)
                            errors.push_back({symbol.line, "'" + symbol.name + "' is used but has no rules" +
                                                               (token_codes_.count(symbol.name) != 0
                                                                    ? " (terminals are written in double quotes)"
                                                                    : "")});
                        continue;
                    }
                    rule.rhs.push_back(nonterminal_symbol(it->second));
                }
            }
            if (raw.argument < kMinArgument || raw.argument > kMaxArgument)
                errors.push_back({raw.argument_line, "action argument " + std::to_string(raw.argument) +
                                                         " is outside " + std::to_string(kMinArgument) + ".." +
                                                         std::to_string(kMaxArgument)});
            if (raw.action) {
                auto it = action_numbers_.find(*raw.action);
                if (it == action_numbers_.end()) {
                    errors.push_back({raw.action_line, "unknown action '" + *raw.action + "'"});
                } else {
                    rule.action = it->second;
                    rule.argument = static_cast<int>(raw.argument);
                    rule.has_argument = raw.has_argument;
                }
            }
            grammar_.rules.push_back(std::move(rule));
        }
        if (!errors.empty()) throw GrammarError(std::move(errors));

        check_rules(errors, warnings);
        if (!errors.empty()) throw GrammarError(std::move(errors));
        return std::move(grammar_);
    }

    void check_rules(std::vector<Diagnostic>& errors, std::vector<Diagnostic>& warnings) {
        const Grammar& g = grammar_;
        const int start = g.rules[0].lhs;
        int start_alternatives = 0;
        for (const Rule& rule : g.rules) {
            if (rule.lhs == start) ++start_alternatives;
            for (int symbol : rule.rhs) {
                if (symbol == nonterminal_symbol(start))
                    errors.push_back({rule.line, "the start symbol '" + g.nonterminals[static_cast<std::size_t>(start)] +
                                                     "' may not appear on a right-hand side"});
            }
        }
        if (start_alternatives != 1)
            errors.push_back({g.rules[0].line, "the start symbol '" + g.nonterminals[static_cast<std::size_t>(start)] +
                                                   "' must have exactly one alternative"});

        // The same alternative twice can only produce conflicts.
        std::map<std::pair<int, std::vector<int>>, int> seen;
        for (int r = 0; r < g.rule_count(); ++r) {
            const Rule& rule = g.rules[static_cast<std::size_t>(r)];
            auto [it, inserted] = seen.emplace(std::make_pair(rule.lhs, rule.rhs), rule.line);
            if (!inserted)
                errors.push_back({rule.line, "alternative '" + g.rule_text(r) + "' repeats the one on line " +
                                                 std::to_string(it->second)});
        }

        // Every nonterminal must derive some string of terminals.
        const std::size_t n = g.nonterminals.size();
        std::vector<bool> productive(n, false);
        for (bool changed = true; changed;) {
            changed = false;
            for (const Rule& rule : g.rules) {
                if (productive[static_cast<std::size_t>(rule.lhs)]) continue;
                bool all = true;
                for (int symbol : rule.rhs)
                    if (!is_terminal(symbol) && !productive[static_cast<std::size_t>(nonterminal_number(symbol))]) all = false;
                if (all) {
                    productive[static_cast<std::size_t>(rule.lhs)] = true;
                    changed = true;
                }
            }
        }
        for (std::size_t i = 1; i < n; ++i)
            if (!productive[i])
                errors.push_back({definition_lines_.at(g.nonterminals[i]),
                                  "'" + g.nonterminals[i] + "' derives no string of tokens (its recursion never ends)"});

        // Nonterminals that the start rule never reaches are dead weight.
        std::vector<bool> reachable(n, false);
        std::vector<int> pending{start};
        reachable[static_cast<std::size_t>(start)] = true;
        while (!pending.empty()) {
            const int current = pending.back();
            pending.pop_back();
            for (const Rule& rule : g.rules) {
                if (rule.lhs != current) continue;
                for (int symbol : rule.rhs) {
                    if (is_terminal(symbol)) continue;
                    const auto number = static_cast<std::size_t>(nonterminal_number(symbol));
                    if (!reachable[number]) {
                        reachable[number] = true;
                        pending.push_back(nonterminal_number(symbol));
                    }
                }
            }
        }
        for (std::size_t i = 1; i < n; ++i)
            if (!reachable[i])
                warnings.push_back({definition_lines_.at(g.nonterminals[i]),
                                    "'" + g.nonterminals[i] + "' cannot be reached from the start rule"});
    }

    Scanner scanner_;
    Lexeme current_;
    Grammar grammar_;
    std::map<std::string, int> token_codes_;
    std::map<std::string, int> action_numbers_;
    std::map<std::string, int> definition_lines_;
    std::vector<std::string> definition_order_;
    std::vector<RawRule> raw_rules_;
};

}  // namespace

Grammar read_grammar(const std::string& text, std::vector<Diagnostic>& warnings) {
    Reader reader(text);
    return reader.read(warnings);
}

}  // namespace zorm::lalrgen
