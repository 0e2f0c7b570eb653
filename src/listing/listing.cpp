#include "listing/listing.h"

#include <cstring>

#include "assembly/options.h"
#include "listing/error_codes.h"

namespace zorm {

namespace {
constexpr int RULE_LENGTH = 200;
const char RULE_DASHES[RULE_LENGTH + 1] =
    "----------------------------------------------------------------------------------------------------"
    "----------------------------------------------------------------------------------------------------";

// The last n dashes of the rule.
const char* dashes(int n) {
  if (n < 0) n = 0;
  if (n > RULE_LENGTH) n = RULE_LENGTH;
  return RULE_DASHES + RULE_LENGTH - n;
}
}  // namespace

TextStream& Listing::out() { return in_.options.listing_to_stdout ? in_.standard_output : in_.file; }

void Listing::listing_advance_line() {
  listing_page_used = true;
  const Options& o = in_.options;
  if (page_line_count != -1) {
    if (o.page_height == 0) return;
    if (page_line_count < o.page_height - 4) {
      ++page_line_count;
      return;
    }
  }
  page_line_count = 0;
  TextStream& stream = out();
  if (++page_number != 1) stream.put('\f');
  const int title_length = static_cast<int>(std::strlen(PROGRAM_TITLE));
  if (o.page_width > 90) {
    const int fill = o.page_width - title_length - static_cast<int>(std::strlen(NOTICE_TEXT)) - 12;
    stream.printf("%s  %s%*sPage %4d\n", PROGRAM_TITLE, NOTICE_TEXT, fill, "", page_number);
  } else {
    const int fill = o.page_width - title_length - 10;
    stream.printf("%s%*sPage %4d\n", PROGRAM_TITLE, fill, "", page_number);
  }
  print_heading(listing_title.c_str());
  stream.put('\n');
}

void Listing::print_heading(const char* text) {
  TextStream& stream = out();
  const int width = in_.options.page_width;
  const int n = static_cast<int>(std::strlen(text));
  if (n == 0) {
    stream.printf("%s\n", dashes(width));
    return;
  }
  stream.printf("%s %s %s\n", dashes((width - n - 3) / 2), text, dashes((width - n - 2) / 2));
}

void Listing::clip_listing_text() {
  const int room = in_.options.page_width - in_.options.listing_text_column;
  char* line = in_.line;
  if (room >= 0 && static_cast<int>(std::strlen(line)) > room) {
    line[room] = '\n';
    line[room + 1] = '\0';
  }
}

void Listing::list_statement() {
  const Options& o = in_.options;
  if (line_from_expansion && !o.show_macro_expansions) {
    list_this_line = false;
    return;
  }
  TextStream& stream = out();
  const MemoryImage& image = in_.image;
  const char marker = line_from_expansion ? '>' : ' ';
  const char* cycle_filler = o.show_cycles ? "     " : "";
  if (image.line_shows_value) {
    if (!list_this_line) return;
    list_this_line = false;
    clip_listing_text();
    const int32_t value = image.listing_value;
    if (value >= -32768 && value <= 65535) {
      stream.printf("%04lx =                 %s%c%s", static_cast<unsigned long>(value & 0xFFFF), cycle_filler, marker,
                 in_.line);
    } else {
      stream.printf("%08lx =             %s%c%s", static_cast<unsigned long>(static_cast<uint32_t>(value)), cycle_filler,
                 marker, in_.line);
    }
    listing_advance_line();
    return;
  }
  if (!list_this_line) return;
  list_this_line = false;

  const bool bss = image.segment == SEGMENT_BSS;
  const int32_t length = image.statement_length;
  if (length != 0 || in_.statements.statement_label[0] != '\0') {
    stream.printf("%04x %c ", static_cast<unsigned>(image.location_counter), bss ? '=' : ':');
  } else {
    stream.write("       ", 7);
  }
  if (bss) {
    stream.write("                ", 16);
  } else if (length >= 9) {
    for (int i = 0; i < 7; ++i) stream.printf("%02x", image.image_read(image.location_counter + static_cast<uint32_t>(i)) & 0xFF);
    stream.write("..", 2);
  } else {
    for (int i = 0; i < length; ++i) stream.printf("%02x", image.image_read(image.location_counter + static_cast<uint32_t>(i)) & 0xFF);
    for (int i = length; i < 8; ++i) stream.write("  ", 2);
  }
  clip_listing_text();
  if (o.show_cycles) {
    const int32_t cycles = in_.encoding.cycle_count;
    if (cycles == 0) {
      stream.write("     ", 5);
    } else if (cycles == 99) {
      stream.write(" [  ]", 5);
    } else {
      stream.printf(" [%2d]", cycles);
    }
  }
  stream.printf("%c%s", marker, in_.line);
  listing_advance_line();
}

int Listing::listing_directive(int32_t which, ValueStack& values) {
  Options& o = in_.options;
  switch (which) {
    case 0:
      --o.listing_level;
      return 0;
    case 1:
      ++o.listing_level;
      return 0;
    case 2: {
      int32_t lines = 99;
      if (in_.encoding.statement_form == 1 && !values.empty()) {
        const Value& operand = values.top();
        if (operand.kind != VALUE_UNKNOWN) {
          if (operand.value < 1 || operand.value > 99) return ERROR_RANGE;
          lines = operand.value;
        }
        values.pop();
      }
      if (listing_page_used && o.listing_level > 0 && o.page_height != 0 && page_line_count + lines > o.page_height)
        page_line_count = -1;
      return 0;
    }
    case 3:
      if (!values.empty()) {
        listing_title = values.top().text;
        values.pop();
      }
      return 0;
    default:
      return ERROR_SYNTAX;
  }
}

}  // namespace zorm
