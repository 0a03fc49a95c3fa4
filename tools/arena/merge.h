#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

// "vuzuder-arena merge [--json FILE] [--csv FILE] [--markdown FILE] PART.json...":
// puts the slices of a run back together and reports as the whole run would.
int runMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pod::arena
