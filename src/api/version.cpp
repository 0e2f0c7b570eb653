#include "zorm/language.h"

namespace zorm {

// The project's version, from the build.
const char* version() { return ZORM_VERSION; }

}  // namespace zorm
