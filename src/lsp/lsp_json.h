#pragma once
// The JSON shapes of the protocol, made from the server logic's results:
// positions and ranges in the negotiated units, locations, diagnostics,
// symbols, completion items and edits.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "lsp/analysis.h"
#include "lsp/features.h"
#include "lsp/positions.h"
#include "lsp/workspace.h"

namespace zorm::lsp {

// A document position from a request's params ({"textDocument": {"uri"}, "position"}).
struct DocumentPosition {
  std::string path;
  ProtocolPosition position;
};
// The canonical path a document URI names. A URI of another scheme (an
// unsaved buffer) gets a path under UNSAVED_FOLDER; a string that is no URI
// at all is an RpcError (InvalidParams).
std::string path_of_uri(const std::string& uri);
inline constexpr const char* UNSAVED_FOLDER = "/zorm-lsp-unsaved/";
std::string path_param(const nlohmann::json& params);
DocumentPosition position_param(const nlohmann::json& params);

// The assembler's line and column of a protocol position in a file of the
// analysis.
struct SourcePlace {
  int line = 1;
  int column = 0;
};
SourcePlace source_place(const Analysis& analysis, int file, ProtocolPosition position, PositionEncoding encoding);

nlohmann::json range_json(const Analysis& analysis, const Spot& spot, PositionEncoding encoding);
// The client's URI for an open document, else one made from the path.
std::string uri_for(const Analysis& analysis, const std::string& path);
nlohmann::json location_json(const Analysis& analysis, const std::string& path, const Spot& spot,
                             PositionEncoding encoding);

nlohmann::json diagnostics_json(const FileDiagnostics& diagnostics, PositionEncoding encoding);
nlohmann::json hover_json(const Analysis& analysis, const HoverText& hover, PositionEncoding encoding);
nlohmann::json document_symbols_json(const Analysis& analysis, const std::vector<OutlineEntry>& entries,
                                     PositionEncoding encoding, bool hierarchical, const std::string& uri);
// The symbols of all analyses whose names match the query, each once.
nlohmann::json workspace_symbols_json(const std::vector<std::shared_ptr<const Analysis>>& analyses,
                                      const std::string& query, PositionEncoding encoding);
nlohmann::json completion_json(const CompletionList& list);
nlohmann::json rename_json(const Analysis& analysis, const std::vector<Spot>& spots, const std::string& new_name,
                           PositionEncoding encoding);

// The protocol's symbol kinds.
int symbol_kind_number(SymbolKind kind);

// At most this many workspace symbols are given for one query.
inline constexpr size_t MAX_WORKSPACE_SYMBOLS = 500;

}  // namespace zorm::lsp
