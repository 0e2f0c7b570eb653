#pragma once
// The words of the language for completion and hover, and the version.
//
// Stand-in until the library's language_keywords() and version() exist:
// built from the core's mnemonic and keyword tables, with every word taken
// as valid at every level. Replace both by the library's functions then.

#include <vector>

#include "zorm/language.h"

namespace zorm::lsp {

const std::vector<Keyword>& keyword_list();
const char* server_version();

}  // namespace zorm::lsp
