#pragma once

namespace qutils {

// The release of the programs, as "1.0.0": --version and the package.
const char* version();

} // namespace qutils
