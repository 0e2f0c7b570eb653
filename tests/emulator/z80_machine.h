#pragma once

// A small Z80 machine for running ZORM's output: 64 KiB of RAM, a CP/M-style
// BDOS entry at address 5 whose console calls are captured, and helpers that
// read the assembler's own outputs (Intel hex object files, the symbol table
// of the listing). The CPU is the z80ex emulation library; the machine exists
// only when the test binary is built against it (ZORM_WITH_Z80EX, set by the
// build when the library is found). The readers below need nothing.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace zorm::test {

// An Intel hex file read into memory.
struct HexImage {
  std::map<uint16_t, uint8_t> bytes;        // address -> byte, data records only
  std::optional<uint16_t> start_address;    // address field of the end-of-file record
};

inline int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw std::runtime_error(std::string("not a hex digit: ") + c);
}

// Reads Intel hex text, checking every record's checksum; throws on a
// malformed record so that a broken object file fails the test loudly.
inline HexImage read_intel_hex(const std::string& text) {
  HexImage image;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] != ':' || line.size() < 11 || line.size() % 2 == 0) throw std::runtime_error("bad record: " + line);
    auto byte_at = [&line](size_t index) {
      return static_cast<uint8_t>(hex_digit(line[1 + 2 * index]) * 16 + hex_digit(line[2 + 2 * index]));
    };
    const size_t count = byte_at(0);
    if (line.size() != 11 + 2 * count) throw std::runtime_error("bad record length: " + line);
    unsigned sum = 0;
    for (size_t i = 0; i < count + 5; ++i) sum += byte_at(i);
    if ((sum & 0xFF) != 0) throw std::runtime_error("bad checksum: " + line);
    const uint16_t address = static_cast<uint16_t>(byte_at(1) * 256 + byte_at(2));
    const uint8_t type = byte_at(3);
    if (type == 0x00) {
      for (size_t i = 0; i < count; ++i) image.bytes[static_cast<uint16_t>(address + i)] = byte_at(4 + i);
    } else if (type == 0x01) {
      image.start_address = address;
    }
  }
  return image;
}

// Reads the symbol table that option -t writes into the listing: lines of
// the form "<name right-aligned in 20> : $<hex> <decimal>[   *]".
inline std::map<std::string, long> read_symbol_table(const std::string& listing) {
  std::map<std::string, long> symbols;
  const size_t table = listing.find("Symbol Table");
  if (table == std::string::npos) return symbols;
  std::istringstream lines(listing.substr(table));
  std::string line;
  while (std::getline(lines, line)) {
    const size_t separator = line.find(" : $");
    if (separator == std::string::npos) continue;
    std::istringstream fields(line);
    std::string name, colon, hex;
    long decimal = 0;
    if (fields >> name >> colon >> hex >> decimal) symbols[name] = decimal;
  }
  return symbols;
}

}  // namespace zorm::test

#if defined(ZORM_WITH_Z80EX) && __has_include(<z80ex/z80ex.h>)
#define ZORM_EMULATOR_AVAILABLE 1

#include <z80ex/z80ex.h>

namespace zorm::test {

class Z80Machine {
 public:
  // Where a run stopped.
  enum class Stop { WarmStart, StepLimit };

  static constexpr uint16_t BDOS_ENTRY = 0x0005;
  static constexpr uint16_t WARM_START = 0x0000;

  Z80Machine()
      : cpu_(z80ex_create(&Z80Machine::read_memory, this, &Z80Machine::write_memory, this, &Z80Machine::read_port, this,
                          &Z80Machine::write_port, this, &Z80Machine::read_interrupt_vector, this)) {
    if (cpu_ == nullptr) throw std::runtime_error("z80ex_create failed");
    memory.fill(0);
    // CP/M's page zero: the warm start at 0 and the BDOS entry at 5. Both
    // are trapped before they execute; the bytes are what a real system
    // would hold there (a jump and a return).
    memory[WARM_START] = 0xC3;
    memory[BDOS_ENTRY] = 0xC9;
  }
  ~Z80Machine() { z80ex_destroy(cpu_); }
  Z80Machine(const Z80Machine&) = delete;
  Z80Machine& operator=(const Z80Machine&) = delete;

