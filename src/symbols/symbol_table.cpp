#include "symbols/symbol_table.h"

#include <algorithm>
#include <cstring>
#include <array>
#include <new>
#include <utility>

#include "assembly/assembler.h"
#include "symbols/name_bytes.h"

namespace zorm {

namespace {

// Letters first, upper case before the same letter in lower case, then digits.
constexpr uint8_t collation_value(int c) {
  if (c == 0) return 0;
  if (c < 0x20) return 1;
  if (c < 0x30) return static_cast<uint8_t>(c);
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(48 + 2 * (c - 'A'));
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(49 + 2 * (c - 'a'));
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(100 + (c - '0'));
  if (c >= ':' && c <= '@') return static_cast<uint8_t>(110 + (c - ':'));
  if (c >= '[' && c <= '`') return static_cast<uint8_t>(117 + (c - '['));
  if (c >= '{' && c <= '~') return static_cast<uint8_t>(123 + (c - '{'));
  if (c == 0x7F) return 39;
  return static_cast<uint8_t>(c - 1);
}

template <size_t... I>
constexpr std::array<uint8_t, 256> make_collation(std::index_sequence<I...>) {
  return {{collation_value(static_cast<int>(I))...}};
}

constexpr std::array<uint8_t, 256> COLLATION = make_collation(std::make_index_sequence<256>{});

}  // namespace

int symbol_compare(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = COLLATION[static_cast<unsigned char>(a[i])];
    int cb = COLLATION[static_cast<unsigned char>(b[i])];
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

namespace {
constexpr size_t NAME_BLOCK_SIZE = 64 * 1024;
}  // namespace

// The slot holding the name, or the empty slot where it would go.
size_t SymbolTable::slot_of(std::string_view name) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = name_hash(name) & mask;; i = (i + 1) & mask) {
    const uint32_t entry = slots_[i];
    if (entry == 0 || same_name(entry_symbol(entry)->name(), name)) return i;
  }
}

Symbol* SymbolTable::find(std::string_view name) {
  if (slots_.empty()) return nullptr;
  const uint32_t entry = slots_[slot_of(name)];
  return entry == 0 ? nullptr : entry_symbol(entry);
}

const Symbol* SymbolTable::find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const uint32_t entry = slots_[slot_of(name)];
  return entry == 0 ? nullptr : entry_symbol(entry);
}

const char* SymbolTable::store_name(std::string_view name) {
  const size_t needed = name.size() + 1;
  if (needed > name_block_room_) {
    const size_t size = needed > NAME_BLOCK_SIZE ? needed : NAME_BLOCK_SIZE;
    name_blocks_.emplace_back(new char[size]);
    name_block_next_ = name_blocks_.back().get();
    name_block_room_ = size;
  }
  char* stored = name_block_next_;
  std::memcpy(stored, name.data(), name.size());
  stored[name.size()] = '\0';
  name_block_next_ += needed;
  name_block_room_ -= needed;
  return stored;
}

void SymbolTable::grow() {
  ZeroedArray<uint32_t> old = std::move(slots_);
  slots_ = ZeroedArray<uint32_t>(old.empty() ? 1024 : old.size() * 2);
  for (const uint32_t entry : old) {
    if (entry != 0) slots_[slot_of(entry_symbol(entry)->name())] = entry;
  }
}

uint32_t* SymbolTable::slot_for(std::string_view name) {
  // Room first: growing moves every entry.
  if (2 * (count_ + 1) > slots_.size()) grow();
  return &slots_[slot_of(name)];
}

void SymbolTable::ChunkFree::operator()(Symbol* chunk) const { ::operator delete(chunk); }

SymbolTable::~SymbolTable() = default;

Symbol* SymbolTable::insert_at(uint32_t* slot, std::string_view name) {
  const size_t index = count_;
  if ((index & (CHUNK_SIZE - 1)) == 0) {
    // Raw room: each symbol is made where it is entered.
    chunks_.emplace_back(static_cast<Symbol*>(::operator new(CHUNK_SIZE * sizeof(Symbol))));
  }
  Symbol* symbol = new (&chunks_.back()[index & (CHUNK_SIZE - 1)]) Symbol();
  symbol->name_data = store_name(name);
  symbol->name_length = static_cast<uint32_t>(name.size());
  symbol->index = static_cast<uint32_t>(index);
  *slot = static_cast<uint32_t>(index + 1);
  ++count_;
  return symbol;
}

std::shared_ptr<const std::string> SymbolTable::macro_body(const Symbol& macro) const {
  const auto found = macro_bodies_.find(macro.index);
  return found == macro_bodies_.end() ? nullptr : found->second;
}

