#include "parse/parse_paths.h"

namespace zorm {

namespace {
// Room for the paths of ordinary programs many times over; sources made of
// ever new token sequences stop adding to them there.
constexpr size_t MAX_NODES = size_t{1} << 16;
constexpr size_t MAX_STACK_ENTRIES = size_t{1} << 20;
constexpr size_t MAX_ACTIONS = size_t{1} << 20;
}  // namespace

ParsePaths::ParsePaths() : keys_(256), transitions_(256) {
  // Node 0: the start of a statement.
  const int start = 0;
  add_node(&start, 0, 0);
}

void ParsePaths::restore(uint32_t node, int* stack, int& depth, int& state) const {
  const int16_t* at = stacks_.data() + node_start_[node];
  depth = at[0];
  state = at[1];
  for (int i = 0; i <= depth; ++i) stack[i] = at[2 + i];
}

uint32_t ParsePaths::add_node(const int* stack, int depth, int state) {
  if (node_start_.size() >= MAX_NODES || stacks_.size() + static_cast<size_t>(depth) + 3 > MAX_STACK_ENTRIES) {
    return NO_NODE;
  }
  node_start_.push_back(static_cast<uint32_t>(stacks_.size()));
  stacks_.push_back(static_cast<int16_t>(depth));
  stacks_.push_back(static_cast<int16_t>(state));
  for (int i = 0; i <= depth; ++i) stacks_.push_back(static_cast<int16_t>(stack[i]));
  return static_cast<uint32_t>(node_start_.size() - 1);
}

void ParsePaths::add_transition(uint32_t node, int column, uint32_t child, size_t first_action, bool accept) {
  const size_t count = actions_.size() - first_action;
  if (actions_.size() > MAX_ACTIONS || count > UINT16_MAX) {
    actions_.resize(first_action);
    return;
  }
  if (2 * (count_ + 1) > keys_.size()) grow();
  const size_t mask = keys_.size() - 1;
  const uint32_t key = key_of(node, column);
  size_t i = hash(key) & mask;
  while (keys_[i] != 0) i = (i + 1) & mask;
  keys_[i] = key;
  transitions_[i] = Transition{child, static_cast<uint32_t>(first_action), static_cast<uint16_t>(count), accept};
  ++count_;
}

void ParsePaths::grow() {
  ZeroedArray<uint32_t> keys(keys_.size() * 2);
  std::vector<Transition> transitions(keys.size());
  const size_t mask = keys.size() - 1;
  for (size_t k = 0; k < keys_.size(); ++k) {
    if (keys_[k] == 0) continue;
    size_t i = hash(keys_[k]) & mask;
    while (keys[i] != 0) i = (i + 1) & mask;
    keys[i] = keys_[k];
    transitions[i] = transitions_[k];
  }
  keys_ = std::move(keys);
  transitions_ = std::move(transitions);
}

}  // namespace zorm
