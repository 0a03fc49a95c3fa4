// Traces: the reader refuses or accepts within its limits, and what it
// accepts is written back in a form it reads again.
#include "trace/tracereader.h"
#include "trace/tracewriter.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  pod::Trace trace;
  std::string error;
  if (!pod::readTrace(in, trace, error)) {
    if (error.empty())
      std::abort();
    return 0;
  }
  std::stringstream again;
  pod::writeTrace(again, trace);
  pod::Trace back;
  if (!pod::readTrace(again, back, error) || back.turnCount() != trace.turnCount())
    std::abort();
  return 0;
}
