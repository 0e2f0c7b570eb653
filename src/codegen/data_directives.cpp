// db, defb, defm, dw, defw, dd, ds, defs, align and the character map.
//
// The operands lie on the value stack in source order, the first at the
// bottom. Bytes go through the emit operations, which also keep the bss
// segment free of stores and note overlaps and the memory limit.
#include "codegen/data_directives.h"

#include "codegen/operand_checks.h"
#include "listing/error_codes.h"

namespace zorm {

namespace {

// Label attribute bits of the data directives: the size of one item.
constexpr uint8_t ATTRIBUTE_BYTES = 1;
constexpr uint8_t ATTRIBUTE_WORDS = 2;
constexpr uint8_t ATTRIBUTE_LONGS = 4;

void add_label_attribute(DataContext& data, uint8_t bits) {
  data.label_attributes = static_cast<uint8_t>(data.label_attributes + bits);
}

}  // namespace

// db, defb, defm: numbers as bytes, strings decoded and translated through
// the character map.
int emit_byte_data(DataContext& data, int32_t) {
  add_label_attribute(data, ATTRIBUTE_BYTES);
  ValueStack& values = data.values;
  for (int i = 0; i < values.size(); ++i) {
    Value& item = values.at(i);
    switch (item.kind) {
      case VALUE_NUMBER:
        if (bad_byte(item)) return ERROR_RANGE;
        data.image.emit_byte(item.value);
        break;
      case VALUE_STRING: {
        const size_t length = decode_escapes(item.text);
        for (size_t k = 0; k < length; ++k) data.image.emit_byte(data.char_map[static_cast<uint8_t>(item.text[k])]);
        break;
      }
      default:
        data.image.emit_byte(0);
        break;
    }
  }
  values.clear();
  return data.image.statement_memory_error;
}

// dw, defw (0): 16-bit words; dd (1): 32-bit words. Lowest byte first; the
// character map does not apply.
int emit_word_data(DataContext& data, int32_t value) {
  const bool long_words = value == 1;
  add_label_attribute(data, long_words ? ATTRIBUTE_LONGS : ATTRIBUTE_WORDS);
  ValueStack& values = data.values;
  for (int i = 0; i < values.size(); ++i) {
    const Value& item = values.at(i);
    const int32_t word = item.kind == VALUE_UNKNOWN ? 0 : item.value;
    if (long_words) {
      data.image.emit_dword(word);
    } else {
      if (bad_word(item)) return ERROR_RANGE;
      data.image.emit_word(word);
    }
  }
  values.clear();
  return data.image.statement_memory_error;
}

// ds, defs (0): count zero bytes; align (1): zero bytes up to the next
// multiple of the alignment.
int reserve_space(DataContext& data, int32_t value) {
  ValueStack& values = data.values;
  if (value == 0) {
    add_label_attribute(data, ATTRIBUTE_BYTES);
    const Value& count = values.top();
    if (count.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
    if (outside(count, 1, 65535)) return ERROR_RANGE;
    const uint32_t n = static_cast<uint32_t>(count.value);
    values.pop();
    return data.image.emit_zeros(n);
  }
  uint32_t alignment = 2;
  if (data.encoding.statement_form != 0) {
    const Value& operand = values.top();
    if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
    if (outside(operand, 2, 65535)) return ERROR_RANGE;
    alignment = static_cast<uint32_t>(operand.value);
    values.pop();
  }
  // Every alignment, a power of two or not, pads to its next multiple.
  const uint32_t remainder = data.image.location_counter % alignment;
  return data.image.emit_zeros(remainder == 0 ? 0 : alignment - remainder);
}

// cmap: no operand resets the map to the identity; one value fills the
// whole map with it; a start and a list set consecutive entries from the
// start on.
int set_char_map(DataContext& data, int32_t) {
  uint8_t* map = data.char_map;
  ValueStack& values = data.values;
  switch (data.encoding.statement_form) {
    case 0:
      for (int k = 0; k < 256; ++k) map[k] = static_cast<uint8_t>(k);
      return 0;
    case 1: {
      const Value& fill = values.top();
      if (fill.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
      if (bad_byte(fill)) return ERROR_RANGE;
      for (int k = 0; k < 256; ++k) map[k] = static_cast<uint8_t>(fill.value);
      values.clear();
      return 0;
    }
    case 2: {
      const Value& start = values.at(0);
      if (start.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
      if (outside(start, 0, 255)) return ERROR_RANGE;
      int index = start.value;
      // Entries written before an error keep their new values.
      for (int i = 1; i < values.size(); ++i) {
        const Value& item = values.at(i);
        switch (item.kind) {
          case VALUE_NUMBER:
            if (bad_byte(item) || index > 255) return ERROR_RANGE;
            map[index++] = static_cast<uint8_t>(item.value);
            break;
          case VALUE_STRING:
            // The text is taken as it stands: no escapes in a map.
            for (const char c : item.text) {
              if (index > 255) return ERROR_RANGE;
              map[index++] = static_cast<uint8_t>(c);
            }
            break;
          default:
            return ERROR_UNDEFINED_LABEL;
        }
      }
      values.clear();
      return 0;
    }
    default:
      return ERROR_SYNTAX;
  }
}

}  // namespace zorm
