#include "codegen/mnemonic_table.h"

#include "codegen/data_directives.h"
#include "codegen/encoders.h"
#include <cstring>

#include "assembly/assembler.h"
#include "parse/keyword_index.h"
#include "parse/tokens.h"
#include "symbols/symbol_table.h"

namespace zorm {

namespace {

// An instruction encoder as the handler of a row: it gets the run's encoder
// context, all that it sees.
template <int (*Encode)(EncoderContext&, int32_t)>
int instruction(Assembler& as, int32_t value) {
  return Encode(as.encoders, value);
}

// A data directive, with the run's data context.
template <int (*Emit)(DataContext&, int32_t)>
int data(Assembler& as, int32_t value) {
  return Emit(as.data, value);
}

// set: with one operand the directive that gives the line's label a value
// that may be assigned again; with two the bit instruction.
int do_set(Assembler& as, int32_t value) {
  if (as.encoding.statement_form != 0) return encode_set_bit(as.encoders, value);
  if (as.statements.statement_label[0] == '\0') return ERROR_LABEL_REQUIRED;
  return handle_equ(as, 1);
}

// Directive handlers that belong to a subsystem object.
int do_segment(Assembler& as, int32_t v) { return as.image.select_segment(v); }
int do_memsize(Assembler& as, int32_t) { return as.image.set_memory_limit(as.values); }

// org: a label on the line names the new origin.
int do_org(Assembler& as, int32_t) {
  MemoryImage& image = as.image;
  if (const int error = image.set_origin(as.values)) return error;
  int label_error = 0;
  if (as.statements.statement_label[0] != '\0') {
    const int defined = as.statements.define_statement_label(image.listing_value & 0xFFFF, SYM_LABEL,
                                                   static_cast<uint8_t>(image.segment * 16));
    if (defined == DEFINE_REDEFINED) label_error = ERROR_REDEFINITION;
    if (defined == DEFINE_PHASE_ERROR) label_error = ERROR_PHASE;
  }
  if (const int error = image.outside_memory()) return error;
  return label_error;
}
int do_if(Assembler& as, int32_t) { return as.conditionals.begin_conditional(); }
int do_else(Assembler& as, int32_t) { return as.conditionals.switch_conditional(); }
int do_endif(Assembler& as, int32_t) { return as.conditionals.end_conditional(); }
int do_end(Assembler& as, int32_t) { return as.conditionals.set_start_address(); }
int do_include(Assembler& as, int32_t) { return as.sources.include_file(); }
int do_macro(Assembler& as, int32_t) { return as.macros.macro_define(); }
int do_exitm(Assembler& as, int32_t) { return as.macros.macro_exit(); }
int do_outside_macro(Assembler&, int32_t) { return ERROR_OUTSIDE_MACRO; }
int do_listing(Assembler& as, int32_t v) { return as.listing.listing_directive(v, as.values); }
int do_struct(Assembler& as, int32_t) { return as.structures.finish_struct(); }

constexpr uint8_t NONE = LABEL_NONE;
constexpr uint8_t OPT = LABEL_OPTIONAL;
constexpr uint8_t REQ = LABEL_REQUIRED;

constexpr uint8_t C_STRUCT = TOKEN_CLASS_STRUCT;
constexpr uint8_t C_CMAP = TOKEN_CLASS_CMAP;
constexpr uint8_t C_EXPR = TOKEN_CLASS_EXPRESSION;
constexpr uint8_t C_BYTES = TOKEN_CLASS_BYTELIST;
constexpr uint8_t C_WORDS = TOKEN_CLASS_WORDLIST;
constexpr uint8_t C_OPTEXPR = TOKEN_CLASS_OPTEXPR;
constexpr uint8_t C_TEXT = TOKEN_CLASS_TEXT;
constexpr uint8_t C_BLANK = TOKEN_CLASS_BLANK;
constexpr uint8_t C_JUMP = TOKEN_CLASS_JUMP;
constexpr uint8_t C_BIT = TOKEN_CLASS_BITINSTR;
constexpr uint8_t C_PUSH = TOKEN_CLASS_PUSHREGS;
constexpr uint8_t C_POP = TOKEN_CLASS_POPREGS;
constexpr uint8_t C_OPTA = TOKEN_CLASS_OPTA;
constexpr uint8_t C_OP8 = TOKEN_CLASS_OP8;
constexpr uint8_t C_OP16 = TOKEN_CLASS_OP16;
constexpr uint8_t C_INCDEC = TOKEN_CLASS_INCDEC;
constexpr uint8_t C_EX = TOKEN_CLASS_EX;
constexpr uint8_t C_INPUT = TOKEN_CLASS_INPUT;
constexpr uint8_t C_OUTPUT = TOKEN_CLASS_OUTPUT;
constexpr uint8_t C_LOAD = TOKEN_CLASS_LOAD;
constexpr uint8_t C_RET = TOKEN_CLASS_RET;
constexpr uint8_t C_SHIFT = TOKEN_CLASS_SHIFT;
constexpr uint8_t C_TSTI = TOKEN_CLASS_TSTI;
constexpr uint8_t C_CALL = TOKEN_CLASS_CALL;
constexpr uint8_t C_SET = TOKEN_CLASS_SET;
constexpr uint8_t C_MULT = TOKEN_CLASS_MULT;
constexpr uint8_t C_TSTIO = TOKEN_CLASS_TSTIO;

}  // namespace

// name, operand class, label rule, conditional, Z80 cycles, 8080 cycles, handler, value
constexpr MnemonicEntry MNEMONIC_TABLE[] = {
    {"adc", C_OP16, OPT, 0, 4, 4, instruction<encode_arith>, 8},
    {"add", C_OP16, OPT, 0, 4, 4, instruction<encode_arith>, 0},
    {"align", C_OPTEXPR, NONE, 0, 0, 0, data<reserve_space>, 1},
    {"and", C_OP8, OPT, 0, 4, 4, instruction<encode_alu8>, 0x20},
    {"bit", C_BIT, OPT, 0, 4, 8, instruction<encode_bit>, 0x40},
    {"bss", C_BLANK, NONE, 0, 0, 0, do_segment, 2},
    {"call", C_CALL, OPT, 0, 17, 17, instruction<encode_call>, 0},
    {"ccf", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x3F},
    {"cmap", C_CMAP, NONE, 0, 0, 0, data<set_char_map>, 0},
    {"code", C_BLANK, NONE, 0, 0, 0, do_segment, 0},
    {"cp", C_OP8, OPT, 0, 4, 4, instruction<encode_alu8>, 0x38},
    {"cpd", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA9},
    {"cpdr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB9},
    {"cpi", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA1},
    {"cpir", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB1},
    {"cpl", C_OPTA, OPT, 0, 4, 4, instruction<encode_fixed>, 0x2F},
    {"daa", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x27},
    {"data", C_BLANK, NONE, 0, 0, 0, do_segment, 1},
    {"db", C_BYTES, OPT, 0, 0, 0, data<emit_byte_data>, 0},
    {"dd", C_WORDS, OPT, 0, 0, 0, data<emit_word_data>, 1},
    {"dec", C_INCDEC, OPT, 0, 4, 4, instruction<encode_incdec>, 1},
    {"defb", C_WORDS, OPT, 0, 0, 0, data<emit_byte_data>, 0},
    {"defm", C_TEXT, OPT, 0, 0, 0, data<emit_byte_data>, 0},
    {"defs", C_EXPR, OPT, 0, 0, 0, data<reserve_space>, 0},
    {"defw", C_WORDS, OPT, 0, 0, 0, data<emit_word_data>, 0},
    {"di", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0xF3},
    {"disable", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0xF3},
    {"djnz", C_CALL, OPT, 0, 1, 1, instruction<encode_jump>, 2},
    {"ds", C_EXPR, OPT, 0, 0, 0, data<reserve_space>, 0},
    {"dw", C_WORDS, OPT, 0, 0, 0, data<emit_word_data>, 0},
    {"ei", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0xFB},
    {"else", C_BLANK, NONE, 1, 0, 0, do_else, 0},
    {"enable", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0xFB},
    {"end", C_OPTEXPR, NONE, 0, 0, 0, do_end, 0},
    {"endif", C_BLANK, NONE, 1, 0, 0, do_endif, 0},
    {"endm", C_BLANK, NONE, 0, 0, 0, do_outside_macro, 0x1B},
    {"equ", C_EXPR, REQ, 0, 0, 0, handle_equ, 0},
    {"ex", C_EX, OPT, 0, 4, 4, instruction<encode_ex>, 0},
    {"exitm", C_BLANK, NONE, 0, 0, 0, do_exitm, 0},
    {"exx", C_BLANK, OPT, 0, 4, 99, instruction<encode_fixed_z80>, 0xD9},
    {"halt", C_BLANK, OPT, 0, 4, 7, instruction<encode_fixed>, 0x76},
    {"if", C_EXPR, NONE, 1, 0, 0, do_if, 0},
    {"im", C_EXPR, OPT, 0, 8, 8, instruction<encode_im>, 0},
    {"in", C_INPUT, OPT, 0, 11, 10, instruction<encode_io>, 0},
    {"in0", C_INPUT, OPT, 0, 15, 10, instruction<encode_io0>, 0},
    {"inc", C_INCDEC, OPT, 0, 4, 4, instruction<encode_incdec>, 0},
    {"include", C_TEXT, NONE, 0, 0, 0, do_include, 0},
    {"ind", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDAA},
    {"indr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDBA},
    {"ini", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA2},
    {"inir", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB2},
    {"jp", C_JUMP, OPT, 0, 1, 1, instruction<encode_jump>, 0},
    {"jr", C_CALL, OPT, 0, 1, 1, instruction<encode_jump>, 1},
    {"ld", C_LOAD, OPT, 0, 4, 4, instruction<encode_ld>, 0},
    {"ldd", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA8},
    {"lddr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB8},
    {"ldi", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA0},
    {"ldir", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB0},
    {"list", C_BLANK, NONE, 0, 0, 0, do_listing, 1},
    {"local", C_BLANK, NONE, 0, 0, 0, do_outside_macro, 0x1B},
    {"macro", 0, REQ, 0, 0, 0, do_macro, 0},
    {"memsize", C_EXPR, NONE, 0, 0, 0, do_memsize, 0},
    {"mlt", C_MULT, OPT, 0, 12, 12, instruction<encode_mlt>, 0},
    {"neg", C_OPTA, OPT, 0, 8, 8, instruction<encode_neg>, 0},
    {"nolist", C_BLANK, NONE, 0, 0, 0, do_listing, 0},
    {"noopt", C_BLANK, NONE, 0, 0, 0, instruction<set_optimisation>, -1},
    {"nop", C_OPTEXPR, OPT, 0, 4, 4, instruction<encode_nop>, 0},
    {"opt", C_BLANK, NONE, 0, 0, 0, instruction<set_optimisation>, 0},
    {"or", C_OP8, OPT, 0, 4, 4, instruction<encode_alu8>, 0x30},
    {"org", C_EXPR, OPT, 0, 0, 0, do_org, 0},
    {"otdm", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z180>, 0xED8B},
    {"otdmr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z180>, 0xED9B},
    {"otdr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDBB},
    {"otim", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z180>, 0xED83},
    {"otimr", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z180>, 0xED93},
    {"otir", C_BLANK, OPT, 0, 99, 99, instruction<encode_fixed_z80>, 0xEDB3},
    {"out", C_OUTPUT, OPT, 0, 11, 10, instruction<encode_io>, 3},
    {"out0", C_OUTPUT, OPT, 0, 15, 10, instruction<encode_io0>, 1},
    {"outd", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDAB},
    {"outi", C_BLANK, OPT, 0, 16, 99, instruction<encode_fixed_z80>, 0xEDA3},
    {"page", C_OPTEXPR, NONE, 0, 0, 0, do_listing, 2},
    {"pop", C_POP, OPT, 0, 1, 1, instruction<encode_stack>, 0},
    {"push", C_PUSH, OPT, 0, 1, 1, instruction<encode_stack>, 1},
    {"res", C_BIT, OPT, 0, 4, 8, instruction<encode_bit>, 0x80},
    {"ret", C_RET, OPT, 0, 10, 11, instruction<encode_ret>, 0xC9},
    {"reti", C_BLANK, OPT, 0, 14, 99, instruction<encode_fixed_z80>, 0xED4D},
    {"retn", C_BLANK, OPT, 0, 14, 99, instruction<encode_fixed_z80>, 0xED45},
    {"rim", C_BLANK, OPT, 0, 4, 5, instruction<encode_fixed_8085>, 0x20},
    {"rl", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x10},
    {"rla", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x17},
    {"rlc", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0},
    {"rlca", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 7},
    {"rld", C_BLANK, OPT, 0, 18, 99, instruction<encode_fixed_z80>, 0xED6F},
    {"rr", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x18},
    {"rra", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x1F},
    {"rrc", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 8},
    {"rrca", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0xF},
    {"rrd", C_BLANK, OPT, 0, 18, 99, instruction<encode_fixed_z80>, 0xED67},
    {"rst", C_EXPR, OPT, 0, 11, 11, instruction<encode_call>, 1},
    {"sbc", C_OP16, OPT, 0, 4, 4, instruction<encode_arith>, 0x18},
    {"scf", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x37},
    {"set", C_SET, OPT, 0, 0, 0, do_set, 0xC0},
    {"shl", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x20},
    {"shr", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x38},
    {"sim", C_BLANK, OPT, 0, 4, 5, instruction<encode_fixed_8085>, 0x30},
    {"sl", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x20},
    {"sla", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x20},
    {"slp", C_BLANK, OPT, 0, 8, 8, instruction<encode_fixed_z180>, 0xED76},
    {"sr", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x38},
    {"sra", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x28},
    {"srl", C_SHIFT, OPT, 0, 8, 8, instruction<encode_shift>, 0x38},
    {"stc", C_BLANK, OPT, 0, 4, 4, instruction<encode_fixed>, 0x37},
    {"struct", C_STRUCT, NONE, 0, 0, 0, do_struct, 0},
    {"sub", C_OP8, OPT, 0, 4, 4, instruction<encode_alu8>, 0x10},
    {"title", C_TEXT, NONE, 0, 0, 0, do_listing, 3},
    {"tst", C_OP8, OPT, 0, 8, 8, instruction<encode_tst>, 0},
    {"tsti", C_TSTI, OPT, 0, 12, 99, instruction<encode_fixed_z80>, 0xED70},
    {"tstio", C_TSTIO, OPT, 0, 15, 99, instruction<encode_tstio>, 0},
    {"xor", C_OP8, OPT, 0, 4, 4, instruction<encode_alu8>, 0x28},
    // The assignment row: "label = expression" defines a redefinable value.
    {nullptr, C_EXPR, REQ, 0, 0, 0, handle_equ, 1},
};

constexpr int MNEMONIC_COUNT = static_cast<int>(sizeof MNEMONIC_TABLE / sizeof MNEMONIC_TABLE[0]) - 1;

const MnemonicEntry& assignment_row() { return MNEMONIC_TABLE[MNEMONIC_COUNT]; }

uint8_t instruction_levels(const MnemonicEntry& row) {
  constexpr uint8_t ALL_LEVELS = 0x3F;
  constexpr uint8_t ZILOG_LEVELS = 0x3C;  // -x2 to -x5
  constexpr uint8_t LEVEL_8085 = 1u << 1;
  constexpr uint8_t LEVEL_Z180 = 1u << 4;
  const StatementHandler handler = row.handler;
  if (handler == instruction<encode_fixed_8085>) return LEVEL_8085;
  if (handler == instruction<encode_fixed_z180> || handler == instruction<encode_io0> ||
      handler == instruction<encode_mlt> || handler == instruction<encode_tst> || handler == instruction<encode_tstio>) {
    return LEVEL_Z180;
  }
  if (handler == instruction<encode_fixed_z80> || handler == instruction<encode_shift> ||
      handler == instruction<encode_bit> || handler == instruction<encode_im> || handler == do_set) {
    return ZILOG_LEVELS;
  }
  return row.z80_cycles != 0 ? ALL_LEVELS : 0;
}

namespace {

// The rows' exact-match index, for names compared byte for byte.
constexpr KeywordIndex<256> MNEMONIC_INDEX = [] {
  const char* names[MNEMONIC_COUNT] = {};
  for (int i = 0; i < MNEMONIC_COUNT; ++i) names[i] = MNEMONIC_TABLE[i].name;
  return KeywordIndex<256>(names, MNEMONIC_COUNT);
}();

}  // namespace

namespace {

const MnemonicEntry* search_mnemonic(const char* name, int (*compare)(const char*, const char*)) {
  int low = 0, high = MNEMONIC_COUNT - 1;
  while (low <= high) {
    const int mid = (low + high) / 2;
    const int order = compare(name, MNEMONIC_TABLE[mid].name);
    if (order == 0) return &MNEMONIC_TABLE[mid];
    if (order < 0) high = mid - 1; else low = mid + 1;
  }
  return nullptr;
}

}  // namespace

const MnemonicEntry* find_mnemonic(const char* name, int (*compare)(const char*, const char*)) {
  if (compare == keyword_strcmp) {
    const int i = MNEMONIC_INDEX.find(name, std::strlen(name));
    return i < 0 ? nullptr : &MNEMONIC_TABLE[i];
  }
  return search_mnemonic(name, compare);
}

const MnemonicEntry* find_mnemonic(const char* name, size_t length, int (*compare)(const char*, const char*)) {
  if (compare == keyword_strcmp) {
    const int i = MNEMONIC_INDEX.find_padded(name, length);
    return i < 0 ? nullptr : &MNEMONIC_TABLE[i];
  }
  return search_mnemonic(name, compare);
}

}  // namespace zorm
