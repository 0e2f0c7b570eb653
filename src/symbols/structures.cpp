#include "symbols/structures.h"

#include "assembly/assembler.h"

namespace zorm {

namespace {
int define_result(int result) {
  if (result == DEFINE_REDEFINED) return ERROR_REDEFINITION;
  if (result == DEFINE_PHASE_ERROR) return ERROR_PHASE;
  return 0;
}

bool is_name_byte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '?';
}

// Where a name stands as a whole word on a line; 0 when it does not.
int column_of(const char* line, std::string_view name) {
  const std::string_view text(line);
  for (size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
    const bool starts = at == 0 || !is_name_byte(text[at - 1]);
    const bool ends = at + name.size() >= text.size() || !is_name_byte(text[at + name.size()]);
    if (starts && ends) return static_cast<int>(at);
  }
  return 0;
}
}  // namespace

// The name of a header or member line, for an embedding program's records:
// a reference (with record_references) and, once defined, its place.
SourcePlace Structures::note_name(std::string_view name) {
  const SourcePlace place = as_.sources.innermost_place(column_of(as_.sources.current_line, name));
  if (as_.record_references && as_.pass_number == 0) {
    as_.statements.note_reference(name, place.column, true);
  }
  return place;
}

// Header and member lines show the offset they start at; align and ds lines
// show none.
void Structures::list_member_line(bool with_offset, int32_t shown_offset) {
  if (as_.options.listing_level <= 0) return;
  as_.listing.clip_listing_text();
  TextStream& out = as_.listing_out();
  const char* cycle_filler = as_.options.show_cycles ? "     " : "";
  if (with_offset) {
    out.printf("%04x =                  %s%s", static_cast<unsigned>(shown_offset), cycle_filler, as_.sources.current_line);
  } else {
    out.printf("                        %s%s", cycle_filler, as_.sources.current_line);
  }
  as_.listing.listing_advance_line();
}

int Structures::struct_begin(int form) {
  ValueStack& values = as_.values;
  int32_t start = 0;
  if (form == 1) {
    const Value& operand = values.top();
    if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
    start = operand.value;
    values.pop();
  }
  pending_name = values.top().text;
  values.pop();
  if (as_.keep_records) pending_place = note_name(pending_name);
  offset = start;
  list_member_line(true, offset);
  return 0;
}

int Structures::struct_member(int type) {
  ValueStack& values = as_.values;
  int32_t size = 0;
  switch (type) {
    case 1: size = 1; break;
    case 2: size = 2; break;
    case 4: size = 4; break;
    case 3: {
      const Value& count = values.top();
      if (count.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
      if (count.value < 1) return ERROR_RANGE;
      size = count.value;
      values.pop();
      break;
    }
    default: size = 0; break;
  }
  const std::string name = values.top().text;
  values.pop();
  const int32_t start = offset;
  const int result = as_.symbols.symbol_define(name, start, SYM_LABEL, static_cast<uint8_t>(0x40 + type));
  if (result != DEFINE_OK) return define_result(result);
  if (as_.keep_records && as_.pass_number == 0) {
    SymbolTable::set_definition_place(*as_.symbols.find(name), note_name(name));
  }
  offset = static_cast<int32_t>(static_cast<uint32_t>(offset) + static_cast<uint32_t>(size));
  list_member_line(true, start);
  return 0;
}

int Structures::struct_align(int form) {
  ValueStack& values = as_.values;
  if (form == 0) {
    if (offset & 1) ++offset;
  } else {
    const Value& operand = values.top();
    if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
    const int32_t n = operand.value;
    values.pop();
    if (form == 1) {
      // Moves on by a full step even from a multiple of n.
      if (n < 2) return ERROR_RANGE;
      offset = static_cast<int32_t>(static_cast<uint32_t>(offset) + static_cast<uint32_t>(n - offset % n));
    } else {
      if (n < 1) return ERROR_RANGE;
      offset = static_cast<int32_t>(static_cast<uint32_t>(offset) + static_cast<uint32_t>(n));
    }
  }
  list_member_line(false, 0);
  return 0;
}

int Structures::struct_end() {
  as_.lexer.struct_mode = 0;
  return 0;
}

int Structures::finish_struct() {
  const int result = as_.symbols.symbol_define(pending_name, offset, SYM_LABEL, 0x40);
  if (result == DEFINE_OK) {
    Symbol& symbol = *as_.symbols.find(pending_name);
    symbol.structure = true;
    if (as_.keep_records && as_.pass_number == 0) SymbolTable::set_definition_place(symbol, pending_place);
  }
  pending_name.clear();
  return define_result(result);
}

}  // namespace zorm
