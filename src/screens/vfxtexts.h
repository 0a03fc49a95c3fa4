#pragma once

#include <string>

namespace pod {

// Title and prose of each showcase page, 0 to 5.
const std::string& vfxPageTitle(int page);
const std::string& vfxExplanation(int page);

} // namespace pod
