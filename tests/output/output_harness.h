#pragma once

// An assembler set up by hand for driving the output writers directly:
// in-memory standard output, standard error and listing, and an image.

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "assembly/assembler.h"
#include "support/assemble.h"

namespace zorm::test {

struct OutputHarness {
  TextStream out;
  TextStream err;
  Assembler as{out, err};

  explicit OutputHarness(uint8_t fill_byte = 0xFF) {
    as.options.fill_byte = fill_byte;
    as.image.image_create(fill_byte);
    as.listing.page_line_count = 0;  // as if the first page header was out
    as.listing.page_number = 1;
  }

  void store(uint32_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t byte : bytes) as.image.image_store(address++, byte);
  }
  // Marks [first, last] used with bytes that follow the address.
  void fill(uint32_t first, uint32_t last) {
    for (uint32_t a = first; a <= last; ++a) as.image.image_store(a, static_cast<uint8_t>(a * 7 + 3));
  }
  const std::string& listing() const { return as.listing_file.text(); }
};

}  // namespace zorm::test
