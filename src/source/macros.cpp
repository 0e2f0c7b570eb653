#include "source/macros.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "assembly/assembler.h"

namespace zorm {

namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int find_name(const std::vector<std::string>& names, const char* name, KeywordCompare compare) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (compare(name, names[i].c_str()) == 0) return static_cast<int>(i);
  }
  return -1;
}

// Whether the apostrophe at p belongs to the register name af' (the name af
// ends right before it), as the lexer reads it; any other apostrophe opens a
// quoted constant. A $ or # before the letters makes them hexadecimal digits.
bool is_af_prime(const char* start, const char* p) {
  if (p - start < 2 || p[-2] != 'a' || p[-1] != 'f') return false;
  if (p - start == 2) return true;
  const char before = p[-3];
  const CharClass kind = CHAR_CLASS[static_cast<unsigned char>(before)];
  return kind != CHAR_NAME && kind != CHAR_DIGIT && before != '$' && before != '#';
}

// The apostrophe that closes the quoted constant opened at p, as the lexer
// finds it: the next one on the line, at most MAX_STRING_CHARS characters on;
// null when the constant is not complete.
const char* closing_apostrophe(const char* p) {
  const char* q = p + 1;
  while (*q != '\'' && *q != '\n' && *q != '\0' && q - p <= MAX_STRING_CHARS) ++q;
  return *q == '\'' && q - p <= MAX_STRING_CHARS + 1 ? q : nullptr;
}

}  // namespace

// Reads "name macro p1,p2,..." and the body up to endm, stores the body with
// parameters turned into \1..\9 and local names followed by \?.
int Macros::macro_define() {
  Assembler& as = as_;
  Lexer& lexer = as.lexer;
  SourceStack& sources = as.sources;
  const KeywordCompare compare = as.options.keyword_compare;

  std::string name(as.statements.label());
  as.statements.statement_label[0] = '\0';
  as.statements.statement_label_length = 0;

  // The parameter list: identifiers separated by single commas.
  std::vector<std::string> parameters;
  bool comma_due = false;
  for (;;) {
    int token = lexer.next_token(1);
    if (token == TOKEN_NEWLINE || token == TOKEN_END_OF_INPUT) break;
    if (!comma_due && token == TOKEN_IDENTIFIER) {
      if (static_cast<int>(parameters.size()) == MAX_MACRO_PARAMS) return ERROR_NO_MEMORY;
      parameters.emplace_back(lexer.token_text, static_cast<size_t>(lexer.token_length));
      comma_due = true;
    } else if (comma_due && token == TOKEN_COMMA) {
      comma_due = false;
    } else {
      return ERROR_SYNTAX;
    }
  }
  as.listing.list_statement();

  std::vector<std::string> locals;
  std::string body;
  body.reserve(1024);
  const int depth = sources.top();
  bool ended_by_endm = false;
  while (sources.read_line() == 0 && sources.top() == depth) {
    if (MACRO_BODY_SIZE - static_cast<int>(body.size()) < 256) return ERROR_NO_MEMORY;
    char* line = sources.current_line;
    const size_t line_start = body.size();
    bool identifier_seen = false;
    bool line_dropped = false;
    const char* p = line;
    // Inside a quoted constant such as '"' a double quote is a plain
    // character; parameters and local names are still replaced there.
    const char* constant_end = nullptr;
    while (*p != '\0') {
      const char c = *p;
      if (c == '\'' && constant_end == nullptr && !is_af_prime(line, p)) {
        constant_end = closing_apostrophe(p);
      } else if (p == constant_end) {
        constant_end = nullptr;
      }
      if (c == '"' && constant_end == nullptr) {
        // Text between double quotes is copied as it stands.
        const char* q = p + 1;
        while (*q != '"' && *q != '\n' && *q != '\0') ++q;
        if (*q == '"') ++q;  // the closing quote is plain text
        body.append(p, static_cast<size_t>(q - p));
        p = q;
        continue;
      }
      if (!is_letter(c)) {
        body.push_back(c);
        ++p;
        continue;
      }
      lexer.cursor_ = p;
      lexer.line_end_state = 0;
      const int token = lexer.next_token(1);
      const char* after = lexer.cursor();
      if (constant_end != nullptr && after > constant_end) after = constant_end;  // af before the closing quote
      if (token != TOKEN_IDENTIFIER) {
        // A keyword is copied whole: its last letters are no parameter.
        body.append(p, static_cast<size_t>(after - p));
        p = after;
        continue;
      }
      const char* word = lexer.token_text;
      if (!identifier_seen && compare(word, "endm") == 0) {
        ended_by_endm = true;
        line_dropped = true;
        break;
      }
      if (!identifier_seen && compare(word, "local") == 0) {
        // "local a,b,...": names that get an expansion serial number.
        line_dropped = true;
        bool local_comma_due = false;
        for (;;) {
          int t = lexer.next_token(1);
          if (t == TOKEN_NEWLINE || t == TOKEN_END_OF_INPUT) break;
          if (!local_comma_due && t == TOKEN_IDENTIFIER) {
            if (static_cast<int>(locals.size()) == MAX_MACRO_LOCALS) return ERROR_NO_MEMORY;
            locals.emplace_back(lexer.token_text, static_cast<size_t>(lexer.token_length));
            local_comma_due = true;
          } else if (local_comma_due && t == TOKEN_COMMA) {
            local_comma_due = false;
          } else {
            return ERROR_SYNTAX;
          }
        }
        break;
      }
      identifier_seen = true;
      const int parameter = find_name(parameters, word, compare);
      if (parameter >= 0) {
        body.push_back('\\');
        body.push_back(static_cast<char>('1' + parameter));
      } else {
        body.append(word, static_cast<size_t>(lexer.token_length));
        if (find_name(locals, word, compare) >= 0) {
          body += "\\?";
          // The four digits that replace \? take the place of up to four
          // following spaces, so later columns stay where they were.
          for (int k = 0; k < 4 && *after == ' '; ++k) ++after;
        }
      }
      p = after;
    }
    lexer.abandon_line();
    if (line_dropped) {
      body.resize(line_start);
    }
    as.listing.list_statement();
    if (ended_by_endm) break;
  }
  lexer.abandon_line();

  // Both passes store the body, so that a call expands the definition in
  // force where it stands in pass 2 as it did in pass 1, also when a macro is
  // defined again further down.
  if (as.pass_number == 0) {
    if (as.symbols.symbol_define(name, 0, SYM_MACRO, 0) != DEFINE_OK) return ERROR_REDEFINITION;
    Symbol* symbol = as.symbols.find(name);
    if (symbol == nullptr || symbol->kind != SYM_MACRO) return ERROR_MACRO_DEFINITION;
    as.symbols.set_macro_body(*symbol, std::make_shared<const std::string>(std::move(body)));
  } else if (Symbol* symbol = as.symbols.find(name); symbol != nullptr && symbol->kind == SYM_MACRO) {
    as.symbols.set_macro_body(*symbol, std::make_shared<const std::string>(std::move(body)));
  }
  return ended_by_endm ? 0 : ERROR_MACRO_DEFINITION;
}

