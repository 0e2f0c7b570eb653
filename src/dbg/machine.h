#pragma once
// The emulated computer: a Z80 (the z80ex library), 64 KiB of memory, the
// system around it (a CP/M machine or bare hardware, see system.h), and what
// a debugger needs from it: breakpoints, watchpoints on memory writes, the
// call stack tracked from calls and returns, and counts of instructions and
// T-states.

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dbg/registers.h"
#include "zorm/assembly.h"

struct _z80_cpu_context;

namespace zorm::dbg {

class System;
struct ProgramImage;

// One tracked call: made by a call or rst and not yet returned from.
struct Frame {
  uint16_t call_address = 0;    // the call or rst instruction
  uint16_t return_address = 0;  // the instruction after it
  uint16_t entry = 0;           // where the call went
  uint16_t stack_pointer = 0;   // sp after the return address was pushed
};

enum class StopReason {
  none,        // not stopped: go on
  step,        // the instructions asked for have run
  breakpoint,  // about to run an instruction at a breakpoint
  watchpoint,  // the last instruction wrote to a watched address
  paused,      // request_pause(), or a wait for input was interrupted
  returned,    // the call depth fell below the one asked for
  exited,      // the program ended as a program of its machine ends
  budget,      // the instruction budget is used up
  fault,       // the program cannot go on (see message)
};

struct Stop {
  StopReason reason = StopReason::none;
  uint16_t address = 0;  // the pc (for a fault: the instruction that could not run)
  std::string message;   // for exited and fault: what happened
  // For watchpoint: the first watched byte the instruction wrote.
  uint16_t watch_address = 0;
  uint8_t old_value = 0;
  uint8_t new_value = 0;
};

struct RunLimits {
  uint64_t instructions = 0;    // stop (step) after this many; 0 for no limit
  size_t stop_below_depth = 0;  // stop (returned) once fewer frames are left; 0 never
  bool breakpoints = true;      // stop at breakpoints, except at the pc the run starts from
};

class Machine {
 public:
  explicit Machine(System& system);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // Clears memory, counters and the call stack, places the image and lets
  // the system set up memory and registers around it with pc at entry.
  // Breakpoints, watchpoints and the budget stay.
  void start(const ProgramImage& image, uint16_t entry);

  Stop run(const RunLimits& limits);
  // Makes a run (in another thread) stop before its next instruction.
  void request_pause();
  // Makes a run (in another thread) call the service before its next
  // instruction and go on; the owner keeps the work the service does.
  void request_service();
  void set_service(std::function<void()> service) { service_ = std::move(service); }
  // For the machine's own thread while it waits (for input): calls the
  // service when asked for, and says whether a pause is asked for (which it
  // then takes back).
  bool attend();

  uint8_t read(uint16_t address) const { return memory_[address]; }
  void write(uint16_t address, uint8_t value) { memory_[address] = value; }  // for the debugger and the system
  uint16_t read_word(uint16_t address) const {
    return static_cast<uint16_t>(memory_[address] | memory_[static_cast<uint16_t>(address + 1)] << 8);
  }
  uint16_t reg(Register which) const;
  void set_reg(Register which, uint16_t value);

  void set_breakpoint(uint16_t address, bool on) { set_mark(address, BREAKPOINT, on); }
  bool has_breakpoint(uint16_t address) const { return (marks_[address] & BREAKPOINT) != 0; }
  void set_watch(uint16_t address, bool on) { watched_.set(address, on); }
  // Marks an address at which the system takes over from the CPU (System::trap).
  void set_trap(uint16_t address, bool on) { set_mark(address, TRAP, on); }
  // 0 for none: the run stops (budget) once this many instructions have run.
  void set_budget(uint64_t instructions) { budget_ = instructions; }
  uint64_t budget() const { return budget_; }
  // The processor the program was written for; decides what is foreign.
  void set_processor(Processor processor);

  const std::vector<Frame>& frames() const { return frames_; }
  uint64_t instructions() const { return instructions_; }
  uint64_t tstates() const { return tstates_; }
  System& system() { return system_; }

  // For the system's traps: returns from a call to the trapped address, as a
  // ret would (the trap itself counts as one instruction of no T-states).
  void return_from_trap();

 private:
  enum Mark : uint8_t { BREAKPOINT = 1, TRAP = 2 };
  void set_mark(uint16_t address, Mark what, bool on);
  bool execute(uint16_t pc);  // true when the run stops (stop_ says why)
  bool before_instruction(uint16_t pc, uint16_t& kind);
  void push_frame(uint16_t pc, uint16_t kind, uint16_t sp);
  void pop_returned_frames(uint16_t sp);

  static uint8_t memory_read(_z80_cpu_context*, uint16_t address, int, void* self);
  static void memory_write(_z80_cpu_context*, uint16_t address, uint8_t value, void* self);
  static uint8_t port_read(_z80_cpu_context*, uint16_t port, void* self);
  static void port_write(_z80_cpu_context*, uint16_t port, uint8_t value, void* self);
  static uint8_t interrupt_vector(_z80_cpu_context*, void* self);

  std::array<uint16_t, 256> kinds_;  // what each first byte calls for (see machine.cpp)
  System& system_;
  _z80_cpu_context* cpu_;
  std::array<uint8_t, 65536> memory_{};
  std::array<uint8_t, 65536> marks_{};
  std::bitset<65536> watched_;
  std::vector<Frame> frames_;
  uint16_t entry_stack_pointer_ = 0;
  uint64_t instructions_ = 0;
  uint64_t tstates_ = 0;
  uint64_t budget_ = 0;
  Processor processor_ = Processor::z80;
  std::atomic<bool> attention_{false};  // one of the two below is asked for
  std::atomic<bool> pause_{false};
  std::atomic<bool> service_asked_{false};
  std::function<void()> service_;
  Stop stop_;
  bool watch_hit_ = false;
};

}  // namespace zorm::dbg
