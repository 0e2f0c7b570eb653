#include "lsp/workspace.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>
#include <utility>

#include "lsp/uri.h"

namespace zorm::lsp {

namespace {

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The message as the editor shows it: where a macro expansion found it is
// part of the text.
std::string message_of(const Diagnostic& diagnostic) {
  if (diagnostic.macro.empty()) return diagnostic.message;
  return diagnostic.message + " (in macro " + diagnostic.macro + ", line " +
         std::to_string(diagnostic.expansion_line) + ")";
}

constexpr std::string_view UNDEFINED_LABEL = "Undefined label ";

// The name of an "Undefined label NAME" message; "" for other messages.
std::string undefined_name(const std::string& message) {
  return message.rfind(UNDEFINED_LABEL, 0) == 0 ? message.substr(UNDEFINED_LABEL.size()) : "";
}

// Where each name that some diagnostic calls undefined is written, outside
// macro expansions.
std::map<std::string, std::vector<Spot>> uses_of_undefined_names(const Analysis& analysis) {
  std::map<std::string, std::vector<Spot>> uses;
  for (const Diagnostic& diagnostic : analysis.result().diagnostics) {
    const std::string name = undefined_name(diagnostic.message);
    if (!name.empty()) uses[name];
  }
  if (uses.empty()) return uses;
  for (const SymbolReference& reference : analysis.result().references) {
    if (reference.in_expansion || reference.file < 0) continue;
    const auto wanted = uses.find(reference.name);
    if (wanted == uses.end()) continue;
    wanted->second.push_back(
        {reference.file, reference.line, reference.column, static_cast<int>(reference.name.size())});
  }
  for (auto at = uses.begin(); at != uses.end();) at = at->second.empty() ? uses.erase(at) : std::next(at);
  return uses;
}

}  // namespace

bool is_assembly_document(const std::string& language_id, const std::string& path) {
  static const char* const LANGUAGES[] = {"zorm-asm", "zorm", "asm", "z80", "z80asm", "asm-z80"};
  static const char* const EXTENSIONS[] = {".asm", ".z80", ".s80", ".mac", ".inc"};
  for (const char* language : LANGUAGES) {
    if (language_id == language) return true;
  }
  const std::string name = lower(path);
  for (const char* extension : EXTENSIONS) {
    if (ends_with(name, extension)) return true;
  }
  return false;
}

struct Workspace::Program {
  explicit Program(std::string key) : key(std::move(key)) {}
  const std::string key;        // the main file's path
  std::set<std::string> members;  // open documents checked through it (guarded by the workspace)

  std::mutex mutex;  // guards what follows
  std::condition_variable wake;
  bool stop = false;
  bool dirty = false;
  bool running = false;
  Clock::time_point due;
  Clock::time_point last_change;
  std::vector<Query> queries;
  std::shared_ptr<const Analysis> latest;
  double last_milliseconds = 0;
  std::atomic<bool> cancel{false};
  std::thread worker;
};

Workspace::Workspace(WorkspaceOptions options, Publisher publish, Notice notice, Log log)
    : options_(std::move(options)), publish_(std::move(publish)), notice_(std::move(notice)), log_(std::move(log)) {}

Workspace::~Workspace() {
  std::vector<std::string> keys;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [key, program] : programs_) keys.push_back(key);
  }
  for (const std::string& key : keys) retire(key, false);
  reap();
}

std::string Workspace::uri_of(const std::string& path) const {
  if (Snapshot document = documents_.get(path)) return document->uri;
  return uri_from_path(path);
}

// Called with mutex_ held.
Workspace::Program& Workspace::program_named(const std::string& key) {
  std::unique_ptr<Program>& slot = programs_[key];
  if (!slot) {
    slot = std::make_unique<Program>(key);
    Program& program = *slot;
    program.worker = std::thread([this, &program] { run(program); });
  }
  return *slot;
}

