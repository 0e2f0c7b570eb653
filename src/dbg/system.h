#pragma once
// What surrounds the CPU: the machine a program is written for. It sets up
// memory and registers before the program starts, takes over at the
// addresses it marks as traps (system calls), answers the ports, and says
// what a halt or a return from the entry point means.

#include <cstdint>
#include <functional>
#include <string>

#include "dbg/machine.h"

namespace zorm::dbg {

class System {
 public:
  virtual ~System() = default;
  virtual std::string name() const = 0;
  // Called by Machine::start after the image is in memory: page zero, the
  // stack and the traps; pc is already at entry.
  virtual void start(Machine& machine, uint16_t entry) = 0;
  // The program reached an address marked with Machine::set_trap. Returns a
  // stop with reason none to go on.
  virtual Stop trap(Machine& machine, uint16_t pc) {
    (void)machine;
    return Stop{StopReason::none, pc, "", 0, 0, 0};
  }
  // Before an instruction reads this port: waits for console input when the
  // port delivers it. False when stop() said to give up the wait.
  virtual bool wait_for_port(uint16_t port, const std::function<bool()>& stop) {
    (void)port;
    (void)stop;
    return true;
  }
  virtual uint8_t port_in(uint16_t port) {
    (void)port;
    return 0xFF;
  }
  virtual void port_out(uint16_t port, uint8_t value) {
    (void)port;
    (void)value;
  }
  // The CPU executed halt at pc.
  virtual Stop halted(uint16_t pc) = 0;
  // A return at call depth 0 took the stack back above where it started.
  virtual Stop returned_from_entry(uint16_t pc) { return Stop{StopReason::none, pc, "", 0, 0, 0}; }
};

}  // namespace zorm::dbg
