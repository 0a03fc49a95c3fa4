#pragma once

#include <string>

namespace pod {

// Opens an address (web or file://) in the desktop's default application,
// without waiting for it. The address is one argument of the opener, never
// part of a command line. When nothing opened it, failureLine goes to the
// standard error stream: at once when no opener could be started (then the
// result is false), else as soon as the opener reports its failure.
bool openAddress(const std::string& address, const std::string& failureLine);

// "file://" and the absolute form of path (relative to the working folder).
std::string fileAddress(const std::string& path);

} // namespace pod
