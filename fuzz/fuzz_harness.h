#pragma once
// What the fuzz targets share: one in-process run of the assembler on a
// source text, in a folder held in memory with the files an input may include.

#include <cstdint>
#include <string>

namespace zorm::fuzz {

// Runs the assembler on source as the main file "main.asm", with the options
// that the bits of `choice` pick (processor level, object format, debug file,
// symbol table, memory map, listing, cycles, -n). Aborts when the run ends
// with an exit status the command line never returns.
int assemble(const std::string& source, uint8_t choice);

}  // namespace zorm::fuzz
