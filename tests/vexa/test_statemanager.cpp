#include "assertrecorder.h"

#include <gtest/gtest.h>
#include <vexa/core/abstractstate.h>
#include <vexa/core/indexedstatemanager.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexa;

namespace {

using Log = std::vector<std::string>;

// Logs its init and layout calls.
class Screen : public AbstractState {
public:
  Screen(std::uint32_t id, Log& log, bool initResult)
      : AbstractState(id), log_(log), initResult_(initResult) {}
  bool cleanup() override { return true; }
  void draw(float, float) override {}
  bool init() override {
    log_.push_back(std::to_string(id()) + ".init");
    return initResult_;
  }
  void reserved() override {}
  void updateLayout() override { log_.push_back(std::to_string(id()) + ".layout"); }

private:
  Log& log_;
  bool initResult_;
};

// The four screens of the game: the last two ids are swapped.
std::unique_ptr<IndexedStateManager> fourScreens(Log& log, bool raceFails = false) {
  auto manager = std::make_unique<IndexedStateManager>();
  for (std::uint32_t id : {0u, 1u, 3u, 2u})
    manager->addState(std::make_unique<Screen>(id, log, !(raceFails && id == 1u)));
  return manager;
}

} // namespace

TEST(IndexedStateManager, IndexIsTheListPositionNotTheStateId) {
  Log log;
  auto manager = fourScreens(log);
  ASSERT_TRUE(manager->init());
  EXPECT_EQ(manager->currentState()->id(), 0u);
  AbstractState* race = manager->state(1);
  manager->setCurrentIndex(3);
  EXPECT_EQ(manager->currentIndex(), 3u);
  EXPECT_EQ(manager->currentState()->id(), 2u);

  // Leaving and coming back finds the same, not re-initialised, screen; a
  // resize reaches every screen in index order.
  manager->setCurrentIndex(0);
  manager->setCurrentIndex(1);
  EXPECT_EQ(manager->currentState(), race);
  manager->onResize();
  const Log expected = {"0.init",   "1.init",   "3.init",   "2.init",
                        "0.layout", "1.layout", "3.layout", "2.layout"};
  EXPECT_EQ(log, expected);

  AssertRecorder recorder;
  manager->setCurrentIndex(4);
  EXPECT_TRUE(recorder.fired("index < states_.size()"));
  EXPECT_EQ(manager->state(4), nullptr);
}

TEST(IndexedStateManager, InitRunsEveryScreenEvenAfterAFailure) {
  Log log;
  EXPECT_FALSE(fourScreens(log, true)->init());
  EXPECT_EQ(log.size(), 4u);
}
