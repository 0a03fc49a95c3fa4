// Seeker: a bot for Vuzuder UR that steers every pod of its team straight at
// its next checkpoint, aiming off by its drift. See docs/BOTS.md.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main() {
  std::ios::sync_with_stdio(false);
  std::string line, key;
  std::getline(std::cin, line);
  if (line != "vuzuder-bot 1") {
    std::cerr << "seeker: this bot speaks version 1 of the protocol only\n";
    return 1;
  }
  int team = 0, teams = 2, podsPerTeam = 2;
  std::vector<std::pair<double, double>> checkpoints;
  while (std::getline(std::cin, line) && line != "start") {
    std::istringstream in(line);
    int value = 0;
    in >> key >> value;
    if (key == "team") team = value;
    if (key == "teams") teams = value;
    if (key == "pods-per-team") podsPerTeam = value;
    if (key == "checkpoints")
      for (int i = 0; i < value && std::getline(std::cin, line); ++i) {
        double x = 0, y = 0;
        std::istringstream(line) >> x >> y;
        checkpoints.emplace_back(x, y);
      }
  }
  std::cerr << "seeker: team " << team << ", " << checkpoints.size() << " checkpoints\n";

  std::string answer;
  while (std::getline(std::cin, line) && line.rfind("turn ", 0) == 0) {
    answer.clear();
    for (int p = 0; p < teams * podsPerTeam && std::getline(std::cin, line); ++p) {
      // Fields: id team x y vx vy angle nextCheckpoint (and four more).
      double f[8] = {};
      const char* at = line.c_str();
      for (double& field : f) {
        char* end = nullptr;
        field = std::strtod(at, &end);
        at = end;
      }
      const int podTeam = static_cast<int>(f[1]), next = static_cast<int>(f[7]);
      const double x = f[2], y = f[3], vx = f[4], vy = f[5], angle = f[6];
      if (podTeam != team || checkpoints.empty()) continue;
      const auto [tx, ty] = checkpoints[static_cast<std::size_t>(next) % checkpoints.size()];
      const double heading = std::atan2(ty - y - 2 * vy, tx - x - 2 * vx) * 180.0 / M_PI;
      const double error = std::fmod(heading - angle + 540.0, 360.0) - 180.0;
      char text[64];
      std::snprintf(text, sizeof text, "%.3f %d 0\n", std::clamp(4.0 * error, -18.0, 18.0),
                    std::fabs(error) < 60.0 ? 200 : 40);
      answer += text;
    }
    std::cout << answer << std::flush;
  }
  return 0;
}
