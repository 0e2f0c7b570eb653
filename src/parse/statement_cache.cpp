#include "parse/statement_cache.h"

#include <cstring>

#include "assembly/assembler.h"
#include "codegen/mnemonic_table.h"
#include "source/byte_blocks.h"
#include "symbols/name_bytes.h"

namespace zorm {

namespace {

// The part of a line (ended by a line feed in its buffer of CURRENT_LINE_SIZE
// bytes) that decides its statement: up to a ';' that no quote precedes, or
// else to the line feed, without the blanks before that end.
size_t key_length(const char* line, bool& quoted) {
  // The first line feed, ';' or quote.
  size_t end = 0;
  for (size_t block = 0;; block += 16) {
    const ByteBlock bytes = load_block(line + block);
    const unsigned special = equal_bytes(bytes, '\n') | equal_bytes(bytes, ';') | equal_bytes(bytes, '\'') |
                             equal_bytes(bytes, '"');
    if (special != 0) {
      end = block + static_cast<size_t>(first_marked(special));
      break;
    }
  }
  quoted = line[end] == '\'' || line[end] == '"';
  if (quoted) {
    // The key runs to the line feed.
    for (size_t block = end;; block += 16) {
      const unsigned newline = equal_bytes(load_block(line + block), '\n');
      if (newline != 0) {
        end = block + static_cast<size_t>(first_marked(newline));
        break;
      }
    }
  }
  // Without the blanks before the end.
  while (end > 0) {
    const size_t from = end >= 16 ? end - 16 : 0;
    const unsigned text = non_blank_bytes(load_block(line + from)) & ((1u << (end - from)) - 1);
    if (text != 0) return from + 32 - static_cast<size_t>(__builtin_clz(text));
    end = from;
  }
  return 0;
}

uint64_t load64(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// Eight bytes at a time; the buffer behind a key is long enough to read the
// last word whole, and its bytes past the key are masked off.
uint32_t key_hash(const char* key, size_t length) {
  uint64_t h = length * 0x9E3779B97F4A7C15ull;
  size_t i = 0;
  for (; i + 8 <= length; i += 8) h = (h ^ load64(key + i)) * 0xFF51AFD7ED558CCDull;
  if (i < length) h = (h ^ (load64(key + i) & (~0ull >> (8 * (8 - (length - i)))))) * 0xFF51AFD7ED558CCDull;
  h ^= h >> 32;
  h *= 0xC4CEB9FE1A85EC53ull;
  return static_cast<uint32_t>(h >> 32);
}

// Copies length bytes sixteen at a time: both buffers have room for the
// last block.
void copy_blocks(uint8_t* to, const void* from, size_t length) {
  const uint8_t* source = static_cast<const uint8_t*>(from);
  for (size_t i = 0; i < length; i += 16) std::memcpy(to + i, source + i, 16);
}

}  // namespace

// Whether the line begins with the entry's key, compared sixteen bytes at a
// time: both buffers reach sixteen bytes past the key.
bool StatementCache::starts_with_key(const uint8_t* entry, const char* line) {
  const size_t length = entry[0];
  const char* key = reinterpret_cast<const char*>(entry + HEADER_SIZE);
  for (size_t i = 0; i < length; i += 16) {
    const unsigned differ = equal_blocks(load_block(key + i), load_block(line + i)) ^ 0xFFFFu;
    if (differ != 0 && i + static_cast<size_t>(first_marked(differ)) < length) return false;
  }
  return true;
}

// Whether the line holds the entry's key as its own: the same bytes, then
// only blanks up to the line feed or, when the key holds no quote, a comment.
bool StatementCache::holds_key(const uint8_t* entry, const char* line) {
  if (!starts_with_key(entry, line)) return false;
  const char* p = line + entry[0];
  for (unsigned text = non_blank_bytes(load_block(p)); text == 0; text = non_blank_bytes(load_block(p))) p += 16;
  const char c = p[first_marked(non_blank_bytes(load_block(p)))];
  return c == '\n' || (c == ';' && (entry[4] & QUOTED) == 0);
}

const StatementCache::Entry* StatementCache::look_up(const char* line) {
  label_at_ = nullptr;
  key_ = line;
  key_length_ = key_length(line, quoted_);
  shaped_ = false;
  if (!following_) sequence_.push_back(0);
  const Entry* entry = look_up_key(line);
  if (entry != nullptr || following_ || quoted_) return entry;
  // A line met for the first time in pass 1: its shape may have been met.
  return look_up_shape(line);
}

// Kept out of line: the statement loop around look_up stays as small as it
// was without shapes.
[[gnu::noinline]] const StatementCache::Entry* StatementCache::look_up_shape(const char* line) {
  if (as_.options.keyword_compare != keyword_strcmp) return nullptr;
  // The key's hash is known while the index is kept.
  unshaped_at_ = indexing_ ? &unshaped_[hash_ & (UNSHAPED_SIZE - 1)] : nullptr;
  if (unshaped_at_ != nullptr && *unshaped_at_ == hash_) return nullptr;
  if (!shape_.read(line, key_length_)) {
    note_unshaped();
    return nullptr;
  }
  shape_hash_ = key_hash(shape_.text, shape_.text_length);
  const uint32_t model = find_shape();
  if (model == NOT_KEPT) {
    // Lines of a shape that no line could be kept from are read afresh.
    note_unshaped();
    return nullptr;
  }
  if (model != 0) return keep_from_shape(line, model);
  shaped_ = true;
  note_unshaped();
  return nullptr;
}

const StatementCache::Entry* StatementCache::look_up_key(const char* line) {
  if (!indexing_) return nullptr;
  hash_ = key_hash(line, key_length_);
  if (!following_ && ++looked_up_ == INDEX_TRIAL && hits_ * 16 < looked_up_) {
    // Lines hardly come again in this source: pass 2 follows pass 1's order
    // without the index.
    indexing_ = false;
    slots_ = ZeroedArray<Slot>();
    return nullptr;
  }
  if (count_ == 0) return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash_ & mask;; i = (i + 1) & mask) {
    const uint32_t offset = slots_[i].offset;
    if (offset == 0) return nullptr;
    if (slots_[i].hash != hash_) continue;
    const uint8_t* bytes = entry_at(offset);
    if (bytes[0] == key_length_ && starts_with_key(bytes, line)) {
      ++hits_;
      if (!following_) sequence_.back() = offset;
      found_.bytes = bytes;
      return &found_;
    }
  }
}

void StatementCache::begin() {
  if (!enabled || key_ == nullptr || key_length_ > 0xFF) return;
  recording_ = true;
  symbols_ = false;
  errors_at_begin_ = as_.diagnostics.error_count;
  events_size_ = 0;
}

uint8_t* StatementCache::room(size_t size) {
  if (events_size_ + size > MAX_EVENTS) {
    recording_ = false;
    return nullptr;
  }
  uint8_t* at = events_ + events_size_;
  events_size_ += size;
  return at;
}

size_t StatementCache::encode_number(uint8_t* at, int32_t value) {
  if (value >= 0 && value <= 0xFF) {
    at[0] = EVENT_BYTE;
    at[1] = static_cast<uint8_t>(value);
    return 2;
  }
  if (value >= 0 && value <= 0xFFFF) {
    at[0] = EVENT_WORD;
    at[1] = static_cast<uint8_t>(value);
    at[2] = static_cast<uint8_t>(value >> 8);
    return 3;
  }
  at[0] = EVENT_NUMBER;
  std::memcpy(at + 1, &value, sizeof value);
  return 5;
}

void StatementCache::note_number(int32_t value) {
  const size_t size = value >= 0 && value <= 0xFF ? 2 : value >= 0 && value <= 0xFFFF ? 3 : 5;
  if (uint8_t* at = room(size)) encode_number(at, value);
}

void StatementCache::note_string(const char* text, size_t length) {
  if (uint8_t* at = room(2 + length)) {
    at[0] = EVENT_STRING;
    at[1] = static_cast<uint8_t>(length);
    std::memcpy(at + 2, text, length);
  }
}

void StatementCache::note_symbol(const Symbol* symbol) {
  if (symbol == nullptr) {
    recording_ = false;
    return;
  }
  symbols_ = true;
  if (uint8_t* at = room(1 + sizeof symbol)) {
    at[0] = EVENT_SYMBOL;
    std::memcpy(at + 1, &symbol, sizeof symbol);
  }
}

uint8_t StatementCache::line_offset(const char* p) const {
  const char* line = as_.sources.current_line;
  if (p == nullptr || p < line || p >= line + CURRENT_LINE_SIZE - 1) return NOT_IN_LINE;
  return static_cast<uint8_t>(p - line);
}

const char* StatementCache::line_pointer(uint8_t offset, const char* outside) const {
  return offset == NOT_IN_LINE ? outside : as_.sources.current_line + offset;
}

void StatementCache::note_action(int action, int argument) {
  if (OperandParser::action_cannot_fail(action, argument)) {
    if (uint8_t* at = room(3)) {
      at[0] = EVENT_SURE_ACTION;
      at[1] = static_cast<uint8_t>(action);
      at[2] = static_cast<uint8_t>(argument);
    }
    return;
  }
  const Lexer& lexer = as_.lexer;
  if (uint8_t* at = room(7)) {
    at[0] = EVENT_ACTION;
    at[1] = static_cast<uint8_t>(action);
    at[2] = static_cast<uint8_t>(argument);
    at[3] = line_offset(lexer.cursor());
    at[4] = line_offset(lexer.token_start);
    at[5] = static_cast<uint8_t>(lexer.line_end_state);
    at[6] = static_cast<uint8_t>(lexer.last_token);
  }
}

void StatementCache::finish(size_t label_length, const MnemonicEntry* row) {
  if (!recording_) return;
  recording_ = false;
  const Lexer& lexer = as_.lexer;
  if (as_.diagnostics.error_count != errors_at_begin_ || *lexer.cursor() != '\0' || lexer.struct_mode != 0 ||
      lexer.line_end_state < 0) {
    return;
  }
  events_[events_size_++] = EVENT_END;
  const uint32_t offset =
      store(label_length, row == nullptr ? NO_ROW : static_cast<uint8_t>(row - MNEMONIC_TABLE),
            static_cast<uint8_t>(lexer.line_end_state), static_cast<uint8_t>((symbols_ ? SYMBOLS : 0) | (quoted_ ? QUOTED : 0)));
  if (offset != 0 && shaped_) {
    shaped_ = false;
    if (unshaped_at_ != nullptr) *unshaped_at_ = ~hash_;
    note_shape(shape_fits(label_length) ? offset : NOT_KEPT);
  }
}

uint32_t StatementCache::store(size_t label_length, uint8_t row, uint8_t end_line_state, uint8_t flags) {
  const size_t size = HEADER_SIZE + key_length_ + events_size_;
  if (indexing_ && 2 * (count_ + 1) > slots_.size()) grow_slots(slots_, 1024);
  if (block_used_ + size + COPY_SLACK > BLOCK_SIZE) {
    if (blocks_.size() >= (size_t{1} << (32 - BLOCK_BITS))) return 0;  // offsets are 32 bits
    blocks_.emplace_back(new uint8_t[BLOCK_SIZE]);
    block_used_ = blocks_.size() == 1 ? 1 : 0;
  }
  const uint32_t offset = static_cast<uint32_t>(((blocks_.size() - 1) << BLOCK_BITS) + block_used_);
  uint8_t* at = blocks_.back().get() + block_used_;
  block_used_ += size;
  at[0] = static_cast<uint8_t>(key_length_);
  at[1] = static_cast<uint8_t>(label_length);
  at[2] = row;
  at[3] = end_line_state;
  at[4] = flags;
  at[5] = at[6] = at[7] = 0xFF;  // NO_LABEL_SYMBOL
  if (label_length != 0) label_at_ = at;
  // The key's line buffer and the events' buffer reach sixteen bytes past
  // what they hold.
  copy_blocks(at + HEADER_SIZE, key_, key_length_);
  copy_blocks(at + HEADER_SIZE + key_length_, events_, events_size_);
  if (!following_) sequence_.back() = offset;
  if (!indexing_) return offset;
  insert_slot(slots_, Slot{offset, hash_});
  ++count_;
  return offset;
}

uint32_t StatementCache::find_shape() const {
  if (shape_count_ == 0) return 0;
  const std::string_view text(shape_.text, shape_.text_length);
  const size_t mask = shape_slots_.size() - 1;
  for (size_t i = shape_hash_ & mask;; i = (i + 1) & mask) {
    const Slot& slot = shape_slots_[i];
    if (slot.offset == 0) return 0;
    if (slot.hash != shape_hash_) continue;
    const uint8_t* stored = shape_store_.data() + slot.offset - 1;
    if (!same_name(std::string_view(reinterpret_cast<const char*>(stored + 5), stored[0]), text)) continue;
    uint32_t offset;
    std::memcpy(&offset, stored + 1, sizeof offset);
    return offset;
  }
}

const StatementCache::Entry* StatementCache::keep_from_shape(const char* line, uint32_t model_offset) {
  const uint8_t* model = entry_at(model_offset);
  // An instruction in bss is not replayed: read afresh, it stops before its
  // names, so nothing is entered for it here.
  if (Entry{model}.is_instruction() && as_.image.segment == SEGMENT_BSS) return nullptr;
  // The model's events with this line's names and numbers, which stand in
  // the same order as the model's.
  events_size_ = 0;
  bool symbols = false;
  size_t hole = 0;
  for (const uint8_t* p = model + HEADER_SIZE + model[0];;) {
    uint8_t* at = events_ + events_size_;
    switch (*p) {
      case EVENT_END:
        break;
      case EVENT_SURE_ACTION:
        std::memcpy(at, p, 3);
        events_size_ += 3;
        p += 3;
        continue;
      case EVENT_SYMBOL: {
        const LineShape::Hole& name = shape_.holes[hole++];
        // Entered as the lexer enters a name it meets.
        const Symbol* symbol = as_.symbols.symbol_lookup(std::string_view(line + name.start, name.length)).symbol;
        if (symbol == nullptr) return nullptr;
        at[0] = EVENT_SYMBOL;
        std::memcpy(at + 1, &symbol, sizeof symbol);
        events_size_ += 1 + sizeof symbol;
        symbols = true;
        p += 1 + sizeof symbol;
        continue;
      }
      default:  // a number: the shape has only those and the above
        events_size_ += encode_number(at, shape_.holes[hole++].value);
        p += event_size(p);
        continue;
    }
    break;
  }
  // As many events as a line may keep (the buffer has room for the numbers
  // here taking more bytes than the model's).
  if (events_size_ > MAX_EVENTS) return nullptr;
  events_[events_size_++] = EVENT_END;
  const uint32_t offset = store(shape_.label_length, model[2], model[3], symbols ? SYMBOLS : 0);
  if (offset == 0) return nullptr;
  found_.bytes = entry_at(offset);
  return &found_;
}

// Notes the shape of the line looked up last with its model, or NOT_KEPT.
void StatementCache::note_shape(uint32_t model_offset) {
  if (model_offset == NOT_KEPT) note_unshaped();
  if (2 * (shape_count_ + 1) > shape_slots_.size()) grow_slots(shape_slots_, 256);
  insert_slot(shape_slots_, Slot{static_cast<uint32_t>(shape_store_.size() + 1), shape_hash_});
  ++shape_count_;
  shape_store_.push_back(static_cast<uint8_t>(shape_.text_length));
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&model_offset);
  shape_store_.insert(shape_store_.end(), bytes, bytes + sizeof model_offset);
  shape_store_.insert(shape_store_.end(), shape_.text, shape_.text + shape_.text_length);
}