// Called with mutex_ held.
void Workspace::assign(const std::string& path, const std::string& key) {
  const auto previous = assignment_.find(path);
  if (previous != assignment_.end() && previous->second != key) {
    const auto old = programs_.find(previous->second);
    if (old != programs_.end()) old->second->members.erase(path);
  }
  assignment_[path] = key;
  program_named(key).members.insert(path);
}

// Which program checks a document: the main file of its zorm.json, else a
// program whose last assembly read it, else its own. Called with mutex_ held.
std::string Workspace::program_for(const std::string& path) {
  const ProjectSettings settings = find_project(folder_of(path), options_.root);
  if (settings.main) {
    const std::string main = canonical_path(*settings.main);
    const auto program = programs_.find(main);
    bool known_outside = false;
    if (program != programs_.end()) {
      std::lock_guard program_lock(program->second->mutex);
      known_outside = program->second->latest && program->second->latest->file_of(path) < 0;
    }
    if (!known_outside) return main;
  }
  for (const auto& [key, program] : programs_) {
    std::lock_guard lock(program->mutex);
    if (key != path && program->latest && program->latest->file_of(path) > 0) return key;
  }
  return path;
}

void Workspace::mark_dirty(Program& program, bool at_once) {
  {
    std::lock_guard lock(program.mutex);
    // The debounce is half as long as the last assembly took. A change after
    // a quiet spell of that length is assembled at once; changes that follow
    // each other more closely (typing) wait until it passes without one.
    const auto debounce = std::clamp(std::chrono::milliseconds(static_cast<long>(program.last_milliseconds / 2)),
                                     options_.min_debounce, options_.max_debounce);
    const Clock::time_point now = Clock::now();
    const bool quiet = !program.dirty && !program.running && now - program.last_change > debounce;
    program.due = at_once || quiet ? now : now + debounce;
    program.last_change = now;
    program.dirty = true;
    if (program.running) program.cancel = true;
  }
  program.wake.notify_all();
}

// Stops a program; its thread is joined by reap(). Called without mutex_.
void Workspace::retire(const std::string& key, bool clear_diagnostics) {
  std::vector<std::string> cleared;
  {
    std::lock_guard lock(mutex_);
    const auto found = programs_.find(key);
    if (found == programs_.end()) return;
    std::unique_ptr<Program> program = std::move(found->second);
    programs_.erase(found);
    for (const std::string& member : program->members) {
      const auto assigned = assignment_.find(member);
      if (assigned != assignment_.end() && assigned->second == key) assignment_.erase(assigned);
    }
    for (auto at = publications_.begin(); at != publications_.end();) {
      if (at->second.owner != key) {
        ++at;
        continue;
      }
      if (clear_diagnostics) cleared.push_back(at->first);
      at = publications_.erase(at);
    }
    {
      std::lock_guard program_lock(program->mutex);
      program->stop = true;
      program->cancel = true;
    }
    program->wake.notify_all();
    retired_.push_back(std::move(program));
    for (const std::string& path : cleared) publish_empty(path);
  }
  idle_changed_.notify_all();
}

void Workspace::reap() {
  std::vector<std::unique_ptr<Program>> stopped;
  {
    std::lock_guard lock(mutex_);
    stopped.swap(retired_);
  }
  for (std::unique_ptr<Program>& program : stopped) {
    if (program->worker.get_id() == std::this_thread::get_id()) {
      program->worker.detach();  // never happens: workers do not reap
      continue;
    }
    if (program->worker.joinable()) program->worker.join();
  }
}

void Workspace::publish_empty(const std::string& path) {
  FileDiagnostics cleared;
  cleared.path = path;
  cleared.uri = uri_of(path);
  if (Snapshot document = documents_.get(path)) cleared.version = document->version;
  publish_(cleared);
}

ProgramSetup Workspace::setup_for(const std::string& main) {
  ProgramSetup setup;
  setup.main = main;
  setup.settings = find_project(folder_of(main), options_.root);
  setup.folder = setup.settings.file.empty() ? folder_of(main) : setup.settings.folder;
  if (!setup.settings.problem.empty()) {
    const std::string text = setup.settings.file + ": " + setup.settings.problem;
    bool first_time = false;
    {
      std::lock_guard lock(mutex_);
      first_time = told_.insert(text).second;
    }
    if (first_time) notice_(text);
  }
  return setup;
}

