#pragma once
// The source-level debug information file (zorm -g), read into memory: the
// processor, the source files, the symbols and the address-to-line records.

#include <cstdint>
#include <string>
#include <vector>

#include "zorm/assembly.h"

namespace zorm::dbg {

struct DebugSymbol {
  std::string name;
  uint8_t attributes = 0;  // as stored: bit 7 marks a 32-bit value
  int32_t value = 0;

  // Where the value came from (bits 0..6 of the attributes).
  bool is_label() const { return (attributes & 0x7F) < 0x40; }
  int segment() const { return (attributes >> 4) & 0x03; }  // 0 code, 1 data, 2 bss
  bool is_code_label() const { return is_label() && segment() == 0; }
  bool is_structure() const { return (attributes & 0x70) == 0x40; }
};

struct DebugLine {
  int file = 0;
  int line = 0;
  uint16_t address = 0;
};

struct DebugInfo {
  uint32_t processor_code = 0;
  std::vector<std::string> files;    // by file index, as the assembler opened them
  std::vector<DebugSymbol> symbols;  // in the assembler's name order
  std::vector<DebugLine> lines;      // in ascending address order
  bool has_line_section = false;     // false when pass 1 failed

  // The processor level the code stands for; the Z80 for an unknown code.
  Processor processor() const;
};

// Reads the file's bytes; throws LoadError (object_file.h) naming what is
// wrong with them.
DebugInfo read_debug_info(const std::string& name, const std::string& bytes);

// The debug file's name for an object file: its extension replaced by ".dbg".
std::string debug_file_name_for(const std::string& object_path);

}  // namespace zorm::dbg
