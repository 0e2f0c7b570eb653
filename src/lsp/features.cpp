#include "lsp/features.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "lsp/rooted_provider.h"

namespace zorm::lsp {

namespace {

constexpr size_t MAX_NAME_CHARS = 31;

bool is_name_start(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '?';
}
bool is_name_char(char c) { return is_name_start(c) || std::isdigit(static_cast<unsigned char>(c)); }

const Keyword* keyword_named(std::string_view name) {
  for (const Keyword& keyword : language_keywords()) {
    if (keyword.name == name) return &keyword;
  }
  return nullptr;
}

bool at_level(const Keyword& keyword, Processor processor) {
  return (keyword.levels >> static_cast<int>(processor)) & 1;
}

// Where the code of a line ends: at a comment (";", or "*" in column 0),
// quotes considered. Also tells whether the line ends inside a string.
struct CodeExtent {
  size_t end;
  bool in_string;
};

CodeExtent code_extent(std::string_view line) {
  if (!line.empty() && line[0] == '*') return {0, false};
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == ';') return {i, false};
    if (c == '\'' || c == '"') {
      // The apostrophe of af' (the alternate register pair) opens no string.
      const bool after_af = c == '\'' && i >= 2 && line.substr(i - 2, 2) == "af" && (i < 3 || !is_name_char(line[i - 3]));
      if (!after_af) quote = c;
    }
  }
  return {line.size(), quote != 0};
}

std::string location_text(const Analysis& analysis, const SymbolInfo& symbol) {
  if (symbol.file < 0) {
    for (const std::string& define : analysis.setup().settings.defines) {
      if (define.substr(0, define.find('=')) == symbol.name) return "Defined by `-D" + define + "`";
    }
    return "Predefined";
  }
  const std::string path = relative_to(analysis.path_of(symbol.file), analysis.setup().folder);
  return "Defined in `" + path + "`, line " + std::to_string(symbol.line);
}

const char* kind_text(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::label: return "label";
    case SymbolKind::equ: return "equ";
    case SymbolKind::set: return "set";
    case SymbolKind::macro: return "macro";
    case SymbolKind::structure: return "structure";
    case SymbolKind::member: return "structure member";
  }
  return "symbol";
}

std::string symbol_detail(const SymbolInfo& symbol) {
  std::string detail = kind_text(symbol.kind);
  if (symbol.kind != SymbolKind::macro) {
    detail += ' ';
    detail += value_text(symbol.value);
  }
  return detail;
}

std::string symbol_hover(const Analysis& analysis, const SymbolInfo& symbol) {
  return "**" + symbol.name + "** " + symbol_detail(symbol) + "\n\n" + location_text(analysis, symbol);
}

std::optional<std::string> statement_hover(const Analysis& analysis, int file, int line, std::string_view text) {
  for (int index : analysis.statements_on(file, line)) {
    const LineRecord& statement = analysis.result().lines[static_cast<size_t>(index)];
    if (statement.in_expansion || statement.size == 0) continue;
    std::string markdown = "```\n" + listing_line(analysis, statement, text) + "\n```\n";
    markdown += std::to_string(statement.size) + (statement.size == 1 ? " byte" : " bytes");
    const char* level = processor_title(analysis.result().processor);
    if (statement.cycles == 99) {
      markdown += std::string(", not available on the ") + level;
    } else if (statement.cycles > 0) {
      markdown += ", " + std::to_string(statement.cycles) + " cycles on the " + level;
    }
    return markdown;
  }
  return std::nullopt;
}

// The first name on a line (a label, else the operation), "" for none.
std::string_view first_word(std::string_view line) {
  size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  size_t end = start;
  while (end < line.size() && is_name_char(line[end])) ++end;
  return line.substr(start, end - start);
}

// The names listed after a keyword on a line ("macro a,b" or "local x,y").
void names_after(std::string_view line, std::string_view keyword, std::set<std::string>& names) {
  const size_t code = code_extent(line).end;
  size_t at = line.find(keyword);
  if (at == std::string_view::npos || at >= code) return;
  at += keyword.size();
  while (at < code) {
    while (at < code && !is_name_start(line[at])) ++at;
    const size_t start = at;
    while (at < code && is_name_char(line[at])) ++at;
    if (at > start) names.emplace(line.substr(start, at - start));
  }
}

// Adds where a name stands as a word of code on a line: not in a comment or
// a string, not as part of a longer name.
void add_word_uses(std::string_view text, const std::string& name, int file, int line, std::vector<Spot>& uses) {
  const size_t code = code_extent(text).end;
  char quote = 0;
  for (size_t at = 0; at < code; ++at) {
    const char c = text[at];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if ((c == '"' || c == '\'') && !(c == '\'' && at >= 2 && text.substr(at - 2, 2) == "af")) {
      quote = c;
      continue;
    }
    if (!is_name_start(c) || (at > 0 && is_name_char(text[at - 1]))) continue;
    size_t end = at;
    while (end < code && is_name_char(text[end])) ++end;
    if (text.substr(at, end - at) == name) {
      uses.push_back({file, line, static_cast<int>(assembler_column(text, at)), static_cast<int>(name.size())});
    }
    at = end - 1;
  }
}

