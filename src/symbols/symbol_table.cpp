#include "symbols/symbol_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "driver/assembler.h"

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

Symbol* SymbolTable::find(std::string_view name) {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : it->second;
}

const Symbol* SymbolTable::find(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : it->second;
}

Symbol* SymbolTable::insert(std::string_view name) {
  Symbol& symbol = pool_.emplace_back();
  symbol.name.assign(name);
  index_.emplace(std::string_view(symbol.name), &symbol);
  return &symbol;
}

int SymbolTable::symbol_define(std::string_view name, int32_t value, SymbolKind kind, uint8_t attributes) {
  Symbol* symbol = find(name);
  if (symbol == nullptr) {
    symbol = insert(name);
  } else if (symbol->kind == SYM_LABEL) {
    // Label values are fixed in pass 1; pass 2 only checks them.
    if (as_.pass_number == 0) return DEFINE_REDEFINED;
    return symbol->value == value ? DEFINE_OK : DEFINE_PHASE_ERROR;
  }
  symbol->value = value;
  symbol->kind = kind;
  symbol->attributes = attributes;
  return DEFINE_OK;
}

SymbolLookup SymbolTable::symbol_lookup(std::string_view name) {
  if (const Symbol* symbol = find(name)) return {symbol->kind, symbol->value};
  // A conditional directive sees a name never met as 0 and enters nothing.
  if (as_.statements.conditional_statement) return {SYM_LABEL, 0};
  Symbol* symbol = insert(name);
  symbol->kind = SYM_UNDEFINED;
  symbol->value = as_.sources.main_file_line();
  symbol->attributes = 0;
  return {SYM_UNDEFINED, symbol->value};
}

std::vector<Symbol*> SymbolTable::in_order() const {
  // Sort by each name's collation key: the names mapped byte by byte, which
  // then compare as plain unsigned bytes.
  std::vector<std::pair<std::string, Symbol*>> keyed;
  keyed.reserve(index_.size());
  for (const auto& entry : index_) {
    std::string key(entry.first);
    for (char& c : key) c = static_cast<char>(COLLATION[static_cast<unsigned char>(c)]);
    keyed.emplace_back(std::move(key), entry.second);
  }
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Symbol*> order;
  order.reserve(keyed.size());
  for (auto& entry : keyed) order.push_back(entry.second);
  return order;
}

void LineMap::add(uint32_t address, int32_t line, int32_t file_index) {
  if (!entries_.empty() && address <= entries_.back().address) {
    if (address == entries_.back().address) return;  // the first line recorded wins
    sorted_ = false;
  }
  entries_.push_back({address, line, file_index});
}

const std::vector<LineMapEntry>& LineMap::entries() {
  if (!sorted_) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const LineMapEntry& a, const LineMapEntry& b) { return a.address < b.address; });
    auto last = std::unique(entries_.begin(), entries_.end(),
                            [](const LineMapEntry& a, const LineMapEntry& b) { return a.address == b.address; });
    entries_.erase(last, entries_.end());
    sorted_ = true;
  }
  return entries_;
}

int handle_equ(Assembler& as, int32_t value) {
  const bool redefinable = value == 1;
  int32_t operand = as.values.empty() ? 0 : as.values.top().value;
  as.values.pop();
  int result = as.symbols.symbol_define(as.statements.statement_label, operand, redefinable ? SYM_SET : SYM_LABEL, 0x50);
  as.image.line_shows_value = true;
  as.image.listing_value = operand;
  if (result == DEFINE_REDEFINED) return ERROR_REDEFINITION;
  // A value that moved between the passes is an error for equ; set and "="
  // assign values that are meant to change.
  if (result == DEFINE_PHASE_ERROR && !redefinable) return ERROR_PHASE;
  return 0;
}

}  // namespace zorm
