#pragma once
// A CP/M 2.2 computer as far as console programs need one: the program at
// 0x100, page zero with the warm start at 0 and the BDOS entry at 5, the
// BDOS console functions and the BIOS console entries on the console, and the
// program's end by jp 0, a return to 0 or BDOS function 0.

#include "dbg/console.h"
#include "dbg/system.h"

namespace zorm::dbg {

class CpmSystem : public System {
 public:
  static constexpr uint16_t PROGRAM_START = 0x0100;
  static constexpr uint16_t WARM_START = 0x0000;
  static constexpr uint16_t BDOS_ENTRY = 0x0005;
  static constexpr uint16_t BDOS_ADDRESS = 0xFE06;  // the word at 6: the top of the program area
  static constexpr uint16_t BIOS_ADDRESS = 0xFF00;  // the BIOS jump table; the word at 1 points at its warm start
  static constexpr uint16_t STACK_TOP = 0xFE00;     // the stack a program starts with, 0 pushed on it

  explicit CpmSystem(Console& console) : console_(console) {}
  std::string name() const override { return "cpm"; }
  void start(Machine& machine, uint16_t entry) override;
  Stop trap(Machine& machine, uint16_t pc) override;
  Stop halted(uint16_t pc) override;

 private:
  Stop bdos(Machine& machine, uint16_t pc);
  Stop bios(Machine& machine, uint16_t pc, int function);
  // Reads one character for the program, as the console's input gives it.
  int read_character();
  void echo(uint8_t byte);
  void read_line(Machine& machine, uint16_t buffer);

  Console& console_;
};

}  // namespace zorm::dbg
