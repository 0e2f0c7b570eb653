#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "codegen/mnemonic_table.h"
#include "parse/line_shape.h"
#include "symbols/zeroed_array.h"

namespace zorm {

class Assembler;
struct MnemonicEntry;
struct Symbol;

// What lexing and parsing a source line gave, kept so that the same text is
// not lexed and parsed again: in pass 2, which reads every line a second
// time, and for a line that comes again in the same pass.
//
// A line is kept when its statement began at the start of a freshly read
// line, ended with that line, reported nothing while it was read, and
// depends on the text alone: its label, its row of the mnemonic table, and
// in order of their happening the values the lexer pushed (numbers and
// strings as they were, labels as their symbols) and the grammar's actions
// with the lexer's position at each. Replaying them pushes the same values,
// taken from the symbols as they stand now, and runs the same actions, so
// that everything that depends on values (forward references, `$`, the
// pass) comes out as if the line had been read afresh.
//
// The text compared is the line up to a comment that no quote precedes,
// without the blanks before it: the lexer ends the statement there whatever
// follows.
//
// Pass 1 also knows the lines it kept by their shape (see LineShape): a line
// met for the first time whose shape was seen before is kept at once from
// the line of that shape, with its own names and numbers put in, instead of
// being lexed and parsed. Only shapes whose every action cannot fail are
// noted: an action that can fail keeps where the lexer stood, which differs
// from line to line.
class StatementCache {
 public:
  // One kept line, as its bytes in the store.
  struct Entry {
    const uint8_t* bytes;
    size_t label_length() const { return bytes[1]; }
    bool has_row() const { return bytes[2] != NO_ROW; }
    const MnemonicEntry& row() const { return MNEMONIC_TABLE[bytes[2]]; }
    bool is_instruction() const { return has_row() && row().z80_cycles != 0; }
    // The lexer's line-end state when the statement was over (1 after a
    // label alone: the second line-end token is still to come).
    int end_line_state() const { return bytes[3]; }
    bool has_symbols() const { return (bytes[4] & SYMBOLS) != 0; }
    // The number of the symbol that the label names, or NO_LABEL_SYMBOL
    // (then the label is looked up by its name).
    uint32_t label_symbol() const { return bytes[5] | bytes[6] << 8 | static_cast<uint32_t>(bytes[7]) << 16; }
    const uint8_t* events() const { return bytes + HEADER_SIZE + bytes[0]; }
  };

  explicit StatementCache(Assembler& as) : as_(as) {}

  // Turned off for a run that records every name's places of use: those are
  // noted while the line is lexed. A test turns it off with allowed, to
  // compare a run without it.
  bool enabled = true;
  bool allowed = true;
  // Statements assembled by replaying a kept line.
  uint64_t replays = 0;

  // Pass 1 notes the order of the lines it looks up; pass 2 tries them in
  // that order before it looks a line up.
  void start_pass(int pass_number) {
    following_ = pass_number != 0;
    followed_ = 0;
  }
  // Looks up the line in current_line; remembers its key for begin().
  const Entry* find(const char* line) {
    // Pass 2 meets the lines of pass 1 in the same order as long as the
    // conditions come out alike: the next one is tried first.
    if (following_ && followed_ < sequence_.size()) {
      const uint32_t offset = sequence_[followed_++];
      if (offset != 0 && holds_key(entry_at(offset), line)) {
        key_ = nullptr;
        found_.bytes = entry_at(offset);
        return &found_;
      }
    }
    return look_up(line);
  }

  // Starts recording the line last looked up.
  void begin();
  bool recording() const { return recording_; }
  // The values the lexer pushes and the actions the parser runs.
  void note_number(int32_t value);
  void note_string(const char* text, size_t length);
  void note_symbol(const Symbol* symbol);
  void note_action(int action, int argument);
  // The statement's first part is known: its label and row (nullptr for a
  // label alone). Keeps the line when nothing made it unfit.
  void finish(size_t label_length, const MnemonicEntry* row);
  // The statement is over; the symbol it defined last, or nullptr. A kept
  // line notes its label's symbol when that is the one.
  void settle(const Symbol* defined) {
    if (label_at_ != nullptr) note_label(defined);
  }
  // The line cannot be kept (an error, a directive that reads further
  // lines, a macro call, ...).
  void drop() { recording_ = false; }

  // Pass 2 takes a label's value as it stands; a symbol that is a macro or
  // still undefined there takes the ordinary path, which reports it.
  bool symbols_resolved(const Entry& entry) const;
  // Pushes the values and runs the actions of the entry; 0, or 1 after an
  // error was reported (the lexer then stands where it stood when the error
  // happened, as the parser leaves it).
  int replay(const Entry& entry);

  static constexpr uint32_t NO_LABEL_SYMBOL = 0xFFFFFF;

 private:
  static constexpr size_t HEADER_SIZE = 8;
  static constexpr uint8_t NO_ROW = 0xFF;
  // Events: numbers in one, two or four bytes; actions that cannot fail
  // without the lexer's position, which only an error report needs.
  enum Event : uint8_t {
    EVENT_END,
    EVENT_NUMBER,
    EVENT_BYTE,
    EVENT_WORD,
    EVENT_STRING,
    EVENT_SYMBOL,
    EVENT_ACTION,
    EVENT_SURE_ACTION,
  };
  static size_t event_size(const uint8_t* event);
  static constexpr uint8_t NOT_IN_LINE = 0xFF;
  // Flags of an entry: it pushes symbols; its key holds a quote.
  static constexpr uint8_t SYMBOLS = 1;
  static constexpr uint8_t QUOTED = 2;

