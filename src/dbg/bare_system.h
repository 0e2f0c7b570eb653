#pragma once
// Bare hardware: the image at its own addresses and nothing else in memory,
// the console on three I/O ports, and the program's end at halt or at a
// return from its entry point.

#include "dbg/console.h"
#include "dbg/system.h"

namespace zorm::dbg {

struct ConsolePorts {
  uint8_t output = 0x01;  // out: a character to the console
  uint8_t input = 0x01;   // in: the next character (waits for one; 0x1A at the end of the input)
  uint8_t status = 0x00;  // in: 0xFF when a character is waiting (or the input has ended), else 0
};

class BareSystem : public System {
 public:
  BareSystem(Console& console, ConsolePorts ports) : console_(console), ports_(ports) {}
  std::string name() const override { return "bare"; }
  void start(Machine& machine, uint16_t entry) override;
  bool wait_for_port(uint16_t port, const std::function<bool()>& stop) override;
  uint8_t port_in(uint16_t port) override;
  void port_out(uint16_t port, uint8_t value) override;
  Stop halted(uint16_t pc) override;
  Stop returned_from_entry(uint16_t pc) override;

 private:
  Console& console_;
  ConsolePorts ports_;
};

}  // namespace zorm::dbg
