#pragma once

#include <cstdint>
#include <string>

#include "assembly/text_stream.h"

namespace zorm {

class Assembler;

// The paged listing and its page accounting, shared by every writer.
class Listing {
 public:
  explicit Listing(Assembler& as) : as_(as) {}

  // The listing's stream: the listing file, or standard output with -l-.
  TextStream& out();
  void listing_advance_line();
  void list_statement();
  void print_heading(const char* text);
  void clip_listing_text();

  // Directive handlers: nolist 0, list 1, page 2, title 3.
  int listing_directive(int32_t which);

  bool list_this_line = false;
  bool line_from_expansion = false;
  std::string listing_title;
  int32_t page_line_count = -1;
  uint32_t page_number = 0;
  bool listing_page_used = false;

 private:
  Assembler& as_;
};

}  // namespace zorm
