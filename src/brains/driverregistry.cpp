#include "brains/driverregistry.h"

#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/tarvokbrain.h"

namespace pod {

std::vector<std::string> computerDriverNames(bool timeAttack) {
  if (timeAttack)
    return {"Steering heuristics", "Genetic runner"};
  return {"Steering heuristics", "Genetic",          "Predictive genetic",
          "Genetic runners",     "Genetic (separate)", "Gen. two runners"};
}

std::unique_ptr<AbstractBrain> createDriver(const std::string& name, bool timeAttack,
                                            const DriverOptions& options) {
  if (name == "Steering heuristics")
    return std::make_unique<TarvokBrain>(timeAttack);
  if (timeAttack) {
    if (name == "Genetic runner")
      return std::make_unique<GeneticBrainTimeAttack>(options);
    return nullptr;
  }
  if (name == "Genetic")
    return std::make_unique<GeneticBrainGrouped>(0, options);
  if (name == "Predictive genetic")
    return std::make_unique<GeneticBrainGrouped>(1, options);
  if (name == "Genetic runners")
    return std::make_unique<GeneticBrainGrouped>(2, options);
  if (name == "Genetic (separate)")
    return std::make_unique<GeneticBrainSeparate>(0, options);
  if (name == "Gen. two runners")
    return std::make_unique<GeneticBrainSeparate>(2, options);
  return nullptr;
}

} // namespace pod
