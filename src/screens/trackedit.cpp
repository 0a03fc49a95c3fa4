#include "screens/trackedit.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace pod {

namespace {

const char* const cOnlySafeCharacters =
    "a track name holds only letters, digits, spaces, '-' and '_'";

std::string where(const qutils::Vec2& p) {
  return "(" + std::to_string(std::lround(p.x)) + ", " + std::to_string(std::lround(p.y)) + ")";
}

std::string count(std::size_t n) {
  return std::to_string(n) + (n == 1 ? " checkpoint" : " checkpoints");
}

} // namespace

int TrackEdit::checkpointAt(const qutils::Vec2& p) const {
  for (std::size_t i = 0; i < track_.checkpoints.size(); ++i) {
    if ((track_.checkpoints[i].position - p).length() <= cPickRadius)
      return static_cast<int>(i);
  }
  return -1;
}

void TrackEdit::drag(const qutils::Vec2& p) {
  if (selected_ < 0 || selected_ >= static_cast<int>(track_.checkpoints.size()))
    return;
  qutils::Vec2& position = track_.checkpoints[static_cast<std::size_t>(selected_)].position;
  if (position == p)
    return;
  position = p;
  describe("Checkpoint " + std::to_string(selected_ + 1) + " moved to " + where(p));
}

void TrackEdit::select(const qutils::Vec2& p) {
  const int before = selected_;
  selected_ = checkpointAt(p);
  if (selected_ == before)
    return;
  if (selected_ >= 0)
    describe("Checkpoint " + std::to_string(selected_ + 1) + " selected, Delete erases it");
  else
    describe("No checkpoint selected");
}

void TrackEdit::describe(const std::string& what) {
  status_ = what + ": " + count(track_.checkpoints.size());
}

bool TrackEdit::create(const qutils::Vec2& p) {
  if (checkpointAt(p) >= 0)
    return false;
  Checkpoint cp;
  cp.id = static_cast<std::uint32_t>(track_.checkpoints.size());
  cp.position = p;
  std::cout << "Creating new checkpoint at : " << p.toString() << std::endl;
  track_.checkpoints.push_back(cp);
  describe("Checkpoint " + std::to_string(track_.checkpoints.size()) + " added at " + where(p));
  return true;
}

bool TrackEdit::eraseSelected() {
  if (selected_ < 0 || selected_ >= static_cast<int>(track_.checkpoints.size()))
    return false;
  track_.checkpoints.erase(track_.checkpoints.begin() + selected_);
  renumber();
  describe("Checkpoint " + std::to_string(selected_ + 1) + " erased");
  selected_ = -1;
  return true;
}

void TrackEdit::renumber() {
  for (std::size_t i = 0; i < track_.checkpoints.size(); ++i)
    track_.checkpoints[i].id = static_cast<std::uint32_t>(i);
}

std::string TrackEdit::fileName(const std::string& typed, std::string* why) {
  const auto first = typed.find_first_not_of(' ');
  const std::string name =
      first == std::string::npos ? std::string()
                                 : typed.substr(first, typed.find_last_not_of(' ') - first + 1);
  const char* reason = nullptr;
  if (name.empty())
    reason = "type a track name first";
  else if (name.size() > cMaxNameLength)
    reason = "a track name has at most 64 characters";
  else
    for (char c : name)
      if ((reason = refusal(static_cast<unsigned char>(c))))
        break;
  if (reason) {
    if (why)
      *why = reason;
    return {};
  }
  return name;
}

const char* TrackEdit::refusal(char32_t c) {
  const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == ' ' || c == '-' || c == '_';
  return allowed ? nullptr : cOnlySafeCharacters;
}

namespace {

std::string lowered(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The shipped track that a file name would shadow, by file or track name.
std::string shippedTrackNamed(const std::string& shippedFolder, const std::string& name) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(shippedFolder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->path().extension() != ".prt")
      continue;
    if (lowered(it->path().stem().string()) == lowered(name))
      return it->path().stem().string();
    Track shipped;
    if (shipped.load(it->path().string()) && lowered(shipped.name) == lowered(name))
      return shipped.name;
  }
  return "";
}

bool separateFolders(const std::string& folder, const std::string& shippedFolder) {
  std::error_code error;
  return !shippedFolder.empty() && !std::filesystem::equivalent(folder, shippedFolder, error);
}

} // namespace

bool TrackEdit::save(const std::string& folder, const std::string& typedName,
                     const std::string& shippedFolder) {
  std::string why;
  const std::string name = fileName(typedName, &why);
  if (track_.checkpoints.size() < 2) {
    status_ = "Not saved: a track needs at least 2 checkpoints";
    return false;
  }
  if (name.empty()) {
    status_ = "Not saved: " + why;
    return false;
  }
  if (separateFolders(folder, shippedFolder)) {
    const std::string shipped = shippedTrackNamed(shippedFolder, name);
    if (!shipped.empty()) {
      status_ = "Not saved: '" + shipped + "' is a track of the game; choose another name";
      return false;
    }
  }

  // Centred on the origin. Within a hundredth of a unit counts as centred,
  // so that saving a loaded track again does not nudge it by rounding.
  double sx = 0.0;
  double sy = 0.0;
  for (const Checkpoint& cp : track_.checkpoints) {
    sx += cp.position.x;
    sy += cp.position.y;
  }
  const double n = static_cast<double>(track_.checkpoints.size());
  const qutils::Vec2 centre(static_cast<float>(sx / n), static_cast<float>(sy / n));
  Track centred = track_;
  if (std::fabs(centre.x) >= 0.01f || std::fabs(centre.y) >= 0.01f) {
    for (Checkpoint& cp : centred.checkpoints)
      cp.position = cp.position - centre;
  }
  track_.name = name;
  centred.name = name;
  // Never write what the game would refuse to load.
  const std::string problem = trackProblem(centred);
  if (!problem.empty()) {
    status_ = "Not saved: " + problem;
    return false;
  }

  const std::string path = folder + name + ".prt";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const bool replacing = std::filesystem::exists(path, error);
  if (!centred.save(path)) {
    status_ = "Not saved: cannot write " + path;
    return false;
  }
  status_ = "Saved " + path + ": " + count(centred.checkpoints.size()) +
            (replacing ? ", replacing the previous file" : "");
  return true;
}

bool TrackEdit::load(const std::string& folder, const std::string& typedName,
                     const std::string& shippedFolder) {
  std::string why;
  const std::string name = fileName(typedName, &why);
  if (name.empty()) {
    status_ = "Not loaded: " + why;
    return false;
  }
  std::string path = folder + name + ".prt";
  std::error_code error;
  if (separateFolders(folder, shippedFolder) && !std::filesystem::exists(path, error))
    path = shippedFolder + name + ".prt";
  Track loaded;
  if (!loaded.load(path, &why)) {
    status_ = "Not loaded: " + why;
    return false;
  }
  track_ = std::move(loaded);
  renumber();
  selected_ = -1;
  status_ = "Loaded " + path + ": " + count(track_.checkpoints.size());
  return true;
}

} // namespace pod
