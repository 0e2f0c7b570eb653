#include "dbg/cpm_system.h"

#include <cstdio>

namespace zorm::dbg {

namespace {

constexpr uint8_t JP = 0xC3;
constexpr uint8_t RET = 0xC9;
constexpr int END_OF_FILE = 0x1A;  // what CP/M reads at the end of its input
constexpr int BIOS_ENTRIES = 17;

// BIOS entries by their number in the jump table.
enum BiosFunction { BOOT = 0, WBOOT = 1, CONST = 2, CONIN = 3, CONOUT = 4 };

void put_jump(Machine& machine, uint16_t at, uint16_t target) {
  machine.write(at, JP);
  machine.write(static_cast<uint16_t>(at + 1), static_cast<uint8_t>(target));
  machine.write(static_cast<uint16_t>(at + 2), static_cast<uint8_t>(target >> 8));
}

// A BDOS function's result: in a and l, with b and h cleared, as CP/M
// returns 8-bit values.
void return_byte(Machine& machine, uint8_t value) {
  machine.set_reg(Register::a, value);
  machine.set_reg(Register::hl, value);
  machine.set_reg(Register::b, 0);
}

Stop ended(uint16_t pc, const char* how) { return Stop{StopReason::exited, pc, how, 0, 0, 0}; }

Stop fault(uint16_t pc, const std::string& what) { return Stop{StopReason::fault, pc, what, 0, 0, 0}; }

Stop paused(uint16_t pc) { return Stop{StopReason::paused, pc, "", 0, 0, 0}; }

Stop go_on(uint16_t pc) { return Stop{StopReason::none, pc, "", 0, 0, 0}; }

}  // namespace

void CpmSystem::start(Machine& machine, uint16_t entry) {
  (void)entry;
  put_jump(machine, WARM_START, BIOS_ADDRESS + 3 * WBOOT);
  machine.write(0x0003, 0);  // IOBYTE
  machine.write(0x0004, 0);  // drive A:, user 0
  put_jump(machine, BDOS_ENTRY, BDOS_ADDRESS);
  // The default file control block (no file name) and an empty command tail.
  for (uint16_t at = 0x5D; at < 0x68; ++at) machine.write(at, ' ');
  machine.write(0x0080, 0);
  machine.write(BDOS_ADDRESS, RET);
  for (int function = 0; function < BIOS_ENTRIES; ++function) {
    const uint16_t at = static_cast<uint16_t>(BIOS_ADDRESS + 3 * function);
    machine.write(at, RET);
    machine.set_trap(at, true);
  }
  for (uint16_t at : {WARM_START, BDOS_ENTRY, BDOS_ADDRESS}) machine.set_trap(at, true);

  machine.set_reg(Register::sp, STACK_TOP - 2);  // the return address 0 on the stack
  machine.write(STACK_TOP - 2, 0);
  machine.write(STACK_TOP - 1, 0);
}

Stop CpmSystem::trap(Machine& machine, uint16_t pc) {
  if (pc == WARM_START) return ended(pc, "warm start (jump to 0)");
  if (pc == BDOS_ENTRY || pc == BDOS_ADDRESS) return bdos(machine, pc);
  return bios(machine, pc, (pc - BIOS_ADDRESS) / 3);
}

Stop CpmSystem::halted(uint16_t pc) {
  return fault(pc, "halt: the CPU stops for good (a CP/M program ends with jp 0, ret or BDOS function 0)");
}

int CpmSystem::read_character() {
  const int byte = console_.read();
  return byte < 0 ? END_OF_FILE : byte;
}

void CpmSystem::echo(uint8_t byte) {
  if (console_.echoes_input()) console_.write(byte);
}

void CpmSystem::read_line(Machine& machine, uint16_t buffer) {
  const uint8_t room = machine.read(buffer);
  uint8_t count = 0;
  while (count < room) {
    const int byte = console_.read();
    if (byte < 0 || byte == '\r') break;
    echo(static_cast<uint8_t>(byte));
    machine.write(static_cast<uint16_t>(buffer + 2 + count), static_cast<uint8_t>(byte));
    ++count;
  }
  echo('\r');
  machine.write(static_cast<uint16_t>(buffer + 1), count);
}

Stop CpmSystem::bdos(Machine& machine, uint16_t pc) {
  const int function = machine.reg(Register::c);
  const uint8_t e = static_cast<uint8_t>(machine.reg(Register::e));
  const bool needs_input = function == 1 || function == 10 || (function == 6 && e == 0xFD);
  if (needs_input) {
    console_.flush();
    if (!console_.wait_for_input([&machine] { return machine.attend(); })) return paused(pc);
  }
  switch (function) {
    case 0:
      return ended(pc, "BDOS function 0 (system reset)");
    case 1: {
      const int byte = read_character();
      echo(static_cast<uint8_t>(byte));
      return_byte(machine, static_cast<uint8_t>(byte));
      break;
    }
    case 2:
      console_.write(e);
      break;
    case 6:
      if (e == 0xFF) {
        return_byte(machine, console_.input_ready() ? static_cast<uint8_t>(read_character()) : 0);
      } else if (e == 0xFE) {
        return_byte(machine, console_.input_ready() ? 0xFF : 0);
      } else if (e == 0xFD) {
        return_byte(machine, static_cast<uint8_t>(read_character()));
      } else {
        console_.write(e);
      }
      break;
    case 9: {
      uint16_t at = machine.reg(Register::de);
      for (int n = 0; n < 0x10000 && machine.read(at) != '$'; ++n, ++at) console_.write(machine.read(at));
      break;
    }
    case 10:
      read_line(machine, machine.reg(Register::de));
      break;
    case 11:
      return_byte(machine, console_.input_ready() ? 0xFF : 0);
      break;
    case 12:
      machine.set_reg(Register::hl, 0x0022);  // CP/M 2.2
      machine.set_reg(Register::a, 0x22);
      machine.set_reg(Register::b, 0);
      break;
    case 13:  // reset the disk system
    case 25:  // the current drive: A:
    case 32:  // the user number: 0
      return_byte(machine, 0);
      break;
    default: {
      char text[80];
      std::snprintf(text, sizeof text, "BDOS function %d is not emulated (only the console functions are)",
                    function);
      return fault(pc, text);
    }
  }
  machine.return_from_trap();
  return go_on(pc);
}

Stop CpmSystem::bios(Machine& machine, uint16_t pc, int function) {
  switch (function) {
    case BOOT:
    case WBOOT:
      return ended(pc, "BIOS warm start");
    case CONST:
      machine.set_reg(Register::a, console_.input_ready() ? 0xFF : 0);
      break;
    case CONIN:
      console_.flush();
      if (!console_.wait_for_input([&machine] { return machine.attend(); })) return paused(pc);
      machine.set_reg(Register::a, static_cast<uint8_t>(read_character()));
      break;
    case CONOUT:
      console_.write(static_cast<uint8_t>(machine.reg(Register::c)));
      break;
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "BIOS function %d is not emulated", function);
      return fault(pc, text);
    }
  }
  machine.return_from_trap();
  return go_on(pc);
}

}  // namespace zorm::dbg
