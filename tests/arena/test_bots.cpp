#include "botroster.h"
#include "cli.h"
#include "racerunner.h"
#include "trackgen.h"

#include "bots/botprocess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;
using bots::Fault;

// A shell bot that speaks the protocol: `misstep` runs before each answer
// with $n the turn number, and may break the rules. It tells its pid on
// standard error first, so the test can check that nothing of it is left.
std::string shellBot(const std::string& misstep) {
  return "echo $$ >&2\n"
         "while read -r key rest; do [ \"$key\" = start ] && break; done\n"
         "n=0\n"
         "while read -r word rest; do\n"
         "  [ \"$word\" = turn ] || exit 0\n"
         "  for i in 1 2 3 4; do read -r pod; done\n"
         "  n=$((n+1))\n" +
         misstep +
         "\n"
         "  echo '0 100 0'; echo '0 100 0'\n"
         "done\n";
}

class MisbehavingBot : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("arena-bots-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    track_ = generateTracks(5, 1).front();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string script(const std::string& name, const std::string& body) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }

  // Plays the bot as team 0 against the steering heuristics.
  RaceOutcome race(const std::string& command, int turnMs = 150) {
    auto roster = std::make_shared<BotRoster>();
    roster->entries.push_back(parseBotArgument("bot=" + command));
    roster->firstMs = 2000;
    roster->turnMs = turnMs;
    roster->graceMs = 50;
    RaceLimits limits;
    limits.bots = roster;
    return playRace(track_, false, {"bot", "Steering heuristics"}, {1, 2}, limits);
  }

  // The bot's process and everything it started are gone and reaped.
  static void expectNothingLeft(const RaceOutcome& outcome) {
    EXPECT_EQ(bots::liveBotCount(), 0);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD) << "a child process is left";
    const std::string& errors = outcome.bots.at(0).errors;
    const int pid = std::atoi(errors.c_str());
    if (pid > 0) {
      EXPECT_EQ(kill(-pid, 0), -1) << "a process of the bot's group still runs";
      EXPECT_EQ(errno, ESRCH);
    }
  }

  fs::path dir_;
  Track track_;
};

