// Merge parts: the input is one to four partial summaries separated by NUL
// bytes. A part is refused with a reason or merged, and whatever merge
// accepts must report (tables, JSON, league) without tripping an assertion.
#include "badinput.h"
#include "report.h"
#include "shard.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::pair<std::string, nlohmann::json>> parts;
  std::size_t begin = 0;
  while (parts.size() < 4) {
    const std::size_t end = std::min(input.find('\0', begin), input.size());
    try {
      parts.emplace_back("part-" + std::to_string(parts.size() + 1),
                         pod::arena::readPartialSummary(input.substr(begin, end - begin)));
    } catch (const nlohmann::json::exception&) {
      return 0;
    } catch (const pod::arena::BadInput& bad) {
      if (bad.message.empty())
        std::abort();
      return 0;
    }
    if (end == input.size())
      break;
    begin = end + 1;
  }
  try {
    const pod::arena::MergedRun run = pod::arena::mergeParts(parts);
    const pod::arena::ReportInput report = run.report();
    if (report.racesPlayed != run.played.size())
      std::abort();
    std::ostringstream text;
    pod::arena::printReport(text, report);
    text << pod::arena::jsonReport(report).dump();
  } catch (const pod::arena::BadInput& bad) {
    if (bad.message.empty())
      std::abort();
  }
  return 0;
}
