#include "dbg/machine.h"

#include <z80ex/z80ex.h>

#include <stdexcept>

#include "dbg/foreign_instructions.h"
#include "dbg/object_file.h"
#include "dbg/system.h"

namespace zorm::dbg {

namespace {

// What the machine looks at around an instruction, by its first byte (for
// DD and FD, by the byte after the prefixes). Most instructions have none of
// these, and run without a look at the stack or the prefixes.
enum Kind : uint16_t {
  CALL = 1,       // call, call cc: pushes a return address when taken
  RST = 2,
  RET = 4,        // ret, ret cc, reti, retn
  MOVES_SP = 8,   // push, pop, ld sp, inc sp, dec sp
  PREFIXED = 16,  // more than one step of the library
  ED = 32,        // looked at for the Z180's and Z280's forms and the ports
  INDEX = 64,     // DD, FD: the instruction is the byte after them
  IN_PORT = 128,  // in a,(n)
  HALT = 256,
  JR_8085 = 512,  // 20h and 30h, the 8085's rim and sim (marked only for the 8085)
};
constexpr uint16_t LOOK_FIRST = ED | INDEX | IN_PORT | JR_8085;
constexpr uint16_t STACK = CALL | RST | RET | MOVES_SP;

constexpr std::array<uint16_t, 256> make_kinds() {
  std::array<uint16_t, 256> kinds{};
  for (int op = 0xC0; op <= 0xFF; op += 8) {
    kinds[op] = RET;       // ret cc
    kinds[op + 4] = CALL;  // call cc,nn
    kinds[op + 7] = RST;
  }
  for (int op : {0xC1, 0xD1, 0xE1, 0xF1, 0xC5, 0xD5, 0xE5, 0xF5, 0x31, 0x33, 0x3B, 0xF9}) kinds[op] = MOVES_SP;
  kinds[0xC9] = RET;
  kinds[0xCD] = CALL;
  kinds[0xCB] = PREFIXED;
  kinds[0xED] = ED | PREFIXED;
  kinds[0xDD] = INDEX | PREFIXED;
  kinds[0xFD] = INDEX | PREFIXED;
  kinds[0xDB] = IN_PORT;
  kinds[0x76] = HALT;
  return kinds;
}
constexpr std::array<uint16_t, 256> KINDS = make_kinds();

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
    : kinds_(KINDS),
      system_(system),
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
  if (which == Register::sp) pop_returned_frames(value);
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

void Machine::set_processor(Processor processor) {
  processor_ = processor;
  // The 8085's rim and sim are the Z80's jr nz and jr nc.
  for (int op : {0x20, 0x30}) {
    kinds_[op] = processor == Processor::i8085 ? KINDS[op] | JR_8085 : KINDS[op];
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

bool Machine::before_instruction(uint16_t pc, uint16_t& kind) {
  uint16_t at = pc;
  for (int prefixes = 0; (kind & INDEX) != 0 && prefixes < MAX_PREFIXES; ++prefixes) {
    kind = kinds_[memory_[++at]] | PREFIXED;
  }
  uint16_t port = 0;
  if ((kind & ED) != 0) {
    const uint8_t op = memory_[static_cast<uint16_t>(at + 1)];
    const auto foreign = foreign_instruction({0xED, op, memory_[static_cast<uint16_t>(at + 2)]}, processor_);
    if (foreign) {
      stop_ = Stop{StopReason::fault, pc, "", 0, 0, 0};
      stop_.message = foreign->processor.empty() ? foreign->text + " are no instruction of the emulated Z80"
                                                 : foreign->text + " is a " + foreign->processor +
                                                       " instruction, which the emulated Z80 does not have";
      return true;
    }
    if ((op & 0xC7) == 0x45) kind |= RET;  // retn, reti and their mirrors
    if (op == 0x7B) kind |= MOVES_SP;     // ld sp,(nn)
    if (!reads_port_c(op)) return false;
    port = z80ex_get_reg(cpu_, regBC);
  } else if ((kind & IN_PORT) != 0) {
    port = static_cast<uint16_t>(z80ex_get_reg(cpu_, regAF) & 0xFF00) | memory_[static_cast<uint16_t>(at + 1)];
  } else if ((kind & JR_8085) != 0) {
    stop_ = Stop{StopReason::fault, pc, "", 0, 0, 0};
    stop_.message = std::string(memory_[at] == 0x20 ? "rim" : "sim") +
                    " is an 8085 instruction, which the emulated Z80 does not have";
    return true;
  } else {
    return false;
  }
  if (system_.wait_for_port(port, [this] { return attend(); })) return false;
  stop_ = Stop{StopReason::paused, pc, "", 0, 0, 0};
  return true;
}

bool Machine::execute(uint16_t pc) {
  uint16_t kind = kinds_[memory_[pc]];
  if ((kind & LOOK_FIRST) != 0 && before_instruction(pc, kind)) return true;
  const uint16_t sp_before = (kind & STACK) != 0 ? z80ex_get_reg(cpu_, regSP) : 0;
  const bool at_entry_depth = (kind & RET) != 0 && frames_.empty() && sp_before == entry_stack_pointer_;
  watch_hit_ = false;
  int tstates = z80ex_step(cpu_);
  if ((kind & PREFIXED) != 0) {
    for (int pieces = 1; z80ex_last_op_type(cpu_) != 0 && pieces < MAX_PREFIXES; ++pieces) {
      tstates += z80ex_step(cpu_);
    }
  }
  tstates_ += static_cast<uint64_t>(tstates);
  ++instructions_;

  if ((kind & STACK) != 0) {
    const uint16_t sp = z80ex_get_reg(cpu_, regSP);
    if ((kind & (CALL | RST)) != 0 && sp == static_cast<uint16_t>(sp_before - 2)) {
      push_frame(pc, kind, sp);
    } else if (static_cast<int16_t>(sp - sp_before) > 0) {
      pop_returned_frames(sp);
    }
    if (at_entry_depth && sp == static_cast<uint16_t>(sp_before + 2)) {
      stop_ = system_.returned_from_entry(pc);
      if (stop_.reason != StopReason::none) return true;
    }
  }
  if ((kind & HALT) != 0 && z80ex_doing_halt(cpu_)) {
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

void Machine::push_frame(uint16_t pc, uint16_t kind, uint16_t sp) {
  uint16_t at = pc;
  while ((KINDS[memory_[at]] & INDEX) != 0) ++at;
  const uint16_t length = (kind & CALL) != 0 ? 3 : 1;
  frames_.push_back(Frame{pc, static_cast<uint16_t>(at + length), z80ex_get_reg(cpu_, regPC), sp});
}

void Machine::pop_returned_frames(uint16_t sp) {
  // Depths are measured down from where the stack started, so that a stack
  // at the top of memory (sp wrapping to 0) compares the right way.
  const uint16_t depth = static_cast<uint16_t>(entry_stack_pointer_ - sp);
  while (!frames_.empty() && depth < static_cast<uint16_t>(entry_stack_pointer_ - frames_.back().stack_pointer)) {
    frames_.pop_back();
  }
}

void Machine::return_from_trap() {
  const uint16_t sp = z80ex_get_reg(cpu_, regSP);
  z80ex_set_reg(cpu_, regPC, read_word(sp));
  z80ex_set_reg(cpu_, regSP, static_cast<uint16_t>(sp + 2));
  pop_returned_frames(static_cast<uint16_t>(sp + 2));
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