// Whether the events just kept hold the line's names and numbers in the
// order of its shape, and nothing that differs from line to line of that
// shape.
bool StatementCache::shape_fits(size_t label_length) const {
  if (label_length != shape_.label_length) return false;
  size_t hole = 0;
  for (const uint8_t* p = events_; *p != EVENT_END; p += event_size(p)) {
    switch (*p) {
      case EVENT_NUMBER:
      case EVENT_BYTE:
      case EVENT_WORD: {
        int32_t value;
        if (*p == EVENT_NUMBER) {
          std::memcpy(&value, p + 1, sizeof value);
        } else {
          value = *p == EVENT_BYTE ? p[1] : p[1] | p[2] << 8;
        }
        if (hole == shape_.hole_count || !shape_.holes[hole].is_number || shape_.holes[hole].value != value) return false;
        ++hole;
        break;
      }
      case EVENT_SYMBOL: {
        const Symbol* symbol;
        std::memcpy(&symbol, p + 1, sizeof symbol);
        if (hole == shape_.hole_count || shape_.holes[hole].is_number) return false;
        const LineShape::Hole& name = shape_.holes[hole++];
        if (symbol->name() != std::string_view(key_ + name.start, name.length)) return false;
        break;
      }
      case EVENT_SURE_ACTION:
        break;
      default:
        return false;  // a string, or an action that keeps where the lexer stood
    }
  }
  return hole == shape_.hole_count;
}

