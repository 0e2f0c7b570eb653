#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "listing/error_codes.h"
#include "parse/value_stack.h"

namespace zorm {

inline constexpr uint16_t USED_MARK = 0x100;
inline constexpr uint32_t IMAGE_SIZE = 0x10000;

enum Segment : int {
  SEGMENT_CODE = 0,
  SEGMENT_DATA = 1,
  SEGMENT_BSS = 2,
};

// The 64 KiB target memory with a used mark per address, the location
// counter, the segments and the per-statement emit state. The marks are kept
// as a bit map, so that the writers and the memory map skip unused stretches
// a 64-bit word at a time.
class MemoryImage {
 public:
  // Pass 1 (pass_number 0) notes stores over used addresses.
  explicit MemoryImage(const int& pass_number) : pass_number_(pass_number) {}

  bool image_create(uint8_t fill_byte);
  bool created() const { return bytes_ != nullptr; }
  void image_store(uint32_t address, uint8_t byte) {
    address &= 0xFFFF;
    bytes_[address] = byte;
    used_[address / 64] |= uint64_t{1} << (address % 64);
  }
  // The byte at address, with USED_MARK added when the program stored it.
  uint16_t image_read(uint32_t address) const {
    address &= 0xFFFF;
    return static_cast<uint16_t>(bytes_[address] | (used(address) ? USED_MARK : 0));
  }
  bool used(uint32_t address) const { return ((used_[(address & 0xFFFF) / 64] >> (address % 64)) & 1) != 0; }
  // The first used address in [from, limit), or limit when there is none
  // (limit at most IMAGE_SIZE).
  uint32_t next_used(uint32_t from, uint32_t limit) const;
  // The last used address below limit, or limit when there is none.
  uint32_t last_used(uint32_t limit) const;
  // The bytes of [first, last] as they stand, used or not.
  std::string bytes_between(uint32_t first, uint32_t last) const {
    return std::string(reinterpret_cast<const char*>(bytes_.get()) + first, last - first + 1);
  }

  int emit_byte(int32_t value) {
    if (segment != SEGMENT_BSS) {
      const uint32_t address = location_counter + static_cast<uint32_t>(statement_length);
      if (pass_number_ == 0 && used(address)) statement_memory_error = ERROR_OVERWRITING;
      image_store(address, static_cast<uint8_t>(value));
    }
    ++statement_length;
    if (memory_limit != 0 && location_counter >= memory_limit) statement_memory_error = ERROR_OUTSIDE_MEMORY;
    return statement_memory_error;
  }
  // count zero bytes, stopping at the first memory diagnostic.
  int emit_zeros(uint32_t count);
  int emit_opcode(int32_t value);
  int emit_word(int32_t value);
  int emit_dword(int32_t value);

  void begin_statement() {
    statement_length = 0;
    statement_memory_error = 0;
    line_shows_value = false;
  }
  void end_statement() { location_counter += static_cast<uint32_t>(statement_length); }
  void reset_for_pass2();

  // Directive handlers, with their operands on the value stack. set_origin
  // moves the location counter unless it returns an error; outside_memory()
  // tells whether it then lies beyond the memory limit.
  int select_segment(int segment);
  int set_origin(ValueStack& values);
  int outside_memory() const;
  int set_memory_limit(ValueStack& values);

  uint32_t location_counter = 0;
  int32_t statement_length = 0;
  int statement_memory_error = 0;
  int segment = SEGMENT_CODE;
  uint32_t saved_counters[3] = {0, 0, 0};
  uint32_t memory_limit = 0;
  bool line_shows_value = false;
  int32_t listing_value = 0;

 private:
  const int& pass_number_;
  std::unique_ptr<uint8_t[]> bytes_;
  std::unique_ptr<uint64_t[]> used_;  // bit a % 64 of word a / 64 marks address a
};

}  // namespace zorm
