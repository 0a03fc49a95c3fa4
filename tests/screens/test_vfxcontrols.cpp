#include "screens/vfxcontrols.h"

#include <gtest/gtest.h>

#include <vector>

using pod::VfxControls;

namespace {

// Shown speed after easing for a number of frames of one length.
float easeFor(VfxControls& c, int frames, float frameTime) {
  for (int i = 0; i < frames; ++i)
    c.easeSpeed(frameTime);
  return c.speed();
}

} // namespace

TEST(VfxControls, PagesWrapBothWaysAndOnlyShieldAndGlowTakeNoParameters) {
  int page = 0;
  std::vector<int> forward;
  for (int i = 0; i < 7; ++i)
    forward.push_back(page = VfxControls::nextPage(page));
  EXPECT_EQ(forward, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  std::vector<int> backward;
  page = 1;
  for (int i = 0; i < 7; ++i)
    backward.push_back(page = VfxControls::previousPage(page));
  EXPECT_EQ(backward, (std::vector<int>{0, 5, 4, 3, 2, 1, 0}));

  for (int p = 0; p < VfxControls::cPageCount; ++p)
    EXPECT_EQ(VfxControls::takesParameters(p), p != 3 && p != 5) << "page " << p;
}

TEST(VfxControls, SpeedStepsByTenUpToAHundredThenByFiftyWithinTenAndFourHundred) {
  VfxControls c;
  std::vector<float> up;
  for (int i = 0; i < 7; ++i) {
    c.speedUp();
    up.push_back(c.targetSpeed());
  }
  EXPECT_EQ(up, (std::vector<float>{150, 200, 250, 300, 350, 400, 400}));

  std::vector<float> down;
  for (int i = 0; i < 18; ++i) {
    c.slowDown();
    down.push_back(c.targetSpeed());
  }
  EXPECT_EQ(down, (std::vector<float>{350, 300, 250, 200, 150, 100, 90, 80, 70, 60, 50, 40, 30,
                                      20, 10, 10, 10, 10}));
  c.speedUp();
  EXPECT_EQ(c.targetSpeed(), 20.f);
}

TEST(VfxControls, ShownSpeedEasesAtFortyPercentUpToAHundredAndEightyAboveWithoutSwinging) {
  struct Case {
    int ups, downs;  // from 100 %
    float frameTime;
    int frames;
    float expected;
  };
  const Case cases[] = {
      {1, 0, 0.1f, 1, 104.f},   // at 100 the slow rate still holds
      {1, 0, 0.1f, 2, 112.f},   // above 100 the fast one
      {0, 1, 0.1f, 1, 96.f},    // at or below 100 the slow one
      {6, 0, 0.1f, 100, 400.f}, // gets there and stays
      {0, 9, 1.f / 60.f, 120, 20.f},
  };
  for (const Case& k : cases) {
    VfxControls c;
    for (int i = 0; i < k.ups; ++i)
      c.speedUp();
    for (int i = 0; i < k.downs; ++i)
      c.slowDown();
    EXPECT_NEAR(easeFor(c, k.frames, k.frameTime), k.expected, 0.01f)
        << k.ups << " up, " << k.downs << " down, " << k.frames << " frames";
  }

  // Steps longer than the snapping window (fast rate, slow frames) must
  // still settle on the target, whatever the frame length.
  VfxControls c;
  for (int i = 0; i < 6; ++i)
    c.speedUp();
  for (const float frameTime : {1.f / 30.f, 1.f / 60.f, 0.05f, 1.f / 144.f}) {
    c.speedUp();
    EXPECT_EQ(easeFor(c, static_cast<int>(5.f / frameTime), frameTime), 400.f) << frameTime;
    c.slowDown();
    EXPECT_EQ(easeFor(c, static_cast<int>(5.f / frameTime), frameTime), 350.f) << frameTime;
  }

  // The clocks run at the shown speed.
  const float before = c.effectTime();
  EXPECT_NEAR(c.advanceClocks(0.1f), 0.35f, 1e-6f);
  EXPECT_NEAR(c.effectTime() - before, 0.35f, 1e-6f);
}

TEST(VfxControls, PanelsSlideAnEighthOfTheWayAndSnapAtTheEnd) {
  const qutils::Vec2 target(305.f, 37.5f);
  qutils::Vec2 anchor(305.f, -12.5f);
  anchor = pod::slideTowards(anchor, target);
  EXPECT_FLOAT_EQ(anchor.y, -12.5f + 50.f / 8.f);
  int frames = 1;
  while (anchor != target && frames < 1000) {
    anchor = pod::slideTowards(anchor, target);
    ++frames;
  }
  EXPECT_EQ(anchor, target);
  EXPECT_GT(frames, 30);
  EXPECT_LT(frames, 100);
}

TEST(VfxControls, PointerSetsDirectionAndIntensityAndTheDemoResumesTenSecondsLater) {
  struct Case {
    qutils::Vec2 offset;
    float direction, intensity;
  };
  // Window pixels: y grows downwards.
  const Case cases[] = {
      {{100.f, 0.f}, 0.f, 0.25f},
      {{0.f, 200.f}, 90.f, 0.5f},
      {{-400.f, 0.f}, 180.f, 1.f},
      {{0.f, -900.f}, 270.f, 1.f},
      {{0.f, 0.f}, 270.f, 0.f},  // the centre keeps the last direction
  };
  VfxControls c;
  for (const Case& k : cases) {
    c.steer(k.offset);
    EXPECT_NEAR(c.direction(), k.direction, 1e-3f) << k.offset.x << ", " << k.offset.y;
    EXPECT_FLOAT_EQ(c.intensity(), k.intensity);
    EXPECT_FALSE(c.autoDemo());
    EXPECT_EQ(c.demoBarFraction(), 1.f);
  }

  // Idle: the bar shrinks with the countdown and the values hold still.
  const float dt = 0.0625f;
  for (int i = 0; i < 80; ++i)
    c.tick(dt);
  EXPECT_FALSE(c.autoDemo());
  EXPECT_FLOAT_EQ(c.demoBarFraction(), 0.5f);
  EXPECT_EQ(c.direction(), 270.f);
  for (int i = 0; i < 79; ++i)
    c.tick(dt);
  EXPECT_FALSE(c.autoDemo());
  EXPECT_FLOAT_EQ(c.demoBarFraction(), 0.00625f);
  c.tick(dt);
  EXPECT_TRUE(c.autoDemo());
  EXPECT_EQ(c.demoBarFraction(), 1.f);
  // The demo turns the direction at 30 degrees a second, back to 0 at 360.
  EXPECT_FLOAT_EQ(c.direction(), 271.875f);
  for (int i = 0; i < 47; ++i)
    c.tick(dt);
  EXPECT_EQ(c.direction(), 0.f);

  // The button: off starts the countdown from 10 s, on again stops it.
  c.toggleDemo();
  c.tick(5.f);
  EXPECT_FALSE(c.autoDemo());
  EXPECT_NEAR(c.idleTimer(), 5.f, 1e-4f);
  c.toggleDemo();
  EXPECT_TRUE(c.autoDemo());
  EXPECT_EQ(c.idleTimer(), 10.f);
}