void StatementCache::note_label(const Symbol* defined) {
  uint8_t* at = label_at_;
  label_at_ = nullptr;
  if (defined == nullptr || defined->index >= NO_LABEL_SYMBOL) return;
  const std::string_view name = defined->name();
  if (!same_name(name, std::string_view(reinterpret_cast<const char*>(at + HEADER_SIZE), at[1]))) return;
  at[5] = static_cast<uint8_t>(defined->index);
  at[6] = static_cast<uint8_t>(defined->index >> 8);
  at[7] = static_cast<uint8_t>(defined->index >> 16);
}

// Doubles a slot array (the first has first_size slots) with its entries in
// their new places.
void StatementCache::grow_slots(ZeroedArray<Slot>& slots, size_t first_size) {
  ZeroedArray<Slot> grown(slots.empty() ? first_size : slots.size() * 2);
  for (const Slot& slot : slots) {
    if (slot.offset != 0) insert_slot(grown, slot);
  }
  slots = std::move(grown);
}

void StatementCache::insert_slot(ZeroedArray<Slot>& slots, Slot slot) {
  const size_t mask = slots.size() - 1;
  size_t i = slot.hash & mask;
  while (slots[i].offset != 0) i = (i + 1) & mask;
  slots[i] = slot;
}

size_t StatementCache::event_size(const uint8_t* event) {
  switch (*event) {
    case EVENT_NUMBER: return 5;
    case EVENT_BYTE: return 2;
    case EVENT_WORD: return 3;
    case EVENT_STRING: return 2 + size_t{event[1]};
    case EVENT_SYMBOL: return 1 + sizeof(const Symbol*);
    case EVENT_SURE_ACTION: return 3;
    default: return 7;
  }
}

