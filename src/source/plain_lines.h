#pragma once

// Plain lines, taken whole from the read buffer: inline where lines are read
// one after the other (the line reader, and the statements that pass over
// empty, comment and skipped lines).

#include <cstring>

#include "assembly/assembler.h"
#include "source/byte_blocks.h"
#include "source/source_stack.h"

namespace zorm {

inline void SourceStack::show_progress(int line) {
  // Every hundredth line, every 25th with -v.
  if (line % 25 != 0) return;
  const Options& o = as_.options;
  if (!o.quiet && (o.verbose || line % 100 == 0)) print_progress(line);
}

inline void SourceStack::file_line_delivered(SourceEntry& entry, const char* next, bool line_feed) {
  int line = entry.line_number;
  if (line_feed) {
    entry.line_number = ++line;
    ++total_lines_read;
  }
  entry.read_position = next;
  entry.line_cut = !line_feed;
  if (as_.options.listing_level > 0) as_.listing.list_this_line = true;
  show_progress(line);
}

inline int SourceStack::take_plain_line() {
  if (top_ < 0) return -1;
  SourceEntry& entry = entries_[top_];
  if (entry.is_expansion()) return -1;
  const char* text = entry.read_position;
  char* line = current_line;
  // Whole blocks are copied as they are looked at: the read buffer has room
  // behind its sentinel for a block read there, current_line for one written
  // at the length limit. The first looks for the first byte that is not
  // blank, all look for the first control byte (which is not blank either).
  auto copy_block = [&](int at) {
    const ByteBlock block = load_block(text + at);
    store_block(line + at, block);
    return block;
  };
  const ByteBlock first = copy_block(0);
  unsigned words = non_blank_bytes(first);
  unsigned controls = control_bytes(first);
  int indent = 0;
  while (words == 0) {
    indent += 16;
    if (indent >= LINE_CHUNK_CHARS) return -1;
    words = non_blank_bytes(copy_block(indent));
  }
  indent += first_marked(words);
  int offset = 0;
  if (indent >= 16) controls = control_bytes(copy_block(offset = indent));
  while (controls == 0) {
    offset += 16;
    if (offset >= LINE_CHUNK_CHARS) return -1;
    controls = control_bytes(copy_block(offset));
  }
  const int length = offset + first_marked(controls);
  if (length >= LINE_CHUNK_CHARS) return -1;
  const char* next;
  if (text[length] == '\n') {
    next = text + length + 1;
  } else if (text[length] == '\r' && text[length + 1] == '\n') {
    next = text + length + 2;
  } else {
    return -1;
  }
  line[length] = '\n';
  line[length + 1] = '\0';
  file_line_delivered(entry, next, true);
  return indent;
}

}  // namespace zorm
