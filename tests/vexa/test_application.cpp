#include "support.h"

#include <vexa/core/abstractstate.h>
#include <vexa/core/application.h>
#include <vexa/core/graphics.h>
#include <vexa/core/indexedstatemanager.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/gui/guifactory.h>

using namespace vexa;

namespace {

std::vector<std::string>& destroyed() {
  static std::vector<std::string> log;
  return log;
}

// Records its name and whether the registry still knew the application.
template <typename Base>
class Logged : public Base {
public:
  explicit Logged(std::string name) : name_(std::move(name)) {}
  ~Logged() override {
    destroyed().push_back(name_ + (components().application() ? "+app" : ""));
  }

private:
  std::string name_;
};

class NoResources : public ResourceManager {
public:
  bool loadResources() override { return true; }
};

class NoWidgets : public GuiFactory {
public:
  ShapeShifterPushButtonNode* createWideButton(SceneNode*) const override { return nullptr; }
  ShapeShifterPushButtonNode* createButton(SceneNode*) const override { return nullptr; }
  ShapeShifterPushButtonNode* createBigButton(SceneNode*) const override { return nullptr; }
  ShapeShifterPushButtonNode* createToggleButton(SceneNode*) const override { return nullptr; }
  ShapeShifterLabel* createLabel(SceneNode*) const override { return nullptr; }
  ShapeShifterTextBoxNode* createTextBox(SceneNode*) const override { return nullptr; }
};

class LoggedStates : public IndexedStateManager {
public:
  ~LoggedStates() override { destroyed().push_back("states"); }
};

// An application whose components all log their destruction; one of them
// can be left out.
class LoggingApp : public Application {
public:
  explicit LoggingApp(int missing = -1, bool fail = false)
      : missing_(missing), fail_(fail) {}

  bool createComponents() override {
    if (fail_)
      return false;
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
        keep(8) ? std::make_unique<LoggedStates>() : nullptr);
  }

private:
  int missing_;
  bool fail_;
};

const char* const kAllComponents =
    "comp.application() && comp.focusManager() && comp.graphics() && "
    "comp.guiFactory() && comp.inputManager() && comp.inputProcessor() && "
    "comp.pathManager() && comp.resourceManager() && comp.stateManager()";

} // namespace

TEST(Application, DestructionEmptiesTheRegistryInOrder) {
  destroyed().clear();
  {
    LoggingApp app;
    ASSERT_TRUE(app.createComponents());
    EXPECT_EQ(components().application(), &app);
  }
  const std::vector<std::string> expected = {
      "focus", "graphics", "widgets", "processor", "paths", "resources", "states"};
  EXPECT_EQ(destroyed(), expected);
  EXPECT_EQ(components().stateManager(), nullptr);
  EXPECT_EQ(components().focusManager(), nullptr);
}

TEST(Application, InitStopsOnAMissingComponentOrAFailedCreation) {
  for (int missing = 0; missing < 9; ++missing) {
    AssertRecorder recorder;
    LoggingApp app(missing);
    EXPECT_FALSE(app.init()) << missing;
    EXPECT_TRUE(recorder.fired(kAllComponents)) << missing;
  }
  AssertRecorder recorder;
  LoggingApp app(-1, true);
  EXPECT_FALSE(app.init());
  EXPECT_TRUE(recorder.fired("false"));
  EXPECT_EQ(components().graphics(), nullptr);
}

TEST(Application, RatesAndTheirPrecondition) {
  LoggingApp app;
  EXPECT_FLOAT_EQ(app.gameRate(), 0.05f);
  EXPECT_FLOAT_EQ(app.frameRate(), 1.f / 60.f);

  AssertRecorder recorder;
  app.setGameRate(0.f);
  EXPECT_TRUE(recorder.fired("gameRate > 0.f"));
  app.setGameRate(1.f / 60.f);
  EXPECT_FLOAT_EQ(app.gameRate(), 1.f / 60.f);
  app.setFrameRate(0.f);  // unchecked
  EXPECT_EQ(app.frameRate(), 0.f);
  EXPECT_EQ(recorder.count(), 1u);
}

TEST(PathManager, CompositePathsFollowTheResourcesFolder) {
  PathManager standard;
  EXPECT_EQ(standard.fontsPath(), "resources/fonts/");
  EXPECT_EQ(standard.shadersPath(), "resources/shaders/");
  EXPECT_EQ(standard.texturesPath(), "resources/textures/");

  struct Moved : PathManager {
    std::string resourcesPath() const override { return "/opt/data/"; }
  } moved;
  EXPECT_EQ(moved.fontsPath(), "/opt/data/fonts/");
  EXPECT_EQ(moved.shadersPath(), "/opt/data/shaders/");
  EXPECT_EQ(moved.texturesPath(), "/opt/data/textures/");
}
