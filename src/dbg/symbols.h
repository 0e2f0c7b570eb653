#pragma once
// The program's symbols from the debug file, looked up by name and by
// address.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbg/debug_info.h"

namespace zorm::dbg {

class Symbols {
 public:
  Symbols() = default;
  explicit Symbols(std::vector<DebugSymbol> symbols);

  const std::vector<DebugSymbol>& all() const { return symbols_; }
  // By name, exactly as written (names are case-sensitive).
  const DebugSymbol* find(std::string_view name) const;
  // A name for the code at an address: a code label there, else a symbol
  // of equ there (such as a system entry), else the nearest code label
  // below with "+offset", else the address in hexadecimal.
  std::string describe(uint16_t address) const;
  // The code label at an address, if any.
  const DebugSymbol* code_label_at(uint16_t address) const;

 private:
  std::vector<DebugSymbol> symbols_;
  std::map<std::string, size_t, std::less<>> by_name_;
  std::map<uint16_t, size_t> code_labels_;  // address -> index of its first code label
  std::map<uint16_t, size_t> constants_;    // address -> index of its first 16-bit equ
};

std::string hex_address(uint16_t address);  // "0x0105"

}  // namespace zorm::dbg
