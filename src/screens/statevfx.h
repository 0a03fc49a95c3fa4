#pragma once

#include <vexa/core/abstractstate.h>

#include <cstdint>

namespace pod {

// The visual-effects showcase: one page per effect.
class StateVFX : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 3;

  StateVFX();
  ~StateVFX() override;

  bool cleanup() override;
  void draw(float frameTime, float interpolation) override;
  bool init() override;
  void reserved() override;
  void update(float dt) override;
  void updateLayout() override;
};

} // namespace pod
