#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "symbols/zeroed_array.h"

namespace zorm {

// What the operand parser's tables decided for each path of look-ahead
// tokens taken so far. An LR parse is a function of the token codes alone:
// from the start of a statement, the same codes lead through the same
// states, reductions and actions. A path is a node; from a node and the next
// look-ahead the tables reduce, running some actions, and then shift (a new
// node) or accept. Kept here, the driver replays the actions and moves on
// without the tables, and takes them up again, from the node's stack, where a
// path leaves what has been met. Errors are not kept: they are found afresh.
class ParsePaths {
 public:
  static constexpr uint32_t NO_NODE = UINT32_MAX;

  struct Transition {
    uint32_t child = 0;        // the node after the shift
    uint32_t first_action = 0;  // into actions()
    uint16_t action_count = 0;
    bool accept = false;
  };

  // A grammar action and its argument.
  struct Action {
    int8_t action;
    int8_t argument;
  };

  ParsePaths();

  const Transition* find(uint32_t node, int column) const {
    const size_t mask = keys_.size() - 1;
    const uint32_t key = key_of(node, column);
    for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
      if (keys_[i] == key) return &transitions_[i];
      if (keys_[i] == 0) return nullptr;
    }
  }
  const Action* actions() const { return actions_.data(); }

  // The parser's stack (entries 0 to depth) and state at a node.
  void restore(uint32_t node, int* stack, int& depth, int& state) const;
  // A node for a stack and state reached from a kept one; NO_NODE when the
  // paths have taken all the room they may.
  uint32_t add_node(const int* stack, int depth, int state);

  // Actions run for the look-ahead being decided, then its transition.
  size_t action_mark() const { return actions_.size(); }
  void add_action(int action, int argument) {
    actions_.push_back(Action{static_cast<int8_t>(action), static_cast<int8_t>(argument)});
  }
  void drop_actions(size_t mark) { actions_.resize(mark); }
  void add_transition(uint32_t node, int column, uint32_t child, size_t first_action, bool accept);

 private:
  static uint32_t key_of(uint32_t node, int column) { return (node << 7 | static_cast<uint32_t>(column)) + 1; }
  static uint32_t hash(uint32_t key) { return (key * 0x9E3779B1u) >> 8; }
  void grow();

  // Each node's stack, as depth, state and the entries 0 to depth.
  std::vector<uint32_t> node_start_;
  std::vector<int16_t> stacks_;
  std::vector<Action> actions_;
  // Open addressing on (node, column) + 1; 0 marks an empty slot.
  ZeroedArray<uint32_t> keys_;
  std::vector<Transition> transitions_;
  size_t count_ = 0;
};

}  // namespace zorm