void Workspace::open(const std::string& uri, const std::string& path, const std::string& language_id, int version,
                     std::string text) {
  if (documents_.get(path)) close(path);  // opened again: start afresh
  reap();
  documents_.open(uri, path, language_id, version, std::move(text));
  if (!is_assembly_document(language_id, path)) return;
  std::lock_guard lock(mutex_);
  const std::string key = program_for(path);
  assign(path, key);
  mark_dirty(*programs_.at(key), true);
}

bool Workspace::change(const std::string& path, int version, const std::vector<TextEdit>& edits,
                       PositionEncoding encoding) {
  reap();
  if (!documents_.change(path, version, edits, encoding)) return false;
  std::lock_guard lock(mutex_);
  const auto assigned = assignment_.find(path);
  if (assigned != assignment_.end()) mark_dirty(*programs_.at(assigned->second), false);
  return true;
}

void Workspace::close(const std::string& path) {
  reap();
  documents_.close(path);
  std::string retiring;
  {
    std::lock_guard lock(mutex_);
    const auto assigned = assignment_.find(path);
    if (assigned == assignment_.end()) return;
    Program& program = *programs_.at(assigned->second);
    assignment_.erase(assigned);
    program.members.erase(path);
    if (program.members.empty()) {
      retiring = program.key;
    } else {
      mark_dirty(program, true);
    }
  }
  if (!retiring.empty()) retire(retiring, true);
  reap();
}

void Workspace::files_changed(const std::vector<std::string>& paths) {
  reap();
  const bool settings_changed = std::any_of(paths.begin(), paths.end(), [](const std::string& path) {
    return path == PROJECT_FILE_NAME || ends_with(path, std::string("/") + PROJECT_FILE_NAME);
  });
  if (settings_changed) {
    std::vector<std::string> keys;
    {
      std::lock_guard lock(mutex_);
      for (const auto& [key, program] : programs_) keys.push_back(key);
      told_.clear();
    }
    for (const std::string& key : keys) retire(key, true);
    reap();
    std::lock_guard lock(mutex_);
    for (const Snapshot& document : documents_.all()) {
      if (!is_assembly_document(document->language_id, document->path)) continue;
      const std::string key = program_for(document->path);
      assign(document->path, key);
      mark_dirty(*programs_.at(key), true);
    }
    return;
  }
  std::lock_guard lock(mutex_);
  for (const auto& [key, program] : programs_) mark_dirty(*program, true);
}

void Workspace::query(const std::string& path, Query query) {
  reap();
  std::shared_ptr<const Analysis> reader;
  {
    std::lock_guard lock(mutex_);
    const auto assigned = assignment_.find(path);
    if (assigned != assignment_.end()) {
      Program& program = *programs_.at(assigned->second);
      {
        std::lock_guard program_lock(program.mutex);
        program.queries.push_back(std::move(query));
      }
      program.wake.notify_all();
      return;
    }
    for (const auto& [key, program] : programs_) {
      std::lock_guard program_lock(program->mutex);
      if (program->latest && program->latest->file_of(path) >= 0) {
        reader = program->latest;
        break;
      }
    }
  }
  query(reader);
}

std::vector<std::shared_ptr<const Analysis>> Workspace::analyses() const {
  std::vector<std::shared_ptr<const Analysis>> found;
  std::lock_guard lock(mutex_);
  for (const auto& [key, program] : programs_) {
    std::lock_guard program_lock(program->mutex);
    if (program->latest) found.push_back(program->latest);
  }
  return found;
}

