#include "support.h"

#include <vexa/core/abstractstate.h>
#include <vexa/core/application.h>
#include <vexa/core/indexedstatemanager.h>

using namespace vexa;

namespace {

std::vector<std::string> destroyed;

// Logs its name, and whether the registry still knew the application.
template <typename Base>
class Logged : public Base {
public:
  explicit Logged(std::string name) : name_(std::move(name)) {}
  ~Logged() override {
    destroyed.push_back(name_ + (components().application() ? "+app" : ""));
  }

private:
  std::string name_;
};

// An application whose components log their destruction; one of them can be
// left out.
class LoggingApp : public Application {
public:
  explicit LoggingApp(int missing = -1) : missing_(missing) {}

  bool createComponents() override {
    auto keep = [this](int i) { return i != missing_; };
    return setComponents(
               keep(0) ? this : nullptr,
               keep(1) ? std::make_unique<Logged<FocusManager>>("focus") : nullptr,
               keep(2) ? std::make_unique<Logged<Graphics>>("graphics") : nullptr,
               keep(3) ? std::make_unique<Logged<NoWidgets>>("widgets") : nullptr,
               keep(4) ? std::make_unique<InputManager>() : nullptr,
               keep(5) ? std::make_unique<Logged<InputProcessor>>("processor") : nullptr,
               keep(6) ? std::make_unique<Logged<PathManager>>("paths") : nullptr,
               keep(7) ? std::make_unique<Logged<NoResources>>("resources") : nullptr,
               keep(8) ? std::make_unique<Logged<IndexedStateManager>>("states") : nullptr);
  }

private:
  int missing_;
};

} // namespace

TEST(Application, DestructionEmptiesTheRegistryInOrder) {
  destroyed.clear();
  {
    LoggingApp app;
    ASSERT_TRUE(app.createComponents());
    EXPECT_EQ(components().application(), &app);
  }
  const std::vector<std::string> expected = {
      "focus", "graphics", "widgets", "processor", "paths", "resources", "states"};
  EXPECT_EQ(destroyed, expected);
  EXPECT_EQ(components().stateManager(), nullptr);
}

TEST(Application, InitStopsOnAMissingComponent) {
  for (int missing = 0; missing < 9; ++missing) {
    AssertRecorder recorder;
    LoggingApp app(missing);
    EXPECT_FALSE(app.init()) << missing;
    EXPECT_TRUE(recorder.fired(
        "comp.application() && comp.focusManager() && comp.graphics() && "
        "comp.guiFactory() && comp.inputManager() && comp.inputProcessor() && "
        "comp.pathManager() && comp.resourceManager() && comp.stateManager()"))
        << missing;
  }
}
