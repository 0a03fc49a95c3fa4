#pragma once

#include "brains/fixedplan.h"
#include "brains/geneticevolution.h"
#include "brains/genetichelpers.h"

#include <vector>

namespace pod {

// Plans the team's only pod in time attack: no opponents, no collisions, the
// other pods coast.
class GeneticEvolutionTimeAttack : public GeneticEvolution {
public:
  GeneticEvolutionTimeAttack(int populationSize, int nbTurns, int genomeSize, const Track& track,
                             int team, int ownPod, std::uint64_t seed);
  ~GeneticEvolutionTimeAttack() override;

  // Pod i is the only pod of team i.
  void computeRoles() override;
  void seedGenome(Genome& genome) override;
  virtual void getCommand(Influence& command) const;
  // The same for the first planning steps of the plan.
  void getCommands(PlanSteps& steps) const;
  virtual Influence ownInfluence() const = 0;

  int ownPod() const { return ownPod_; }

protected:
  // reset, then the plan on the own pod alone for nbTurns solo steps.
  void replay(const Genome& genome);
  const PodState& ownState() const { return simState_.pods[static_cast<std::size_t>(ownPod_)]; }

  int ownPod_;

private:
  // The other pods coast alike in every replay of a turn (no commands, no
  // collisions): their states after each step, nbTurns rows of all pods,
  // taken on the first replay after a preparation.
  void planCoasting();

  std::vector<PodState> coasting_;
  bool coastersFinish_ = false; // at some step of coasting_, or before
  bool coastingStale_ = true;
  PlannedTurns turns_;
};

} // namespace pod
