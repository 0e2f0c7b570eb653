#include "listing/memory_map.h"

#include <string>

namespace zorm {

namespace {
constexpr uint32_t MAP_ROW_ADDRESSES = 64;
constexpr uint32_t MAP_GROUP_ADDRESSES = 16;
}  // namespace

void write_memory_map(const MemoryImage& image, Listing& pages, uint32_t limit) {
  TextStream& listing = pages.out();
  pages.print_heading("Memory Usage Map ('x'=used, '-'=unused)");
  pages.listing_advance_line();
  listing.put('\n');
  pages.listing_advance_line();

  std::string marks;
  for (uint32_t row = 0; row < limit && row < IMAGE_SIZE; row += MAP_ROW_ADDRESSES) {
    bool any_used = false;
    marks.clear();
    for (uint32_t i = 0; i < MAP_ROW_ADDRESSES; ++i) {
      const bool used = (image.image_read(row + i) & USED_MARK) != 0;
      any_used = any_used || used;
      marks += used ? 'x' : '-';
      if (i % MAP_GROUP_ADDRESSES == MAP_GROUP_ADDRESSES - 1) marks += ' ';
    }
    if (!any_used) continue;
    listing.printf("%04x : ", row);
    marks += '\n';
    listing.write(marks);
    pages.listing_advance_line();
  }

  listing.put('\n');
  pages.listing_advance_line();
}

}  // namespace zorm
