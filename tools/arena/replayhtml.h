#pragma once

#include "trace/trace.h"

#include <ostream>
#include <string>
#include <vector>

namespace pod::arena {

// One self-contained page (inline style, script and data, nothing fetched)
// that plays the recorded race on a canvas.
void writeReplayPage(std::ostream& out, const Trace& trace);

// "vuzuder-arena replay-html TRACE [-o FILE]": the page of one trace, by
// default beside it with the extension .html. A trace the game's reader
// refuses gives its reason in one line and 2.
int runReplayHtml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pod::arena
