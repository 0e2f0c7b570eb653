#pragma once
// The breakpoints and watchpoints of a session, numbered together as a
// debugger's user sees them, and their addresses marked in the machine.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zorm::dbg {

class Machine;

struct Breakpoint {
  enum class Kind { code, watch };
  int id = 0;
  Kind kind = Kind::code;
  std::string description;          // as the user gave it, or as it was resolved
  std::vector<uint16_t> addresses;  // code: where it stops; watch: the watched bytes
  int hits = 0;
};

class Breakpoints {
 public:
  explicit Breakpoints(Machine& machine) : machine_(machine) {}

  int add(Breakpoint::Kind kind, std::string description, std::vector<uint16_t> addresses);
  bool remove(int id);
  void remove_all();
  const std::map<int, Breakpoint>& all() const { return items_; }
  // The lowest-numbered breakpoint (or watchpoint) at an address; counts a hit.
  Breakpoint* hit(Breakpoint::Kind kind, uint16_t address);

 private:
  void mark(const Breakpoint& breakpoint, int change);

  Machine& machine_;
  std::map<int, Breakpoint> items_;
  std::map<uint16_t, int> code_uses_;   // address -> breakpoints there
  std::map<uint16_t, int> watch_uses_;  // address -> watchpoints on it
  int next_id_ = 1;
};

}  // namespace zorm::dbg
