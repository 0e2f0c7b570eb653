#include "dbg/symbols.h"

#include <cstdio>

namespace zorm::dbg {

namespace {

constexpr uint8_t EQU_ATTRIBUTES = 0x50;

}  // namespace

std::string hex_address(uint16_t address) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", address);
  return text;
}

Symbols::Symbols(std::vector<DebugSymbol> symbols) : symbols_(std::move(symbols)) {
  for (size_t i = 0; i < symbols_.size(); ++i) {
    const DebugSymbol& symbol = symbols_[i];
    by_name_.emplace(symbol.name, i);
    if (symbol.value < 0 || symbol.value > 0xFFFF) continue;
    const uint16_t address = static_cast<uint16_t>(symbol.value);
    if (symbol.is_code_label()) code_labels_.emplace(address, i);
    if (symbol.attributes == EQU_ATTRIBUTES) constants_.emplace(address, i);
  }
}

const DebugSymbol* Symbols::find(std::string_view name) const {
  auto found = by_name_.find(name);
  return found == by_name_.end() ? nullptr : &symbols_[found->second];
}

const DebugSymbol* Symbols::code_label_at(uint16_t address) const {
  auto found = code_labels_.find(address);
  return found == code_labels_.end() ? nullptr : &symbols_[found->second];
}

std::string Symbols::describe(uint16_t address) const {
  if (const DebugSymbol* label = code_label_at(address)) return label->name;
  auto constant = constants_.find(address);
  if (constant != constants_.end()) return symbols_[constant->second].name;
  auto above = code_labels_.upper_bound(address);
  if (above != code_labels_.begin()) {
    --above;
    return symbols_[above->second].name + "+" + std::to_string(address - above->first);
  }
  return hex_address(address);
}

}  // namespace zorm::dbg
