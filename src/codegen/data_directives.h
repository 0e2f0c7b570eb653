#pragma once

#include <cstdint>

#include "codegen/encoding_state.h"
#include "codegen/memory_image.h"
#include "parse/value_stack.h"

namespace zorm {

// What the data directives read and write; the run holds one and the
// mnemonic table hands it to each directive.
struct DataContext {
  ValueStack& values;             // the items, in source order from the bottom
  MemoryImage& image;             // where the bytes go
  const EncodingState& encoding;  // the operand grammar's form
  uint8_t* char_map;              // 256 entries: how db translates the bytes of strings; cmap sets them
  uint8_t& label_attributes;      // the statement label's attributes, which learn the item size
};

// db/defb/defm, dw/defw/dd, ds/defs/align and cmap.
int emit_byte_data(DataContext& data, int32_t value);
int emit_word_data(DataContext& data, int32_t value);
int reserve_space(DataContext& data, int32_t value);
int set_char_map(DataContext& data, int32_t value);

}  // namespace zorm
