#pragma once

#include <cstdint>

namespace zorm {

class Assembler;

// Grammar actions that admit register operands.
int admit_register(Assembler& as, int code);
int index_operand(Assembler& as, int form);

// Instruction encoders: handlers of the mnemonic table.
int encode_fixed(Assembler& as, int32_t value);
int encode_fixed_z80(Assembler& as, int32_t value);
int encode_fixed_8085(Assembler& as, int32_t value);
int encode_fixed_z180(Assembler& as, int32_t value);
int encode_nop(Assembler& as, int32_t value);
int encode_alu8(Assembler& as, int32_t value);
int encode_arith(Assembler& as, int32_t value);
int encode_incdec(Assembler& as, int32_t value);
int encode_shift(Assembler& as, int32_t value);
int encode_bit(Assembler& as, int32_t value);
int encode_set(Assembler& as, int32_t value);
int encode_stack(Assembler& as, int32_t value);
int encode_ex(Assembler& as, int32_t value);
int encode_im(Assembler& as, int32_t value);
int encode_neg(Assembler& as, int32_t value);
int encode_ret(Assembler& as, int32_t value);
// Loads.
int encode_ld(Assembler& as, int32_t value);
// Jumps and calls.
int encode_jump(Assembler& as, int32_t value);
int encode_call(Assembler& as, int32_t value);
int set_optimisation(Assembler& as, int32_t value);
// Input/output and the Z180 additions.
int encode_io(Assembler& as, int32_t value);
int encode_io0(Assembler& as, int32_t value);
int encode_mlt(Assembler& as, int32_t value);
int encode_tst(Assembler& as, int32_t value);
int encode_tstio(Assembler& as, int32_t value);

}  // namespace zorm
