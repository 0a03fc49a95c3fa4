#include "trace/tracefiles.h"

#include "trace/tracewriter.h"

#include <qutils/gamefolders.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace pod {

namespace fs = std::filesystem;

std::string replayFolder() {
  std::string folder = qutils::gameFolders().replays;
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

std::vector<std::string> listTraceFiles(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  struct Entry {
    fs::file_time_type time;
    std::string name;
  };
  std::vector<Entry> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fileError;
    if (it->path().extension() != ".jsonl" || !it->is_regular_file(fileError))
      continue;
    entries.push_back({it->last_write_time(fileError), it->path().filename().string()});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.time != b.time ? a.time > b.time : a.name < b.name;
  });
  std::vector<std::string> names;
  for (const Entry& e : entries)
    names.push_back(e.name);
  return names;
}

std::string saveTraceIn(const Trace& trace, const std::string& folder, std::string& error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) {
    error = "cannot make the folder '" + folder + "'";
    return {};
  }
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = folder + "/" + (trace.timeAttack ? "timeattack-" : "race-") + stamp;
  std::string path = base + ".jsonl";
  for (int n = 2; fs::exists(path, ec); ++n)
    path = base + "-" + std::to_string(n) + ".jsonl";

  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    bool written = false;
    try {
      if (out)
        writeTrace(out, trace);
      out.flush();
      written = static_cast<bool>(out);
    } catch (const std::exception&) {
      // Out of memory, most likely: the game goes on without the file.
    }
    if (!written) {
      out.close();
      fs::remove(temporary, ec);
      error = "cannot write '" + path + "'";
      return {};
    }
  }
  fs::rename(temporary, path, ec);
  if (ec) {
    fs::remove(temporary, ec);
    error = "cannot write '" + path + "'";
    return {};
  }
  return path;
}

} // namespace pod
