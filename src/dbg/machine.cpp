#include "dbg/machine.h"

#include <z80ex/z80ex.h>

#include <stdexcept>

#include "dbg/foreign_instructions.h"
#include "dbg/object_file.h"
#include "dbg/system.h"

namespace zorm::dbg {

namespace {

// What the machine looks at before an instruction runs, by its first byte.
enum Kind : uint8_t { PLAIN, CALL, RST, RET, PREFIX_ED, PREFIX_INDEX, IN_PORT, JR_8085 };

constexpr std::array<uint8_t, 256> make_kinds() {
  std::array<uint8_t, 256> kinds{};
  for (int op = 0xC0; op <= 0xFF; op += 8) {
    kinds[op] = RET;           // ret cc
    kinds[op + 4] = CALL;      // call cc,nn
    kinds[op + 7] = RST;
  }
  kinds[0xC9] = RET;
  kinds[0xCD] = CALL;
  kinds[0xED] = PREFIX_ED;
  kinds[0xDD] = PREFIX_INDEX;
  kinds[0xFD] = PREFIX_INDEX;
  kinds[0xDB] = IN_PORT;
  kinds[0x20] = JR_8085;
  kinds[0x30] = JR_8085;
  return kinds;
}
constexpr std::array<uint8_t, 256> KINDS = make_kinds();

// A prefix chain longer than this is run a piece at a time.
constexpr int MAX_PREFIXES = 4;

// ED instructions that read the port in c: in r,(c), in (c), ini, ind, inir, indr.
bool reads_port_c(uint8_t op) { return (op & 0xC7) == 0x40 || op == 0xA2 || op == 0xAA || op == 0xB2 || op == 0xBA; }

Z80_REG_T z80ex_register(Register which) {
  switch (which) {
    case Register::af: case Register::a: case Register::f: return regAF;
    case Register::bc: case Register::b: case Register::c: return regBC;
    case Register::de: case Register::d: case Register::e: return regDE;
    case Register::hl: case Register::h: case Register::l: return regHL;
    case Register::af_alt: return regAF_;
    case Register::bc_alt: return regBC_;
    case Register::de_alt: return regDE_;
    case Register::hl_alt: return regHL_;
    case Register::ix: case Register::ixh: case Register::ixl: return regIX;
    case Register::iy: case Register::iyh: case Register::iyl: return regIY;
    case Register::sp: return regSP;
    case Register::pc: return regPC;
    case Register::i: return regI;
    case Register::r: return regR;
    case Register::im: return regIM;
    case Register::iff1: return regIFF1;
    case Register::iff2: return regIFF2;
  }
  return regPC;
}

enum class Half { whole, high, low };

Half half_of(Register which) {
  switch (which) {
    case Register::a: case Register::b: case Register::d: case Register::h: case Register::ixh: case Register::iyh:
      return Half::high;
    case Register::f: case Register::c: case Register::e: case Register::l: case Register::ixl: case Register::iyl:
      return Half::low;
    default:
      return Half::whole;
  }
}

}  // namespace

Machine::Machine(System& system)
    : system_(system),
      cpu_(z80ex_create(&Machine::memory_read, this, &Machine::memory_write, this, &Machine::port_read, this,
                        &Machine::port_write, this, &Machine::interrupt_vector, this)) {
  if (cpu_ == nullptr) throw std::runtime_error("the Z80 emulation could not be created");
}

Machine::~Machine() { z80ex_destroy(cpu_); }

void Machine::start(const ProgramImage& image, uint16_t entry) {
  memory_.fill(0);
  for (size_t address = 0; address < memory_.size(); ++address) {
    if (image.used.test(address)) memory_[address] = image.bytes[address];
  }
  for (size_t address = 0; address < marks_.size(); ++address) marks_[address] &= ~TRAP;
  z80ex_reset(cpu_);
  for (Z80_REG_T which : {regAF, regBC, regDE, regHL, regAF_, regBC_, regDE_, regHL_, regIX, regIY, regSP}) {
    z80ex_set_reg(cpu_, which, 0);
  }
  z80ex_set_reg(cpu_, regPC, entry);
  frames_.clear();
  instructions_ = 0;
  tstates_ = 0;
  pause_.store(false);
  attention_.store(service_asked_.load());
  system_.start(*this, entry);
  entry_stack_pointer_ = reg(Register::sp);
}

uint16_t Machine::reg(Register which) const {
  // The library counts r in 7 bits and keeps bit 7 (set only by ld r,a) apart.
  if (which == Register::r) return (z80ex_get_reg(cpu_, regR) & 0x7F) | (z80ex_get_reg(cpu_, regR7) & 0x80);
  const uint16_t value = z80ex_get_reg(cpu_, z80ex_register(which));
  switch (half_of(which)) {
    case Half::high: return value >> 8;
    case Half::low: return value & 0xFF;
    case Half::whole: break;
  }
  return value;
}

void Machine::set_reg(Register which, uint16_t value) {
  const Z80_REG_T target = z80ex_register(which);
  const uint16_t old = z80ex_get_reg(cpu_, target);
  switch (half_of(which)) {
    case Half::high: value = static_cast<uint16_t>((old & 0x00FF) | (value & 0xFF) << 8); break;
    case Half::low: value = static_cast<uint16_t>((old & 0xFF00) | (value & 0xFF)); break;
    case Half::whole: break;
  }
  z80ex_set_reg(cpu_, target, value);
  if (which == Register::r) z80ex_set_reg(cpu_, regR7, value & 0x80);
  if (which == Register::sp) pop_returned_frames();
}

void Machine::set_mark(uint16_t address, Mark what, bool on) {
  if (on) {
    marks_[address] |= what;
  } else {
    marks_[address] &= static_cast<uint8_t>(~what);
  }
}

Stop Machine::run(const RunLimits& limits) {
  uint64_t executed = 0;
  for (;;) {
    const uint16_t pc = z80ex_get_reg(cpu_, regPC);
    if (attention_.load(std::memory_order_relaxed) && attend()) return Stop{StopReason::paused, pc, "", 0, 0, 0};
    if (limits.instructions != 0 && executed >= limits.instructions) return Stop{StopReason::step, pc, "", 0, 0, 0};
    const uint8_t marks = marks_[pc];
    if ((marks & BREAKPOINT) != 0 && limits.breakpoints && executed != 0) {
      return Stop{StopReason::breakpoint, pc, "", 0, 0, 0};
    }
    if (budget_ != 0 && instructions_ >= budget_) return Stop{StopReason::budget, pc, "", 0, 0, 0};
    ++executed;
    if ((marks & TRAP) != 0) {
      stop_ = system_.trap(*this, pc);
      if (stop_.reason != StopReason::paused) ++instructions_;
      if (stop_.reason != StopReason::none) return stop_;
    } else if (execute(pc)) {
      return stop_;
    }
    if (limits.stop_below_depth != 0 && frames_.size() < limits.stop_below_depth) {
      return Stop{StopReason::returned, z80ex_get_reg(cpu_, regPC), "", 0, 0, 0};
    }
  }
}

void Machine::request_pause() {
  pause_.store(true);
  attention_.store(true);
}

void Machine::request_service() {
  service_asked_.store(true);
  attention_.store(true);
}

bool Machine::attend() {
  attention_.store(false);
  if (service_asked_.exchange(false) && service_) service_();
  return pause_.exchange(false);
}

bool Machine::before_instruction(uint16_t pc, uint8_t kind, uint8_t& after) {
  uint16_t at = pc;
  for (int prefixes = 0; kind == PREFIX_INDEX && prefixes < MAX_PREFIXES; ++prefixes) kind = KINDS[memory_[++at]];
  after = kind;
  uint16_t port = 0;
  switch (kind) {
    case PREFIX_ED: {
      const uint8_t op = memory_[static_cast<uint16_t>(at + 1)];
      const auto foreign = foreign_instruction({0xED, op, memory_[static_cast<uint16_t>(at + 2)]}, processor_);
      if (foreign) {
        stop_ = Stop{StopReason::fault, pc, "", 0, 0, 0};
        stop_.message = foreign->processor.empty()
                            ? foreign->text + " are no instruction of the emulated Z80"
                            : foreign->text + " is a " + foreign->processor +
                                  " instruction, which the emulated Z80 does not have";
        return true;
      }
      if (op == 0x4D || op == 0x45) after = RET;  // reti, retn
      if (!reads_port_c(op)) return false;
      port = z80ex_get_reg(cpu_, regBC);
      break;
    }
    case IN_PORT:
      port = static_cast<uint16_t>(z80ex_get_reg(cpu_, regAF) & 0xFF00) | memory_[static_cast<uint16_t>(at + 1)];
      break;
    case JR_8085:
      if (processor_ != Processor::i8085) return false;
      stop_ = Stop{StopReason::fault, pc, "", 0, 0, 0};
      stop_.message = std::string(memory_[at] == 0x20 ? "rim" : "sim") +
                      " is an 8085 instruction, which the emulated Z80 does not have";
      return true;
    default:
      return false;
  }
  if (system_.wait_for_port(port, [this] { return attend(); })) return false;
  stop_ = Stop{StopReason::paused, pc, "", 0, 0, 0};
  return true;
}

bool Machine::execute(uint16_t pc) {
  uint8_t kind = KINDS[memory_[pc]];
  if (kind != PLAIN && before_instruction(pc, kind, kind)) return true;
  const uint16_t sp_before = z80ex_get_reg(cpu_, regSP);
  const bool at_entry_depth = frames_.empty() && sp_before == entry_stack_pointer_;
  watch_hit_ = false;
  int tstates = 0;
  int pieces = 0;
  do {
    tstates += z80ex_step(cpu_);
  } while (z80ex_last_op_type(cpu_) != 0 && ++pieces < MAX_PREFIXES);
  tstates_ += static_cast<uint64_t>(tstates);
  ++instructions_;

  if (kind == CALL || kind == RST || kind == RET) track_stack(pc, kind, sp_before);
  else if (z80ex_get_reg(cpu_, regSP) != sp_before) pop_returned_frames();

  if (kind == RET && at_entry_depth && z80ex_get_reg(cpu_, regSP) == static_cast<uint16_t>(sp_before + 2)) {
    stop_ = system_.returned_from_entry(pc);
    if (stop_.reason != StopReason::none) return true;
  }
  if (z80ex_doing_halt(cpu_)) {
    stop_ = system_.halted(pc);
    if (stop_.reason != StopReason::none) return true;
  }
  if (watch_hit_) {
    stop_.reason = StopReason::watchpoint;
    stop_.address = z80ex_get_reg(cpu_, regPC);
    stop_.message.clear();
    return true;
  }
  return false;
}

void Machine::track_stack(uint16_t pc, uint8_t kind, uint16_t sp_before) {
  const uint16_t sp = z80ex_get_reg(cpu_, regSP);
  if (kind == RET) {
    pop_returned_frames();
    return;
  }
  if (sp != static_cast<uint16_t>(sp_before - 2)) return;  // a call whose condition failed
  uint16_t at = pc;
  while (KINDS[memory_[at]] == PREFIX_INDEX) ++at;
  const uint16_t length = kind == CALL ? 3 : 1;
  frames_.push_back(Frame{pc, static_cast<uint16_t>(at + length), z80ex_get_reg(cpu_, regPC), sp});
}

void Machine::pop_returned_frames() {
  // Depths are measured down from where the stack started, so that a stack
  // at the top of memory (sp wrapping to 0) compares the right way.
  const uint16_t depth = static_cast<uint16_t>(entry_stack_pointer_ - z80ex_get_reg(cpu_, regSP));
  while (!frames_.empty() && depth < static_cast<uint16_t>(entry_stack_pointer_ - frames_.back().stack_pointer)) {
    frames_.pop_back();
  }
}

void Machine::return_from_trap() {
  const uint16_t sp = z80ex_get_reg(cpu_, regSP);
  z80ex_set_reg(cpu_, regPC, read_word(sp));
  z80ex_set_reg(cpu_, regSP, static_cast<uint16_t>(sp + 2));
  pop_returned_frames();
}

uint8_t Machine::memory_read(_z80_cpu_context*, uint16_t address, int, void* self) {
  return static_cast<Machine*>(self)->memory_[address];
}

void Machine::memory_write(_z80_cpu_context*, uint16_t address, uint8_t value, void* self) {
  Machine& machine = *static_cast<Machine*>(self);
  if (machine.watched_.test(address) && !machine.watch_hit_) {
    machine.watch_hit_ = true;
    machine.stop_.watch_address = address;
    machine.stop_.old_value = machine.memory_[address];
    machine.stop_.new_value = value;
  }
  machine.memory_[address] = value;
}

uint8_t Machine::port_read(_z80_cpu_context*, uint16_t port, void* self) {
  return static_cast<Machine*>(self)->system_.port_in(port);
}

void Machine::port_write(_z80_cpu_context*, uint16_t port, uint8_t value, void* self) {
  static_cast<Machine*>(self)->system_.port_out(port, value);
}

uint8_t Machine::interrupt_vector(_z80_cpu_context*, void*) { return 0xFF; }

}  // namespace zorm::dbg
