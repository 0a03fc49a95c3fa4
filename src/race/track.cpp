#include "race/track.h"

#include "race/smallfile.h"

#include <qutils/assert.h>
#include <qutils/text.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <sstream>

namespace pod {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type begin = 0;
  for (;;) {
    const auto end = text.find(separator, begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos)
      return parts;
    begin = end + 1;
  }
}

// Leading digits, as an unsigned 32-bit value. On failure, message is the
// one-line reason also printed on standard error.
bool parseId(const std::string& field, std::uint32_t& value, const char*& message) {
  if (field.empty() || field[0] < '0' || field[0] > '9') {
    message = "invalid stoul argument";
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(field.c_str(), &end, 10);
  if (errno == ERANGE || v > std::numeric_limits<std::uint32_t>::max()) {
    message = "stoul argument out of range";
    return false;
  }
  value = static_cast<std::uint32_t>(v);
  return true;
}

// Leading float text. Infinities and NaN are refused: no race can use them.
bool parseFloat(const std::string& field, float& value, const char*& message) {
  const char* text = field.c_str();
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(text, &end);
  if (end == text || !std::isfinite(v)) {
    message = errno == ERANGE ? "stof argument out of range" : "invalid stof argument";
    return false;
  }
  if (errno == ERANGE && v != 0.f) {
    message = "stof argument out of range";
    return false;
  }
  value = v;
  return true;
}

bool fail(std::string* error, int lineNumber, const std::string& reason) {
  if (error) {
    std::ostringstream out;
    if (lineNumber > 0)
      out << "line " << lineNumber << ": ";
    out << reason;
    *error = out.str();
  }
  return false;
}

bool parseFailure(std::string* error, int lineNumber, const char* message) {
  std::cerr << message << '\n';
  return fail(error, lineNumber, message);
}

bool withinField(float v) { return std::fabs(v) <= Track::cMaxCoordinate; }

std::string coordinateProblem() {
  return "a coordinate lies outside -100000 to 100000";
}

std::string nameProblem(const std::string& name) {
  const std::string problem = qutils::nameProblem(name, qutils::cMaxNameBytes);
  return problem.empty() ? problem : "the name " + problem;
}

} // namespace

bool Track::load(const std::string& path, std::string* error) {
  name.clear();
  checkpoints.clear();

  std::string content;
  std::string reason;
  if (!readSmallFile(path, cMaxFileSize, content, reason))
    return fail(error, 0, qutils::escapedText(reason));
  return read(content, error);
}

bool Track::read(const std::string& content, std::string* error) {
  name.clear();
  checkpoints.clear();
  bool named = false;
  int lineNumber = 0;
  std::string::size_type begin = 0;
  while (begin < content.size()) {
    auto end = content.find('\n', begin);
    if (end == std::string::npos)
      end = content.size();
    if (end - begin > cMaxLineLength)
      return fail(error, lineNumber + 1, "line longer than 4 KiB");
    std::string line = content.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!named) {
      name = line;
      named = true;
      const std::string problem = nameProblem(name);
      if (!problem.empty())
        return fail(error, lineNumber, problem);
      continue;
    }
    if (checkpoints.size() == cMaxCheckpoints)
      return fail(error, lineNumber, "more than " + std::to_string(cMaxCheckpoints) + " checkpoints");
    const auto fields = split(line, ' ');
    if (fields.size() != 3)
      return fail(error, lineNumber, "expected 3 fields separated by single spaces");

    const char* message = nullptr;
    std::uint32_t id = 0;
    if (!parseId(fields[0], id, message))
      return parseFailure(error, lineNumber, message);
    float radius = 0.f;
    if (!parseFloat(fields[2], radius, message))
      return parseFailure(error, lineNumber, message);

    const auto coords = split(fields[1], ',');
    if (coords.size() != 2 || coords[0].empty() || coords[0].front() != '[' ||
        coords[1].empty() || coords[1].back() != ']')
      return fail(error, lineNumber, "position must read [x,y]");
    float x = 0.f;
    float y = 0.f;
    if (!parseFloat(coords[0].substr(1), x, message) ||
        !parseFloat(coords[1].substr(0, coords[1].size() - 1), y, message))
      return parseFailure(error, lineNumber, message);
    if (!withinField(x) || !withinField(y))
      return fail(error, lineNumber, coordinateProblem());

    Checkpoint cp;
    cp.id = id + 10;
    cp.position = {x, y};
    checkpoints.push_back(cp);
  }
  if (!named)
    return fail(error, 0, "empty file, no track name");
  if (checkpoints.empty())
    return fail(error, 0, "no checkpoint");
  const std::string problem = trackProblem(*this);
  if (!problem.empty())
    return fail(error, 0, problem);
  return true;
}

std::string trackProblem(const Track& track) {
  std::string problem = nameProblem(track.name);
  if (!problem.empty())
    return problem;
  const std::size_t n = track.checkpoints.size();
  if (n < Track::cMinCheckpoints || n > Track::cMaxCheckpoints)
    return std::to_string(n) + (n == 1 ? " checkpoint" : " checkpoints") + ": a track has " +
           std::to_string(Track::cMinCheckpoints) + " to " +
           std::to_string(Track::cMaxCheckpoints);
  for (std::size_t i = 0; i < n; ++i) {
    const qutils::Vec2& p = track.checkpoints[i].position;
    if (!withinField(p.x) || !withinField(p.y))
      return "checkpoint " + std::to_string(i) + ": " + coordinateProblem();
  }
  // Computed in double: the float difference of two far points may lose it.
  const qutils::Vec2& a = track.checkpoints[0].position;
  const qutils::Vec2& b = track.checkpoints[1].position;
  if (std::hypot(double{b.x} - a.x, double{b.y} - a.y) < Track::cMinStartGap)
    return "checkpoints 0 and 1 are less than 1 unit apart: the start line has no direction";
  return {};
}

bool Track::save(const std::string& path) const {
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "we");
  if (!file) {
    // Reported, but a failed save never stops the program: the caller keeps
    // its track and the previous file stays as it was.
    qutils::reportAssertFailure("false", __FILE__, __LINE__, "cannot write %s",
                                path.c_str());
    return false;
  }
  bool ok = std::fprintf(file, "%s\n", name.c_str()) >= 0;
  for (const auto& cp : checkpoints) {
    const std::string position = cp.position.toString();
    ok = ok && std::fprintf(file, "%u %s 200\n", cp.id, position.c_str()) >= 0;
  }
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    qutils::reportAssertFailure("false", __FILE__, __LINE__, "cannot write %s",
                                path.c_str());
    return false;
  }
  return true;
}

} // namespace pod
