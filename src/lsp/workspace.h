#pragma once
// The open documents and the programs they belong to, and the scheduling of
// their assemblies: one worker thread per program (per main file); a change
// after a quiet spell is assembled at once, changes in quick succession are
// debounced by half as long as the last assembly took; a newer version
// cancels the assembly of an older one; diagnostics are published with the
// version they were made from, and only while that version is current.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "lsp/analysis.h"
#include "lsp/document_store.h"

namespace zorm::lsp {

struct WorkspaceOptions {
  std::string root;  // canonical workspace folder; "" for none
  // Statements one pass may assemble before the assembly is stopped (a
  // runaway macro must not freeze the editor).
  uint64_t statement_budget = 2'000'000;
  std::chrono::milliseconds min_debounce{5};
  std::chrono::milliseconds max_debounce{250};
};

// One diagnostic of a file.
struct FileDiagnostic {
  int line = 1;       // 1-based
  int column = -1;    // the assembler's column of "<<"; -1: the whole line
  int length = 0;     // bytes from column
  std::string message;
  Severity severity = Severity::error;
};

// The diagnostics of one file, published as a whole (empty: cleared).
struct FileDiagnostics {
  std::string path;
  std::string uri;
  std::optional<int> version;  // of the open document they were made from
  std::vector<FileDiagnostic> items;
  // The text the lines refer to: analysis->lines_of(file) (none when cleared).
  std::shared_ptr<const Analysis> analysis;
  int file = -1;
};

// Whether a document is assembly source, by its language id or name.
bool is_assembly_document(const std::string& language_id, const std::string& path);

class Workspace {
 public:
  using Publisher = std::function<void(const FileDiagnostics&)>;
  using Notice = std::function<void(const std::string&)>;
  using Log = std::function<void(const std::string&)>;
  using Query = std::function<void(std::shared_ptr<const Analysis>)>;

  Workspace(WorkspaceOptions options, Publisher publish, Notice notice, Log log = nullptr);
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  void open(const std::string& uri, const std::string& path, const std::string& language_id, int version,
            std::string text);
  // False for a document that is not open.
  bool change(const std::string& path, int version, const std::vector<TextEdit>& edits, PositionEncoding encoding);
  void close(const std::string& path);
  // Files changed on disk (saved, or changed by another program): every
  // program is assembled again; a changed zorm.json sets every document's
  // program anew.
  void files_changed(const std::vector<std::string>& paths);

  // Runs the query with the analysis of the document's current text, on the
  // worker of its program (at once for a file that is not open but that a
  // program reads). The query gets nullptr when there is no analysis.
  void query(const std::string& path, Query query);
  // The newest analysis of every program.
  std::vector<std::shared_ptr<const Analysis>> analyses() const;
  const DocumentStore& documents() const { return documents_; }
  // Blocks until no program has an assembly or a query waiting or running.
  void wait_until_idle();

 private:
  struct Program;
  using Clock = std::chrono::steady_clock;

  std::string program_for(const std::string& path);
  Program& program_named(const std::string& key);
  void assign(const std::string& path, const std::string& key);
  void mark_dirty(Program& program, bool at_once);
  void retire(const std::string& key, bool clear_diagnostics);
  void reap();
  ProgramSetup setup_for(const std::string& main);
  void run(Program& program);
  void on_analysis(Program& program, const std::shared_ptr<const Analysis>& analysis);
  void publish_analysis(Program& program, const std::shared_ptr<const Analysis>& analysis);
  void publish_empty(const std::string& path);
  std::string uri_of(const std::string& path) const;

  WorkspaceOptions options_;
  Publisher publish_;
  Notice notice_;
  Log log_;
  DocumentStore documents_;

  mutable std::mutex mutex_;  // guards everything below; taken before any program's own
  std::map<std::string, std::unique_ptr<Program>> programs_;  // by main path
  std::map<std::string, std::string> assignment_;             // open assembly document -> program
  struct Publication {
    std::string owner;
    bool nonempty = false;
  };
  std::map<std::string, Publication> publications_;  // by path
  std::set<std::string> told_;                       // notices given once
  std::vector<std::unique_ptr<Program>> retired_;    // stopped, to be joined

  std::mutex idle_mutex_;
  std::condition_variable idle_changed_;
};

}  // namespace zorm::lsp
