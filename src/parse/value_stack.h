#pragma once

#include <cstdint>
#include <string>

namespace zorm {

class Assembler;

enum ValueKind : uint8_t {
  VALUE_NUMBER = 1,
  VALUE_STRING = 2,
  VALUE_UNKNOWN = 3,
  VALUE_REGISTER = 5,
};

inline constexpr int VALUE_STACK_SIZE = 100;

// One operand item. A string's text lives in the item itself; the slots keep
// their buffers from statement to statement, so pushing a string does not
// allocate once a slot has held a string of that length.
struct Value {
  ValueKind kind = VALUE_NUMBER;
  int32_t value = 0;
  std::string text;
};

// The per-statement stack of operand values.
class ValueStack {
 public:
  explicit ValueStack(Assembler& as) : as_(as) {}

  // Pushes an item; reports "Stack overflow" and returns false when full.
  bool push(ValueKind kind, int32_t value) {
    if (top_ >= VALUE_STACK_SIZE - 1) return overflow();
    Value& item = items_[++top_];
    item.kind = kind;
    item.value = value;
    return true;
  }
  bool push_string(const char* text, size_t length);
  void pop() { if (top_ >= 0) --top_; }
  void clear() { top_ = -1; }

  int size() const { return top_ + 1; }
  bool empty() const { return top_ < 0; }
  // i = 0 is the top item, 1 the one below it, ...
  Value& from_top(int i) { return items_[top_ - i]; }
  // i = 0 is the bottom item.
  Value& at(int i) { return items_[i]; }
  Value& top() { return items_[top_]; }
  int top_index() const { return top_; }
  void swap_top_two();

 private:
  // Reports "Stack overflow"; false.
  bool overflow();
  Assembler& as_;
  Value items_[VALUE_STACK_SIZE];
  int top_ = -1;
};

// Expression operators, applied in place on the value stack.
int apply_binary(Assembler& as, int op);
int apply_unary(Assembler& as, int op);
int string_value(Assembler& as);
int push_location(Assembler& as);
int32_t binary_result(int op, int32_t left, int32_t right);
int32_t unary_result(int op, int32_t operand);
// Decodes backslash escapes in place and returns the decoded length.
size_t decode_escapes(std::string& text);

}  // namespace zorm
