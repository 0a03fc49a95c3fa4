#include "support.h"

#include <vexa/core/abstractstate.h>
#include <vexa/core/application.h>
#include <vexa/core/indexedstatemanager.h>

#include <SFML/Graphics/RenderWindow.hpp>

#include <deque>
#include <functional>
#include <stdexcept>

using namespace vexa;

namespace {

struct Record {
  std::vector<float> updates;
  std::vector<std::pair<float, float>> draws;
  std::vector<sf::Vector2f> viewSizes;  // seen by each update
  int layouts = 0;
  bool still = false;
  const double* clock = nullptr; // when set, draws note the time
  std::vector<double> drawTimes;
  std::function<void(int)> onUpdate;
};

class Screen : public AbstractState {
public:
  explicit Screen(Record& record) : AbstractState(0), record_(record) {}
  bool cleanup() override { return true; }
  void draw(float dt, float interpolation) override {
    record_.draws.emplace_back(dt, interpolation);
    if (record_.clock)
      record_.drawTimes.push_back(*record_.clock);
  }
  bool isStill() const override { return record_.still; }
  bool init() override { return true; }
  void reserved() override {}
  void update(float dt) override {
    AbstractState::update(dt);
    record_.updates.push_back(dt);
    record_.viewSizes.push_back(graphics().window()->getView().getSize());
    if (record_.onUpdate)
      record_.onUpdate(static_cast<int>(record_.updates.size()));
  }
  void updateLayout() override { ++record_.layouts; }

private:
  Record& record_;
};

// Consumes as many close events as it is told to.
class Processor : public InputProcessor {
public:
  bool handleEvent(const sf::Event& event) override {
    if (event.type == sf::Event::Closed && closesToEat > 0) {
      --closesToEat;
      return true;
    }
    return InputProcessor::handleEvent(event);
  }
  int closesToEat = 0;
};

class LoopApp : public Application {
public:
  explicit LoopApp(Record& record) : record_(record) {}
  bool createComponents() override {
    auto screens = std::make_unique<IndexedStateManager>();
    screens->addState(std::make_unique<Screen>(record_));
    return setComponents(this, std::make_unique<FocusManager>(),
                         std::make_unique<Graphics>(), std::make_unique<NoWidgets>(),
                         std::make_unique<InputManager>(), std::make_unique<Processor>(),
                         std::make_unique<PathManager>(), std::make_unique<NoResources>(),
                         std::move(screens));
  }
  bool run() override { return runPaced(1280, 850); }

private:
  Record& record_;
};

// Drives the loop on a scripted clock: each pass takes the next duration;
// when the script is over a close event ends the run.
class MainLoop : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(app.init());
    Application::Clock clock;
    clock.now = [this] {
      if (!started) {
        started = true;
        return now;
      }
      if (!passes.empty()) {
        now += passes.front();
        passes.pop_front();
      } else {
        events.push_back(closeEvent());
        now += 1.0;
      }
      return now;
    };
    clock.sleep = [this](float seconds) {
      sleeps.push_back(seconds);
      now += seconds;
    };
    app.setClock(clock);
    app.setEventSource([this](sf::Event& event) {
      if (events.empty())
        return false;
      event = events.front();
      events.pop_front();
      return true;
    });
  }

  static sf::Event closeEvent() {
    sf::Event e;
    e.type = sf::Event::Closed;
    return e;
  }
  static sf::Event resizeEvent(unsigned w, unsigned h) {
    sf::Event e;
    e.type = sf::Event::Resized;
    e.size = sf::Event::SizeEvent{w, h};
    return e;
  }
  sf::RenderWindow& window() { return *graphics().window(); }
  Processor& processor() { return static_cast<Processor&>(inputProcessor()); }

  Record record;
  LoopApp app{record};
  std::deque<double> passes;
  std::deque<sf::Event> events;
  std::vector<float> sleeps;
  double now = 100.0;
  bool started = false;
};

} // namespace

