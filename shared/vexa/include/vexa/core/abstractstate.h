#pragma once

#include <cstdint>

namespace vexa {

// One screen of the program. The state manager keeps every screen alive;
// only the current one is updated and drawn.
class AbstractState {
public:
  explicit AbstractState(std::uint32_t id) : id_(id) {}

  virtual ~AbstractState() = default;
  virtual bool cleanup() = 0;
  virtual void draw(float dt, float interpolation) = 0;
  virtual bool init() = 0;
  virtual void resetTime();
  virtual void reserved() = 0;
  virtual void onResize();
  virtual void update(float dt);
  virtual void updateLayout() = 0;
  // Whether the next frame would show what is on screen unless input comes:
  // a still screen is drawn only after input, on being switched to, and at
  // an idle refresh. A frame costs a software renderer 10 to 20 ms of CPU.
  virtual bool isStill() const { return false; }

  std::uint32_t id() const { return id_; }
  float elapsedTime() const { return elapsedTime_; }

private:
  const std::uint32_t id_;
  float elapsedTime_ = 0.f;
};

} // namespace vexa
