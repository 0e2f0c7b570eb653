#pragma once
// The documents the editor has open: each version is an immutable snapshot,
// so an assembly or a query can keep the one it started with while newer
// edits arrive.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "lsp/positions.h"

namespace zorm::lsp {

struct DocumentSnapshot {
  DocumentSnapshot(std::string uri, std::string path, std::string language_id, int version, std::string text);
  DocumentSnapshot(const DocumentSnapshot&) = delete;
  DocumentSnapshot& operator=(const DocumentSnapshot&) = delete;

  std::string uri;          // as the client names it
  std::string path;         // canonical path: the key of every table
  std::string language_id;  // as the client gave it when opening
  int version;
  std::shared_ptr<const std::string> text;
  LineIndex lines;  // over *text
};

using Snapshot = std::shared_ptr<const DocumentSnapshot>;

// One edit of a change notification: the range to replace, or the whole text.
struct TextEdit {
  std::optional<ProtocolRange> range;
  std::string text;
};

class DocumentStore {
 public:
  // Opens (or, opened again, replaces) a document.
  Snapshot open(const std::string& uri, const std::string& path, const std::string& language_id, int version,
                std::string text);
  // Applies the edits in order, each to the text the previous one left;
  // nullptr for a document that is not open.
  Snapshot change(const std::string& path, int version, const std::vector<TextEdit>& edits,
                  PositionEncoding encoding);
  // False when it was not open.
  bool close(const std::string& path);
  Snapshot get(const std::string& path) const;
  // The open documents, by path.
  std::vector<Snapshot> all() const;
  // Whether this version of the document is still the current one.
  bool is_current(const std::string& path, int version) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Snapshot> documents_;
};

}  // namespace zorm::lsp
