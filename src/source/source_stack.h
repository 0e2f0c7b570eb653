#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "assembly/run_records.h"
#include "zorm/source_provider.h"

namespace zorm {

class Assembler;

inline constexpr int MAX_SOURCE_DEPTH = 20;
inline constexpr int READ_CHUNK_SIZE = 8192;
inline constexpr int LINE_CHUNK_CHARS = 251;
inline constexpr int CURRENT_LINE_SIZE = 256;
// Room behind current_line for whole sixteen-byte blocks: the reader copies
// a line a block at a time and the lexer looks ahead a word at a time.
inline constexpr int LINE_PADDING = 32;
inline constexpr size_t PATH_BUFFER_SIZE = 260;
inline constexpr char END_OF_CHUNK = 0x1A;

// One open file or macro expansion.
struct SourceEntry {
  std::string name;
  const char* read_position = nullptr;
  std::string arguments;        // macro expansion: arguments separated by 0x1F
  std::shared_ptr<const std::string> body;  // macro expansion: the body read_position points into
  int32_t chunk_start = 0;      // file: offset of file_buffer[0]; expansion: serial number
  int32_t chunk_end = 0;
  int32_t bytes_buffered = 0;
  std::unique_ptr<SourceFile> file;  // a file's reader
  int32_t line_number = 0;
  int32_t file_index = 0;       // -1 marks a macro expansion
  int32_t record_number = -1;   // file: its number in the run's records
  int32_t call_column = 0;      // expansion: where the macro name stands on the call line
  int32_t saved_conditional_depth = 0;
  bool line_cut = false;        // file: the last piece delivered was cut at the length limit
  // Macro expansion: the current body line with its arguments filled in,
  // delivered in pieces of at most LINE_CHUNK_CHARS characters.
  std::string expanded;
  size_t expanded_pos = 0;
  char expanded_terminator = '\n';
  bool expansion_pending = false;
  char serial[16] = {};         // expansion: the serial number as \? gives it, once printed
  uint8_t serial_length = 0;
  // Expansion: where each argument \1 to \9 stands in arguments (start at
  // the end: none), and what \0 gives.
  std::array<uint32_t, 10> argument_start{};
  std::array<uint32_t, 10> argument_end{};
  char argument_count = '0';

  bool is_expansion() const { return file_index < 0; }
};

// The stack of everything being read, and the line being assembled.
class SourceStack {
 public:
  explicit SourceStack(Assembler& as);
  ~SourceStack();

  // Pushes a source file; 0, or 1 after the error was reported.
  int open_source_file(const std::string& path);
  // 0 when a line is in current_line, -1 at the end of the input.
  int read_line() {
    if (top_ < 0) return -1;
    SourceEntry& entry = entries_[top_];
    return entry.is_expansion() ? read_expansion_line(entry) : read_file_line(entry, 0);
  }
  // Hands out the next line as read_line does when it is a plain line: a line
  // of a file that lies whole in the read buffer up to its line feed, holds
  // no control byte but a carriage return right before the line feed, and is
  // shorter than the length limit. Returns its indentation (the spaces and
  // tabs before its first other byte), or -1 when the next line is not plain:
  // then nothing is taken, and current_line may hold a part of it.
  inline int take_plain_line();  // in source/plain_lines.h
  // The include directive: pops its string operand.
  int include_file();
  // Pushes a macro expansion; 0, or 1 after "Include file nesting limit reached".
  int push_macro_expansion(const std::string& name, std::shared_ptr<const std::string> body, std::string arguments,
                           int call_column = 0);
  // Ends the innermost expansion (end of body or exitm).
  void end_expansion();

  // A source is read once in each pass, so it must be a regular file that
  // can be read again: a pipe or a device would give pass 2 other text than
  // pass 1.
  bool is_source_file(const std::string& path) const;

  int innermost_file_line() const;
  int innermost_file_index() const;
  const SourceEntry& innermost_file() const;
  // The innermost file's record number and line, with column; inside an
  // expansion the column of the outermost macro call on that line.
  SourcePlace innermost_place(int column) const;
  int main_file_line() const { return top_ >= 0 ? entries_[0].line_number : 0; }

  int top() const { return top_; }
  bool empty() const { return top_ < 0; }
  SourceEntry& entry(int i) { return entries_[i]; }
  const SourceEntry& entry(int i) const { return entries_[i]; }
  SourceEntry& top_entry() { return entries_[top_]; }
  const SourceEntry& top_entry() const { return entries_[top_]; }

  // Closes everything still open (a pass that ended early).
  void close_all();

  char current_line[CURRENT_LINE_SIZE + LINE_PADDING] = {'\n', 0};
  int file_index_counter = 0;
  int32_t expansion_counter = 1;
  uint32_t total_lines_read = 0;

 private:
  int read_file_line(SourceEntry& entry, int length);
  // A file line is in current_line (line_feed: the whole line or its last
  // piece; a piece cut at the length limit keeps the line number before it).
  inline void file_line_delivered(SourceEntry& entry, const char* next, bool line_feed);
  int read_expansion_line(SourceEntry& entry);
  int deliver_expansion_line(SourceEntry& entry, size_t length);
  static void find_arguments(SourceEntry& entry);
  int finish_file();
  void reload_chunk(SourceEntry& entry);
  void fill_buffer(SourceEntry& entry);
  void after_line_delivered(bool from_file);
  // The progress line of the innermost file's line.
  inline void show_progress(int line);
  void print_progress(int line);
  void pop_entry();
  IncludeRecord& note_include(const std::string& name);

  Assembler& as_;
  SourceEntry entries_[MAX_SOURCE_DEPTH];
  int top_ = -2;
  std::unique_ptr<char[]> file_buffer_;
};

}  // namespace zorm