TEST_F(MainLoop, LongPassRunsThreeStepsThenDrawsOnce) {
  passes = {0.16};
  EXPECT_TRUE(app.run());
  EXPECT_EQ(record.updates, (std::vector<float>{0.05f, 0.05f, 0.05f}));
  ASSERT_EQ(record.draws.size(), 1u);
  EXPECT_FLOAT_EQ(record.draws[0].first, 1.f / 60.f);
  EXPECT_EQ(record.draws[0].second, 1.f);
  EXPECT_TRUE(sleeps.empty());
  EXPECT_FALSE(window().isOpen());
}

TEST_F(MainLoop, SleepsTowardsTheNearerDeadline) {
  passes = {0.0, 0.002};
  app.run();
  // First pass: nothing accumulated, the frame is the nearer deadline.
  ASSERT_GE(sleeps.size(), 2u);
  EXPECT_NEAR(sleeps[0], 1.f / 60.f - 0.01f, 1e-5f);
  // Second pass: the frame is 0.008 away, within the margin: a short nap,
  // not a spin.
  EXPECT_NEAR(sleeps[1], 0.001f, 1e-6f);
  EXPECT_TRUE(record.updates.empty());
}

TEST_F(MainLoop, ResizeIsClampedAndEndsThePollingOfItsStep) {
  events = {resizeEvent(800, 600), resizeEvent(2000, 1000)};
  passes = {0.05};
  app.run();
  ASSERT_FALSE(record.viewSizes.empty());
  EXPECT_EQ(record.viewSizes[0], sf::Vector2f(1280.f, 850.f));
  // The second resize waited for the next step.
  EXPECT_EQ(record.layouts, 2);
  EXPECT_EQ(window().getView().getSize(), sf::Vector2f(2000.f, 1000.f));
}

TEST_F(MainLoop, QuitFlagClosesBeforeAnyFurtherStepOrDraw) {
  record.onUpdate = [](int) { stateManager().setQuit(true); };
  passes = {0.16};
  EXPECT_TRUE(app.run());
  EXPECT_EQ(record.updates.size(), 1u);
  EXPECT_TRUE(record.draws.empty());
  EXPECT_FALSE(window().isOpen());
}

TEST_F(MainLoop, AConsumedCloseEventKeepsTheWindowOpen) {
  processor().closesToEat = 1;
  events = {closeEvent()};
  passes = {0.05, 0.05};
  app.run();
  EXPECT_EQ(processor().closesToEat, 0);
  EXPECT_EQ(record.updates.size(), 2u);
}

TEST_F(MainLoop, AnEscapingExceptionEndsTheLoopWithAMessage) {
  record.onUpdate = [](int) { throw std::runtime_error("boom"); };
  passes = {0.05};
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(app.run());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Something went wrong. Please make sure your graphics drivers are up to date.\n");
}

TEST_F(MainLoop, GameRateChangedByAScreenAppliesToTheNextStep) {
  record.onUpdate = [this](int n) {
    if (n == 1)
      app.setGameRate(0.02f);
  };
  passes = {0.1};
  app.run();
  // 0.1: one step of 0.05, then 0.05 left at 0.02 per step.
  EXPECT_EQ(record.updates, (std::vector<float>{0.05f, 0.02f, 0.02f}));
}


TEST_F(MainLoop, AStillScreenIsDrawnAfterInputAndAtTheIdleRefreshOnly) {
  record.still = true;
  record.clock = &now;
  passes.assign(180, 1.0 / 60.0); // 3 s
  record.onUpdate = [this](int n) {
    if (n == 40) { // t = 2 s
      sf::Event e;
      e.type = sf::Event::MouseMoved;
      events.push_back(e);
    }
  };
  EXPECT_TRUE(app.run());
  const auto drawsBetween = [this](double from, double to) {
    int n = 0;
    for (double t : record.drawTimes)
      n += t - 100.0 >= from && t - 100.0 < to;
    return n;
  };
  EXPECT_GE(drawsBetween(0.0, 0.05), 1); // switched to: drawn
  EXPECT_GE(drawsBetween(2.0, 2.2), 10);  // input: every frame for a while
  // Idle: only the refresh, twice a second.
  EXPECT_GE(drawsBetween(0.3, 1.95), 3);
  EXPECT_LE(drawsBetween(0.3, 1.95), 4);
  EXPECT_LE(drawsBetween(2.3, 2.95), 2);
}
