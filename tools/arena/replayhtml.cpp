#include "replayhtml.h"

#include "cliparse.h"
#include "htmltext.h"
#include "replayassets.h"

#include "trace/tracereader.h"

#include <CLI/CLI.hpp>
#include <qutils/text.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>

namespace pod::arena {

namespace {

// The field of the shipped and generated tracks, centred on the origin.
constexpr float kFieldWidth = 16000.f;
constexpr float kFieldHeight = 9000.f;

std::string teamName(const Trace& trace, int team) {
  if (team >= 0 && static_cast<std::size_t>(team) < trace.teams.size())
    return trace.teams[static_cast<std::size_t>(team)];
  return "team " + std::to_string(team + 1);
}

std::string outcomeText(const Trace& trace) {
  const int turns = static_cast<int>(trace.turns.size());
  if (trace.forfeited) {
    std::string text = teamName(trace, trace.forfeit.team) + " forfeits before turn " +
                       std::to_string(trace.forfeit.turn) + " (" + trace.forfeit.reason;
    if (!trace.forfeit.detail.empty())
      text += ": " + trace.forfeit.detail;
    text += ")";
    if (trace.forfeitWinner >= 0)
      text += "; " + teamName(trace, trace.forfeitWinner) + " wins";
    return text;
  }
  const Race& end = trace.stateAt(trace.turns.size());
  if (end.winner >= 0)
    return teamName(trace, end.winner) + " wins after " + std::to_string(turns) + " turns" +
           (end.byTimeout ? ", by the other team's timeout" : "");
  return std::string(trace.truncated ? "The file was cut short: " : "No winner: ") +
         "the recording ends after " + std::to_string(turns) + " turns";
}

void numbers(std::ostream& out, const std::vector<float>& values) {
  out << '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0)
      out << ',';
    out << shortestNumber(values[i]);
  }
  out << ']';
}

// The race as flat arrays of numbers: per frame (the start, then every turn)
// and pod: x, y, angle, thrust, shield cooldown, checkpoints cleared. The
// turns come after the script, so that the start is drawn before they are read.
void writeData(std::ostream& out, const Trace& trace) {
  const std::size_t pods = trace.start.pods.size();
  float x0 = -kFieldWidth / 2, y0 = -kFieldHeight / 2;
  float x1 = kFieldWidth / 2, y1 = kFieldHeight / 2;
  constexpr float kReach = constants::kPodRadius + constants::kCheckpointRadius;
  std::vector<float> cp;
  for (const auto& c : trace.track.checkpoints) {
    cp.push_back(c.position.x);
    cp.push_back(c.position.y);
    x0 = std::min(x0, c.position.x - kReach);
    y0 = std::min(y0, c.position.y - kReach);
    x1 = std::max(x1, c.position.x + kReach);
    y1 = std::max(y1, c.position.y + kReach);
  }
  std::vector<float> frames;
  frames.reserve((trace.turns.size() + 1) * pods * 6);
  std::vector<float> hits;
  for (std::size_t f = 0; f <= trace.turns.size(); ++f) {
    const Race& state = trace.stateAt(f);
    for (std::size_t p = 0; p < pods; ++p) {
      const PodState& pod = state.pods[p];
      // Pods may leave the field; a runaway one does not shrink the rest to dots.
      const float r = constants::kPodRadius * 1.5f;
      x0 = std::max(-kFieldWidth, std::min(x0, pod.position.x - r));
      y0 = std::max(-kFieldHeight, std::min(y0, pod.position.y - r));
      x1 = std::min(kFieldWidth, std::max(x1, pod.position.x + r));
      y1 = std::min(kFieldHeight, std::max(y1, pod.position.y + r));
      const auto* influences = f > 0 ? &trace.turns[f - 1].influences : nullptr;
      frames.insert(frames.end(),
                    {pod.position.x, pod.position.y, pod.angle,
                     influences && p < influences->size() ? (*influences)[p].thrust : 0.f,
                     pod.shieldCooldown, static_cast<float>(pod.checkpointsCleared)});
    }
    if (f > 0)
      for (const auto& e : trace.turns[f - 1].events)
        if (e.type == PhysicsEvent::PodCollision)
          hits.insert(hits.end(), {static_cast<float>(trace.turns[f - 1].turn), e.time,
                                   e.position.x, e.position.y});
  }
  std::vector<float> teamOf;
  for (const auto& pod : trace.start.pods)
    teamOf.push_back(static_cast<float>(std::max(0, pod.team)));

  out << "const RACE={\"field\":";
  numbers(out, {x0, y0, x1 - x0, y1 - y0});
  out << ",\"cp\":";
  numbers(out, cp);
  out << ",\"reach\":" << shortestNumber(kReach)
      << ",\"podRadius\":" << shortestNumber(constants::kPodRadius)
      << ",\"laps\":" << constants::kLaps << ",\"turnTime\":" << shortestNumber(trace.turnTime)
      << ",\"teamOf\":";
  numbers(out, teamOf);
  out << ",\"hits\":";
  numbers(out, hits);
  out << ",\"start\":";
  numbers(out, std::vector<float>(frames.begin(), frames.begin() + static_cast<long>(pods * 6)));
  out << "};\n</script>\n<script>" << replayassets::kScript << "</script>\n<script>raceFrames(";
  numbers(out, frames);
  out << ");\n";
}

} // namespace

