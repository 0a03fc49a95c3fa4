#include "assertrecorder.h"

#include <gtest/gtest.h>
#include <vexa/core/abstractstate.h>
#include <vexa/core/indexedstatemanager.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexa;

namespace {

struct Calls {
  std::vector<std::string> log;
};

class Screen : public AbstractState {
public:
  Screen(std::uint32_t id, Calls& calls, bool initResult = true)
      : AbstractState(id), calls_(calls), initResult_(initResult) {}

  bool cleanup() override { return true; }
  void draw(float, float) override {}
  bool init() override {
    add("init");
    return initResult_;
  }
  void reserved() override {}
  void updateLayout() override { add("layout"); }

private:
  void add(const std::string& what) {
    calls_.log.push_back(std::to_string(id()) + "." + what);
  }
  Calls& calls_;
  bool initResult_;
};

// The four screens of the game: the last two ids are swapped.
std::unique_ptr<IndexedStateManager> fourScreens(Calls& calls,
                                                 bool raceFails = false) {
  auto manager = std::make_unique<IndexedStateManager>();
  manager->addState(std::make_unique<Screen>(0, calls));
  manager->addState(std::make_unique<Screen>(1, calls, !raceFails));
  manager->addState(std::make_unique<Screen>(3, calls));
  manager->addState(std::make_unique<Screen>(2, calls));
  return manager;
}

} // namespace

TEST(IndexedStateManager, IndexIsTheListPositionNotTheStateId) {
  Calls calls;
  auto manager = fourScreens(calls);
  ASSERT_TRUE(manager->init());
  EXPECT_EQ(manager->currentIndex(), 0u);
  EXPECT_EQ(manager->currentState()->id(), 0u);

  AbstractState* race = manager->state(1);
  manager->setCurrentIndex(3);
  EXPECT_EQ(manager->currentIndex(), 3u);
  EXPECT_EQ(manager->currentState()->id(), 2u);

  // Leaving and coming back finds the same, not re-initialised, screen.
  manager->setCurrentIndex(0);
  manager->setCurrentIndex(1);
  EXPECT_EQ(manager->currentState(), race);
  EXPECT_EQ(calls.log.size(), 4u);
  EXPECT_FALSE(manager->quitRequested());
}

TEST(IndexedStateManager, InitRunsEveryScreenEvenAfterAFailure) {
  Calls calls;
  auto manager = fourScreens(calls, true);
  EXPECT_FALSE(manager->init());
  const std::vector<std::string> expected = {"0.init", "1.init", "3.init", "2.init"};
  EXPECT_EQ(calls.log, expected);
}

TEST(IndexedStateManager, ResizeReachesEveryScreenInIndexOrder) {
  Calls calls;
  auto manager = fourScreens(calls);
  manager->setCurrentIndex(1);
  manager->onResize();
  const std::vector<std::string> expected = {"0.layout", "1.layout", "3.layout", "2.layout"};
  EXPECT_EQ(calls.log, expected);
}

TEST(IndexedStateManager, UnsupportedAndOutOfRangeArePreconditions) {
  Calls calls;
  auto manager = fourScreens(calls);
  AssertRecorder recorder;
  manager->unsupported();
  EXPECT_TRUE(recorder.fired("false"));
  manager->setCurrentIndex(4);
  EXPECT_TRUE(recorder.fired("index < states_.size()"));
  EXPECT_EQ(manager->state(4), nullptr);
}
