#pragma once
// Random source lines of every kind, valid or not (statements, directives,
// macro and structure lines, odd numbers and strings, long lines, garbage),
// and whole sources built from them with macros, conditional blocks,
// structures and includes. The structure-aware fuzz target assembles such
// sources; the skipped-lines property hides such lines in false blocks.

#include <string>
#include <vector>

#include "support/statement_generator.h"

namespace zorm::test {

// One line without its line end. It may hold any byte but the line feed.
std::string random_line(Random& r);

// Whether the reader would see if, else or endif in operation position on the
// line while skipping a false block: the first word of the line (or of one of
// the pieces a line longer than the reader's limit is cut into), when it does
// not start in column 0.
bool has_conditional_operation(const std::string& line);

// A source of about `lines` lines; include directives name the given files.
std::string random_source(Random& r, int lines, const std::vector<std::string>& include_names);

}  // namespace zorm::test
