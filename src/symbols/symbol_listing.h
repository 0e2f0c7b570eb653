#pragma once

namespace zorm {

class Assembler;

// After pass 1: undefined labels, the debug symbol section and, with -t,
// the symbol table in the listing.
void finish_pass1_symbols(Assembler& as);

}  // namespace zorm
