#pragma once
// What the fuzz targets share: a scratch folder with the files an input may
// include, and one in-process run of the assembler on a source text.

#include <cstdint>
#include <string>

namespace zorm::fuzz {

// Runs the assembler on source as the main file "main.asm", with the options
// that the bits of `choice` pick (processor level, object format, debug file,
// symbol table, memory map, listing, cycles, -n). Aborts when the run ends
// with an exit status the command line never returns.
int assemble(const std::string& source, uint8_t choice);

// The path of a file in the scratch folder.
std::string scratch_path(const std::string& name);

}  // namespace zorm::fuzz
