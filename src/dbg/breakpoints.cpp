#include "dbg/breakpoints.h"

#include <algorithm>

#include "dbg/machine.h"

namespace zorm::dbg {

int Breakpoints::add(Breakpoint::Kind kind, std::string description, std::vector<uint16_t> addresses) {
  std::sort(addresses.begin(), addresses.end());
  addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
  const int id = next_id_++;
  Breakpoint& breakpoint = items_[id];
  breakpoint = Breakpoint{id, kind, std::move(description), std::move(addresses), 0};
  mark(breakpoint, +1);
  return id;
}

bool Breakpoints::remove(int id) {
  auto found = items_.find(id);
  if (found == items_.end()) return false;
  mark(found->second, -1);
  items_.erase(found);
  return true;
}

void Breakpoints::remove_all() {
  for (const auto& [id, breakpoint] : items_) mark(breakpoint, -1);
  items_.clear();
}

Breakpoint* Breakpoints::hit(Breakpoint::Kind kind, uint16_t address) {
  for (auto& [id, breakpoint] : items_) {
    if (breakpoint.kind != kind) continue;
    if (std::binary_search(breakpoint.addresses.begin(), breakpoint.addresses.end(), address)) {
      ++breakpoint.hits;
      return &breakpoint;
    }
  }
  return nullptr;
}

void Breakpoints::mark(const Breakpoint& breakpoint, int change) {
  const bool code = breakpoint.kind == Breakpoint::Kind::code;
  std::map<uint16_t, int>& uses = code ? code_uses_ : watch_uses_;
  for (uint16_t address : breakpoint.addresses) {
    const int count = uses[address] += change;
    if (count <= 0) uses.erase(address);
    if (code) {
      machine_.set_breakpoint(address, count > 0);
    } else {
      machine_.set_watch(address, count > 0);
    }
  }
}

}  // namespace zorm::dbg
