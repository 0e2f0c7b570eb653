#include "dbg/disassembler.h"

#include <z80ex/z80ex_dasm.h>

#include <cctype>

#include "dbg/machine.h"

namespace zorm::dbg {

namespace {

Z80EX_BYTE read_byte(Z80EX_WORD address, void* machine) { return static_cast<const Machine*>(machine)->read(address); }

}  // namespace

Disassembly disassemble(const Machine& machine, uint16_t address) {
  char text[64] = {};
  int tstates = 0;
  int branch_tstates = 0;
  Disassembly result;
  result.length = z80ex_dasm(text, sizeof text, 0, &tstates, &branch_tstates, read_byte, address,
                             const_cast<Machine*>(&machine));
  // The library counts one byte too many for the indexed bit instructions
  // (DD CB d op, FD CB d op), which are four bytes long.
  const uint8_t first = machine.read(address);
  if ((first == 0xDD || first == 0xFD) && machine.read(static_cast<uint16_t>(address + 1)) == 0xCB) result.length = 4;
  // Lower case like ZORM's sources, one space after the mnemonic.
  bool space = false;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == ' ' || *c == '\t') {
      space = !result.text.empty();
      continue;
    }
    if (space) result.text += ' ';
    space = false;
    result.text += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  return result;
}

}  // namespace zorm::dbg
