#include "simulation/replaycursor.h"

#include <gtest/gtest.h>

#include <functional>

namespace pod {
namespace {

using Move = ReplayCursor::Move;

TEST(ReplayCursor, EachControlMovesOnlyWhereItMay) {
  // A replay of 5 turns; every step acts on the cursor left by the one before.
  const struct {
    const char* what;
    std::function<Move(ReplayCursor&)> act;
    Move move;
    std::size_t turn;
  } steps[] = {
      {"stepping needs a pause", [](ReplayCursor& c) { return c.stepForward(); }, Move::None, 0},
      {"playing advances", [](ReplayCursor& c) { return c.advance(); }, Move::Forward, 1},
      {"seek", [](ReplayCursor& c) { return c.seek(4); }, Move::Jump, 4},
      {"seek to where it is", [](ReplayCursor& c) { return c.seek(4); }, Move::None, 4},
      {"last turn", [](ReplayCursor& c) { return c.advance(); }, Move::Forward, 5},
      {"nothing past the end", [](ReplayCursor& c) { return c.advance(); }, Move::None, 5},
      {"pause, then back", [](ReplayCursor& c) { c.togglePause(); return c.stepBack(); },
       Move::Jump, 4},
      {"paused: no turn falls due", [](ReplayCursor& c) { return c.advance(); }, Move::None, 4},
      {"forward while paused", [](ReplayCursor& c) { return c.stepForward(); }, Move::Forward, 5},
      {"not past the end", [](ReplayCursor& c) { return c.stepForward(); }, Move::None, 5},
      {"home", [](ReplayCursor& c) { return c.home(); }, Move::Jump, 0},
      {"not before the start", [](ReplayCursor& c) { return c.stepBack(); }, Move::None, 0},
      {"seek past the end stops at it", [](ReplayCursor& c) { return c.seek(99); }, Move::Jump, 5},
      {"end where it is", [](ReplayCursor& c) { return c.end(); }, Move::None, 5},
      {"resume at the end", [](ReplayCursor& c) { c.togglePause(); return c.advance(); },
       Move::None, 5},
  };
  ReplayCursor cursor;
  cursor.reset(5);
  for (const auto& s : steps) {
    EXPECT_EQ(s.act(cursor), s.move) << s.what;
    EXPECT_EQ(cursor.turn(), s.turn) << s.what;
  }
  EXPECT_TRUE(cursor.atEnd());
  EXPECT_FALSE(cursor.running());
  cursor.reset(3);
  EXPECT_EQ(cursor.turn(), 0u);
  EXPECT_TRUE(cursor.running());
}

TEST(ReplayCursor, SeekingFindsTheFirstTurnTheLeaderReachesThePoint) {
  // The leader's progress may stall or even fall back (a bump); the first
  // turn that reaches the point wins.
  const std::vector<float> leader = {0.f, 0.4f, 1.2f, 1.1f, 2.5f, 3.f};
  const std::pair<float, std::size_t> cases[] = {
      {0.f, 0}, {0.3f, 1}, {1.15f, 2}, {2.f, 4}, {3.f, 5}, {7.f, 5}};
  for (const auto& [ticks, turn] : cases)
    EXPECT_EQ(ReplayCursor::turnAtProgress(leader, ticks), turn) << ticks;
  EXPECT_EQ(ReplayCursor::turnAtProgress({}, 1.f), 0u);
}

} // namespace
} // namespace pod
