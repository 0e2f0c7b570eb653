#include "lsp/server.h"

#include <chrono>
#include <thread>

#include "lsp/features.h"
#include "lsp/lsp_json.h"
#include "zorm/language.h"

namespace zorm::lsp {

using nlohmann::json;
using protocol::Incoming;
using protocol::jsonrpc::INVALID_REQUEST;
using protocol::jsonrpc::REQUEST_CANCELLED;
using protocol::jsonrpc::REQUEST_FAILED;
using protocol::jsonrpc::Reply;
using protocol::jsonrpc::RpcError;
using protocol::jsonrpc::SERVER_NOT_INITIALIZED;

namespace {

PositionEncoding negotiated_encoding(const json& params) {
  const json* encodings = nullptr;
  if (params.is_object() && params.contains("capabilities")) {
    const json& capabilities = params["capabilities"];
    if (capabilities.is_object() && capabilities.contains("general") && capabilities["general"].is_object() &&
        capabilities["general"].contains("positionEncodings")) {
      encodings = &capabilities["general"]["positionEncodings"];
    }
  }
  if (encodings && encodings->is_array()) {
    for (const json& encoding : *encodings) {
      if (encoding == "utf-8") return PositionEncoding::utf8;
    }
  }
  return PositionEncoding::utf16;
}

// The workspace folder: the first workspace folder, else rootUri, else rootPath.
std::string root_folder(const json& params) {
  if (!params.is_object()) return "";
  try {
    if (params.contains("workspaceFolders") && params["workspaceFolders"].is_array() &&
        !params["workspaceFolders"].empty()) {
      return path_of_uri(params["workspaceFolders"][0].at("uri").get<std::string>());
    }
    if (params.contains("rootUri") && params["rootUri"].is_string()) {
      return path_of_uri(params["rootUri"].get<std::string>());
    }
    if (params.contains("rootPath") && params["rootPath"].is_string()) {
      return canonical_path(params["rootPath"].get<std::string>());
    }
  } catch (const std::exception&) {
  }
  return "";
}

bool hierarchical_symbols(const json& params) {
  const json pointer_target = params.value(json::json_pointer("/capabilities/textDocument/documentSymbol/"
                                                              "hierarchicalDocumentSymbolSupport"),
                                           json(false));
  return pointer_target.is_boolean() && pointer_target.get<bool>();
}

json capabilities(PositionEncoding encoding) {
  return {
      {"positionEncoding", encoding == PositionEncoding::utf8 ? "utf-8" : "utf-16"},
      {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
      {"definitionProvider", true},
      {"hoverProvider", true},
      {"referencesProvider", true},
      {"documentSymbolProvider", true},
      {"workspaceSymbolProvider", true},
      {"completionProvider", {{"resolveProvider", false}}},
      {"renameProvider", {{"prepareProvider", true}}},
  };
}

std::vector<TextEdit> edits_of(const json& changes) {
  std::vector<TextEdit> edits;
  for (const json& change : changes) {
    TextEdit edit;
    edit.text = change.at("text").get<std::string>();
    if (change.contains("range")) {
      const json& range = change.at("range");
      edit.range = ProtocolRange{{range.at("start").at("line").get<int>(), range.at("start").at("character").get<int>()},
                                 {range.at("end").at("line").get<int>(), range.at("end").at("character").get<int>()}};
    }
    edits.push_back(std::move(edit));
  }
  return edits;
}

}  // namespace

Server::Server(protocol::Transport& transport, ServerOptions options)
    : options_(options), connection_(transport), endpoint_(connection_) {
  endpoint_.set_log([this](const std::string& line) { log(line); });
  endpoint_.set_gate([this](std::string_view method, bool is_request) -> std::optional<RpcError> {
    if (method == "exit") return std::nullopt;
    if (!initialized_ && method != "initialize") {
      return RpcError(SERVER_NOT_INITIALIZED, "The server is not initialized yet");
    }
    if (initialized_ && method == "initialize") return RpcError(INVALID_REQUEST, "The server is initialized already");
    if (shutting_down_ && is_request) return RpcError(INVALID_REQUEST, "The server is shutting down");
    return std::nullopt;
  });
  register_methods();
}

Server::~Server() {
  workspace_.reset();
  connection_.close();
}

void Server::log(const std::string& line) const {
  if (options_.log) std::fprintf(options_.log, "zorm-lsp: %s\n", line.c_str());
}

int Server::run() {
  for (;;) {
    const Incoming item = connection_.next();
    if (item.kind == Incoming::Kind::end) break;
    if (item.kind == Incoming::Kind::framing_error) log("bad message header: " + item.error);
    endpoint_.dispatch(item);
    ++handled_;
    if (exit_requested_) break;
  }
  workspace_.reset();
  connection_.flush();
  return shutting_down_ && exit_requested_ ? 0 : 1;
}

void Server::wait_until_idle(uint64_t messages) {
  while (handled_.load() < messages) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The workspace is made and dropped by the reading thread only, between
  // the messages counted above.
  if (workspace_) workspace_->wait_until_idle();
  connection_.flush();
}

void Server::register_methods() {
  endpoint_.on_call("initialize", [this](const json& params) {
    encoding_ = negotiated_encoding(params);
    const bool hierarchical = hierarchical_symbols(params);
    WorkspaceOptions options;
    options.root = root_folder(params);
    options.statement_budget = options_.statement_budget;
    const PositionEncoding encoding = encoding_;
    workspace_ = std::make_unique<Workspace>(
        options,
        [this, encoding](const FileDiagnostics& diagnostics) {
          endpoint_.notify("textDocument/publishDiagnostics", diagnostics_json(diagnostics, encoding));
        },
        [this](const std::string& notice) {
          log(notice);
          endpoint_.notify("window/showMessage", {{"type", 2}, {"message", "zorm: " + notice}});
        },
        options_.log ? Workspace::Log([this](const std::string& line) { log(line); }) : Workspace::Log());
    initialized_ = true;
    hierarchical_ = hierarchical;
    return json{{"capabilities", capabilities(encoding_)}, {"serverInfo", {{"name", "zorm-lsp"}, {"version", version()}}}};
  });
  endpoint_.on_notification("initialized", [](const json&) {});
  endpoint_.on_call("shutdown", [this](const json&) {
    shutting_down_ = true;
    return json(nullptr);
  });
  endpoint_.on_notification("exit", [this](const json&) { exit_requested_ = true; });
  endpoint_.on_notification("workspace/didChangeConfiguration", [](const json&) {});
  endpoint_.on_notification("$/setTrace", [](const json&) {});

  endpoint_.on_notification("textDocument/didOpen", [this](const json& params) {
    const json& document = params.at("textDocument");
    const std::string uri = document.at("uri").get<std::string>();
    workspace_->open(uri, path_of_uri(uri), document.value("languageId", std::string()),
                     document.at("version").get<int>(), document.at("text").get<std::string>());
  });
  endpoint_.on_notification("textDocument/didChange", [this](const json& params) {
    const std::string path = path_param(params);
    const int version = params.at("textDocument").at("version").get<int>();
    if (!workspace_->change(path, version, edits_of(params.at("contentChanges")), encoding_)) {
      log("change of a document that is not open: " + path);
    }
  });
  endpoint_.on_notification("textDocument/didClose", [this](const json& params) { workspace_->close(path_param(params)); });
  endpoint_.on_notification("textDocument/didSave", [this](const json& params) {
    workspace_->files_changed({path_param(params)});
  });
  endpoint_.on_notification("workspace/didChangeWatchedFiles", [this](const json& params) {
    std::vector<std::string> paths;
    for (const json& change : params.at("changes")) paths.push_back(path_of_uri(change.at("uri").get<std::string>()));
    workspace_->files_changed(paths);
  });

  // A request answered from the analysis of one document, on its program's
  // worker: with null when there is none, with RequestCancelled when the
  // client cancelled it meanwhile, with an error when the work failed.
  auto on_document = [this](const std::string& method,
                            std::function<json(const Analysis&, int file, const json& params)> answer) {
    endpoint_.on_request(method, [this, answer](const json& params, const Reply& reply) {
      const std::string path = path_param(params);
      workspace_->query(path, [answer, params, path, reply](std::shared_ptr<const Analysis> analysis) {
        if (reply.cancelled()) {
          reply.error(REQUEST_CANCELLED, "The request was cancelled");
          return;
        }
        const int file = analysis ? analysis->file_of(path) : -1;
        if (file < 0) {
          reply.result(nullptr);
          return;
        }
        try {
          reply.result(answer(*analysis, file, params));
        } catch (const RpcError& failure) {
          reply.error(failure.code(), failure.what());
        } catch (const std::exception& failure) {
          reply.error(protocol::jsonrpc::INTERNAL_ERROR, failure.what());
        }
      });
    });
  };
  auto place_of = [this](const Analysis& analysis, int file, const json& params) {
    return source_place(analysis, file, position_param(params).position, encoding_);
  };

  on_document("textDocument/definition", [this, place_of](const Analysis& analysis, int file, const json& params) {
    const SourcePlace place = place_of(analysis, file, params);
    json locations = json::array();
    for (const Target& target : definition(analysis, file, place.line, place.column)) {
      locations.push_back(location_json(analysis, target.path, target.spot, encoding_));
    }
    return locations;
  });
  on_document("textDocument/hover", [this, place_of](const Analysis& analysis, int file, const json& params) {
    const SourcePlace place = place_of(analysis, file, params);
    const std::optional<HoverText> text = hover(analysis, file, place.line, place.column);
    return text ? hover_json(analysis, *text, encoding_) : json(nullptr);
  });
  on_document("textDocument/references", [this, place_of](const Analysis& analysis, int file, const json& params) {
    const SourcePlace place = place_of(analysis, file, params);
    const bool with_definition = params.value(json::json_pointer("/context/includeDeclaration"), json(true)) == true;
    json locations = json::array();
    const std::optional<NameAt> name = name_at(analysis, file, place.line, place.column);
    if (!name || name->symbol < 0) return locations;
    for (const Spot& spot : references(analysis, name->symbol, with_definition)) {
      locations.push_back(location_json(analysis, analysis.path_of(spot.file), spot, encoding_));
    }
    return locations;
  });
  on_document("textDocument/documentSymbol", [this](const Analysis& analysis, int file, const json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    return document_symbols_json(analysis, outline(analysis, file), encoding_, hierarchical_, uri);
  });
  on_document("textDocument/completion", [this](const Analysis& analysis, int file, const json& params) {
    const LineIndex& lines = analysis.lines_of(file);
    const size_t offset = lines.offset_of(position_param(params).position, encoding_);
    const size_t line = lines.line_of(offset);
    const std::string_view before = lines.line_text(line).substr(0, offset - lines.line_start(line));
    return completion_json(completion(&analysis, before, analysis.result().processor));
  });
  on_document("textDocument/prepareRename", [this, place_of](const Analysis& analysis, int file, const json& params) {
    const SourcePlace place = place_of(analysis, file, params);
    const std::optional<NameAt> name = name_at(analysis, file, place.line, place.column);
    if (!name || name->symbol < 0) return json(nullptr);
    const SymbolInfo& symbol = analysis.result().symbols[static_cast<size_t>(name->symbol)];
    if (symbol.file < 0) throw RpcError(REQUEST_FAILED, symbol.name + " is not defined in the sources");
    return json{{"range", range_json(analysis, name->spot, encoding_)}, {"placeholder", name->name}};
  });
  on_document("textDocument/rename", [this, place_of](const Analysis& analysis, int file, const json& params) {
    const SourcePlace place = place_of(analysis, file, params);
    const std::string new_name = params.at("newName").get<std::string>();
    const RenamePlan plan = plan_rename(analysis, file, place.line, place.column, new_name);
    if (!plan.refusal.empty()) throw RpcError(REQUEST_FAILED, plan.refusal);
    return rename_json(analysis, plan.spots, new_name, encoding_);
  });
  endpoint_.on_call("workspace/symbol", [this](const json& params) {
    return workspace_symbols_json(workspace_->analyses(), params.value("query", std::string()), encoding_);
  });
}

}  // namespace zorm::lsp
