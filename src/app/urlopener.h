#pragma once

#include <string>

namespace pod {

// Opens an address (web or file://) in the desktop's default application,
// without waiting for it. The address is one argument of the opener, never
// part of a command line. When nothing opened it, failureLine goes to the
// standard error stream: at once when no opener could be started (then the
// result is false), else as soon as the opener reports its failure.
// With report, *report receives the read end of a pipe (non-blocking, closed
// on exec; -1 when the result is false) on which one byte arrives: '1' when
// the address opened, '0' when not. The caller polls and closes it.
bool openAddress(const std::string& address, const std::string& failureLine,
                 int* report = nullptr);

// What a report pipe says so far.
enum class OpenOutcome { Pending, Opened, Failed };
OpenOutcome pollOpenReport(int report);

// "file://" and the absolute form of path (relative to the working folder).
std::string fileAddress(const std::string& path);

} // namespace pod