// Where a name is written in the bodies of the program's macros, as a word of
// code (not in a comment or a string, not as a parameter or local label of
// that macro). A use inside a macro is recorded at the macro's call, so
// these are the places to show and to rename.
std::vector<Spot> macro_body_uses(const Analysis& analysis, const std::string& name) {
  std::vector<Spot> uses;
  for (const SymbolInfo& macro : analysis.result().symbols) {
    if (macro.kind != SymbolKind::macro || macro.file < 0) continue;
    const LineIndex& lines = analysis.lines_of(macro.file);
    std::set<std::string> own;
    names_after(lines.line_text(static_cast<size_t>(macro.line - 1)), "macro", own);
    for (size_t index = static_cast<size_t>(macro.line); index < lines.line_count(); ++index) {
      const std::string_view text = lines.line_text(index);
      const std::string_view first = first_word(text);
      if (first == "endm") break;
      if (first == "local") {
        names_after(text, "local", own);
        continue;
      }
      if (!own.count(name)) add_word_uses(text, name, macro.file, static_cast<int>(index + 1), uses);
    }
  }
  return uses;
}

}  // namespace

bool defined_in_expansion(const Analysis& analysis, int symbol) {
  for (int index : analysis.references_of(symbol)) {
    const SymbolReference& reference = analysis.result().references[static_cast<size_t>(index)];
    if (reference.definition && reference.in_expansion) return true;
  }
  return false;
}

const char* processor_title(Processor processor) {
  switch (processor) {
    case Processor::i8080: return "8080";
    case Processor::i8085: return "8085";
    case Processor::z80: return "Z80";
    case Processor::z80_index_halves: return "Z80 (with ixh, ixl, iyh, iyl)";
    case Processor::z180: return "Z180";
    case Processor::z280: return "Z280";
  }
  return "Z80";
}

std::string value_text(int32_t value) {
  char text[40];
  if (value >= -32768 && value <= 65535) {
    std::snprintf(text, sizeof text, "0x%04x (%ld)", static_cast<unsigned>(value) & 0xFFFFu, static_cast<long>(value));
  } else {
    std::snprintf(text, sizeof text, "0x%08x (%ld)", static_cast<unsigned>(value), static_cast<long>(value));
  }
  return text;
}

std::string listing_line(const Analysis& analysis, const LineRecord& statement, std::string_view source_text) {
  char field[32];
  std::string line;
  std::snprintf(field, sizeof field, "%04x %c ", static_cast<unsigned>(statement.address),
                statement.segment == 2 ? '=' : ':');
  line += field;
  std::string bytes;
  if (statement.segment != 2) {
    const auto& memory = analysis.result().memory;
    const uint32_t shown = statement.size >= 9 ? 7 : statement.size;
    for (uint32_t i = 0; i < shown; ++i) {
      const size_t address = (statement.address + i) & 0xFFFFu;
      std::snprintf(field, sizeof field, "%02x", address < memory.size() ? memory[address] : 0);
      bytes += field;
    }
    if (statement.size >= 9) bytes += "..";
  }
  bytes.resize(16, ' ');
  line += bytes;
  if (statement.cycles == 99) {
    line += " [  ]";
  } else if (statement.cycles > 0) {
    std::snprintf(field, sizeof field, " [%2d]", statement.cycles);
    line += field;
  } else {
    line += "     ";
  }
  line += statement.in_expansion ? '>' : ' ';
  line += source_text;
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return line;
}

std::optional<NameAt> name_at(const Analysis& analysis, int file, int line, int column) {
  if (file < 0 || line < 1) return std::nullopt;
  const std::string_view text = analysis.lines_of(file).line_text(static_cast<size_t>(line - 1));
  const size_t cursor = std::min(raw_column(text, static_cast<size_t>(std::max(column, 0))), text.size());
  size_t start = cursor;
  while (start > 0 && is_name_char(text[start - 1])) --start;
  size_t end = cursor;
  while (end < text.size() && is_name_char(text[end])) ++end;
  if (start == end || !is_name_start(text[start])) return std::nullopt;
  const CodeExtent code = code_extent(text.substr(0, start));
  if (code.end < start || code.in_string) return std::nullopt;

  NameAt found;
  found.name = std::string(text.substr(start, std::min(end - start, MAX_NAME_CHARS)));
  found.spot = {file, line, static_cast<int>(assembler_column(text, start)), static_cast<int>(found.name.size())};
  found.symbol = -1;
  bool recorded = false;
  for (int index : analysis.references_on(file, line)) {
    const SymbolReference& reference = analysis.result().references[static_cast<size_t>(index)];
    if (!reference.in_expansion && reference.column == found.spot.column) {
      found.symbol = reference.symbol;
      recorded = true;
      break;
    }
  }
  if (!recorded) found.symbol = analysis.symbol_named(found.name);
  return found;
}

