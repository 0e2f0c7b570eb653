#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "assembly/run_records.h"
#include "symbols/zeroed_array.h"

namespace zorm {

class Assembler;

// What a name is to the assembler. An equ name, a structure and its members
// are labels told apart by their attributes.
enum SymbolState : uint8_t {
  SYM_UNDEFINED = 10,
  SYM_LABEL = 11,
  SYM_SET = 12,
  SYM_MACRO = 13,
};

enum DefineResult : int {
  DEFINE_OK = 0,
  DEFINE_REDEFINED = 1,
  DEFINE_PHASE_ERROR = 2,
};

// One name of the source. Symbols are kept for the whole run, in the order
// they were entered; the table holds a macro's body beside its symbol, so that
// the many plain names stay small.
struct Symbol {
  const char* name_data = nullptr;  // NUL-terminated, kept in the table's name store
  uint32_t name_length = 0;
  uint32_t index = 0;  // the symbol's place in the order of entry, see SymbolTable::at
  int32_t value = 0;
  // Where the symbol was first defined, kept when the run keeps records;
  // file -1 for names defined on the command line and the processor names.
  int32_t defined_file = -1;
  int32_t defined_line = 0;
  SymbolState kind = SYM_UNDEFINED;
  uint8_t attributes = 0;
  bool structure = false;      // a structure's name (its members have attributes 0x40 + type)
  uint8_t defined_column = 0;  // where the name stands on its defining line

  std::string_view name() const { return std::string_view(name_data, name_length); }
};

static_assert(sizeof(void*) != 8 || sizeof(Symbol) == 32, "a symbol takes 32 bytes on 64-bit platforms");
// The table frees its blocks of symbols without destroying them one by one.
static_assert(std::is_trivially_destructible_v<Symbol>);

struct SymbolLookup {
  SymbolState kind;
  int32_t value;
  // The symbol looked at; nullptr for a name a conditional directive meets
  // for the first time (it enters nothing).
  const Symbol* symbol;
};

// Compares two names in the symbol order: A a B b ... Z z, then digits.
int symbol_compare(std::string_view a, std::string_view b);

// Every name the source defines or uses. Lookups go through an open-addressing
// hash index; the name order is produced when the table is listed. Symbols and
// their names are kept in blocks and never freed one by one.
class SymbolTable {
 public:
  explicit SymbolTable(Assembler& as) : as_(as) {}

  int symbol_define(std::string_view name, int32_t value, SymbolState kind, uint8_t attributes);
  // The same for a symbol already found.
  int define(Symbol& symbol, int32_t value, SymbolState kind, uint8_t attributes);
  // The symbol that the last definition named, whatever came of it.
  Symbol* last_defined = nullptr;
  // Sets where a symbol is defined.
  static void set_definition_place(Symbol& symbol, const SourcePlace& place);
  SymbolLookup symbol_lookup(std::string_view name);
  Symbol* find(std::string_view name);
  const Symbol* find(std::string_view name) const;

  // Every symbol in name order; with a kind, only the symbols of that kind.
  std::vector<Symbol*> in_order() const;
  std::vector<Symbol*> in_order(SymbolState kind) const;
  size_t size() const { return count_; }
  bool any_of_kind(SymbolState kind) const;

  // The symbol entered as the index-th (from 0); index is below size().
  Symbol& at(uint32_t index) { return *symbol_at(index); }
  const Symbol& at(uint32_t index) const { return *symbol_at(index); }

  SymbolTable(const SymbolTable&) = delete;
  SymbolTable& operator=(const SymbolTable&) = delete;
  ~SymbolTable();

  // A macro's stored body; empty for a symbol that has none. An expansion
  // holds on to the body it started with, so a new definition of the macro
  // while it runs does not pull it away.
  std::shared_ptr<const std::string> macro_body(const Symbol& macro) const;
  void set_macro_body(Symbol& macro, std::shared_ptr<const std::string> body);

 private:
  Symbol* symbol_at(uint32_t index) const { return &chunks_[index >> CHUNK_BITS][index & (CHUNK_SIZE - 1)]; }
  // The symbol of a slot's entry (its index plus one).
  Symbol* entry_symbol(uint32_t entry) const { return symbol_at(entry - 1); }
  uint32_t* slot_for(std::string_view name);
  Symbol* insert_at(uint32_t* slot, std::string_view name);
  size_t slot_of(std::string_view name) const;
  const char* store_name(std::string_view name);
  void grow();
  static std::vector<Symbol*> sorted(std::vector<Symbol*> symbols);

  Assembler& as_;
  // The symbols in chunks that never move, filled one symbol at a time (a
  // chunk's untouched rest takes no memory).
  static constexpr size_t CHUNK_BITS = 12;
  static constexpr size_t CHUNK_SIZE = size_t{1} << CHUNK_BITS;
  struct ChunkFree {
    void operator()(Symbol* chunk) const;
  };
  std::vector<std::unique_ptr<Symbol[], ChunkFree>> chunks_;
  // A symbol's index plus one (0 = empty): empty, or a power of two entries,
  // at most half used.
  ZeroedArray<uint32_t> slots_;
  size_t count_ = 0;
  std::unordered_map<uint32_t, std::shared_ptr<const std::string>> macro_bodies_;  // by symbol index
  std::vector<std::unique_ptr<char[]>> name_blocks_;
  size_t name_block_room_ = 0;
  char* name_block_next_ = nullptr;
};

// The equ handler (value 0) and the assignment "label = expression" and the
// set directive (value 1, a redefinable value).
int handle_equ(Assembler& as, int32_t value);

}  // namespace zorm
