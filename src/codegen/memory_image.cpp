#include "codegen/memory_image.h"

#include <bit>
#include <cstring>
#include <new>

#include "listing/error_codes.h"

namespace zorm {

bool MemoryImage::image_create(uint8_t fill_byte) {
  bytes_.reset(new (std::nothrow) uint8_t[IMAGE_SIZE]);
  used_.reset(new (std::nothrow) uint64_t[IMAGE_SIZE / 64]);
  if (!bytes_ || !used_) {
    bytes_.reset();
    used_.reset();
    return false;
  }
  std::memset(bytes_.get(), fill_byte, IMAGE_SIZE);
  std::memset(used_.get(), 0, IMAGE_SIZE / 8);
  return true;
}

uint32_t MemoryImage::next_used(uint32_t from, uint32_t limit) const {
  while (from < limit) {
    // The marks of from and the addresses after it in the same word.
    const uint64_t marks = used_[from / 64] >> (from % 64);
    if (marks != 0) {
      const uint32_t found = from + static_cast<uint32_t>(std::countr_zero(marks));
      return found < limit ? found : limit;
    }
    from = (from / 64 + 1) * 64;
  }
  return limit;
}

uint32_t MemoryImage::last_used(uint32_t limit) const {
  for (uint32_t word = (limit + 63) / 64; word-- > 0;) {
    // The marks of the word's addresses below limit.
    const uint32_t below = limit - word * 64;
    const uint64_t marks = below >= 64 ? used_[word] : used_[word] & ((uint64_t{1} << below) - 1);
    if (marks != 0) return word * 64 + 63 - static_cast<uint32_t>(std::countl_zero(marks));
  }
  return limit;
}

int MemoryImage::emit_zeros(uint32_t count) {
  if (segment == SEGMENT_BSS && count > 0) {
    // Nothing is stored in the bss segment: the bytes only count, and the
    // first one meets the memory diagnostic that every other one would.
    if (emit_byte(0) == 0) statement_length += static_cast<int32_t>(count - 1);
    return statement_memory_error;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (emit_byte(0) != 0) break;
  }
  return statement_memory_error;
}

int MemoryImage::emit_opcode(int32_t value) {
  if ((value & 0xFF00) != 0) emit_byte((value >> 8) & 0xFF);
  return emit_byte(value & 0xFF);
}

int MemoryImage::emit_word(int32_t value) {
  emit_byte(value & 0xFF);
  return emit_byte((value >> 8) & 0xFF);
}

int MemoryImage::emit_dword(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  emit_byte(static_cast<int32_t>(v & 0xFF));
  emit_byte(static_cast<int32_t>((v >> 8) & 0xFF));
  emit_byte(static_cast<int32_t>((v >> 16) & 0xFF));
  return emit_byte(static_cast<int32_t>((v >> 24) & 0xFF));
}

void MemoryImage::reset_for_pass2() {
  segment = SEGMENT_CODE;
  saved_counters[0] = saved_counters[1] = saved_counters[2] = 0;
  location_counter = 0;
}

int MemoryImage::select_segment(int new_segment) {
  saved_counters[segment] = location_counter;
  segment = new_segment;
  location_counter = saved_counters[segment];
  return outside_memory();
}

int MemoryImage::set_origin(ValueStack& values) {
  Value& operand = values.top();
  if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
  if (operand.value < -32768 || operand.value > 65535) return ERROR_RANGE;
  const int32_t origin = operand.value;
  values.pop();
  if (pass_number_ == 0 && used(static_cast<uint32_t>(origin))) return ERROR_INVALID_ORIGIN;
  line_shows_value = true;
  location_counter = static_cast<uint32_t>(origin);
  listing_value = origin;
  return 0;
}

int MemoryImage::outside_memory() const {
  return memory_limit != 0 && location_counter >= memory_limit ? ERROR_OUTSIDE_MEMORY : 0;
}

int MemoryImage::set_memory_limit(ValueStack& values) {
  Value& operand = values.top();
  if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
  const int32_t n = operand.value;
  values.pop();
  if (n >= 1 && n <= 15) {
    memory_limit = 1u << n;
  } else if (n == 16 || n == 65536 || n == 0) {
    memory_limit = 0;
  } else if (n >= 256 && n <= 65535) {
    memory_limit = static_cast<uint32_t>(n);
  } else {
    return ERROR_RANGE;
  }
  return 0;
}

}  // namespace zorm
