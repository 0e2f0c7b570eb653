#include "lsp/lsp_json.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "lsp/uri.h"
#include "protocol/json_rpc.h"
#include "zorm/source_provider.h"

namespace zorm::lsp {

using nlohmann::json;
using protocol::jsonrpc::INVALID_PARAMS;
using protocol::jsonrpc::RpcError;

namespace {

// LSP SymbolKind numbers.
constexpr int KIND_FIELD = 8;
constexpr int KIND_FUNCTION = 12;
constexpr int KIND_VARIABLE = 13;
constexpr int KIND_CONSTANT = 14;
constexpr int KIND_STRUCT = 23;
constexpr int KIND_OPERATOR = 25;

// LSP CompletionItemKind numbers.
constexpr int ITEM_FUNCTION = 3;
constexpr int ITEM_FIELD = 5;
constexpr int ITEM_VARIABLE = 6;
constexpr int ITEM_KEYWORD = 14;
constexpr int ITEM_ENUM_MEMBER = 20;
constexpr int ITEM_CONSTANT = 21;
constexpr int ITEM_STRUCT = 22;
constexpr int ITEM_OPERATOR = 24;

json position_json(ProtocolPosition position) { return {{"line", position.line}, {"character", position.character}}; }

json range_of(ProtocolPosition start, ProtocolPosition end) {
  return {{"start", position_json(start)}, {"end", position_json(end)}};
}

int item_kind(const CompletionEntry& entry) {
  switch (entry.category) {
    case CompletionCategory::instruction:
    case CompletionCategory::directive: return ITEM_KEYWORD;
    case CompletionCategory::register_name: return ITEM_VARIABLE;
    case CompletionCategory::condition: return ITEM_ENUM_MEMBER;
    case CompletionCategory::operator_word: return ITEM_OPERATOR;
    case CompletionCategory::symbol: break;
  }
  switch (entry.symbol_kind) {
    case SymbolKind::label: return ITEM_FUNCTION;
    case SymbolKind::equ: return ITEM_CONSTANT;
    case SymbolKind::set: return ITEM_VARIABLE;
    case SymbolKind::macro: return ITEM_OPERATOR;
    case SymbolKind::structure: return ITEM_STRUCT;
    case SymbolKind::member: return ITEM_FIELD;
  }
  return ITEM_VARIABLE;
}

}  // namespace

int symbol_kind_number(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::label: return KIND_FUNCTION;
    case SymbolKind::equ: return KIND_CONSTANT;
    case SymbolKind::set: return KIND_VARIABLE;
    case SymbolKind::macro: return KIND_OPERATOR;
    case SymbolKind::structure: return KIND_STRUCT;
    case SymbolKind::member: return KIND_FIELD;
  }
  return KIND_VARIABLE;
}

std::string path_of_uri(const std::string& uri) {
  if (const std::optional<std::string> path = path_from_uri(uri)) return canonical_path(*path);
  // A document that is no file yet ("untitled:Untitled-1") gets a path of
  // its own that names nothing on disk.
  const size_t colon = uri.find(':');
  if (colon == std::string::npos || colon == 0) throw RpcError(INVALID_PARAMS, "not a document URI: " + uri);
  std::string name = uri.substr(colon + 1);
  std::replace(name.begin(), name.end(), '/', '_');
  return UNSAVED_FOLDER + uri.substr(0, colon) + "/" + name;
}

std::string path_param(const json& params) {
  return path_of_uri(params.at("textDocument").at("uri").get<std::string>());
}

DocumentPosition position_param(const json& params) {
  const json& position = params.at("position");
  return {path_param(params), {position.at("line").get<int>(), position.at("character").get<int>()}};
}

SourcePlace source_place(const Analysis& analysis, int file, ProtocolPosition position, PositionEncoding encoding) {
  const LineIndex& lines = analysis.lines_of(file);
  const size_t offset = lines.offset_of(position, encoding);
  const size_t line = lines.line_of(offset);
  const size_t raw = offset - lines.line_start(line);
  return {static_cast<int>(line) + 1, static_cast<int>(assembler_column(lines.line_text(line), raw))};
}

json range_json(const Analysis& analysis, const Spot& spot, PositionEncoding encoding) {
  if (spot.file < 0) return range_of({0, 0}, {0, 0});
  const LineIndex& lines = analysis.lines_of(spot.file);
  return range_of(lines.position_at(spot.line, static_cast<size_t>(spot.column), encoding),
                  lines.position_at(spot.line, static_cast<size_t>(spot.column + spot.length), encoding));
}

std::string uri_for(const Analysis& analysis, const std::string& path) {
  if (Snapshot document = analysis.document_of(analysis.file_of(path))) return document->uri;
  return uri_from_path(path);
}