TEST_F(MisbehavingBot, EachFaultForfeitsWithItsReasonAndTurnAndLeavesNoProcess) {
  const std::string longLine = "1 1 " + std::string(5000, '0');
  struct Case {
    const char* name;
    std::string misstep;
    Fault fault;
    int turn;
    const char* detail; // expected in the detail or the line
  } cases[] = {
      {"crash_first", "kill -SEGV $$", Fault::Crashed, 1, "SIGSEGV"},
      {"crash_mid", "[ $n -eq 6 ] && kill -ABRT $$", Fault::Crashed, 6, "SIGABRT"},
      {"late", "[ $n -eq 3 ] && sleep 30", Fault::Late, 3, "within 150 ms"},
      {"garbage", "[ $n -eq 2 ] && echo 'go left now'", Fault::NotANumber, 2, "go left now"},
      {"nan", "[ $n -eq 2 ] && echo '0 nan 0'", Fault::NotFinite, 2, "0 nan 0"},
      {"short", "[ $n -eq 4 ] && echo '0 100'", Fault::FieldCount, 4, "0 100"},
      {"long_line", "[ $n -eq 2 ] && echo '" + longLine + "'", Fault::LineTooLong, 2, "1 1 000"},
      {"closed_output", "[ $n -eq 5 ] && exec >&- && sleep 30", Fault::ClosedOutput, 5, ""},
      {"closed_input", "[ $n -eq 3 ] && exec 0<&- && echo '0 100 0' && echo '0 100 0' && sleep 30",
       Fault::ClosedInput, 4, "closed its input"},
      {"double_cr", "[ $n -eq 2 ] && printf '0 100 0\\r\\r\\n'", Fault::NotANumber, 2, "0 100 0"},
      {"exit_early", "[ $n -eq 4 ] && exit 0", Fault::Exited, 4, "status 0"},
      {"ignores_term", "trap '' TERM; [ $n -eq 2 ] && sleep 30", Fault::Late, 2, "within"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RaceOutcome outcome = race(script(c.name, shellBot(c.misstep)));
    ASSERT_EQ(outcome.forfeits.size(), 1u);
    const bots::Problem& p = outcome.forfeits.front();
    EXPECT_EQ(p.fault, c.fault) << p.describe();
    EXPECT_EQ(p.turn, c.turn) << p.describe();
    EXPECT_EQ(p.team, 0);
    EXPECT_NE((p.detail + p.line).find(c.detail), std::string::npos) << p.describe();
    EXPECT_EQ(outcome.winner, 1) << "the other side wins a forfeit";
    EXPECT_EQ(outcome.turns, c.turn - 1) << "the forfeited turn is not played";
    expectNothingLeft(outcome);
  }
}

// Lines are matched to turns by count: one written after the last answer is
// an extra line even when nothing but the end of the race shows it.
TEST_F(MisbehavingBot, AnExtraLineForfeitsEvenWhenOnlyTheEndShowsIt) {
  std::string body = shellBot("");
  const std::string quit = "[ \"$word\" = turn ] || exit 0";
  body.replace(body.find(quit), quit.size(), "[ \"$word\" = turn ] || { echo '0 100 0'; exit 0; }");
  const RaceOutcome outcome = race(script("trailing", body));
  ASSERT_EQ(outcome.forfeits.size(), 1u);
  EXPECT_EQ(outcome.forfeits[0].fault, Fault::ExtraLine);
  EXPECT_EQ(outcome.forfeits[0].turn, outcome.turns + 1);
  EXPECT_EQ(outcome.winner, 1);
  expectNothingLeft(outcome);
}

// Out of descriptors, the arena cannot start a bot: that is the arena's
// error, and nobody forfeits.
TEST_F(MisbehavingBot, AnArenaThatCannotStartABotSaysSoInsteadOfAForfeit) {
  const std::string bot = script("fine", shellBot(""));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit none = saved;
  none.rlim_cur = 3;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  const RaceOutcome outcome = race(bot);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_TRUE(outcome.forfeits.empty());
  EXPECT_NE(outcome.arenaError.find("cannot start a bot"), std::string::npos) << outcome.arenaError;
  EXPECT_EQ(outcome.turns, 0);
}

TEST_F(MisbehavingBot, AProgramThatCannotRunForfeitsAtOnce) {
  for (const std::string& command : std::vector<std::string>{"/nonexistent/bot", "no-such-bot-program-here",
                                    script("plain.txt", "") + "/x"}) {
    const RaceOutcome outcome = race(command);
    ASSERT_EQ(outcome.forfeits.size(), 1u) << command;
    EXPECT_EQ(outcome.forfeits[0].fault, Fault::StartFailed) << command;
    EXPECT_EQ(outcome.winner, 1);
  }
}

// The processes a bot starts end with it, even when it leaves them behind.
TEST_F(MisbehavingBot, ChildrenOfABotEndWithTheRace) {
  const RaceOutcome outcome =
      race(script("spawner", "sleep 30 &\necho $! >&2\n" + shellBot("")));
  EXPECT_TRUE(outcome.forfeits.empty());
  EXPECT_GE(outcome.winner, 0);
  const int sleeper = std::atoi(outcome.bots.at(0).errors.c_str());
  ASSERT_GT(sleeper, 0);
  EXPECT_EQ(kill(sleeper, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

TEST_F(MisbehavingBot, ForfeitsReachTheTableTheJsonAndTheTrace) {
  const std::string bot = script("crasher", shellBot("[ $n -eq 3 ] && kill -SEGV $$"));
  const fs::path json = dir_ / "summary.json";
  const fs::path trace = dir_ / "trace.jsonl";
  const fs::path logs = dir_ / "logs";
  std::ostringstream out, err;
  const int code = runArena({"--bot", "crasher=" + bot, "--team1", "crasher", "--races", "1",
                             "--track", std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks/long_haul.prt",
                             "--json", json.string(), "--trace", trace.string(), "--bot-logs",
                             logs.string()},
                            out, err);
  ASSERT_EQ(code, 0) << err.str();
  EXPECT_NE(out.str().find("Forfeit: side 1 (crasher)"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("turn 3: crashed"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("depend on the machine"), std::string::npos);

  const auto summary = nlohmann::json::parse(std::ifstream(json));
  const auto& forfeit = summary["matchups"][0]["forfeits"][0];
  EXPECT_EQ(forfeit["reason"], "crashed");
  EXPECT_EQ(forfeit["turn"], 3);
  EXPECT_EQ(forfeit["side"], 1);
  EXPECT_EQ(summary["matchups"][0]["total"]["forfeits"], 1);

  std::ifstream lines(trace);
  std::string line, last;
  while (std::getline(lines, line))
    last = line;
  const auto end = nlohmann::json::parse(last);
  EXPECT_EQ(end["turn"], 3);
  EXPECT_EQ(end["forfeit"]["reason"], "crashed");
  EXPECT_EQ(end["winner"], 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 1);
}

// A slice's summary names each forfeit's reason, and merge reads it back.
TEST_F(MisbehavingBot, MergeReadsBackExitedAndCrashed) {
  const std::pair<const char*, std::string> cases[] = {
      {"exited", "[ $n -eq 3 ] && exit 0"}, {"crashed", "[ $n -eq 3 ] && kill -SEGV $$"}};
  for (const auto& [reason, misstep] : cases) {
    const std::string bot = script(reason, shellBot(misstep));
    const fs::path part = dir_ / (std::string(reason) + ".json");
    const fs::path merged = dir_ / (std::string(reason) + "-merged.json");
    std::ostringstream out, err;
    ASSERT_EQ(runArena({"--bot", std::string("b=") + bot, "--team1", "b", "--races", "1",
                        "--track", std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks/long_haul.prt",
                        "--shard", "1/1", "--json", part.string()},
                       out, err),
              0)
        << err.str();
    ASSERT_EQ(runArena({"merge", "--json", merged.string(), part.string()}, out, err), 0)
        << err.str();
    const auto summary = nlohmann::json::parse(std::ifstream(merged));
    EXPECT_EQ(summary["matchups"][0]["forfeits"][0]["reason"], reason);
  }
}

#ifdef VUZUDER_ARENA
// Ctrl-C during a race or a bot check: the arena ends its bots, reaps them
// and exits.
TEST_F(MisbehavingBot, InterruptingTheArenaLeavesNoBotBehind) {
  const fs::path pidFile = dir_ / "pid";
  const std::string bot =
      script("stuck", "echo $$ > " + pidFile.string() + ".tmp\nsleep 60 &\n"
                      "echo $! >> " + pidFile.string() + ".tmp\n"
                      "mv " + pidFile.string() + ".tmp " + pidFile.string() + "\nwait\n");
  const std::string botArg = "stuck=" + bot;
  const std::vector<std::vector<const char*>> commands = {
      {"--bot", botArg.c_str(), "--team1", "stuck", "--races", "1", "--track",
       VUZUDER_SOURCE_DIR "/resources/tracks/long_haul.prt", "--bot-first-ms", "60000"},
      {"check-bot", bot.c_str(), "--bot-first-ms", "60000"}};
  for (std::vector<const char*> args : commands) {
    SCOPED_TRACE(args.front());
    fs::remove(pidFile);
    args.insert(args.begin(), VUZUDER_ARENA);
    args.push_back(nullptr);
    const pid_t arena = fork();
    if (arena == 0) {
      execv(VUZUDER_ARENA, const_cast<char* const*>(args.data()));
      _exit(127);
    }
    ASSERT_GT(arena, 0);
    for (int i = 0; i < 500 && !fs::exists(pidFile); ++i)
      usleep(10000);
    ASSERT_TRUE(fs::exists(pidFile));
    int botPid = 0, sleeper = 0;
    std::ifstream(pidFile) >> botPid >> sleeper;
    ASSERT_EQ(kill(arena, SIGINT), 0);
    int status = 0;
    ASSERT_EQ(waitpid(arena, &status, 0), arena);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGINT) << status;
    for (int pid : {botPid, sleeper}) {
      EXPECT_EQ(kill(pid, 0), -1) << pid;
      EXPECT_EQ(errno, ESRCH);
    }
  }
}
#endif

#ifdef VUZUDER_SEEKER
TEST(CheckBot, TheExampleBotsRunCleanAndABrokenOneIsToldWhatIsWrong) {
  const std::string python =
      std::string(VUZUDER_PYTHON) + " " + VUZUDER_SOURCE_DIR + "/examples/bots/seeker.py";
  for (const std::string& bot : {std::string(VUZUDER_SEEKER), python}) {
    std::ostringstream out, err;
    EXPECT_EQ(runArena({"check-bot", bot, "--bot-first-ms", "5000"}, out, err), 0)
        << out.str() << err.str();
    EXPECT_NE(out.str().find("Clean run"), std::string::npos);
  }
  const fs::path broken = fs::temp_directory_path() / ("broken-bot-" + std::to_string(getpid()));
  std::ofstream(broken) << "#!/bin/sh\n"
                        << shellBot("[ $n -eq 2 ] && echo 'left 1 0'\n"
                                    "  [ $n -eq 4 ] && echo '0 inf 0' && echo '0 0 0' && continue\n"
                                    "  [ $n -eq 5 ] && sleep 0.3");
  fs::permissions(broken, fs::perms::owner_all);
  std::ostringstream out, err;
  EXPECT_EQ(runArena({"check-bot", broken.string()}, out, err), 1);
  fs::remove(broken);
  EXPECT_NE(out.str().find("turn 2: not a number: \"left 1 0\""), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("turn 4: NaN or infinity: \"0 inf 0\""), std::string::npos);
  EXPECT_NE(out.str().find("turn 5: late (answered after"), std::string::npos);
}
#endif

} // namespace
} // namespace pod::arena
