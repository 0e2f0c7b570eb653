#include "source/source_stack.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <new>

#include "assembly/assembler.h"
#include "source/binary_include.h"
#include "source/plain_lines.h"

namespace zorm {

SourceStack::SourceStack(Assembler& as) : as_(as) {}

SourceStack::~SourceStack() { close_all(); }

void SourceStack::close_all() {
  while (top_ >= 0) pop_entry();
}

bool SourceStack::is_source_file(const std::string& path) const {
  return as_.source_provider->kind(path) == PathKind::file;
}

void SourceStack::pop_entry() {
  SourceEntry& entry = entries_[top_];
  entry.file.reset();
  entry.name.clear();
  entry.arguments.clear();
  entry.body.reset();
  entry.read_position = nullptr;
  --top_;
}

// Reads the next chunk of the entry's file into the shared buffer.
void SourceStack::fill_buffer(SourceEntry& entry) {
  char* buffer = file_buffer_.get();
  long n = entry.file->read(buffer, READ_CHUNK_SIZE);
  if (n < 0) n = 0;  // a read error ends the file
  entry.chunk_end = entry.chunk_start + static_cast<int32_t>(n);
  entry.bytes_buffered = static_cast<int32_t>(n);
  buffer[n] = END_OF_CHUNK;
}

// Puts a file's current chunk back into the shared buffer after an inner file
// or an include inside a macro expansion used it.
void SourceStack::reload_chunk(SourceEntry& entry) {
  entry.file->seek(static_cast<uint64_t>(entry.chunk_start));
  fill_buffer(entry);
}

int SourceStack::open_source_file(const std::string& path) {
  if (top_ >= MAX_SOURCE_DEPTH - 1) {
    as_.diagnostics.report_error(ERROR_NESTING_LIMIT);
    return 1;
  }
  if (top_ == -2) {
    file_buffer_.reset(new (std::nothrow) char[READ_CHUNK_SIZE + 1 + 16]());
    if (!file_buffer_) as_.diagnostics.report_error(ERROR_NO_MEMORY);
    top_ = -1;
  }
  std::unique_ptr<SourceFile> file = as_.source_provider->open(path);
  if (!file) {
    as_.diagnostics.report_error(ERROR_FILE_NOT_FOUND);
    return 1;
  }
  if (as_.options.verbose && !as_.options.quiet) as_.err.printf("\rReading from file \"%s\"\n", path.c_str());
  SourceEntry& entry = entries_[++top_];
  entry.name = path;
  entry.arguments.clear();
  entry.file = std::move(file);
  entry.record_number = as_.keep_records ? as_.records.file_number(path) : -1;
  entry.chunk_start = 0;
  entry.line_number = 0;
  entry.file_index = file_index_counter++;
  entry.saved_conditional_depth = as_.conditionals.conditional_depth;
  entry.line_cut = false;
  entry.read_position = file_buffer_.get();
  if (as_.pass_number == 0 && as_.debug.is_open()) as_.debug.write_file_record(path);
  fill_buffer(entry);
  return 0;
}

int SourceStack::push_macro_expansion(const std::string& name, std::shared_ptr<const std::string> body,
                                      std::string arguments, int call_column) {
  if (top_ >= MAX_SOURCE_DEPTH - 1) {
    as_.diagnostics.report_error(ERROR_NESTING_LIMIT);
    return 1;
  }
  SourceEntry& entry = entries_[++top_];
  entry.name = name;
  entry.arguments = std::move(arguments);
  entry.read_position = body->c_str();
  entry.body = std::move(body);
  entry.chunk_start = expansion_counter++;
  entry.call_column = call_column;
  entry.line_number = 0;
  entry.file_index = -1;
  entry.saved_conditional_depth = as_.conditionals.conditional_depth;
  entry.expansion_pending = false;
  entry.serial[0] = '\0';
  find_arguments(entry);
  return 0;
}

// The arguments are the fields of the argument string between separators,
// counted from 1; \0 gives their number, where an empty text after the last
// separator does not count.
void SourceStack::find_arguments(SourceEntry& entry) {
  const std::string& arguments = entry.arguments;
  const uint32_t size = static_cast<uint32_t>(arguments.size());
  entry.argument_start.fill(size);
  entry.argument_end.fill(size);
  entry.argument_start[1] = 0;
  int field = 1;
  int count = arguments.empty() ? 0 : 1;
  for (uint32_t a = 0; a < size; ++a) {
    if (arguments[a] != ARG_SEPARATOR) continue;
    if (a + 1 < size) ++count;
    if (field <= 9) entry.argument_end[static_cast<size_t>(field)] = a;
    if (++field <= 9) entry.argument_start[static_cast<size_t>(field)] = a + 1;
  }
  entry.argument_count = static_cast<char>('0' + count);
}

void SourceStack::end_expansion() {
  SourceEntry& entry = entries_[top_];
  if (entry.saved_conditional_depth < as_.conditionals.conditional_depth)
    as_.conditionals.conditional_depth = entry.saved_conditional_depth;
  pop_entry();
  if (top_ >= 0 && !entries_[top_].is_expansion()) reload_chunk(entries_[top_]);
}

int SourceStack::read_file_line(SourceEntry& entry, int length) {
  char* line = current_line;
  const char* p = entry.read_position;
  // Ends the line in current_line and hands it out; a piece cut at the length
  // limit keeps the line number of the line before it.
  auto deliver = [&](const char* next, bool line_feed) {
    line[length] = '\n';
    line[length + 1] = '\0';
    file_line_delivered(entry, next, line_feed);
    return 0;
  };
  for (;;) {
    // Printable bytes, tabs and bytes of 0x80 and above go straight in,
    // sixteen at a time: the block is copied whole and the line grows by the
    // bytes before its first control byte. The file buffer has room behind
    // its sentinel for a block read there, current_line for one written at
    // the length limit.
    const ByteBlock block = load_block(p);
    store_block(line + length, block);
    const int plain = first_marked(control_bytes(block));
    const int room = LINE_CHUNK_CHARS - length;
    if (plain >= room) {
      length = LINE_CHUNK_CHARS;
      return deliver(p + room, false);
    }
    length += plain;
    p += plain;
    if (plain == 16) continue;
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '\n') return deliver(p + 1, true);
    if (c == static_cast<unsigned char>(END_OF_CHUNK)) {
      if (p == file_buffer_.get() + entry.bytes_buffered) {
        entry.chunk_start = entry.chunk_end;
        fill_buffer(entry);
        p = file_buffer_.get();
        if (entry.bytes_buffered != 0) continue;
      }
      // The file has ended. A last line without a line end is still a line
      // of this file: it is delivered as if a line end followed, while the
      // file is on the stack, and the file ends at the next call. (After a
      // piece cut at the length limit that is an empty line, as it would be
      // before a line end.)
      if (length != 0 || entry.line_cut) return deliver(p, true);
      return finish_file();
    }
    ++p;  // other control bytes, carriage return among them, are dropped
  }
}

