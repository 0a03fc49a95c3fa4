// Bot answer lines: whatever the parser accepts is a command the physics
// takes as it is (finite, in range); what it refuses leaves the command alone.
#include "bots/protocol.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // One line per newline, as the reader hands them over.
  while (!input.empty()) {
    const std::size_t nl = input.find('\n');
    const std::string_view line = input.substr(0, nl);
    input.remove_prefix(nl == std::string_view::npos ? input.size() : nl + 1);
    pod::Influence command;
    command.rotation = 1234.f;
    const pod::bots::LineFault fault = pod::bots::parseCommand(line, command);
    if (fault != pod::bots::LineFault::None) {
      if (command.rotation != 1234.f)
        std::abort();
      continue;
    }
    if (!std::isfinite(command.rotation) || !std::isfinite(command.thrust) ||
        std::fabs(command.rotation) > 18.f || command.thrust < 0.f || command.thrust > 200.f)
      std::abort();
  }
  return 0;
}