bool StatementCache::symbols_resolved(const Entry& entry) const {
  if (!entry.has_symbols()) return true;
  for (const uint8_t* p = entry.events(); *p != EVENT_END; p += event_size(p)) {
    if (*p != EVENT_SYMBOL) continue;
    const Symbol* symbol;
    std::memcpy(&symbol, p + 1, sizeof symbol);
    if (symbol->kind == SYM_UNDEFINED || symbol->kind == SYM_MACRO) return false;
  }
  return true;
}

int StatementCache::replay(const Entry& entry) {
  ++replays;
  ValueStack& values = as_.values;
  const bool pass1 = as_.pass_number == 0;
  for (const uint8_t* p = entry.events();;) {
    switch (*p) {
      case EVENT_END:
        return 0;
      case EVENT_NUMBER: {
        int32_t value;
        std::memcpy(&value, p + 1, sizeof value);
        if (!values.push(VALUE_NUMBER, value)) return 1;
        p += 5;
        break;
      }
      case EVENT_BYTE:
        if (!values.push(VALUE_NUMBER, p[1])) return 1;
        p += 2;
        break;
      case EVENT_WORD:
        if (!values.push(VALUE_NUMBER, p[1] | p[2] << 8)) return 1;
        p += 3;
        break;
      case EVENT_SURE_ACTION:
        if (const int error = as_.parser.action_error(p[1], static_cast<int8_t>(p[2]))) {
          // Not expected; reported all the same, at the end of the line.
          Lexer& lexer = as_.lexer;
          lexer.cursor_ = lexer.end_of_line();
          lexer.token_start = nullptr;
          as_.parser.report_action_error(error);
          return 1;
        }
        p += 3;
        break;
      case EVENT_STRING:
        if (!values.push_string(reinterpret_cast<const char*>(p + 2), p[1])) return 1;
        p += 2 + p[1];
        break;
      case EVENT_SYMBOL: {
        const Symbol* symbol;
        std::memcpy(&symbol, p + 1, sizeof symbol);
        // As the lexer takes a label: unknown in pass 1 while undefined (a
        // macro's name likewise); pass 2 has checked them beforehand.
        const bool unknown = pass1 && (symbol->kind == SYM_UNDEFINED || symbol->kind == SYM_MACRO);
        if (!values.push(unknown ? VALUE_UNKNOWN : VALUE_NUMBER, unknown ? 0 : symbol->value)) return 1;
        p += 1 + sizeof symbol;
        break;
      }
      default: {
        const int error = as_.parser.action_error(p[1], static_cast<int8_t>(p[2]));
        if (error != 0) {
          // Where the lexer stood when the action ran, for the report.
          Lexer& lexer = as_.lexer;
          lexer.cursor_ = line_pointer(p[3], lexer.end_of_line());
          lexer.token_start = line_pointer(p[4], nullptr);
          lexer.line_end_state = static_cast<int8_t>(p[5]);
          lexer.last_token = static_cast<int8_t>(p[6]);
          as_.parser.report_action_error(error);
          return 1;
        }
        p += 7;
        break;
      }
    }
  }
}

}  // namespace zorm
