#pragma once

#include <string>

#include "assembly/text_stream.h"
#include "listing/diagnostics.h"
#include "listing/listing.h"
#include "output/debug_file.h"
#include "symbols/symbol_table.h"

namespace zorm {

// What the end of pass 1 reads and writes.
struct Pass1Symbols {
  const SymbolTable& symbols;
  DebugFile& debug;               // its symbol section, when it is open
  Diagnostics& diagnostics;       // undefined labels are errors of pass 1
  TextStream& out;                // standard output, where they are said
  Listing& listing;
  const std::string& source_name;  // the main file, which their messages name
  bool symbol_table;              // -t: the symbol table goes into the listing
};

// After pass 1: undefined labels, the debug symbol section and, with -t,
// the symbol table in the listing.
void finish_pass1_symbols(const Pass1Symbols& pass);

}  // namespace zorm
