#include "listing/memory_map.h"

#include <string>

#include "assembly/assembler.h"

namespace zorm {

namespace {
constexpr uint32_t MAP_ROW_ADDRESSES = 64;
constexpr uint32_t MAP_GROUP_ADDRESSES = 16;
}  // namespace

void write_memory_map(Assembler& as, uint32_t limit) {
  TextStream& listing = as.listing_out();
  as.listing.print_heading("Memory Usage Map ('x'=used, '-'=unused)");
  as.listing.listing_advance_line();
  listing.put('\n');
  as.listing.listing_advance_line();

  std::string marks;
  for (uint32_t row = 0; row < limit && row < IMAGE_SIZE; row += MAP_ROW_ADDRESSES) {
    bool any_used = false;
    marks.clear();
    for (uint32_t i = 0; i < MAP_ROW_ADDRESSES; ++i) {
      const bool used = (as.image.image_read(row + i) & USED_MARK) != 0;
      any_used = any_used || used;
      marks += used ? 'x' : '-';
      if (i % MAP_GROUP_ADDRESSES == MAP_GROUP_ADDRESSES - 1) marks += ' ';
    }
    if (!any_used) continue;
    listing.printf("%04x : ", row);
    marks += '\n';
    listing.write(marks);
    as.listing.listing_advance_line();
  }

  listing.put('\n');
  as.listing.listing_advance_line();
}

}  // namespace zorm