json location_json(const Analysis& analysis, const std::string& path, const Spot& spot, PositionEncoding encoding) {
  return {{"uri", uri_for(analysis, path)}, {"range", range_json(analysis, spot, encoding)}};
}

json diagnostics_json(const FileDiagnostics& diagnostics, PositionEncoding encoding) {
  json items = json::array();
  for (const FileDiagnostic& item : diagnostics.items) {
    const LineIndex& lines = diagnostics.analysis->lines_of(diagnostics.file);
    json range;
    if (item.column >= 0) {
      const int length = std::max(item.length, 1);
      range = range_of(lines.position_at(item.line, static_cast<size_t>(item.column), encoding),
                       lines.position_at(item.line, static_cast<size_t>(item.column + length), encoding));
    } else {
      const ProtocolRange whole = lines.line_range(item.line, encoding);
      range = range_of(whole.start, whole.end);
    }
    items.push_back({{"range", range},
                     {"severity", item.severity == Severity::error ? 1 : 2},
                     {"source", "zorm"},
                     {"message", item.message}});
  }
  json params = {{"uri", diagnostics.uri}, {"diagnostics", items}};
  if (diagnostics.version) params["version"] = *diagnostics.version;
  return params;
}

json hover_json(const Analysis& analysis, const HoverText& hover, PositionEncoding encoding) {
  return {{"contents", {{"kind", "markdown"}, {"value", hover.markdown}}},
          {"range", range_json(analysis, hover.spot, encoding)}};
}

json document_symbols_json(const Analysis& analysis, const std::vector<OutlineEntry>& entries,
                           PositionEncoding encoding, bool hierarchical, const std::string& uri) {
  json symbols = json::array();
  for (const OutlineEntry& entry : entries) {
    const json range = range_json(analysis, entry.spot, encoding);
    const std::string detail =
        entry.kind == SymbolKind::macro ? "macro" : value_text(entry.value);
    if (hierarchical) {
      json symbol = {{"name", entry.name}, {"detail", detail}, {"kind", symbol_kind_number(entry.kind)},
                     {"range", range},     {"selectionRange", range}};
      if (!entry.children.empty()) {
        symbol["children"] = document_symbols_json(analysis, entry.children, encoding, true, uri);
      }
      symbols.push_back(std::move(symbol));
      continue;
    }
    symbols.push_back({{"name", entry.name}, {"kind", symbol_kind_number(entry.kind)},
                       {"location", {{"uri", uri}, {"range", range}}}});
    for (const json& child : document_symbols_json(analysis, entry.children, encoding, false, uri)) {
      json flat = child;
      flat["containerName"] = entry.name;
      symbols.push_back(std::move(flat));
    }
  }
  return symbols;
}

json workspace_symbols_json(const std::vector<std::shared_ptr<const Analysis>>& analyses, const std::string& query,
                            PositionEncoding encoding) {
  json symbols = json::array();
  std::set<std::tuple<std::string, std::string, int>> seen;
  for (const auto& analysis : analyses) {
    const auto& all = analysis->result().symbols;
    for (size_t i = 0; i < all.size(); ++i) {
      const SymbolInfo& symbol = all[i];
      if (symbol.file < 0 || !matches_query(symbol.name, query)) continue;
      if (defined_in_expansion(*analysis, static_cast<int>(i))) continue;
      const std::string& path = analysis->path_of(symbol.file);
      if (!seen.emplace(symbol.name, path, symbol.line).second) continue;
      const Spot spot{symbol.file, symbol.line, symbol.column, static_cast<int>(symbol.name.size())};
      symbols.push_back({{"name", symbol.name},
                         {"kind", symbol_kind_number(symbol.kind)},
                         {"location", location_json(*analysis, path, spot, encoding)}});
      if (symbols.size() >= MAX_WORKSPACE_SYMBOLS) return symbols;
    }
  }
  return symbols;
}

json completion_json(const CompletionList& list) {
  json items = json::array();
  for (const CompletionEntry& entry : list.entries) {
    items.push_back({{"label", entry.label}, {"kind", item_kind(entry)}, {"detail", entry.detail}});
  }
  return {{"isIncomplete", list.incomplete}, {"items", items}};
}

json rename_json(const Analysis& analysis, const std::vector<Spot>& spots, const std::string& new_name,
                 PositionEncoding encoding) {
  json changes = json::object();
  for (const Spot& spot : spots) {
    const std::string uri = uri_for(analysis, analysis.path_of(spot.file));
    changes[uri].push_back({{"range", range_json(analysis, spot, encoding)}, {"newText", new_name}});
  }
  return {{"changes", changes}};
}

}  // namespace zorm::lsp
