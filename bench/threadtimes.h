#pragma once
// CPU seconds of this process's threads by kind, read from /proc: the main
// thread, the software renderer's ("llvmpipe-N") and every other (planners).

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace benchutil {

struct ThreadTimes {
  double main = 0.0;
  double renderer = 0.0;
  double others = 0.0;
};

inline ThreadTimes threadTimes() {
  ThreadTimes times;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  const std::string self = std::to_string(getpid());
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(task.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t open = stat.find('(');
    const std::size_t close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos)
      continue;
    const std::string name = stat.substr(open + 1, close - open - 1);
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    double ticks = 0.0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
      if (i == 14 || i == 15)
        ticks += std::atof(field.c_str());
    const double seconds = ticks / tick;
    if (task.path().filename() == self)
      times.main += seconds;
    else if (name.rfind("llvmpipe", 0) == 0)
      times.renderer += seconds;
    else
      times.others += seconds;
  }
  return times;
}

} // namespace benchutil
