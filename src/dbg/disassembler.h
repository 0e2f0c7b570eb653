#pragma once
// One instruction of memory as text, by the z80ex library's disassembler.

#include <cstdint>
#include <string>

namespace zorm::dbg {

class Machine;

struct Disassembly {
  std::string text;  // "ld a,(hl)", in lower case
  int length = 1;    // bytes
};

Disassembly disassemble(const Machine& machine, uint16_t address);

}  // namespace zorm::dbg
