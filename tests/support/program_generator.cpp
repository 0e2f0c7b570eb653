#include "support/program_generator.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace zorm::test {

namespace {

// No generated statement or data directive places more than this many bytes,
// which bounds every block and the reach of the relative branches.
constexpr int MAX_ITEM_BYTES = 8;
// A relative branch goes to a label at most this many items away, which keeps
// it within reach: 12 items of 8 bytes.
constexpr int BRANCH_WINDOW = 12;

// A value in both spellings.
struct Spelled {
  std::string zorm;
  std::string peer;
};

Spelled same(const std::string& text) { return {text, text}; }

Spelled operator+(const Spelled& a, const Spelled& b) { return {a.zorm + b.zorm, a.peer + b.peer}; }

// A name the program defines.
struct Name {
  std::string name;
  bool label = false;
  int value = -1;  // a numeric equ: its value (0..65535); -1 otherwise
};

// One line of each spelling being built.
class Output {
 public:
  void zorm(const std::string& line) { lines.push_back(line); }
  void peer(const std::string& line) { peer_text += line + "\n"; }
  void both(const std::string& line) {
    zorm(line);
    peer(line);
  }
  std::vector<std::string> lines;
  std::string peer_text;
};

class Builder {
 public:
  Builder(Random& r, const ProgramShape& shape) : r_(r), shape_(shape) {}

  Program build() {
    const size_t forward_names_before = r_.definitions().size();
    plan_late_values();
    for (int i = r_.range(0, 3); i > 0; --i) define_value(false);
    plan_blocks();
    for (const int b : text_order_) emit_block(b);
    for (const Name& late : late_values_) {
      const Spelled value = number(static_cast<uint32_t>(late.value));
      out_.zorm(late.name + " equ " + value.zorm);
      out_.peer(late.name + " equ " + value.peer);
    }
    for (size_t i = forward_names_before; i < r_.definitions().size(); ++i) out_.both(r_.definitions()[i]);
    if (shape_.start_address && !blocks_.empty() && !blocks_[0].labels.empty()) {
      out_.zorm("\tend " + blocks_[0].labels[0].second);
    } else if (r_.one_in(2)) {
      out_.zorm("\tend");
    }
    return Program{out_.lines, out_.peer_text};
  }

 private:
  struct Block {
    uint32_t origin = 0;
    int items = 0;
    std::vector<std::pair<int, std::string>> labels;  // item index the label stands before, name
  };

  // ---- values --------------------------------------------------------------

  Spelled number(uint32_t value) {
    if (r_.one_in(4)) return {literal(r_, value), "0x" + hex(value)};
    return {literal(r_, value), std::to_string(value)};
  }
  static std::string hex(uint32_t value) {
    static const char* const digits = "0123456789abcdef";
    std::string text;
    do {
      text.insert(text.begin(), digits[value % 16]);
      value /= 16;
    } while (value != 0);
    return text;
  }

  // Names that the program defines at its end (so that every use is a
  // forward reference), with values known from the start.
  void plan_late_values() {
    for (int i = r_.range(0, 3); i > 0; --i) {
      late_values_.push_back({"late" + std::to_string(late_values_.size()), false, r_.range(0, 255)});
    }
  }

  // A numeric equ value defined before its uses, from numbers and earlier
  // numeric names; or, with labels allowed, a label plus or minus a number, or
  // the distance between two labels defined earlier.
  void define_value(bool labels_allowed) {
    const std::string name = "val" + std::to_string(values_defined_++);
    std::vector<const Name*> earlier_labels;
    for (const Name& n : defined_) {
      if (n.label) earlier_labels.push_back(&n);
    }
    Spelled expression;
    int value = -1;
    if (labels_allowed && !earlier_labels.empty() && r_.one_in(2)) {
      const Name& a = *r_.pick(earlier_labels);
      const Name& b = *r_.pick(earlier_labels);
      if (r_.one_in(2)) {
        expression = same(a.name + " + ") + number(static_cast<uint32_t>(r_.range(0, 40)));
      } else {
        expression = same(a.name + " - " + b.name);
      }
    } else {
      int64_t computed = 0;
      expression = numeric_expression(3, computed);
      value = static_cast<int>(computed);
    }
    out_.zorm(name + " equ " + expression.zorm);
    out_.peer(name + " equ " + expression.peer);
    defined_.push_back({name, false, value});
    defined_values_.push_back(name);
  }

