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
  const uint32_t end = limit < IMAGE_SIZE ? limit : IMAGE_SIZE;
  for (uint32_t row = 0; row < end; row += MAP_ROW_ADDRESSES) {
    // Rows without a used address are left out.
    const uint32_t row_end = row + MAP_ROW_ADDRESSES;
    if (image.next_used(row, row_end) == row_end) continue;
    marks.clear();
    for (uint32_t i = 0; i < MAP_ROW_ADDRESSES; ++i) {
      marks += image.used(row + i) ? 'x' : '-';
      if (i % MAP_GROUP_ADDRESSES == MAP_GROUP_ADDRESSES - 1) marks += ' ';
    }
    listing.printf("%04x : ", row);
    marks += '\n';
    listing.write(marks);
    pages.listing_advance_line();
  }

  listing.put('\n');
  pages.listing_advance_line();
}

}  // namespace zorm
