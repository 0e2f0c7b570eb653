#pragma once
// ZORM, the assembler as a library. See docs/library.md.

#include "zorm/assembly.h"        // IWYU pragma: export
#include "zorm/language.h"        // IWYU pragma: export
#include "zorm/source_provider.h" // IWYU pragma: export
#include "zorm/temporary_files.h" // IWYU pragma: export
