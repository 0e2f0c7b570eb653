#pragma once
// What the server answers, worked out from an analysis: paths and places in,
// results out, without any protocol.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/analysis.h"
#include "zorm/language.h"

namespace zorm::lsp {

// The name written at a place, and the symbol it names (-1: undefined).
struct NameAt {
  std::string name;
  Spot spot;
  int symbol = -1;
};
std::optional<NameAt> name_at(const Analysis& analysis, int file, int line, int column);

// The include directive whose quoted name covers a place: its index in
// result().includes.
std::optional<int> include_at(const Analysis& analysis, int file, int line, int column);

// Where the symbol at a place is defined, or the first line of the file an
// include names (as a spot of length 0). The path is given for files that
// the program did not read as source (a binary include).
struct Target {
  std::string path;
  Spot spot;
};
std::vector<Target> definition(const Analysis& analysis, int file, int line, int column);

struct HoverText {
  std::string markdown;
  Spot spot;  // what it is about
};
std::optional<HoverText> hover(const Analysis& analysis, int file, int line, int column);

// Every place that names the symbol, in source order: the uses the assembly
// recorded, and those written in macro bodies (recorded at the calls).
std::vector<Spot> references(const Analysis& analysis, int symbol, bool with_definition);

// Whether a symbol was defined by a macro expansion (a local label such as
// loop0001): such names are left out of outlines and symbol searches.
bool defined_in_expansion(const Analysis& analysis, int symbol);

// Symbols defined in one file, for the outline; members go under the
// structure that holds them.
struct OutlineEntry {
  std::string name;
  SymbolKind kind = SymbolKind::label;
  int32_t value = 0;
  Spot spot;
  std::vector<OutlineEntry> children;
};
std::vector<OutlineEntry> outline(const Analysis& analysis, int file);

// Symbols of the program whose names hold the query's characters in order
// (ignoring case); all of them for an empty query.
bool matches_query(std::string_view name, std::string_view query);

enum class CompletionCategory { instruction, directive, register_name, condition, operator_word, symbol };
struct CompletionEntry {
  std::string label;
  CompletionCategory category = CompletionCategory::instruction;
  SymbolKind symbol_kind = SymbolKind::label;  // for symbols
  std::string detail;
};
struct CompletionList {
  std::vector<CompletionEntry> entries;
  bool incomplete = false;  // more symbols match than were given
};
// What may be written where the cursor stands, given the line up to it:
// mnemonics, directives and macros in the operation field; registers,
// conditions, word operators and symbols in the operands; nothing in a
// comment, a string or the label field. analysis may be null.
CompletionList completion(const Analysis* analysis, std::string_view line_before_cursor, Processor processor);
// At most this many symbols are offered at once.
inline constexpr size_t MAX_COMPLETION_SYMBOLS = 1000;

// A name the source could define: an identifier of at most 31 characters
// that is no keyword.
bool is_valid_symbol_name(std::string_view name);

// The places to rewrite to rename the symbol at a place, or why it cannot be
// renamed.
struct RenamePlan {
  std::vector<Spot> spots;
  std::string refusal;
};
RenamePlan plan_rename(const Analysis& analysis, int file, int line, int column, const std::string& new_name);

// The level's name as the user knows it ("Z80", "Z180").
const char* processor_title(Processor processor);
// A value as hover and completion show it: "0x002a (42)".
std::string value_text(int32_t value);
// A statement's line as the listing shows it with cycle counts: address,
// bytes, cycles and the source text.
std::string listing_line(const Analysis& analysis, const LineRecord& statement, std::string_view source_text);

}  // namespace zorm::lsp
