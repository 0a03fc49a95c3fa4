#pragma once

#include <string>

namespace pod {

// Opens an address (web or file://) in the desktop's default application,
// without waiting for it. The address is one argument of the opener, never
// part of a command line. False when the opener could not be started.
bool openAddress(const std::string& address);

// "file://" and the absolute form of path (relative to the working folder).
std::string fileAddress(const std::string& path);

} // namespace pod