void SymbolTable::set_macro_body(Symbol& macro, std::shared_ptr<const std::string> body) {
  macro_bodies_[macro.index] = std::move(body);
}

void SymbolTable::set_definition_place(Symbol& symbol, const SourcePlace& place) {
  symbol.defined_file = place.file;
  symbol.defined_line = place.line;
  symbol.defined_column = static_cast<uint8_t>(place.column);
}

int SymbolTable::symbol_define(std::string_view name, int32_t value, SymbolState kind, uint8_t attributes) {
  uint32_t* slot = slot_for(name);
  Symbol* symbol = *slot == 0 ? insert_at(slot, name) : entry_symbol(*slot);
  return define(*symbol, value, kind, attributes);
}

int SymbolTable::define(Symbol& symbol, int32_t value, SymbolState kind, uint8_t attributes) {
  last_defined = &symbol;
  if (symbol.kind == SYM_LABEL) {
    // Label values are fixed in pass 1; pass 2 only checks them.
    if (as_.pass_number == 0) return DEFINE_REDEFINED;
    return symbol.value == value ? DEFINE_OK : DEFINE_PHASE_ERROR;
  }
  // The first definition is the symbol's place: the statement's, or none for
  // a name defined before any source was opened.
  if (as_.keep_records && (symbol.kind == SYM_UNDEFINED || symbol.defined_line == 0) && !as_.sources.empty()) {
    set_definition_place(symbol, as_.statements.place);
  }
  symbol.value = value;
  symbol.kind = kind;
  symbol.attributes = attributes;
  return DEFINE_OK;
}

SymbolLookup SymbolTable::symbol_lookup(std::string_view name) {
  uint32_t* slot = slot_for(name);
  if (*slot != 0) {
    const Symbol* symbol = entry_symbol(*slot);
    return {symbol->kind, symbol->value, symbol};
  }
  // A conditional directive sees a name never met as 0 and enters nothing.
  if (as_.statements.conditional_statement) return {SYM_LABEL, 0, nullptr};
  Symbol* symbol = insert_at(slot, name);
  symbol->kind = SYM_UNDEFINED;
  symbol->value = as_.sources.main_file_line();
  symbol->attributes = 0;
  return {SYM_UNDEFINED, symbol->value, symbol};
}

// Sorts by each name's collation key: the name mapped byte by byte, which
// then compares as plain unsigned bytes.
std::vector<Symbol*> SymbolTable::sorted(std::vector<Symbol*> symbols) {
  std::vector<std::pair<std::string, Symbol*>> keyed;
  keyed.reserve(symbols.size());
  for (Symbol* symbol : symbols) {
    std::string key(symbol->name());
    for (char& c : key) c = static_cast<char>(COLLATION[static_cast<unsigned char>(c)]);
    keyed.emplace_back(std::move(key), symbol);
  }
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < keyed.size(); ++i) symbols[i] = keyed[i].second;
  return symbols;
}

std::vector<Symbol*> SymbolTable::in_order() const {
  std::vector<Symbol*> symbols;
  symbols.reserve(count_);
  for (const uint32_t entry : slots_) {
    if (entry != 0) symbols.push_back(entry_symbol(entry));
  }
  return sorted(std::move(symbols));
}

std::vector<Symbol*> SymbolTable::in_order(SymbolState kind) const {
  std::vector<Symbol*> symbols;
  for (const uint32_t entry : slots_) {
    if (entry != 0 && entry_symbol(entry)->kind == kind) symbols.push_back(entry_symbol(entry));
  }
  return sorted(std::move(symbols));
}

bool SymbolTable::any_of_kind(SymbolState kind) const {
  for (const uint32_t entry : slots_) {
    if (entry != 0 && entry_symbol(entry)->kind == kind) return true;
  }
  return false;
}

int handle_equ(Assembler& as, int32_t value) {
  const bool redefinable = value == 1;
  int32_t operand = as.values.empty() ? 0 : as.values.top().value;
  as.values.pop();
  int result = as.statements.define_statement_label(operand, redefinable ? SYM_SET : SYM_LABEL, 0x50);
  as.image.line_shows_value = true;
  as.image.listing_value = operand;
  if (result == DEFINE_REDEFINED) return ERROR_REDEFINITION;
  // A value that moved between the passes is an error for equ; set and "="
  // assign values that are meant to change.
  if (result == DEFINE_PHASE_ERROR && !redefinable) return ERROR_PHASE;
  return 0;
}

}  // namespace zorm
