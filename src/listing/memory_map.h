#pragma once

#include <cstdint>

#include "codegen/memory_image.h"
#include "listing/listing.h"

namespace zorm {

// The memory usage map in the listing: one row of 64 addresses per line.
void write_memory_map(const MemoryImage& image, Listing& listing, uint32_t limit);

}  // namespace zorm
