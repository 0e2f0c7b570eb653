#include "support/fragment_generator.h"

#include <string>
#include <vector>

#include "source/source_stack.h"

namespace zorm::test {

namespace {

// text + tail; written out because g++ 12 warns (-Wrestrict, wrongly) about
// "literal" + std::string(...).
std::string joined(std::string text, const std::string& tail) {
  text += tail;
  return text;
}

const std::vector<std::string> NAMES = {"a1", "lab", "x", "count", "loop", "val", "fwd0", "m1", "s1", "p", "q_2",
                                        ".dot", "?q", "name_that_is_longer_than_thirty_one_characters"};
const std::vector<std::string> KEYWORDS = {"a", "b", "hl", "ix", "iy", "sp", "af", "af'", "ixh", "yl", "nz", "m",
                                           "hi", "lo", "struct", "label", "db", "end", "i", "r"};
const std::vector<std::string> OPERATORS = {"+", "-", "*", "/", "%", "&", "|", "^", "~", "!", "<<", ">>", "<", "<=",
                                            ">", ">=", "=", "!=", "&&", "||", "(", ")", "[", "]", ",", ":", "$"};

std::string number_text(Random& r) {
  const uint32_t wide = static_cast<uint32_t>(r.below(0x10000)) << 16 | static_cast<uint32_t>(r.below(0x10000));
  const uint32_t value = r.one_in(4) ? wide : static_cast<uint32_t>(r.range(0, 300));
  switch (r.below(6)) {
    case 0:
      return joined("-", literal(r, value));
    case 1:
      return std::to_string(r.range(0, 40)) + "#" + std::to_string(r.range(0, 99));  // radix out of range too
    case 2:
      return r.pick(std::vector<std::string>{"0x", "$", "#", "%", "@", "0b", "0x1g", "09", "1x", "0b2"});
    default:
      return literal(r, value);
  }
}

std::string string_text(Random& r) {
  static const std::vector<std::string> insides = {"abc", "", "a,b;(c", "\\n", "\\x4", "\\x41", "\\065", "\\\\",
                                                   "\\'", "\\\"", "it's", "\\", "\\1", "\\?", "\\0"};
  const char quote = r.one_in(3) ? '\'' : '"';
  std::string text(1, quote);
  text += r.pick(insides);
  if (!r.one_in(8)) text += quote;  // now and then unterminated
  return text;
}

// An operand-like run of tokens, mostly well formed.
std::string expression_text(Random& r, int depth) {
  switch (r.below(depth > 0 ? 7 : 4)) {
    case 0:
      return r.pick(NAMES);
    case 1:
      return r.pick(KEYWORDS);
    case 2:
      return string_text(r);
    case 3:
      return number_text(r);
    case 4:
      return joined("(", expression_text(r, depth - 1)) + ")";
    case 5:
      return r.pick(std::vector<std::string>{"-", "~", "!", "hi ", "lo ", "+"}) + expression_text(r, depth - 1);
    default:
      return expression_text(r, depth - 1) + r.pick(OPERATORS) + expression_text(r, depth - 1);
  }
}

std::string operand_list(Random& r) {
  std::string text;
  for (int i = r.range(0, 4); i > 0; --i) {
    if (!text.empty()) text += r.one_in(10) ? ",," : ",";
    text += expression_text(r, 3);
  }
  return text;
}

std::string directive_line(Random& r) {
  static const std::vector<std::string> directives = {
      "org",  "db",   "dw",      "dd",    "ds",    "defs", "defb", "defw",   "defm",  "align", "cmap",
      "end",  "equ",  "set",     "=",     "macro", "endm", "local", "exitm", "struct", "memsize", "code",
      "data", "bss",  "opt",     "noopt", "list",  "nolist", "page", "title", "include", "label", "if",
      "else", "endif"};
  const std::string& directive = r.pick(directives);
  std::string label;
  if (r.one_in(3)) label = r.pick(NAMES);
  if (directive == "include") {
    static const std::vector<std::string> names = {"\"inc.asm\"", "\"nested.asm\"", "\"data.bin\"",
                                                   "\"rec.hex\"",  "\"rec.s19\"",    "\"missing.asm\"",
                                                   "\"\"",         "inc.asm",        "\"main.asm\""};
    return label + "\tinclude " + r.pick(names);
  }
  if (directive == "end" && r.one_in(2)) return label + "\tend struct";
  return label + "\t" + directive + (r.one_in(4) ? "" : joined(" ", operand_list(r)));
}

// Printable and control characters that mean something to the reader or the
// lexer, in a random order.
std::string garbage(Random& r) {
  static const std::string alphabet =
      "abcxyzABC019_.?$#@%&|^~!<>=+-*/:;,()[]'\"\\ \t\r\x01\x1a\x7f\x80\xff";
  std::string text;
  for (int i = r.range(0, 60); i > 0; --i) text += alphabet[static_cast<size_t>(r.below(static_cast<int>(alphabet.size())))];
  return text;
}

// Lines longer than the reader's piece of LINE_CHUNK_CHARS, or with more
// values than the value stack holds.
std::string long_line(Random& r) {
  switch (r.below(4)) {
    case 0: {
      std::string text = "\tdb ";
      for (int i = r.range(90, 140); i > 0; --i) text += std::to_string(r.below(10)) + ",";
      text += "0";
      return text;
    }
    case 1:
      return "\t; " + std::string(static_cast<size_t>(r.range(240, 600)), 'c');
    case 2:
      return "\tdefm \"" + std::string(static_cast<size_t>(r.range(240, 400)), 's') + "\"";
    default: {
      std::string text;
      for (int i = r.range(20, 60); i > 0; --i) text += "\tnop ";
      return text;
    }
  }
}

}  // namespace

std::string random_line(Random& r) {
  switch (r.below(12)) {
    case 0:
    case 1:
    case 2: {
      const Statement statement = random_statement(r, r.range(0, 5));
      return (r.one_in(4) ? r.pick(NAMES) + (r.one_in(2) ? ":" : "") : std::string()) + "\t" + statement.source;
    }
    case 3:
    case 4:
      return directive_line(r);
    case 5:
      return "\t" + r.pick(std::vector<std::string>{"ld", "jp", "jr", "ex", "push", "in", "out", "add", "bit", "im",
                                                    "rst", "djnz", "tst"}) +
             " " + operand_list(r);
    case 6:
      return garbage(r);
    case 7:
      return long_line(r);
    case 8:
      return r.pick(std::vector<std::string>{"; comment", "* star comment", "", "\t", "   ", "\t;"});
    case 9:
      return r.pick(NAMES) + r.pick(std::vector<std::string>{"", ":", "::", " = 5", "\tequ $", "\tset 1"});
    case 10:
      return "\t" + r.pick(NAMES) + " " + operand_list(r);  // a macro call, or an unknown mnemonic
    default:
      return "\tdb " + operand_list(r);
  }
}

bool has_conditional_operation(const std::string& line) {
  // The reader drops control bytes other than the tab and cuts the rest into
  // pieces of LINE_CHUNK_CHARS.
  std::string text;
  for (const char c : line) {
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') text += c;
  }
  for (size_t start = 0; start == 0 || start < text.size(); start += LINE_CHUNK_CHARS) {
    const std::string piece = text.substr(start, LINE_CHUNK_CHARS);
    size_t i = 0;
    while (i < piece.size() && (piece[i] == ' ' || piece[i] == '\t')) ++i;
    if (i == 0) continue;  // a word in column 0 is a label: the line is skipped whole
    const auto name_char = [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' || c == '?';
    };
    if (i >= piece.size() || !name_char(piece[i])) continue;
    size_t end = i;
    while (end < piece.size() && (name_char(piece[end]) || (piece[end] >= '0' && piece[end] <= '9'))) ++end;
    const std::string word = piece.substr(i, end - i);
    if (word == "if" || word == "else" || word == "endif") return true;
  }
  return false;
}

std::string random_source(Random& r, int lines, const std::vector<std::string>& include_names) {
  std::string text;
  std::vector<std::string> macros;
  int depth = 0;  // open if blocks
  for (int i = 0; i < lines; ++i) {
    switch (r.below(16)) {
      case 0: {  // a macro definition
        const std::string name = "mac" + std::to_string(macros.size());
        macros.push_back(name);
        text += name + "\tmacro" + (r.one_in(3) ? "" : " p1,p2") + "\n";
        if (r.one_in(2)) text += "\tlocal lp\n";
        for (int k = r.range(0, 4); k > 0; --k) {
          switch (r.below(5)) {
            case 0:
              text += "lp:\tdjnz lp\n";
              break;
            case 1:
              text += "\tdb \\0,\\1,p2\n";
              break;
            case 2:
              text += "\tif \\0 > 1\n\texitm\n\tendif\n";
              break;
            case 3:
              if (!macros.empty()) text += "\t" + r.pick(macros) + " \\1\n";  // recursion, maybe
              break;
            default:
              text += random_line(r) + "\n";
          }
        }
        text += r.one_in(10) ? "" : "\tendm\n";
        break;
      }
      case 1:  // a call
        if (!macros.empty()) text += "\t" + r.pick(macros) + " " + operand_list(r) + "\n";
        break;
      case 2:
        if (depth < 12) {
          text += "\tif " + expression_text(r, 2) + "\n";
          ++depth;
        }
        break;
      case 3:
        text += "\telse\n";
        break;
      case 4:
        if (depth > 0 || r.one_in(4)) {
          text += "\tendif\n";
          if (depth > 0) --depth;
        }
        break;
      case 5: {  // a structure
        text += "\tstruct " + r.pick(NAMES) + (r.one_in(3) ? joined(",", number_text(r)) : "") + "\n";
        static const std::vector<std::string> members = {"\tdb m_a", "\tdw m_b", "\tdd m_c", "\tds m_d,3",
                                                         "\tlabel m_e", "\tds 2", "\talign", "\talign 4",
                                                         "\tnop", "m_f\tdb"};
        for (int k = r.range(0, 4); k > 0; --k) text += r.pick(members) + "\n";
        if (!r.one_in(8)) text += "\tend struct\n";
        break;
      }
      case 6:
        if (!include_names.empty()) text += "\tinclude \"" + r.pick(include_names) + "\"\n";
        break;
      default:
        text += random_line(r) + "\n";
    }
  }
  while (depth-- > 0) {
    if (!r.one_in(8)) text += "\tendif\n";
  }
  return text;
}

}  // namespace zorm::test
