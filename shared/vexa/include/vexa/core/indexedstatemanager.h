#pragma once

#include "vexa/core/statemanager.h"

#include <memory>
#include <vector>

namespace vexa {

// A state manager over a fixed list of screens that all live until it dies
// and are switched by index. Switching neither notifies nor re-initialises.
class IndexedStateManager : public StateManager {
public:
  // Initialises every state in list order, even after a failure; true only
  // if all succeeded.
  bool init() override;
  AbstractState* currentState() const override;
  std::uint32_t currentIndex() const override;
  void reserved() override;
  // Every state, current or not, so that a later switch finds it laid out.
  void onResize() override;
  void unsupported() override;
  ~IndexedStateManager() override;

  // The index is the position in the list, not the state's id.
  void addState(std::unique_ptr<AbstractState> state);
  void setCurrentIndex(std::uint32_t index);
  std::uint32_t stateCount() const;
  AbstractState* state(std::uint32_t index) const;

private:
  std::uint32_t currentIndex_ = 0;
  std::vector<std::unique_ptr<AbstractState>> states_;
};

} // namespace vexa
