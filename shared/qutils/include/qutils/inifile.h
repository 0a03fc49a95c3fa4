#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace qutils {

// Settings files are small: anything larger is not one.
constexpr std::size_t cMaxIniBytes = 64 * 1024;

// Reads "key = value" lines; blank lines, '#' and ';' comments and
// "[section]" lines are skipped. Returns false, with the reason in `why`,
// for a missing, unreadable or non-regular file, one over cMaxIniBytes, one
// holding a NUL byte, or a line that is none of these. Never blocks on a
// FIFO or device, never reads past the limit.
bool readIni(const std::string& path, std::map<std::string, std::string>& values,
             std::string& why);

// Replaces the file with `content` through a temporary file beside it,
// flushed to disk and renamed over it, so that a crash leaves the old file
// or the new one whole. The folder is made when missing.
bool writeFileAtomically(const std::string& path, const std::string& content, std::string& why);

} // namespace qutils