int Macros::macro_exit() {
  SourceStack& sources = as_.sources;
  if (sources.empty() || !sources.top_entry().is_expansion()) return ERROR_OUTSIDE_MACRO;
  sources.end_expansion();
  as_.lexer.abandon_line();
  return 0;
}

// The text after a macro name becomes the argument string: commas outside
// parentheses, double quotes and quoted constants separate arguments; a ';'
// outside them ends them.
namespace {

// Bytes of a call line that the argument scanner looks at one by one; all
// others are copied in runs, whatever the scanner's state.
constexpr std::array<bool, 256> ARGUMENT_BYTE_OF_NOTE = [] {
  std::array<bool, 256> noted{};
  for (const char c : {'\0', '\n', '\r', ARG_SEPARATOR, '\'', ';', '"', '(', ')', ','}) {
    noted[static_cast<unsigned char>(c)] = true;
  }
  return noted;
}();

}  // namespace

std::string Macros::scan_arguments(const char* text) {
  std::string arguments;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  int depth = 0;
  bool quoted = false;
  const char* constant_end = nullptr;  // the closing apostrophe of a quoted constant
  for (;; ++p) {
    const char* run = p;
    while (!ARGUMENT_BYTE_OF_NOTE[static_cast<unsigned char>(*p)]) ++p;
    arguments.append(run, static_cast<size_t>(p - run));
    if (*p == '\0' || *p == '\n') break;
    const char c = *p;
    if (c == '\r' || c == ARG_SEPARATOR) continue;
    if (constant_end != nullptr) {
      // A complete constant in apostrophes, such as '"' or ',', is one token:
      // nothing in it separates, nests or ends the arguments.
      if (p == constant_end) constant_end = nullptr;
      arguments.push_back(c);
      continue;
    }
    if (c == '\'' && !quoted && !is_af_prime(text, p)) constant_end = closing_apostrophe(p);
    if (c == ';' && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (depth > 0) --depth;
      } else if (c == ',' && depth == 0) {
        arguments.push_back(ARG_SEPARATOR);
        continue;
      }
    }
    arguments.push_back(c);
  }
  return arguments;
}

}  // namespace zorm
