#pragma once

#include <cstdint>

namespace zorm {

class Assembler;

// db/defb/defm, dw/defw/dd, ds/defs/align and cmap.
int emit_byte_data(Assembler& as, int32_t value);
int emit_word_data(Assembler& as, int32_t value);
int reserve_space(Assembler& as, int32_t value);
int set_char_map(Assembler& as, int32_t value);

}  // namespace zorm
