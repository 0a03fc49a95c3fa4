#include "brains/driverregistry.h"

#include "brains/tarvokbrain.h"

namespace pod {

std::vector<std::string> computerDriverNames(bool timeAttack) {
  (void)timeAttack;
  return {"Steering heuristics"};
}

std::unique_ptr<AbstractBrain> createDriver(const std::string& name, bool timeAttack,
                                            const DriverOptions& options) {
  (void)options;
  if (name == "Steering heuristics")
    return std::make_unique<TarvokBrain>(timeAttack);
  return nullptr;
}

} // namespace pod
