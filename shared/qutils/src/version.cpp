#include "qutils/version.h"

namespace qutils {

const char* version() { return VUZUDER_VERSION; }

} // namespace qutils