void Workspace::wait_until_idle() {
  for (;;) {
    bool idle = true;
    {
      std::lock_guard lock(mutex_);
      for (const auto& [key, program] : programs_) {
        std::lock_guard program_lock(program->mutex);
        if (program->dirty || program->running || !program->queries.empty()) idle = false;
      }
    }
    if (idle) return;
    std::unique_lock lock(idle_mutex_);
    idle_changed_.wait_for(lock, std::chrono::milliseconds(5));
  }
}

void Workspace::run(Program& program) {
  std::unique_lock lock(program.mutex);
  for (;;) {
    if (program.stop) break;
    if (program.dirty && program.queries.empty() && Clock::now() < program.due) {
      program.wake.wait_until(lock, program.due);
      continue;
    }
    if (program.dirty) {
      program.dirty = false;
      program.running = true;
      program.cancel = false;
      lock.unlock();
      const auto started = Clock::now();
      const ProgramSetup setup = setup_for(program.key);
      std::shared_ptr<const Analysis> analysis =
          analyse(setup, documents_.all(), &program.cancel, options_.statement_budget);
      if (log_) {
        const char* outcome = analysis->result().stopped == StopReason::cancelled ? " (superseded)" : "";
        log_("assembled " + program.key + " in " + std::to_string(static_cast<int>(analysis->milliseconds())) +
             " ms, analysed in " +
             std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count()) +
             " ms" + outcome);
      }
      lock.lock();
      if (analysis->result().stopped == StopReason::cancelled) {
        program.running = false;
        continue;
      }
      // The analysis it replaces is freed after the diagnostics are out.
      std::shared_ptr<const Analysis> previous = std::exchange(program.latest, analysis);
      program.last_milliseconds = analysis->milliseconds();
      lock.unlock();
      on_analysis(program, analysis);
      if (log_) {
        log_("published after " +
             std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count()) +
             " ms");
      }
      previous.reset();
      lock.lock();
      program.running = false;
      idle_changed_.notify_all();
      continue;
    }
    if (!program.queries.empty()) {
      std::vector<Query> queries;
      queries.swap(program.queries);
      std::shared_ptr<const Analysis> latest = program.latest;
      program.running = true;
      lock.unlock();
      for (Query& query : queries) query(latest);
      lock.lock();
      program.running = false;
      idle_changed_.notify_all();
      continue;
    }
    idle_changed_.notify_all();
    program.wake.wait(lock);
  }
  // Stopped: what still waits gets the last analysis rather than no answer.
  std::vector<Query> queries;
  queries.swap(program.queries);
  std::shared_ptr<const Analysis> latest = program.latest;
  lock.unlock();
  for (Query& query : queries) query(latest);
}

void Workspace::on_analysis(Program& program, const std::shared_ptr<const Analysis>& analysis) {
  std::vector<std::string> retiring;
  {
    std::lock_guard lock(mutex_);
    const auto registered = programs_.find(program.key);
    if (registered == programs_.end() || registered->second.get() != &program) return;
    const bool complete = analysis->result().stopped == StopReason::none;
    if (analysis->file_count() == 0 && told_.insert("unreadable " + program.key).second) {
      notice_("cannot read the main file " + program.key + "; its files are checked on their own");
    }
    // Open documents this program reads that are checked on their own
    // come here; members it no longer reads go back to their own.
    for (size_t file = 1; file < analysis->file_count(); ++file) {
      const std::string& path = analysis->path_of(static_cast<int>(file));
      const auto assigned = assignment_.find(path);
      if (assigned == assignment_.end() || assigned->second != path || path == program.key) continue;
      retiring.push_back(path);
      assign(path, program.key);
    }
    if (complete) {
      const std::set<std::string> members = program.members;
      for (const std::string& member : members) {
        if (member == program.key || analysis->file_of(member) >= 0) continue;
        assign(member, member);
        mark_dirty(*programs_.at(member), true);
      }
      if (program.members.empty()) {
        // No open document is checked through this program any more.
        retiring.push_back(program.key);
      }
    }
    const bool still_needed = retiring.empty() || retiring.back() != program.key;
    if (still_needed) {
      // What the retiring programs published now belongs to this one where
      // this one reads the file.
      for (auto& [path, publication] : publications_) {
        const bool retiring_owner =
            std::find(retiring.begin(), retiring.end(), publication.owner) != retiring.end();
        if (retiring_owner && analysis->file_of(path) >= 0) publication.owner = program.key;
      }
      publish_analysis(program, analysis);
    }
  }
  for (const std::string& key : retiring) retire(key, true);
  idle_changed_.notify_all();
}

