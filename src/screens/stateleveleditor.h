#pragma once

#include <vexa/core/abstractstate.h>

#include <cstdint>

namespace pod {

// The track editor: checkpoints made, moved and erased with the mouse.
class StateLevelEditor : public vexa::AbstractState {
public:
  static constexpr std::uint32_t cStateId = 2;

  StateLevelEditor();
  ~StateLevelEditor() override;

  bool cleanup() override;
  void draw(float frameTime, float interpolation) override;
  bool init() override;
  void reserved() override;
  void update(float dt) override;
  void updateLayout() override;
};

} // namespace pod
