#pragma once
// Properties that must hold for every source, checked on generated ones. Each
// check builds its sources from a Random (a seed in the tests, the input bytes
// in the fuzz target) and returns "" when the property holds, otherwise what
// differed, with the sources involved.

#include <string>

#include "support/statement_generator.h"

namespace zorm::test {

// Lines placed inside "if 0" ... "endif" (none of them with if, else or endif
// in operation position) change nothing: the same exit status, the same object
// bytes and the same diagnostics for the rest of the source.
std::string check_skipped_lines(Random& r, int statements);

// A valid program assembled with -n gives the same bytes as GNU as and, where
// it is installed and knows the processor, pasmo. Needs gas_available().
std::string check_peer_bytes(Random& r, int level, int statements);

// Moving a run of lines into an included file, or into a macro that is then
// called once, changes no object byte.
std::string check_moved_lines(Random& r, int statements);

// A program written as binary, as S-records and as Intel hex gives the same
// bytes once the records are decoded (by objcopy). Needs record_objcopy().
std::string check_object_formats(Random& r, int statements);

}  // namespace zorm::test
