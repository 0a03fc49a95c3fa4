#include "botcheck.h"

#include "cliparse.h"
#include "racerunner.h"
#include "trackgen.h"

#include "brains/driverregistry.h"
#include "bots/botbrain.h"
#include "bots/botprocess.h"
#include "bots/commandwords.h"

#include <CLI/CLI.hpp>
#include <qutils/text.h>

#include <iomanip>
#include <ostream>
#include <sstream>

namespace pod::arena {

namespace {

constexpr std::size_t kProblemsShown = 100;
constexpr int kErrorLinesShown = 10;

void printErrorOutput(std::ostream& out, const std::string& text) {
  if (text.empty())
    return;
  out << "Its standard error began with:\n";
  std::istringstream lines(text);
  std::string line;
  for (int n = 0; n < kErrorLinesShown && std::getline(lines, line); ++n)
    out << "  | " << line << '\n';
}

} // namespace

int runCheckBot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string command;
  std::string trackFile;
  std::uint64_t seed = 1;
  int firstMs = 1000;
  int turnMs = 50;
  CLI::App app{"Plays one race of a bot against the steering heuristics and reports every "
               "protocol problem; exit code 0 only for a clean run.",
               "vuzuder-arena check-bot"};
  app.add_option("COMMAND", command, "The bot's command, one argument (quote it)")
      ->required();
  app.add_option("--track", trackFile, "A .prt file to race on (default: a small random track)")
      ->type_name("FILE");
  app.add_option("--seed", seed, "Seed of the random track")->capture_default_str();
  app.add_option("--bot-first-ms", firstMs, "Limit of the first answer")->capture_default_str();
  app.add_option("--bot-turn-ms", turnMs, "Limit of later answers")->capture_default_str();

  if (const auto stop = parseArguments(app, "vuzuder-arena check-bot", args, out, err))
    return *stop;

  std::string error;
  bots::BotSettings settings;
  settings.words = bots::splitCommandWords(command, &error);
  if (settings.words.empty()) {
    err << "vuzuder-arena check-bot: bad command: " << qutils::escapedText(error) << '\n';
    return 2;
  }
  if (firstMs < 1 || turnMs < 1) {
    err << "vuzuder-arena check-bot: --bot-first-ms and --bot-turn-ms must be at least 1\n";
    return 2;
  }
  settings.firstMs = firstMs;
  settings.turnMs = turnMs;
  settings.checking = true;

  Track track;
  if (!trackFile.empty()) {
    if (!track.load(trackFile, &error)) {
      err << "vuzuder-arena check-bot: invalid track '" << qutils::escapedText(trackFile)
          << "': " << error << '\n';
      return 2;
    }
  } else {
    // Three checkpoints keep the race short.
    for (std::uint64_t s = seed;; ++s) {
      track = generateTracks(s, 1).front();
      if (track.checkpoints.size() == 3)
        break;
    }
  }

  out << "Checking '" << command << "' as team 0 against Steering heuristics on " << track.name
      << " (" << track.checkpoints.size() << " checkpoints); limits " << firstMs
      << " ms for the first answer, " << turnMs << " ms later." << std::endl;

  // Ctrl-C must not leave the bot running.
  bots::installInterruptCleanup("vuzuder-arena check-bot: interrupted; bot ended\n");
  std::vector<std::unique_ptr<AbstractBrain>> brains;
  brains.push_back(std::make_unique<bots::BotBrain>(settings));
  brains.push_back(createDriver("Steering heuristics", false));
  const RaceOutcome outcome = playRace(track, false, std::move(brains), RaceLimits{});
  if (!outcome.arenaError.empty()) {
    err << "vuzuder-arena check-bot: " << outcome.arenaError << '\n';
    return 2;
  }
  const RaceOutcome::BotRun& run = outcome.bots.at(0);

  std::size_t shown = 0;
  for (const auto& p : run.problems)
    if (++shown <= kProblemsShown)
      out << p.describe() << '\n';
  if (run.problems.size() > kProblemsShown)
    out << "... and " << run.problems.size() - kProblemsShown << " more problems\n";

  const char* result = outcome.winner == 0   ? "the bot won"
                       : outcome.winner == 1 ? "the steering heuristics won"
                                             : "nobody won";
  out << "Race over after " << outcome.turns << " turns: " << result
      << (outcome.byTimeout ? " by timeout" : "") << ". Answers took " << std::fixed
      << std::setprecision(2) << run.meanAnswerMs << " ms on average, the slowest "
      << run.slowestAnswerMs << " ms (turn " << run.slowestAnswerTurn << ").\n";
  printErrorOutput(out, run.errors);
  if (run.problems.empty()) {
    out << "Clean run: no protocol problem.\n";
    return 0;
  }
  out << run.problems.size() << (run.problems.size() == 1 ? " protocol problem.\n"
                                                          : " protocol problems.\n");
  return 1;
}

} // namespace pod::arena
