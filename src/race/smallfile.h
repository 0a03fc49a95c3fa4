#pragma once

#include <cstddef>
#include <string>

namespace pod {

// Reads a whole file that must be a regular file of at most maxBytes. A device
// such as /dev/zero or a fifo would otherwise be read (or waited on) for ever,
// so anything else is refused before a byte is read, and the read stops at the
// cap even when the file grows meanwhile. On failure returns false with the
// one-line reason: "cannot open PATH", "PATH is a directory", "PATH is not a
// regular file" or "PATH is larger than 1 MiB".
bool readSmallFile(const std::string& path, std::size_t maxBytes, std::string& content,
                   std::string& error);

} // namespace pod
