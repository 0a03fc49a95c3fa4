#pragma once

#include "trace/trace.h"

#include <string>
#include <vector>

namespace pod {

// The folder of saved races: replays/ of the working folder in a checkout,
// the player's data folder otherwise. Without the trailing '/'.
std::string replayFolder();

// The ".jsonl" files of a folder, newest first (then by name); the folder is
// created when missing. Empty when it cannot be listed.
std::vector<std::string> listTraceFiles(const std::string& folder);

// Writes the trace into the folder (created when missing) under a new name
// made from the local time, through a temporary file renamed into place.
// Returns the path written, or empty with one line of reason.
std::string saveTraceIn(const Trace& trace, const std::string& folder, std::string& error);

} // namespace pod