// Called with mutex_ held.
void Workspace::publish_analysis(Program& program, const std::shared_ptr<const Analysis>& shared) {
  const Analysis& analysis = *shared;
  const AssemblyResult& result = analysis.result();
  std::map<std::string, std::vector<FileDiagnostic>> by_path;
  const std::map<std::string, std::vector<Spot>> undefined_uses = uses_of_undefined_names(analysis);
  for (const Diagnostic& diagnostic : result.diagnostics) {
    // An undefined name is reported once, at the statement that stood when
    // pass 1 ended; the editor marks it where it is written instead.
    const auto uses = diagnostic.column < 0 ? undefined_uses.find(undefined_name(diagnostic.message))
                                            : undefined_uses.end();
    if (uses != undefined_uses.end()) {
      for (const Spot& use : uses->second) {
        by_path[analysis.path_of(use.file)].push_back(
            {use.line, use.column, use.length, diagnostic.message, diagnostic.severity});
      }
      continue;
    }
    const int file = diagnostic.file >= 0 ? diagnostic.file : 0;
    if (analysis.path_of(file).empty()) continue;
    FileDiagnostic item;
    item.line = diagnostic.file >= 0 ? diagnostic.line : static_cast<int>(analysis.lines_of(0).line_count());
    item.column = diagnostic.file >= 0 ? diagnostic.column : -1;
    item.length = diagnostic.length;
    item.message = message_of(diagnostic);
    item.severity = diagnostic.severity;
    by_path[analysis.path_of(file)].push_back(std::move(item));
  }
  if (result.stopped == StopReason::budget && analysis.file_count() > 0) {
    by_path[analysis.path_of(0)].push_back(
        {1, -1, 0, "Assembly stopped after " + std::to_string(options_.statement_budget) +
                       " statements in one pass: is a macro expanding without end?",
         Severity::error});
  }

  std::set<std::string> seen;
  for (size_t file = 0; file < analysis.file_count(); ++file) {
    const std::string& path = analysis.path_of(static_cast<int>(file));
    if (!seen.insert(path).second) continue;
    const auto assigned = assignment_.find(path);
    const auto publication = publications_.find(path);
    std::string rightful = program.key;
    if (assigned != assignment_.end()) {
      rightful = assigned->second;
    } else if (publication != publications_.end() && programs_.count(publication->second.owner)) {
      rightful = publication->second.owner;
    }
    if (rightful != program.key) continue;
    const Snapshot used = analysis.document_of(static_cast<int>(file));
    const Snapshot current = documents_.get(path);
    // A newer text is on its way to being assembled: its diagnostics follow.
    if ((used && (!current || current->version != used->version)) || (!used && current)) continue;
    std::vector<FileDiagnostic>& items = by_path[path];
    const bool was_nonempty = publication != publications_.end() && publication->second.nonempty;
    if (items.empty() && !was_nonempty && !used) continue;
    FileDiagnostics published;
    published.path = path;
    published.uri = used ? used->uri : uri_from_path(path);
    if (used) published.version = used->version;
    published.items = std::move(items);
    published.analysis = shared;
    published.file = static_cast<int>(file);
    publications_[path] = {program.key, !published.items.empty()};
    publish_(published);
  }
  for (auto at = publications_.begin(); at != publications_.end();) {
    if (at->second.owner == program.key && !seen.count(at->first)) {
      const std::string path = at->first;
      at = publications_.erase(at);
      publish_empty(path);
    } else {
      ++at;
    }
  }
}

}  // namespace zorm::lsp