  void load(const HexImage& image) {
    for (const auto& [address, byte] : image.bytes) memory[address] = byte;
  }

  uint16_t reg(Z80_REG_T which) const { return z80ex_get_reg(cpu_, which); }
  void set_reg(Z80_REG_T which, uint16_t value) { z80ex_set_reg(cpu_, which, value); }
  uint16_t word_at(uint16_t address) const {
    return static_cast<uint16_t>(memory[address] | memory[static_cast<uint16_t>(address + 1)] << 8);
  }

  // Runs a CP/M program: sp below the BDOS page with the warm start address
  // pushed (so a program may also end with ret), pc at the entry point. The
  // run ends when the program reaches address 0, or after max_steps
  // instructions (a program that loops for ever fails its test instead of
  // hanging it).
  Stop run_program(uint16_t entry, uint64_t max_steps = 10'000'000) {
    set_reg(regSP, 0xFE00);
    push(WARM_START);
    set_reg(regPC, entry);
    return run(max_steps);
  }

  // Calls a routine as a subroutine: the return goes to address 0, which
  // ends the run. The caller sets the argument registers first.
  Stop call(uint16_t routine, uint64_t max_steps = 1'000'000) {
    set_reg(regSP, 0xF000);
    push(WARM_START);
    set_reg(regPC, routine);
    return run(max_steps);
  }

  std::array<uint8_t, 65536> memory{};
  std::string console;      // every character the program wrote through the BDOS
  uint64_t bdos_calls = 0;

 private:
  void push(uint16_t value) {
    uint16_t sp = reg(regSP);
    memory[--sp] = static_cast<uint8_t>(value >> 8);
    memory[--sp] = static_cast<uint8_t>(value);
    set_reg(regSP, sp);
  }

  uint16_t pop() {
    uint16_t sp = reg(regSP);
    const uint16_t value = word_at(sp);
    set_reg(regSP, static_cast<uint16_t>(sp + 2));
    return value;
  }

  Stop run(uint64_t max_steps) {
    for (uint64_t step = 0; step < max_steps; ++step) {
      // Traps are taken only between whole instructions, never after a
      // prefix byte.
      if (z80ex_last_op_type(cpu_) == 0) {
        const uint16_t pc = reg(regPC);
        if (pc == WARM_START) return Stop::WarmStart;
        if (pc == BDOS_ENTRY) {
          bdos();
          set_reg(regPC, pop());
          continue;
        }
      }
      z80ex_step(cpu_);
    }
    return Stop::StepLimit;
  }

  // The BDOS functions the examples use: 2 writes the character in e, 9 the
  // text at de up to a '$'. Any other function is recorded visibly.
  void bdos() {
    ++bdos_calls;
    const uint8_t function = static_cast<uint8_t>(reg(regBC));
    if (function == 2) {
      console += static_cast<char>(reg(regDE) & 0xFF);
    } else if (function == 9) {
      for (uint16_t address = reg(regDE), n = 0; memory[address] != '$' && n < 0xFFFF; ++address, ++n)
        console += static_cast<char>(memory[address]);
    } else {
      console += "<BDOS " + std::to_string(function) + ">";
    }
  }

  static Z80EX_BYTE read_memory(Z80EX_CONTEXT*, Z80EX_WORD address, int, void* self) {
    return static_cast<Z80Machine*>(self)->memory[address];
  }
  static void write_memory(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void* self) {
    static_cast<Z80Machine*>(self)->memory[address] = value;
  }
  static Z80EX_BYTE read_port(Z80EX_CONTEXT*, Z80EX_WORD, void*) { return 0xFF; }
  static void write_port(Z80EX_CONTEXT*, Z80EX_WORD, Z80EX_BYTE, void*) {}
  static Z80EX_BYTE read_interrupt_vector(Z80EX_CONTEXT*, void*) { return 0xFF; }

  Z80EX_CONTEXT* cpu_;
};

}  // namespace zorm::test

#endif
