#pragma once

namespace zorm {

// Terminal codes of the operand grammar. The mnemonic table stores the
// operand classes (6 to 32) as its class byte, so the numbering is fixed.
enum Token : int {
  TOKEN_BAD_STRING = -2,
  TOKEN_ERROR = -1,
  TOKEN_NONE = 0,  // "<error>": never returned
  TOKEN_NUMBER = 1,
  TOKEN_STRING = 2,
  TOKEN_NEWLINE = 3,
  TOKEN_NEWLINE2 = 4,
  TOKEN_IDENTIFIER = 5,
  // operand classes
  TOKEN_CLASS_STRUCT = 6,
  TOKEN_CLASS_CMAP = 7,
  TOKEN_CLASS_EXPRESSION = 8,
  TOKEN_CLASS_BYTELIST = 9,
  TOKEN_CLASS_WORDLIST = 10,
  TOKEN_CLASS_OPTEXPR = 11,
  TOKEN_CLASS_TEXT = 12,
  TOKEN_CLASS_BLANK = 13,
  TOKEN_CLASS_JUMP = 14,
  TOKEN_CLASS_BITINSTR = 15,
  TOKEN_CLASS_PUSHREGS = 16,
  TOKEN_CLASS_POPREGS = 17,
  TOKEN_CLASS_OPTA = 18,
  TOKEN_CLASS_OP8 = 19,
  TOKEN_CLASS_OP16 = 20,
  TOKEN_CLASS_INCDEC = 21,
  TOKEN_CLASS_EX = 22,
  TOKEN_CLASS_INPUT = 23,
  TOKEN_CLASS_OUTPUT = 24,
  TOKEN_CLASS_LOAD = 25,
  TOKEN_CLASS_RET = 26,
  TOKEN_CLASS_SHIFT = 27,
  TOKEN_CLASS_TSTI = 28,
  TOKEN_CLASS_CALL = 29,
  TOKEN_CLASS_SET = 30,
  TOKEN_CLASS_MULT = 31,
  TOKEN_CLASS_TSTIO = 32,
  TOKEN_AF_PRIME = 33,
  // punctuation and operators
  TOKEN_NOT = 34,            // !
  TOKEN_NOT_EQUAL = 35,      // !=
  TOKEN_DOLLAR = 36,         // $
  TOKEN_PERCENT = 37,        // %
  TOKEN_AMPERSAND = 38,      // &
  TOKEN_AND_AND = 39,        // &&
  TOKEN_LPAREN = 40,         // (
  TOKEN_RPAREN = 41,         // )
  TOKEN_STAR = 42,           // *
  TOKEN_PLUS = 43,           // +
  TOKEN_COMMA = 44,          // ,
  TOKEN_MINUS = 45,          // -
  TOKEN_SLASH = 46,          // /
  TOKEN_COLON = 47,          // :
  TOKEN_SEMICOLON = 48,      // ;
  TOKEN_LESS = 49,           // <
  TOKEN_SHIFT_LEFT = 50,     // <<
  TOKEN_LESS_EQUAL = 51,     // <=
  TOKEN_EQUAL = 52,          // =
  TOKEN_GREATER = 53,        // >
  TOKEN_GREATER_EQUAL = 54,  // >=
  TOKEN_SHIFT_RIGHT = 55,    // >>
  TOKEN_LBRACKET = 56,       // [
  TOKEN_RBRACKET = 57,       // ]
  TOKEN_CARET = 58,          // ^
  // keywords, in strcmp order
  TOKEN_KEYWORD_FIRST = 59,
  TOKEN_KW_A = 59,
  TOKEN_KW_AF = 60,
  TOKEN_KW_ALIGN = 61,
  TOKEN_KW_DB = 66,
  TOKEN_KW_DD = 67,
  TOKEN_KW_DS = 69,
  TOKEN_KW_DW = 70,
  TOKEN_KW_END = 72,
  TOKEN_KW_LABEL = 84,
  TOKEN_KW_STRUCT = 97,
  TOKEN_KEYWORD_LAST = 103,
  TOKEN_BAR = 104,           // |
  TOKEN_BAR_BAR = 105,       // ||
  TOKEN_TILDE = 106,         // ~
  TOKEN_COUNT = 107,
  TOKEN_END_OF_INPUT = 1000,
  // The lexer has already reported an error (a full value stack): the
  // statement ends without a further report.
  TOKEN_ABANDONED = -3,
};

inline constexpr int KEYWORD_COUNT = 45;
extern const char* const KEYWORD_TABLE[KEYWORD_COUNT];

}  // namespace zorm