  static bool starts_with_key(const uint8_t* entry, const char* line);
  static bool holds_key(const uint8_t* entry, const char* line);
  const Entry* look_up(const char* line);
  const Entry* look_up_key(const char* line);
  void note_label(const Symbol* defined);
  const Entry* look_up_shape(const char* line);
  // The kept line of the shape of the line looked up (its model), 0 for a
  // shape not met before, or NOT_KEPT for one that no line is kept from.
  uint32_t find_shape() const;
  static constexpr uint32_t NOT_KEPT = 0xFFFFFFFF;
  // Keeps the line looked up as its model was kept, with its own names and
  // numbers.
  const Entry* keep_from_shape(const char* line, uint32_t model_offset);
  // Whether the line just kept makes a model for its shape.
  bool shape_fits(size_t label_length) const;
  void note_shape(uint32_t model_offset);
  // Keeps the line looked up with the events in events_; its offset, or 0
  // when there is no room.
  uint32_t store(size_t label_length, uint8_t row, uint8_t end_line_state, uint8_t flags);
  size_t encode_number(uint8_t* at, int32_t value);

  uint8_t line_offset(const char* p) const;
  const char* line_pointer(uint8_t offset, const char* outside) const;
  // Room for an event of size bytes; nullptr (and the line is not kept)
  // when there is none.
  uint8_t* room(size_t size);

  Assembler& as_;
  // Entries one after the other in blocks that are never moved; an entry's
  // offset is its block's number times BLOCK_SIZE plus its place there, and
  // offset 0 is never an entry. A block keeps COPY_SLACK bytes of room
  // behind its last entry, so that keys and events are copied sixteen bytes
  // at a time.
  static constexpr size_t BLOCK_BITS = 16;
  static constexpr size_t BLOCK_SIZE = size_t{1} << BLOCK_BITS;
  static constexpr size_t COPY_SLACK = 16;
  const uint8_t* entry_at(uint32_t offset) const {
    return blocks_[offset >> BLOCK_BITS].get() + (offset & (BLOCK_SIZE - 1));
  }
  std::vector<std::unique_ptr<uint8_t[]>> blocks_;
  size_t block_used_ = BLOCK_SIZE;
  // Lines are looked up by their keys while enough of them come again: after
  // INDEX_TRIAL lines, pass 1 goes on only if one in sixteen was met before.
  static constexpr size_t INDEX_TRIAL = 8192;
  bool indexing_ = true;
  size_t looked_up_ = 0;
  size_t hits_ = 0;
  // Open addressing: an entry's offset (0 = empty) beside its key's hash,
  // so that a probe reads one place.
  struct Slot {
    uint32_t offset;
    uint32_t hash;
  };
  ZeroedArray<Slot> slots_;
  size_t count_ = 0;
  static void grow_slots(ZeroedArray<Slot>& slots, size_t first_size);
  static void insert_slot(ZeroedArray<Slot>& slots, Slot slot);
  Entry found_{nullptr};

  // The line last looked up, and what is being recorded of it.
  const char* key_ = nullptr;
  size_t key_length_ = 0;
  uint32_t hash_ = 0;
  bool recording_ = false;
  // Where the line kept last takes its label's symbol, until the statement
  // is over.
  uint8_t* label_at_ = nullptr;
  bool symbols_ = false;
  bool quoted_ = false;
  // The entry offset of each line pass 1 looked up (0 where none was kept),
  // and how far pass 2 has followed them.
  std::vector<uint32_t> sequence_;
  bool following_ = false;
  size_t followed_ = 0;
  uint32_t errors_at_begin_ = 0;
  // The shape of the line last looked up in pass 1; shaped_ while it is one
  // not met before, to be noted when the line is kept.
  LineShape shape_;
  bool shaped_ = false;
  uint32_t shape_hash_ = 0;
  // The shapes of pass 1, one after the other: the length of the text, the
  // model's offset and the text. Looked up by slots like the lines.
  std::vector<uint8_t> shape_store_;
  ZeroedArray<Slot> shape_slots_;
  size_t shape_count_ = 0;
  // The key hashes of lines met before that have no shape to keep them by,
  // so that they are not read for it again (a line that shares a hash with
  // one of them is only read afresh, as it would be without shapes). A line
  // of a shape not met before is noted here until it is kept: lines that are
  // never kept (macro calls, conditional directives, ...) need no shape.
  static constexpr size_t UNSHAPED_SIZE = 4096;
  uint32_t unshaped_[UNSHAPED_SIZE] = {};
  uint32_t* unshaped_at_ = nullptr;  // the place of the line looked up last
  void note_unshaped() {
    if (unshaped_at_ != nullptr) *unshaped_at_ = hash_;
  }

  // A line with more events than this is not kept.
  static constexpr size_t MAX_EVENTS = 4096;
  // Room also for a line kept from its shape, whose numbers may each take
  // three bytes more than those of its model.
  uint8_t events_[MAX_EVENTS + 1 + COPY_SLACK + 3 * LineShape::MAX_HOLES];
  size_t events_size_ = 0;
};

}  // namespace zorm