std::optional<int> include_at(const Analysis& analysis, int file, int line, int column) {
  const auto& includes = analysis.result().includes;
  for (size_t i = 0; i < includes.size(); ++i) {
    const IncludeRecord& include = includes[i];
    if (analysis.path_of(include.file) == analysis.path_of(file) && include.line == line &&
        column >= include.column && column <= include.column + include.length) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::vector<Target> definition(const Analysis& analysis, int file, int line, int column) {
  if (const std::optional<int> include = include_at(analysis, file, line, column)) {
    const IncludeRecord& record = analysis.result().includes[static_cast<size_t>(*include)];
    if (record.target >= 0) return {{analysis.path_of(record.target), {record.target, 1, 0, 0}}};
    if (!record.path.empty()) {
      const std::string path = record.path[0] == '/' ? record.path : analysis.setup().folder + "/" + record.path;
      return {{canonical_path(path), {-1, 1, 0, 0}}};
    }
    return {};
  }
  const std::optional<NameAt> name = name_at(analysis, file, line, column);
  if (!name || name->symbol < 0) return {};
  const SymbolInfo& symbol = analysis.result().symbols[static_cast<size_t>(name->symbol)];
  if (symbol.file < 0) return {};
  return {{analysis.path_of(symbol.file),
           {symbol.file, symbol.line, symbol.column, static_cast<int>(symbol.name.size())}}};
}

std::optional<HoverText> hover(const Analysis& analysis, int file, int line, int column) {
  const std::optional<NameAt> name = name_at(analysis, file, line, column);
  if (!name) return std::nullopt;
  if (const Keyword* keyword = keyword_named(name->name)) {
    if (keyword->kind != KeywordKind::instruction && keyword->kind != KeywordKind::directive) return std::nullopt;
    const std::string_view text = analysis.lines_of(file).line_text(static_cast<size_t>(line - 1));
    std::optional<std::string> markdown = statement_hover(analysis, file, line, text);
    if (!markdown) return std::nullopt;
    return HoverText{std::move(*markdown), name->spot};
  }
  if (name->symbol < 0) return std::nullopt;
  return HoverText{symbol_hover(analysis, analysis.result().symbols[static_cast<size_t>(name->symbol)]), name->spot};
}

std::vector<Spot> references(const Analysis& analysis, int symbol, bool with_definition) {
  std::vector<Spot> spots;
  if (symbol < 0 || static_cast<size_t>(symbol) >= analysis.result().symbols.size()) return spots;
  const SymbolInfo& info = analysis.result().symbols[static_cast<size_t>(symbol)];
  const int length = static_cast<int>(info.name.size());
  std::set<std::tuple<std::string, int, int>> seen;
  auto add = [&](int file, int line, int column) {
    if (seen.emplace(analysis.path_of(file), line, column).second) spots.push_back({file, line, column, length});
  };
  if (with_definition && info.file >= 0) add(info.file, info.line, info.column);
  std::vector<Spot> written = macro_body_uses(analysis, info.name);
  for (int index : analysis.references_of(symbol)) {
    const SymbolReference& reference = analysis.result().references[static_cast<size_t>(index)];
    if (reference.file < 0) continue;
    if (reference.in_expansion) {
      // Met in an expansion: written in the macro's body, or in the call's arguments.
      add_word_uses(analysis.lines_of(reference.file).line_text(static_cast<size_t>(reference.line - 1)), info.name,
                    reference.file, reference.line, written);
      continue;
    }
    if (reference.definition && !with_definition) continue;
    add(reference.file, reference.line, reference.column);
  }
  for (const Spot& use : written) add(use.file, use.line, use.column);
  std::sort(spots.begin(), spots.end(), [&](const Spot& a, const Spot& b) {
    return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
  });
  return spots;
}

std::vector<OutlineEntry> outline(const Analysis& analysis, int file) {
  const std::string& path = analysis.path_of(file);
  std::vector<const SymbolInfo*> defined;
  const auto& symbols = analysis.result().symbols;
  for (size_t i = 0; i < symbols.size(); ++i) {
    const SymbolInfo& symbol = symbols[i];
    if (symbol.file < 0 || analysis.path_of(symbol.file) != path) continue;
    if (defined_in_expansion(analysis, static_cast<int>(i))) continue;  // a macro's local label
    defined.push_back(&symbol);
  }
  std::stable_sort(defined.begin(), defined.end(), [](const SymbolInfo* a, const SymbolInfo* b) {
    return std::tie(a->line, a->column) < std::tie(b->line, b->column);
  });
  std::vector<OutlineEntry> entries;
  bool in_structure = false;
  for (const SymbolInfo* symbol : defined) {
    OutlineEntry entry{symbol->name, symbol->kind, symbol->value,
                       Spot{symbol->file, symbol->line, symbol->column, static_cast<int>(symbol->name.size())}, {}};
    if (symbol->kind == SymbolKind::member && in_structure) {
      entries.back().children.push_back(std::move(entry));
      continue;
    }
    in_structure = symbol->kind == SymbolKind::structure;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool matches_query(std::string_view name, std::string_view query) {
  size_t at = 0;
  for (char c : name) {
    if (at < query.size() && std::tolower(static_cast<unsigned char>(c)) == std::tolower(static_cast<unsigned char>(query[at]))) {
      ++at;
    }
  }
  return at == query.size();
}

CompletionList completion(const Analysis* analysis, std::string_view before, Processor processor) {
  CompletionList list;
  const CodeExtent code = code_extent(before);
  if (code.end < before.size() || code.in_string) return list;
  // The label field: a name in column 0.
  size_t at = 0;
  while (at < before.size() && is_name_char(before[at])) ++at;
  if (at > 0 && at == before.size()) return list;
  if (at < before.size() && before[at] == ':') ++at;
  while (at < before.size() && (before[at] == ' ' || before[at] == '\t')) ++at;
  const size_t operation_start = at;
  while (at < before.size() && is_name_char(before[at])) ++at;
  const bool in_operation = at == before.size();
  size_t word_start = before.size();
  while (word_start > operation_start && is_name_char(before[word_start - 1])) --word_start;
  const std::string_view typed = before.substr(word_start);

  for (const Keyword& keyword : language_keywords()) {
    if (!at_level(keyword, processor) || !matches_query(keyword.name, typed)) continue;
    const bool operation_word = keyword.kind == KeywordKind::instruction || keyword.kind == KeywordKind::directive;
    if (operation_word != in_operation) continue;
    CompletionEntry entry;
    entry.label = std::string(keyword.name);
    switch (keyword.kind) {
      case KeywordKind::instruction: entry.category = CompletionCategory::instruction; entry.detail = "instruction"; break;
      case KeywordKind::directive: entry.category = CompletionCategory::directive; entry.detail = "directive"; break;
      case KeywordKind::register_name: entry.category = CompletionCategory::register_name; entry.detail = "register"; break;
      case KeywordKind::condition: entry.category = CompletionCategory::condition; entry.detail = "condition"; break;
      case KeywordKind::operator_word: entry.category = CompletionCategory::operator_word; entry.detail = "operator"; break;
    }
    list.entries.push_back(std::move(entry));
  }
  if (!analysis) return list;
  size_t symbols = 0;
  for (const SymbolInfo& symbol : analysis->result().symbols) {
    if ((symbol.kind == SymbolKind::macro) != in_operation || !matches_query(symbol.name, typed)) continue;
    if (++symbols > MAX_COMPLETION_SYMBOLS) {
      list.incomplete = true;
      break;
    }
    list.entries.push_back({symbol.name, CompletionCategory::symbol, symbol.kind, symbol_detail(symbol)});
  }
  return list;
}

bool is_valid_symbol_name(std::string_view name) {
  if (name.empty() || name.size() > MAX_NAME_CHARS || !is_name_start(name[0])) return false;
  if (!std::all_of(name.begin(), name.end(), is_name_char)) return false;
  return keyword_named(name) == nullptr;
}

RenamePlan plan_rename(const Analysis& analysis, int file, int line, int column, const std::string& new_name) {
  RenamePlan plan;
  const std::optional<NameAt> name = name_at(analysis, file, line, column);
  if (!name || name->symbol < 0) {
    plan.refusal = "There is no symbol here to rename";
    return plan;
  }
  const SymbolInfo& symbol = analysis.result().symbols[static_cast<size_t>(name->symbol)];
  if (symbol.file < 0) {
    plan.refusal = symbol.name + " is not defined in the sources";
  } else if (!is_valid_symbol_name(new_name)) {
    plan.refusal = "\"" + new_name + "\" is not a valid symbol name";
  } else if (new_name != symbol.name && analysis.symbol_named(new_name) >= 0) {
    plan.refusal = "A symbol named " + new_name + " exists already";
  } else {
    plan.spots = references(analysis, name->symbol, true);
  }
  return plan;
}

}  // namespace zorm::lsp
