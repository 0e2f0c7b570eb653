#include "dbg/bare_system.h"

namespace zorm::dbg {

namespace {

constexpr uint8_t END_OF_FILE = 0x1A;

}  // namespace

void BareSystem::start(Machine& machine, uint16_t entry) {
  (void)entry;
  machine.set_reg(Register::sp, 0x0000);  // the first push goes to 0xFFFE
}

// Ports are decoded by their low byte, as small systems do.
bool BareSystem::wait_for_port(uint16_t port, const std::function<bool()>& stop) {
  if ((port & 0xFF) != ports_.input) return true;
  console_.flush();
  return console_.wait_for_input(stop);
}

uint8_t BareSystem::port_in(uint16_t port) {
  const uint8_t low = port & 0xFF;
  if (low == ports_.input) {
    const int byte = console_.read();
    return byte < 0 ? END_OF_FILE : static_cast<uint8_t>(byte);
  }
  if (low == ports_.status) return console_.input_ready() ? 0xFF : 0x00;
  return 0xFF;
}

void BareSystem::port_out(uint16_t port, uint8_t value) {
  if ((port & 0xFF) == ports_.output) console_.write(value);
}

Stop BareSystem::halted(uint16_t pc) { return Stop{StopReason::exited, pc, "halt", 0, 0, 0}; }

Stop BareSystem::returned_from_entry(uint16_t pc) {
  return Stop{StopReason::exited, pc, "return from the entry point", 0, 0, 0};
}

}  // namespace zorm::dbg
