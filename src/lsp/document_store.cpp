#include "lsp/document_store.h"

namespace zorm::lsp {

DocumentSnapshot::DocumentSnapshot(std::string uri, std::string path, std::string language_id, int version,
                                   std::string text)
    : uri(std::move(uri)),
      path(std::move(path)),
      language_id(std::move(language_id)),
      version(version),
      text(std::make_shared<const std::string>(std::move(text))),
      lines(*this->text) {}

Snapshot DocumentStore::open(const std::string& uri, const std::string& path, const std::string& language_id,
                             int version, std::string text) {
  auto snapshot = std::make_shared<const DocumentSnapshot>(uri, path, language_id, version, std::move(text));
  std::lock_guard lock(mutex_);
  documents_[path] = snapshot;
  return snapshot;
}

Snapshot DocumentStore::change(const std::string& path, int version, const std::vector<TextEdit>& edits,
                               PositionEncoding encoding) {
  Snapshot previous = get(path);
  if (!previous) return nullptr;
  std::string text = *previous->text;
  for (const TextEdit& edit : edits) {
    if (!edit.range) {
      text = edit.text;
      continue;
    }
    const LineIndex lines(text);
    size_t start = lines.offset_of(edit.range->start, encoding);
    size_t end = lines.offset_of(edit.range->end, encoding);
    if (end < start) std::swap(start, end);
    text.replace(start, end - start, edit.text);
  }
  auto snapshot =
      std::make_shared<const DocumentSnapshot>(previous->uri, path, previous->language_id, version, std::move(text));
  std::lock_guard lock(mutex_);
  // Changes come in order from one thread; a close in between wins.
  if (documents_.count(path) == 0) return nullptr;
  documents_[path] = snapshot;
  return snapshot;
}

bool DocumentStore::close(const std::string& path) {
  std::lock_guard lock(mutex_);
  return documents_.erase(path) > 0;
}

Snapshot DocumentStore::get(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(path);
  return found == documents_.end() ? nullptr : found->second;
}

std::vector<Snapshot> DocumentStore::all() const {
  std::lock_guard lock(mutex_);
  std::vector<Snapshot> snapshots;
  snapshots.reserve(documents_.size());
  for (const auto& [path, snapshot] : documents_) snapshots.push_back(snapshot);
  return snapshots;
}

bool DocumentStore::is_current(const std::string& path, int version) const {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(path);
  return found != documents_.end() && found->second->version == version;
}

}  // namespace zorm::lsp
