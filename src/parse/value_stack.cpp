#include "parse/value_stack.h"

#include <utility>

#include "assembly/assembler.h"

namespace zorm {

bool ValueStack::overflow() {
  as_.diagnostics.report_error(ERROR_STACK_OVERFLOW);
  return false;
}

bool ValueStack::push_string(const char* text, size_t length) {
  if (!push(VALUE_STRING, 0)) return false;
  items_[top_].text.assign(text, length);
  return true;
}

// Items swap whole, the text a slot keeps from an earlier string included;
// the text only where there is any (numbers and registers, nearly always,
// have none).
void ValueStack::swap_top_two() {
  Value& upper = items_[top_];
  Value& lower = items_[top_ - 1];
  std::swap(upper.kind, lower.kind);
  std::swap(upper.value, lower.value);
  if (!upper.text.empty() || !lower.text.empty()) upper.text.swap(lower.text);
}

// All arithmetic wraps at 32 bits; it is done on unsigned numbers so that
// nothing overflows in the C++ sense.
int32_t binary_result(int op, int32_t left, int32_t right) {
  const uint32_t l = static_cast<uint32_t>(left);
  const uint32_t r = static_cast<uint32_t>(right);
  switch (op) {
    case 0: return static_cast<int32_t>(l | r);
    case 1: return static_cast<int32_t>(l ^ r);
    case 2: return static_cast<int32_t>(l & r);
    case 3: return left == right;
    case 4: return left != right;
    case 5: return left < right;
    case 6: return left > right;
    case 7: return left <= right;
    case 8: return left >= right;
    case 9: return static_cast<int32_t>(l << (r & 31));
    case 10: return left >> (r & 31);  // arithmetic: the sign is copied
    case 11: return static_cast<int32_t>(l + r);
    case 12: return static_cast<int32_t>(l - r);
    case 13: return static_cast<int32_t>(l * r);
    case 14:
      if (left == INT32_MIN && right == -1) return INT32_MIN;
      return left / right;
    case 15:
      if (right == -1) return 0;
      return left % right;
    case 16: return left != 0 || right != 0;
    case 17: return left != 0 && right != 0;
    default: return 0;
  }
}

int32_t unary_result(int op, int32_t operand) {
  const uint32_t v = static_cast<uint32_t>(operand);
  switch (op) {
    case 0: return static_cast<int32_t>(0u - v);
    case 1: return operand == 0;
    case 2: return static_cast<int32_t>(~v);
    case 3: return static_cast<int32_t>((v >> 8) & 0xFF);
    case 4: return static_cast<int32_t>(v & 0xFF);
    default: return operand;
  }
}

int apply_binary(Assembler& as, int op) {
  ValueStack& stack = as.values;
  Value& left = stack.from_top(1);
  const Value& right = stack.from_top(0);
  if (left.kind == VALUE_UNKNOWN || right.kind == VALUE_UNKNOWN) {
    left.kind = VALUE_UNKNOWN;
    left.value = 0;
    stack.pop();
    return 0;
  }
  if ((op == 14 || op == 15) && right.value == 0) {
    stack.pop();
    stack.pop();
    return ERROR_DIVISION_BY_ZERO;
  }
  left.value = binary_result(op, left.value, right.value);
  left.kind = VALUE_NUMBER;
  stack.pop();
  return 0;
}

int apply_unary(Assembler& as, int op) {
  Value& item = as.values.top();
  if (item.kind == VALUE_UNKNOWN) return 0;
  item.value = unary_result(op, item.value);
  item.kind = VALUE_NUMBER;
  return 0;
}

int string_value(Assembler& as) {
  Value& item = as.values.top();
  size_t n = decode_escapes(item.text);
  const std::string& t = item.text;
  auto c = [&t](size_t k) { return static_cast<int32_t>(static_cast<int8_t>(t[k])); };
  int32_t result;
  switch (n) {
    case 0: result = 0; break;
    case 1: result = c(0); break;
    case 2: result = static_cast<int32_t>(static_cast<uint32_t>(c(0)) * 256u + static_cast<uint32_t>(c(1))); break;
    case 4: {
      uint32_t high = static_cast<uint32_t>(c(0)) * 256u + static_cast<uint32_t>(c(1));
      uint32_t low = static_cast<uint32_t>(c(2)) * 256u + static_cast<uint32_t>(c(3));
      result = static_cast<int32_t>(high * 65536u + low);
      break;
    }
    default:
      as.values.pop();
      return ERROR_RANGE;
  }
  item.kind = VALUE_NUMBER;
  item.value = result;
  return 0;
}

int push_location(Assembler& as) {
  // A full stack has already been reported: -1 ends the statement quietly.
  if (!as.values.push(VALUE_NUMBER, static_cast<int32_t>(as.image.location_counter & 0xFFFF))) return -1;
  return 0;
}

namespace {
int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

size_t decode_escapes(std::string& text) {
  size_t in = 0, out = 0;
  const size_t n = text.size();
  while (in < n) {
    char c = text[in++];
    if (c != '\\') {
      text[out++] = c;
      continue;
    }
    if (in >= n) break;  // a trailing backslash is dropped
    char e = text[in++];
    if (e >= '0' && e <= '9') {
      unsigned value = static_cast<unsigned>(e - '0');
      for (int k = 0; k < 2 && in < n && text[in] >= '0' && text[in] <= '9'; ++k) value = value * 10 + static_cast<unsigned>(text[in++] - '0');
      text[out++] = static_cast<char>(value & 0xFF);
    } else if (e == 'x') {
      unsigned value = 0;
      for (int k = 0; k < 2 && in < n && hex_digit(text[in]) >= 0; ++k) value = value * 16 + static_cast<unsigned>(hex_digit(text[in++]));
      text[out++] = static_cast<char>(value);
    } else {
      switch (e) {
        case 'a': c = 7; break;
        case 'b': c = 8; break;
        case 'e': c = 27; break;
        case 'f': c = 12; break;
        case 'n': c = 10; break;
        case 'r': c = 13; break;
        case 't': c = 9; break;
        case 'v': c = 11; break;
        default: c = e;
      }
      text[out++] = c;
    }
  }
  text.resize(out);
  return out;
}

}  // namespace zorm
