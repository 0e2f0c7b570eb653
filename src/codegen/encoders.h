#pragma once

#include <cstdint>

#include "codegen/encoding_state.h"
#include "codegen/memory_image.h"
#include "listing/diagnostics.h"
#include "parse/value_stack.h"
#include "source/source_stack.h"

namespace zorm {

// What the instruction encoders read and write; the run holds one and the
// mnemonic table hands it to each encoder as cx.
struct EncoderContext {
  ValueStack& values;           // the statement's operands, registers among them
  MemoryImage& image;           // where the bytes go, at the location counter
  EncodingState& encoding;      // the operand grammar's form and condition; the cycle count
  const int& processor_level;   // 0 8080 .. 5 Z280
  const int& pass_number;       // 0: pass 1 chooses the branch forms, 1: pass 2 replays them
  int& optimisation_state;      // 0 on; opt and noopt change it unless -n fixed it at 1
  Diagnostics& diagnostics;     // the unintended-NOP warning and internal errors
  const SourceStack& sources;   // the line an internal error names
};

// Grammar actions that admit register operands.
int admit_register(EncoderContext& cx, int code);
int index_operand(EncoderContext& cx, int form);

// Instruction encoders: handlers of the mnemonic table.
int encode_fixed(EncoderContext& cx, int32_t value);
int encode_fixed_z80(EncoderContext& cx, int32_t value);
int encode_fixed_8085(EncoderContext& cx, int32_t value);
int encode_fixed_z180(EncoderContext& cx, int32_t value);
int encode_nop(EncoderContext& cx, int32_t value);
int encode_alu8(EncoderContext& cx, int32_t value);
int encode_arith(EncoderContext& cx, int32_t value);
int encode_incdec(EncoderContext& cx, int32_t value);
int encode_shift(EncoderContext& cx, int32_t value);
int encode_bit(EncoderContext& cx, int32_t value);
// The bit instruction written as set (its directive form is the symbol
// table's).
int encode_set_bit(EncoderContext& cx, int32_t value);
int encode_stack(EncoderContext& cx, int32_t value);
int encode_ex(EncoderContext& cx, int32_t value);
int encode_im(EncoderContext& cx, int32_t value);
int encode_neg(EncoderContext& cx, int32_t value);
int encode_ret(EncoderContext& cx, int32_t value);
// Loads.
int encode_ld(EncoderContext& cx, int32_t value);
// Jumps and calls.
int encode_jump(EncoderContext& cx, int32_t value);
int encode_call(EncoderContext& cx, int32_t value);
int set_optimisation(EncoderContext& cx, int32_t value);
// Input/output and the Z180 additions.
int encode_io(EncoderContext& cx, int32_t value);
int encode_io0(EncoderContext& cx, int32_t value);
int encode_mlt(EncoderContext& cx, int32_t value);
int encode_tst(EncoderContext& cx, int32_t value);
int encode_tstio(EncoderContext& cx, int32_t value);

}  // namespace zorm