  // A numeric expression over numbers and earlier numeric names, with a value
  // in 0..65535 that every assembler computes alike: every inner operation in
  // parentheses (their precedences differ: GNU as shifts before it adds), no
  // unary minus (pasmo negates the whole rest of the expression), no negative
  // division. The whole is not in parentheses, which would make it a memory
  // operand.
  Spelled numeric_expression(int depth, int64_t& value) {
    bool operation = false;
    return numeric_term(depth, value, operation);
  }
  // An operand of a larger expression: parenthesised when it is an operation.
  Spelled numeric_operand(int depth, int64_t& value) {
    bool operation = false;
    const Spelled expression = numeric_term(depth, value, operation);
    return operation ? group(expression) : expression;
  }
  Spelled numeric_term(int depth, int64_t& value, bool& composite) {
    std::vector<const Name*> numeric;
    for (const Name& n : defined_) {
      if (n.value >= 0) numeric.push_back(&n);
    }
    if (depth == 0 || r_.one_in(3)) {
      if (!numeric.empty() && r_.one_in(3)) {
        const Name& n = *r_.pick(numeric);
        value = n.value;
        return same(n.name);
      }
      value = r_.range(0, 300);
      return number(static_cast<uint32_t>(value));
    }
    composite = true;
    int64_t a = 0;
    int64_t b = 0;
    const Spelled left = numeric_operand(depth - 1, a);
    Spelled operation;
    switch (r_.below(9)) {
      case 0: {
        const Spelled right = numeric_operand(depth - 1, b);
        value = a + b;
        operation = left + same(" + ") + right;
        break;
      }
      case 1: {
        const Spelled right = numeric_operand(depth - 1, b);
        value = a < b ? b - a : a - b;
        operation = a < b ? right + same(" - ") + left : left + same(" - ") + right;
        break;
      }
      case 2:
        b = r_.range(0, 9);
        value = a * b;
        operation = left + same(" * " + std::to_string(b));
        break;
      case 3:
        b = r_.range(1, 9);
        value = a / b;
        operation = left + same(" / " + std::to_string(b));
        break;
      case 4:
        b = r_.range(1, 9);
        value = a % b;
        operation = left + same(" % " + std::to_string(b));
        break;
      case 5: {
        const Spelled right = numeric_operand(depth - 1, b);
        value = a & b;
        operation = left + same(" & ") + right;
        break;
      }
      case 6: {
        const Spelled right = numeric_operand(depth - 1, b);
        value = a | b;
        operation = left + same(" | ") + right;
        break;
      }
      case 7:
        b = r_.range(0, 6);
        value = a << b;
        operation = left + same(" << " + std::to_string(b));
        break;
      default:
        b = r_.range(0, 6);
        value = a >> b;
        operation = left + same(" >> " + std::to_string(b));
        break;
    }
    if (value > 0xFFFF) {
      // Back into 0..65535.
      value &= 0xFFF;
      return group(operation) + same(" & 4095");
    }
    return operation;
  }
  static Spelled group(const Spelled& inner) { return {"(" + inner.zorm + ")", "(" + inner.peer + ")"}; }

  // A 16-bit operand: a label (any, before or after), a label plus or minus
  // a number, the distance of two labels, a name, $, or a number.
  Spelled word_operand(bool dollar_allowed) {
    for (;;) {
      switch (r_.below(8)) {
        case 0:
        case 1:
        case 2:
          if (!all_labels_.empty()) return same(r_.pick(all_labels_));
          break;
        case 3:
          if (!all_labels_.empty()) {
            const std::string& label = r_.pick(all_labels_);
            const Spelled k = number(static_cast<uint32_t>(r_.range(0, 30)));
            return r_.one_in(2) ? same(label + "+") + k : same(label + "-") + k;
          }
          break;
        case 4:
          if (!all_labels_.empty()) return same(r_.pick(all_labels_) + "-" + r_.pick(all_labels_));
          break;
        case 5:
          if (!late_values_.empty() && r_.one_in(2)) return same(r_.pick(late_values_).name);
          if (!defined_values_.empty()) return same(r_.pick(defined_values_));
          break;
        case 6:
          if (dollar_allowed) return r_.one_in(2) ? same("$") : same("$+") + number(static_cast<uint32_t>(r_.range(0, 20)));
          break;
        default:
          return number(static_cast<uint32_t>(r_.range(0, 0xFFFF)));
      }
    }
  }

  // A value for a byte: a number, a negative number alone, a character, or
  // a name known to be small.
  Spelled byte_operand() {
    std::vector<const Name*> small;
    for (const Name& n : defined_) {
      if (n.value >= 0 && n.value <= 255) small.push_back(&n);
    }
    for (const Name& n : late_values_) small.push_back(&n);
    switch (r_.below(6)) {
      case 0: {
        const uint32_t magnitude = static_cast<uint32_t>(r_.range(1, 128));
        return {"-" + literal(r_, magnitude), "-" + std::to_string(magnitude)};
      }
      case 1: {
        static const std::string characters = "abcxyzABCXYZ0129 ";
        const std::string quoted =
            std::string("'") + characters[static_cast<size_t>(r_.below(static_cast<int>(characters.size())))] + "'";
        return same(quoted);
      }
      case 2:
        if (!small.empty()) return same(r_.pick(small)->name);
        [[fallthrough]];
      default:
        return number(static_cast<uint32_t>(r_.range(0, 255)));
    }
  }

