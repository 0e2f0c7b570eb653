#pragma once

#include <cstddef>
#include <cstdint>

namespace zorm {

class Assembler;

// A handler gets the row's value and returns an ErrorCode (0 = success).
using StatementHandler = int (*)(Assembler& as, int32_t value);

enum LabelRule : uint8_t {
  LABEL_NONE = 0,
  LABEL_OPTIONAL = 1,
  LABEL_REQUIRED = 2,
};

// One row of the mnemonic table: an instruction mnemonic or a directive.
struct MnemonicEntry {
  const char* name;
  uint8_t operand_class;   // token code of the operand class, 0 = reads its own line
  uint8_t label_rule;
  uint8_t conditional;     // 1: processed inside false conditional blocks
  uint8_t z80_cycles;      // non-zero exactly for instructions
  uint8_t i8080_cycles;
  StatementHandler handler;
  int32_t value;
};

// The processor levels at which an instruction row's encoder accepts some
// operand form (bit n for -xn), 0 for a directive. jr and djnz count for the
// 8080 too: its long forms stand in for them.
uint8_t instruction_levels(const MnemonicEntry& row);

// The table, sorted by name; the row after the last named one is the
// assignment row used for "label = expression".
extern const MnemonicEntry MNEMONIC_TABLE[];
extern const int MNEMONIC_COUNT;
const MnemonicEntry& assignment_row();

// Binary search with the keyword comparison of the run; nullptr when absent.
const MnemonicEntry* find_mnemonic(const char* name, int (*compare)(const char*, const char*));
// The same for a name whose length is known, followed by enough readable
// bytes to make eight (the lexer's token text).
const MnemonicEntry* find_mnemonic(const char* name, size_t length, int (*compare)(const char*, const char*));

}  // namespace zorm