void writeReplayPage(std::ostream& out, const Trace& trace) {
  const std::string track = htmlText(trace.track.name);
  std::string teams;
  std::string title;
  for (std::size_t t = 0; t < trace.teams.size(); ++t) {
    const std::string sep = t == 0 ? "" : trace.timeAttack ? ", " : " vs ";
    teams += sep + "<span class=\"team t" + std::to_string(t % 4) + "\">" +
             htmlText(trace.teams[t]) + "</span>";
    title += sep + htmlText(trace.teams[t]);
  }
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>"
      << track << ": " << title << "</title>\n<style>" << replayassets::kStyle
      << "</style>\n</head>\n<body>\n<header><h1>" << track
      << (trace.timeAttack ? " \xe2\x80\x94 time attack" : "") << "</h1><p id=\"teams\">" << teams
      << "</p></header>\n<main>\n<div id=\"stage\"><canvas id=\"field\" role=\"img\" "
         "aria-label=\"The race seen from above\"></canvas></div>\n<aside>\n"
         "<p>Turn <span id=\"turn\">0</span> / <span id=\"turns\">"
      << trace.turns.size()
      << "</span> <span class=\"dim\">(<span id=\"clock\">0.00 s</span>)</span></p>\n"
         "<ol id=\"order\" aria-label=\"Race order\"></ol>\n<p id=\"result\" hidden>"
      << htmlText(outcomeText(trace))
      << "</p>\n</aside>\n</main>\n<div id=\"controls\">\n"
         "<button id=\"play\" type=\"button\">Pause</button>\n"
         "<button id=\"back\" type=\"button\" title=\"One turn back (Left)\">"
         "&#9664; Step</button>\n"
         "<button id=\"fwd\" type=\"button\" title=\"One turn forward (Right)\">"
         "Step &#9654;</button>\n"
         "<label>Speed <select id=\"speed\"><option value=\"0.5\">x0.5</option>"
         "<option value=\"1\" selected>x1</option><option value=\"2\">x2</option>"
         "<option value=\"4\">x4</option><option value=\"8\">x8</option></select></label>\n"
         "<div id=\"bar\"><canvas id=\"marks\"></canvas><input id=\"scrub\" type=\"range\" "
         "min=\"0\" max=\"0\" step=\"any\" value=\"0\" aria-label=\"Turn\"></div>\n</div>\n"
         "<p class=\"keys\">Space: play or pause \xc2\xb7 Left / Right: one turn \xc2\xb7 Home / "
         "End: start / end \xc2\xb7 + / \xe2\x88\x92: speed \xc2\xb7 yellow rings and ticks: "
         "collisions</p>\n"
         "<pre id=\"errors\" hidden></pre>\n<script>\n";
  writeData(out, trace);
  out << "</script>\n</body>\n</html>\n";
}

int runReplayHtml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string tracePath;
  std::string pagePath;
  CLI::App app{"Writes a self-contained web page that plays a recorded race.",
               "vuzuder-arena replay-html"};
  app.add_option("trace", tracePath, "The trace (.jsonl) of the race")
      ->type_name("TRACE")
      ->required();
  app.add_option("-o,--output", pagePath, "The page to write (default: TRACE with .html)")
      ->type_name("FILE");
  if (const auto stop = parseArguments(app, "vuzuder-arena replay-html", args, out, err))
    return *stop;
  if (pagePath.empty())
    pagePath = std::filesystem::path(tracePath).replace_extension(".html").string();
  try {
    Trace trace;
    std::string error;
    if (!readTraceFile(tracePath, trace, error)) {
      err << "vuzuder-arena replay-html: " << qutils::escapedText(error) << '\n';
      return 2;
    }
    if (trace.start.pods.empty()) {
      err << "vuzuder-arena replay-html: '" << qutils::escapedText(tracePath)
          << "' has no pods to show\n";
      return 2;
    }
    std::ofstream page(pagePath, std::ios::trunc);
    if (page)
      writeReplayPage(page, trace);
    if (!page || !page.flush()) {
      err << "vuzuder-arena replay-html: cannot write '" << qutils::escapedText(pagePath) << "'\n";
      return 2;
    }
  } catch (const std::bad_alloc&) {
    err << "vuzuder-arena replay-html: out of memory\n";
    return 2;
  }
  out << pagePath << '\n';
  return 0;
}

} // namespace pod::arena
