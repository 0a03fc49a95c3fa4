#include "cli.h"
#include "htmltext.h"

#include "trace/tracereader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace pod::arena {
namespace {

namespace fs = std::filesystem;

TEST(HtmlText, MarkupAndBadBytesShowAsText) {
  EXPECT_EQ(htmlText("<b a=\"x\" c='y'>&amp;</b> Zo\xc3\xab"),
            "&lt;b a=&quot;x&quot; c=&#39;y&#39;&gt;&amp;amp;&lt;/b&gt; Zo\xc3\xab");
  EXPECT_EQ(htmlText("caf\xe9<"), "caf\\xE9&lt;");
  EXPECT_EQ(shortened("\xc3\xa9t\xc3\xa9 long", 3), "\xc3\xa9t\xc3\xa9\xe2\x80\xa6");
  EXPECT_EQ(shellCommand("arena", {"--bot", "it's=a b", "--races", "2"}),
            "arena --bot 'it'\\''s=a b' --races 2");
}

class ReplayPage : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("arena-html-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  int arena(const std::vector<std::string>& args) {
    std::ostringstream out;
    err_.str("");
    return runArena(args, out, err_);
  }
  fs::path dir_;
  std::ostringstream err_;
};

// The page holds every turn of the race, each number reading back to the
// recorded float, in less than twice the trace's size.
TEST_F(ReplayPage, PlaysTheWholeRaceLosslesslyAndCompactly) {
  const std::string tracePath = (dir_ / "race.jsonl").string();
  ASSERT_EQ(arena({"--tracks-dir", std::string(VUZUDER_SOURCE_DIR) + "/resources/tracks",
                   "--track", "Hairpin Alley", "--races", "1", "--trace", tracePath}),
            0);
  ASSERT_EQ(arena({"replay-html", tracePath}), 0) << err_.str();
  const fs::path page = dir_ / "race.html";
  ASSERT_TRUE(fs::exists(page));
  EXPECT_LE(fs::file_size(page), 2 * fs::file_size(tracePath));

  std::ifstream in(page);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto begin = text.find("raceFrames(") + 11;
  const auto frames = nlohmann::json::parse(text.substr(begin, text.find(");\n", begin) - begin));
  Trace trace;
  std::string error;
  ASSERT_TRUE(readTraceFile(tracePath, trace, error)) << error;
  const std::size_t pods = trace.start.pods.size();
  ASSERT_EQ(frames.size(), (trace.turns.size() + 1) * pods * 6);
  for (std::size_t f = 0; f <= trace.turns.size(); f += 97)
    for (std::size_t p = 0; p < pods; ++p) {
      const PodState& pod = trace.stateAt(f).pods[p];
      const std::size_t at = (f * pods + p) * 6;
      EXPECT_EQ(static_cast<float>(frames[at].get<double>()), pod.position.x);
      EXPECT_EQ(static_cast<float>(frames[at + 1].get<double>()), pod.position.y);
      EXPECT_EQ(static_cast<float>(frames[at + 2].get<double>()), pod.angle);
      EXPECT_EQ(frames[at + 5].get<int>(), pod.checkpointsCleared);
    }
}

// A trace the game refuses is refused with the game's reason, in one line.
TEST_F(ReplayPage, BadTracesGiveTheReadersReason) {
  const std::string bad = (dir_ / "bad.jsonl").string();
  std::ofstream(bad) << "{\"format\":\"something else\",\"version\":1}\n";
  Trace trace;
  std::string reason;
  ASSERT_FALSE(readTraceFile(bad, trace, reason));
  for (const std::string& path : {bad, (dir_ / "missing.jsonl").string(), dir_.string()}) {
    EXPECT_EQ(arena({"replay-html", path, "-o", (dir_ / "page.html").string()}), 2) << path;
    const std::string said = err_.str();
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    if (path == bad) {
      EXPECT_NE(said.find(reason), std::string::npos) << said;
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "page.html"));
}

} // namespace
} // namespace pod::arena