  // ---- blocks --------------------------------------------------------------

  void plan_blocks() {
    const int count = std::max(1, std::min(1 + r_.below(4), shape_.statements / 8));
    // Every block places bytes at its origin, so that each assembler's image
    // starts at the first block.
    std::vector<int> items(static_cast<size_t>(count), 1);
    for (int i = count; i < shape_.statements; ++i) ++items[static_cast<size_t>(r_.below(count))];
    // From 0x100 on: a relative branch to $-126 must not reach below address
    // 0, which pasmo refuses.
    uint32_t address = static_cast<uint32_t>(r_.range(0x100, 0x2000));
    for (int b = 0; b < count; ++b) {
      Block block;
      block.origin = address;
      block.items = items[static_cast<size_t>(b)];
      for (int i = 0; i <= block.items; ++i) {
        if (r_.one_in(4)) {
          const std::string name = "lab" + std::to_string(all_labels_.size());
          block.labels.push_back({i, name});
          all_labels_.push_back(name);
        }
      }
      blocks_.push_back(block);
      address += static_cast<uint32_t>(block.items * MAX_ITEM_BYTES + r_.range(0, 64));
    }
    for (int b = 0; b < count; ++b) text_order_.push_back(b);
    if (!shape_.ascending) {
      for (int b = count - 1; b > 0; --b) std::swap(text_order_[static_cast<size_t>(b)], text_order_[static_cast<size_t>(r_.below(b + 1))]);
    }
  }

  void emit_block(int index) {
    const Block& block = blocks_[static_cast<size_t>(index)];
    const Spelled origin = number(block.origin);
    out_.zorm((r_.one_in(2) ? "\torg " : "        org ") + origin.zorm);
    out_.peer("\torg " + origin.peer);
    size_t next_label = 0;
    for (int item = 0; item <= block.items; ++item) {
      std::string label;
      while (next_label < block.labels.size() && block.labels[next_label].first == item) {
        if (!label.empty()) emit_label_alone(label);
        label = block.labels[next_label++].second;
      }
      if (item == block.items) {
        if (!label.empty()) emit_label_alone(label);
        break;
      }
      emit_item(block, item, label);
    }
  }

  void emit_label_alone(const std::string& label) {
    out_.zorm(r_.one_in(3) ? label : label + ":");
    out_.peer(label + ":");
    defined_.push_back({label, true, -1});
  }

  // One statement, after its label when it has one.
  void emit_item(const Block& block, int item, const std::string& label) {
    if (r_.one_in(12)) define_value(true);
    std::string zorm;
    std::vector<std::string> peer;
    for (;;) {
      switch (r_.below(10)) {
        case 0:
          word_reference(zorm, peer);
          break;
        case 1:
          if (!relative_branch(block, item, zorm, peer)) continue;
          break;
        case 2:
          data_directive(zorm, peer);
          break;
        default: {
          const Statement statement = random_statement(r_, shape_.level);
          if (!peer_spelling(statement, peer)) continue;
          zorm = statement.source;
        }
      }
      break;
    }
    std::string comment;
    if (r_.one_in(8)) comment = "\t; note " + std::to_string(item);
    if (label.empty()) {
      out_.zorm((r_.one_in(3) ? "  " : "\t") + zorm + comment);
    } else {
      out_.zorm(label + (r_.one_in(3) ? " " : ":\t") + zorm + comment);
      out_.peer(label + ":");
      defined_.push_back({label, true, -1});
    }
    for (const std::string& line : peer) out_.peer("\t" + line + comment);
  }

  // The statement in the peers' spelling; false when a peer does not know it.
  bool peer_spelling(const Statement& statement, std::vector<std::string>& peer) {
    if (statement.expected.empty()) return false;
    if (shape_.pasmo && !statement.comparable && shape_.level != 0 && shape_.level != 1) return false;
    peer.clear();
    for (const std::string& line : statement.expected) {
      if (line == "in f,(c)" && shape_.pasmo) return false;
      peer.push_back(line);
    }
    return true;
  }

