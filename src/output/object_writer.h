#pragma once

#include <cstdint>
#include <string>

namespace zorm {

class Assembler;

// Writes the image as a binary, S-record or Intel hex object file.
void write_object_file(Assembler& as, const std::string& name, int format, uint32_t limit);

}  // namespace zorm