// The innermost file has ended after its last line. An included file is
// followed by one empty line before the including file or expansion goes on.
int SourceStack::finish_file() {
  pop_entry();
  if (top_ < 0) {
    file_index_counter = 0;
    return -1;
  }
  current_line[0] = '\n';
  current_line[1] = '\0';
  if (!entries_[top_].is_expansion()) reload_chunk(entries_[top_]);
  after_line_delivered(!entries_[top_].is_expansion());
  return 0;
}

void SourceStack::after_line_delivered(bool from_file) {
  if (as_.options.listing_level > 0) as_.listing.list_this_line = true;
  if (from_file) show_progress(entries_[top_].line_number);
}

void SourceStack::print_progress(int line) { as_.err.printf("Reading line %5d\r", line); }

namespace {

// Bytes that end a run of body text copied as it stands: the backslash of a
// placeholder, and control bytes other than the tab (the line feed and the
// NUL that ends the body among them).
constexpr std::array<bool, 256> BODY_RUN_END = [] {
  std::array<bool, 256> ends{};
  for (int c = 0; c < 256; ++c) ends[static_cast<size_t>(c)] = c == '\\' || (c < 0x20 && c != '\t');
  return ends;
}();

// The end of the run of body text from p up to the next backslash or
// control byte, found a byte at a time.
const char* end_of_run(const char* p) {
  while (!BODY_RUN_END[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

// Where an expanded line goes: straight into current_line, as long as it
// stays shorter than the length limit (a copy fails at the limit) ...
class LineText {
 public:
  explicit LineText(char* line) : line_(line) {}
  bool append(const char* text, size_t count) {
    if (length_ + count >= static_cast<size_t>(LINE_CHUNK_CHARS)) return false;
    std::memcpy(line_ + length_, text, count);
    length_ += count;
    return true;
  }
  // Copies the run of body text that starts at p and returns where it
  // stopped (nullptr at the limit). Where sixteen bytes of the body remain
  // they are looked at and copied as a block: current_line has room for one
  // written at the limit.
  const char* copy_run(const char* p, const char* end) {
    while (end - p >= 16) {
      const ByteBlock block = load_block(p);
      const int plain = first_marked(equal_bytes(block, '\\') | control_bytes(block));
      if (length_ + static_cast<size_t>(plain) >= static_cast<size_t>(LINE_CHUNK_CHARS)) return nullptr;
      store_block(line_ + length_, block);
      length_ += static_cast<size_t>(plain);
      p += plain;
      if (plain < 16) return p;
    }
    const char* stop = end_of_run(p);
    return append(p, static_cast<size_t>(stop - p)) ? stop : nullptr;
  }
  size_t size() const { return length_; }

 private:
  char* line_;
  size_t length_ = 0;
};

// ... or, whatever its length, into the entry's pending text, from which it
// is handed out in pieces.
class PendingText {
 public:
  explicit PendingText(std::string& text) : text_(text) { text_.clear(); }
  bool append(const char* text, size_t count) {
    text_.append(text, count);
    return true;
  }
  const char* copy_run(const char* p, const char*) {
    const char* stop = end_of_run(p);
    text_.append(p, static_cast<size_t>(stop - p));
    return stop;
  }
  size_t size() const { return text_.size(); }

 private:
  std::string& text_;
};

// Expands the next body line of the entry, filling in the arguments, the
// argument count and the serial number, and moves the entry past it; false
// (and the entry not moved) when the text does not take the whole line.
template <typename Text>
bool expand_body_line(SourceEntry& entry, Text& text) {
  const char* p = entry.read_position;
  const char* const end = entry.body->data() + entry.body->size();
  const std::string& arguments = entry.arguments;
  for (;;) {
    p = text.copy_run(p, end);
    if (p == nullptr) return false;
    const char c = *p;
    if (c == '\n' || c == '\0') {
      // A last body line without a line feed is still a line of the body;
      // the body ends at the next call.
      entry.expanded_terminator = c == '\0' && text.size() == 0 ? '\0' : '\n';
      entry.read_position = c == '\n' ? p + 1 : p;
      return true;
    }
    if (c != '\\') {
      ++p;  // a control byte is dropped
      continue;
    }
    bool fits = true;
    if (p[1] >= '1' && p[1] <= '9') {
      const size_t field = static_cast<size_t>(p[1] - '0');
      const size_t start = entry.argument_start[field];
      if (start < arguments.size()) fits = text.append(arguments.data() + start, entry.argument_end[field] - start);
      p += 2;
    } else if (p[1] == '0') {
      fits = text.append(&entry.argument_count, 1);
      p += 2;
    } else if (p[1] == '?') {
      // Printed once per expansion, when it is first used.
      if (entry.serial[0] == '\0') {
        const int length = std::snprintf(entry.serial, sizeof entry.serial, "%04u", static_cast<unsigned>(entry.chunk_start));
        entry.serial_length = static_cast<uint8_t>(length);
      }
      fits = text.append(entry.serial, entry.serial_length);
      p += 2;
    } else {
      fits = text.append(p, 1);  // a backslash before anything else is plain text
      ++p;
    }
    if (!fits) return false;
  }
}

}  // namespace

int SourceStack::read_expansion_line(SourceEntry& entry) {
  char* line = current_line;
  size_t remaining;
  if (entry.expansion_pending) {
    remaining = entry.expanded.size() - entry.expanded_pos;
  } else {
    // Most lines are expanded straight into current_line; one that reaches
    // the length limit is expanded again into the pending text and cut there.
    LineText in_line(line);
    if (expand_body_line(entry, in_line)) {
      return deliver_expansion_line(entry, in_line.size());
    }
    PendingText pending(entry.expanded);
    expand_body_line(entry, pending);
    entry.expanded_pos = 0;
    entry.expansion_pending = true;
    remaining = entry.expanded.size();
  }
  if (remaining >= static_cast<size_t>(LINE_CHUNK_CHARS)) {
    // An expanded line is cut like a file line; the rest comes next.
    std::memcpy(line, entry.expanded.data() + entry.expanded_pos, LINE_CHUNK_CHARS);
    entry.expanded_pos += LINE_CHUNK_CHARS;
    line[LINE_CHUNK_CHARS] = '\n';
    line[LINE_CHUNK_CHARS + 1] = '\0';
    after_line_delivered(false);
    return 0;
  }
  std::memcpy(line, entry.expanded.data() + entry.expanded_pos, remaining);
  entry.expansion_pending = false;
  return deliver_expansion_line(entry, remaining);
}

// The last piece of an expanded line, length characters, is in current_line.
int SourceStack::deliver_expansion_line(SourceEntry& entry, size_t length) {
  current_line[length] = '\n';
  current_line[length + 1] = '\0';
  if (entry.expanded_terminator == '\n') {
    ++entry.line_number;
    after_line_delivered(false);
    return 0;
  }
  end_expansion();
  after_line_delivered(top_ >= 0 && !entries_[top_].is_expansion());
  return 0;
}

int SourceStack::innermost_file_line() const { return innermost_file().line_number; }

int SourceStack::innermost_file_index() const { return innermost_file().file_index; }

const SourceEntry& SourceStack::innermost_file() const {
  int i = top_ < 0 ? 0 : top_;
  while (i > 0 && entries_[i].is_expansion()) --i;
  return entries_[i];
}

SourcePlace SourceStack::innermost_place(int column) const {
  if (top_ < 0) return SourcePlace{};
  int i = top_;
  while (i > 0 && entries_[i].is_expansion()) --i;
  const SourceEntry& file = entries_[i];
  if (i == top_) return SourcePlace{file.record_number, file.line_number, column, false};
  return SourcePlace{file.record_number, file.line_number, entries_[i + 1].call_column, true};
}

namespace {

// The quoted name of an include line: the column of its opening quote and its
// length with both quotes (to the line end when it is not closed).
std::pair<int, int> quoted_name(const char* line) {
  const char* open = line;
  while (*open != '\0' && *open != '"' && *open != '\'') ++open;
  if (*open == '\0') return {0, 0};
  const char* close = open + 1;
  while (*close != '\0' && *close != '\n' && *close != *open) ++close;
  const int length = static_cast<int>(close - open) + (*close == *open ? 1 : 0);
  return {static_cast<int>(open - line), length};
}

}  // namespace

IncludeRecord& SourceStack::note_include(const std::string& name) {
  const auto [column, length] = quoted_name(current_line);
  const SourcePlace place = innermost_place(column);
  IncludeRecord& record = as_.records.includes.emplace_back();
  record.file = place.file;
  record.line = place.line;
  record.column = place.column;
  record.length = place.in_expansion ? 0 : length;
  record.name = name;
  return record;
}

int SourceStack::include_file() {
  std::string operand = as_.values.empty() ? std::string() : as_.values.top().text;
  as_.values.pop();
  // Directives are recorded once, in pass 1, which every run has.
  IncludeRecord* record = as_.keep_records && as_.pass_number == 0 ? &note_include(operand) : nullptr;
  const std::string& list = as_.options.include_path_list;
  size_t start = 0;
  for (;;) {
    size_t end = list.find(';', start);
    std::string path = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (path.size() > PATH_BUFFER_SIZE - 1) path.resize(PATH_BUFFER_SIZE - 1);
    if (!path.empty() && path.back() != '/' && path.size() < PATH_BUFFER_SIZE - 1) path += '/';
    size_t room = PATH_BUFFER_SIZE - 1 - path.size();
    path += operand.substr(0, room);
    if (is_source_file(path)) {
      if (record != nullptr) record->path = path;
      size_t dot = path.rfind('.');
      std::string extension = dot == std::string::npos ? path : path.substr(dot);
      bool binary = extension == ".bin";
      bool records = extension == ".s19" || extension == ".hex";
      if (binary || records) {
        if (as_.options.verbose && !as_.options.quiet) as_.err.printf("\rReading from file \"%s\"\n", path.c_str());
        return binary ? include_binary(as_, path) : include_records(as_, path);
      }
      if (open_source_file(path) == 0 && record != nullptr) record->target = entries_[top_].record_number;
      return 0;
    }
    if (end == std::string::npos) return ERROR_FILE_NOT_FOUND;
    start = end + 1;
  }
}

}  // namespace zorm