  // jp, call, ld with a 16-bit operand that names labels and values.
  void word_reference(std::string& zorm, std::vector<std::string>& peer) {
    static const std::vector<std::string> conditions = {"nz", "z", "nc", "c", "po", "pe", "p", "m"};
    static const std::vector<std::string> pairs = {"bc", "de", "hl", "sp"};
    std::string head;
    std::string tail;
    bool memory = false;
    switch (r_.below(7)) {
      case 0:
        head = "jp ";
        break;
      case 1:
        head = "jp " + r_.pick(conditions) + ",";
        break;
      case 2:
        head = "call ";
        break;
      case 3:
        head = "call " + r_.pick(conditions) + ",";
        break;
      case 4:
        head = "ld " + r_.pick(pairs) + ",";
        break;
      case 5:
        head = r_.one_in(2) ? "ld hl," : "ld a,";
        memory = true;
        break;
      default:
        head = "ld ";
        tail = r_.one_in(2) ? ",hl" : ",a";
        memory = true;
        break;
    }
    const Spelled operand = word_operand(!memory);
    if (memory) {
      zorm = head + (r_.one_in(4) ? "[" + operand.zorm + "]" : "(" + operand.zorm + ")") + tail;
      peer = {head + "(" + operand.peer + ")" + tail};
    } else {
      zorm = head + operand.zorm;
      peer = {head + operand.peer};
    }
  }

  // jr, jr cc or djnz to a label of the same block near enough to reach.
  bool relative_branch(const Block& block, int item, std::string& zorm, std::vector<std::string>& peer) {
    if (!z80(shape_.level)) return false;
    std::vector<std::string> near;
    for (const auto& [at, name] : block.labels) {
      if (at >= item - BRANCH_WINDOW && at <= item + BRANCH_WINDOW) near.push_back(name);
    }
    if (near.empty()) return false;
    static const std::vector<std::string> heads = {"jr ", "jr nz,", "jr z,", "jr nc,", "jr c,", "djnz "};
    const std::string text = r_.pick(heads) + r_.pick(near);
    zorm = text;
    peer = {text};
    return true;
  }

  // db, defb, defm, dw, defw, ds or defs, at most MAX_ITEM_BYTES bytes.
  void data_directive(std::string& zorm, std::vector<std::string>& peer) {
    switch (r_.below(5)) {
      case 0: {  // bytes and short strings
        Spelled list;
        int bytes = 0;
        for (int i = 0; i < 4 && bytes < MAX_ITEM_BYTES; ++i) {
          if (i > 0) list = list + same(",");
          if (r_.one_in(4)) {
            static const std::string letters = "abcdeXYZ 19";
            std::string text;
            const int length = std::min(r_.range(1, 3), MAX_ITEM_BYTES - bytes);
            for (int k = 0; k < length; ++k) text += letters[static_cast<size_t>(r_.below(static_cast<int>(letters.size())))];
            list = list + same("\"" + text + "\"");
            bytes += length;
          } else {
            list = list + byte_operand();
            ++bytes;
          }
        }
        const std::string head = r_.one_in(3) ? "defb " : "db ";
        if (head == "defb " && list.zorm.find('"') != std::string::npos) {
          zorm = "db " + list.zorm;  // defb takes no strings
          peer = {"db " + list.peer};
        } else {
          zorm = head + list.zorm;
          peer = {head + list.peer};
        }
        return;
      }
      case 1: {  // defm: one string
        std::string text;
        for (int k = r_.range(1, MAX_ITEM_BYTES); k > 0; --k) text += static_cast<char>('a' + r_.below(26));
        zorm = "defm \"" + text + "\"";
        peer = {zorm};
        return;
      }
      case 2:
      case 3: {  // words; $ only first, where every assembler means the statement's address
        Spelled list;
        const int count = r_.range(1, MAX_ITEM_BYTES / 2);
        for (int i = 0; i < count; ++i) {
          if (i > 0) list = list + same(",");
          list = list + word_operand(i == 0);
        }
        const std::string head = r_.one_in(3) ? "defw " : "dw ";
        zorm = head + list.zorm;
        peer = {head + list.peer};
        return;
      }
      default: {
        const Spelled count = number(static_cast<uint32_t>(r_.range(1, MAX_ITEM_BYTES)));
        const std::string head = r_.one_in(3) ? "defs " : "ds ";
        zorm = head + count.zorm;
        peer = {head + count.peer};
        return;
      }
    }
  }

  Random& r_;
  const ProgramShape& shape_;
  Output out_;
  std::vector<Block> blocks_;
  std::vector<int> text_order_;
  std::vector<std::string> all_labels_;
  std::vector<Name> defined_;      // names defined so far, in text order
  std::vector<Name> late_values_;  // defined at the end
  std::vector<std::string> defined_values_;  // equ names defined so far
  int values_defined_ = 0;
};

}  // namespace

std::string Program::text() const {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  return text;
}

Program random_program(Random& r, const ProgramShape& shape) { return Builder(r, shape).build(); }

std::string gas_march(int level) {
  // The index byte registers: ld bc,ix is ld b,ixh and ld c,ixl at every
  // Zilog level. infc: in f,(c).
  return level == 4 ? "z180+xyhl+infc" : "z80+xyhl+infc";
}

}  // namespace zorm::test
