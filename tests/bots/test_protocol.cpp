#include "bots/commandwords.h"
#include "bots/gamebotbrain.h"
#include "bots/protocol.h"

#include "race/track.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace pod::bots {
namespace {

TEST(BotAnswerLine, GoodLinesAreReadAndClamped) {
  struct Case {
    const char* line;
    float rotation, thrust;
    bool shield;
  } cases[] = {
      {"1.5 100 0", 1.5f, 100.f, false},
      {"  -7\t200   1  ", -7.f, 200.f, true},
      {"0 0 1\r", 0.f, 0.f, true},
      {"+3 1e2 0", 3.f, 100.f, false},
      {"-40 -5 0", -18.f, 0.f, false},   // out of range: clamped, not refused
      {"40 1e300 2", 18.f, 200.f, true}, // any shield value but 0 raises it
      {"0 0 -1", 0.f, 0.f, true},
      {"1e-400 0.25 -0", 0.f, 0.25f, false},
  };
  for (const auto& c : cases) {
    Influence inf;
    inf.rotation = 99.f;
    ASSERT_EQ(parseCommand(c.line, inf), LineFault::None) << c.line;
    EXPECT_EQ(inf.rotation, c.rotation) << c.line;
    EXPECT_EQ(inf.thrust, c.thrust) << c.line;
    EXPECT_EQ(inf.shield, c.shield) << c.line;
  }
}

TEST(BotAnswerLine, MalformedLinesAreRefusedWithTheirFault) {
  const std::pair<const char*, LineFault> cases[] = {
      {"", LineFault::FieldCount},
      {"   ", LineFault::FieldCount},
      {"1 2", LineFault::FieldCount},
      {"1 2 0 4", LineFault::FieldCount},
      {"1 2 0 # note", LineFault::FieldCount},
      {"left 200 0", LineFault::NotANumber},
      {"1,5 200 0", LineFault::NotANumber},
      {"1 200 true", LineFault::NotANumber},
      {"0x10 200 0", LineFault::NotANumber},
      {"+-5 200 0", LineFault::NotANumber},
      {"1 2 0\r\r", LineFault::NotANumber},
      {"nan 200 0", LineFault::NotFinite},
      {"1 inf 0", LineFault::NotFinite},
      {"1 200 -INFINITY", LineFault::NotFinite},
      {"1e400 0 0", LineFault::NotFinite},
  };
  for (const auto& [line, fault] : cases) {
    Influence inf;
    inf.thrust = 7.f;
    EXPECT_EQ(parseCommand(line, inf), fault) << '"' << line << '"';
    EXPECT_EQ(inf.thrust, 7.f) << "a refused line must not change the command";
  }
}

TEST(CommandWords, SplitLikeAShellWithoutExpanding) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"bot", {"bot"}},
      {"  python3   my bot.py ", {"python3", "my", "bot.py"}},
      {"python3 'my bot.py' --depth=3", {"python3", "my bot.py", "--depth=3"}},
      {R"(run "a \"quoted\" \\ $HOME" x)", {"run", R"(a "quoted" \ $HOME)", "x"}},
      {R"(a\ b c\'d)", {"a b", "c'd"}},
      {R"(''x"" '' "")", {"x", "", ""}},
      {"echo $PATH *.py |wc", {"echo", "$PATH", "*.py", "|wc"}},
  };
  for (const auto& [command, words] : cases) {
    std::string error;
    EXPECT_EQ(splitCommandWords(command, &error), words) << command;
    EXPECT_EQ(error, "") << command;
  }
  for (const char* bad : {"", "   ", "bot 'open", "bot \"open", "bot\\"}) {
    std::string error;
    EXPECT_TRUE(splitCommandWords(bad, &error).empty()) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(GameBotOptions, UpToFourNamedCommandsAmongOtherArguments) {
  std::vector<pod::bots::GameBot> bots;
  std::string error;
  ASSERT_TRUE(parseGameBotOptions({"--bot", "a=./a --fast", "--other", "--bot=b=python3 'my b.py'"},
                                  bots, &error))
      << error;
  ASSERT_EQ(bots.size(), 2u);
  EXPECT_EQ(bots[1].name, "b");
  EXPECT_EQ(bots[1].words, (std::vector<std::string>{"python3", "my b.py"}));

  const std::vector<std::string> bad[] = {
      {"--bot"},
      {"--bot", "=x"},
      {"--bot", "nameonly"},
      {"--bot", "a='open"},
      {"--bot", "a=x", "--bot", "a=y"},
      {"--bot", "caf\xe9=x"},
      {"--bot", "a=x", "--bot", "b=x", "--bot", "c=x", "--bot", "d=x", "--bot", "e=x"},
  };
  for (const auto& args : bad) {
    bots.clear();
    error.clear();
    EXPECT_FALSE(parseGameBotOptions(args, bots, &error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

// A bot that replays the physics needs the very floats of the state.
TEST(BotMessages, GreetingAndTurnCarryExactValues) {
  Track track;
  track.checkpoints.resize(2);
  track.checkpoints[0].position = {-1234.5f, 0.1f};
  track.checkpoints[1].position = {16000.f, -3.f};
  Greeting g;
  g.team = 1;
  g.turnMs = 40;
  g.track = &track;
  std::string text;
  appendGreeting(text, g);
  EXPECT_EQ(text.substr(0, text.find('\n')), "vuzuder-bot 1");
  EXPECT_NE(text.find("\nteam 1\n"), std::string::npos);
  EXPECT_NE(text.find("\nturn-ms 40\n"), std::string::npos);
  EXPECT_NE(text.find("\ncheckpoints 2\n-1234.5 0.1\n16000 -3\nstart\n"), std::string::npos);

  Race race;
  race.nbPodsPerTeam = 1;
  race.pods.resize(2);
  race.pods[1].id = 1;
  race.pods[1].team = 1;
  race.pods[1].velocity = {1.f / 3.f, -0.f};
  race.pods[1].angle = 359.99997f;
  text.clear();
  appendTurn(text, 17, 40, race);
  std::istringstream in(text);
  std::string turn, pod0, pod1;
  std::getline(in, turn);
  std::getline(in, pod0);
  std::getline(in, pod1);
  EXPECT_EQ(turn, "turn 17 40");
  std::istringstream fields(pod1);
  std::string f[12];
  for (auto& field : f)
    fields >> field;
  EXPECT_EQ(f[0], "1");
  EXPECT_EQ(f[1], "1");
  EXPECT_EQ(std::strtof(f[4].c_str(), nullptr), 1.f / 3.f);
  EXPECT_EQ(std::strtof(f[6].c_str(), nullptr), 359.99997f);
  EXPECT_FALSE(fields.fail());
}

} // namespace
} // namespace pod::bots
