#include "app/inputbuttonstates.h"
#include "testapp.h"

#include <vexa/core/components.h>
#include <vexa/core/inputmanager.h>

#include <gtest/gtest.h>

namespace {

TEST(InputButtonStates, ReadsTheHeldStateOfItsInputManager) {
  vexa::InputManager input;
  input.addButton("up");
  input.addButton("altDown");
  const pod::InputButtonStates buttons(&input);
  EXPECT_FALSE(buttons.isHeld("up"));
  input.press("up");
  input.press("altDown");
  input.update();
  // Held outlives the step in which the key went down.
  EXPECT_TRUE(buttons.isHeld("up"));
  EXPECT_TRUE(buttons.isHeld("altDown"));
  input.release("up");
  EXPECT_FALSE(buttons.isHeld("up"));
  EXPECT_TRUE(buttons.isHeld("altDown"));
}

TEST(InputButtonStates, TheGameAdapterFollowsTheRegistry) {
  testapp::headlessRegistry();
  vexa::InputManager& input = vexa::inputManager();
  const pod::ButtonStates& buttons = pod::keyboardButtons();
  input.press("altRight");
  EXPECT_TRUE(buttons.isHeld("altRight"));
  input.release("altRight");
  EXPECT_FALSE(buttons.isHeld("altRight"));
}

} // namespace
