#include "lsp/analysis.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <tuple>
#include <fstream>
#include <sstream>

#include "lsp/rooted_provider.h"
#include "zorm/source_provider.h"

namespace zorm::lsp {

namespace {

// Indices of records sorted by their file and line.
template <typename Record>
std::vector<int> sorted_by_place(const std::vector<Record>& records) {
  std::vector<int> order(records.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const Record& x = records[static_cast<size_t>(a)];
    const Record& y = records[static_cast<size_t>(b)];
    return std::tie(x.file, x.line) < std::tie(y.file, y.line);
  });
  return order;
}

// The records of one line, from indices sorted by place.
template <typename Record>
std::vector<int> records_on(const std::vector<Record>& records, const std::vector<int>& order, int file, int line) {
  const auto first = std::lower_bound(order.begin(), order.end(), std::pair(file, line),
                                      [&](int index, const std::pair<int, int>& place) {
                                        const Record& r = records[static_cast<size_t>(index)];
                                        return std::pair(r.file, r.line) < place;
                                      });
  std::vector<int> found;
  for (auto at = first; at != order.end(); ++at) {
    const Record& r = records[static_cast<size_t>(*at)];
    if (r.file != file || r.line != line) break;
    found.push_back(*at);
  }
  return found;
}

}  // namespace

Analysis::Analysis(ProgramSetup setup, AssemblyResult result, std::map<std::string, Snapshot> documents,
                   double milliseconds)
    : setup_(std::move(setup)), result_(std::move(result)), documents_(std::move(documents)), milliseconds_(milliseconds) {
  paths_.reserve(result_.files.size());
  for (const std::string& name : result_.files) {
    const std::string path = canonical_path(name.empty() || name[0] == '/' ? name : setup_.folder + "/" + name);
    file_by_path_.emplace(path, static_cast<int>(paths_.size()));
    paths_.push_back(path);
  }
  for (size_t i = 0; i < result_.symbols.size(); ++i) {
    symbol_by_name_.emplace(result_.symbols[i].name, static_cast<int>(i));
  }
  references_by_place_ = sorted_by_place(result_.references);
  references_by_symbol_.resize(result_.symbols.size());
  for (int index : references_by_place_) {
    const int symbol = result_.references[static_cast<size_t>(index)].symbol;
    if (symbol >= 0 && static_cast<size_t>(symbol) < references_by_symbol_.size()) {
      references_by_symbol_[static_cast<size_t>(symbol)].push_back(index);
    }
  }
  statements_by_place_ = sorted_by_place(result_.lines);
}

std::vector<int> Analysis::references_on(int file, int line) const {
  return records_on(result_.references, references_by_place_, file, line);
}

const std::vector<int>& Analysis::references_of(int symbol) const {
  static const std::vector<int> none;
  return symbol >= 0 && static_cast<size_t>(symbol) < references_by_symbol_.size()
             ? references_by_symbol_[static_cast<size_t>(symbol)]
             : none;
}

std::vector<int> Analysis::statements_on(int file, int line) const {
  return records_on(result_.lines, statements_by_place_, file, line);
}

const std::string& Analysis::path_of(int file) const {
  static const std::string none;
  return file >= 0 && static_cast<size_t>(file) < paths_.size() ? paths_[static_cast<size_t>(file)] : none;
}

int Analysis::file_of(const std::string& path) const {
  const auto found = file_by_path_.find(path);
  return found == file_by_path_.end() ? -1 : found->second;
}

Snapshot Analysis::document_of(int file) const {
  const auto found = documents_.find(path_of(file));
  return found == documents_.end() ? nullptr : found->second;
}

const LineIndex& Analysis::lines_of(int file) const {
  if (Snapshot document = document_of(file)) return document->lines;
  std::lock_guard lock(disk_mutex_);
  DiskText& entry = disk_texts_[file];
  if (!entry.lines) {
    std::ifstream stream(path_of(file), std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    entry.text = content.str();
    entry.lines = std::make_unique<LineIndex>(entry.text);
  }
  return *entry.lines;
}

int Analysis::symbol_named(const std::string& name) const {
  const auto found = symbol_by_name_.find(name);
  return found == symbol_by_name_.end() ? -1 : found->second;
}

std::shared_ptr<const Analysis> analyse(const ProgramSetup& setup, const std::vector<Snapshot>& documents,
                                        const std::atomic<bool>* cancel, uint64_t statement_budget) {
  const auto started = std::chrono::steady_clock::now();
  OverlayProvider overlay;
  std::map<std::string, Snapshot> used;
  for (const Snapshot& document : documents) {
    overlay.set(document->path, *document->text);
    used.emplace(document->path, document);
  }
  RootedProvider sources(setup.folder, overlay);

  AssemblyOptions options;
  options.main_file = relative_to(setup.main, setup.folder);
  options.processor = setup.settings.processor;
  options.defines = setup.settings.defines;
  options.include_paths = setup.settings.include_paths;
  options.want_references = true;
  options.sources = &sources;
  options.cancel = cancel;
  options.statement_budget = statement_budget;
  AssemblyResult result = assemble(options);
  const double milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  // Documents the program did not read are looked up by no file index.
  return std::make_shared<Analysis>(setup, std::move(result), std::move(used), milliseconds);
}

}  // namespace zorm::lsp
