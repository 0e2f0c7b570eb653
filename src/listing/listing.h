#pragma once

#include <cstdint>
#include <string>

#include "assembly/options.h"
#include "assembly/text_stream.h"
#include "codegen/encoding_state.h"
#include "codegen/memory_image.h"
#include "parse/statement_processor.h"
#include "parse/value_stack.h"

namespace zorm {

// What the listing reads of the run.
struct ListingInputs {
  Options& options;                      // page size and columns; the listing level, which nolist and list change
  TextStream& standard_output;           // the listing with -l-
  TextStream& file;                      // the listing file
  char* line;                            // the line being assembled, which the listing clips to the page
  const MemoryImage& image;              // the statement's address, bytes or value, and segment
  const EncodingState& encoding;         // its cycle count and operand form
  const StatementProcessor& statements;  // its label
};

// The paged listing and its page accounting, shared by every writer.
class Listing {
 public:
  explicit Listing(const ListingInputs& inputs) : in_(inputs) {}

  // The listing's stream: the listing file, or standard output with -l-.
  TextStream& out();
  void listing_advance_line();
  void list_statement();
  void print_heading(const char* text);
  void clip_listing_text();

  // Directive handlers: nolist 0, list 1, page 2, title 3, with their
  // operands on the value stack.
  int listing_directive(int32_t which, ValueStack& values);

  bool list_this_line = false;
  bool line_from_expansion = false;
  std::string listing_title;
  int32_t page_line_count = -1;
  uint32_t page_number = 0;
  bool listing_page_used = false;

 private:
  ListingInputs in_;
};

}  // namespace zorm
