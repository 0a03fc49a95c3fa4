#pragma once

#include "brains/fixedplan.h"
#include "brains/geneticevolution.h"
#include "brains/genetichelpers.h"

namespace pod {

// Plans one pod of the team; the partner and both opponents follow predicted
// plans built from the steering heuristics at each preparation.
class GeneticEvolutionSeparate : public GeneticEvolution {
public:
  GeneticEvolutionSeparate(int populationSize, int nbTurns, int genomeSize, const Track& track,
                           int team, int ownPod, std::uint64_t seed);
  ~GeneticEvolutionSeparate() override;

  void seedGenome(Genome& genome) override;
  // The best plan's first command.
  virtual void getCommand(Influence& command) const;
  // The same for the first planning steps of the plan.
  void getCommands(PlanSteps& steps) const;
  virtual Influence partnerInfluence() const = 0;
  virtual Influence ownInfluence() const = 0;

  // Team 0: 0 unless ownPod is 0, then 1; other teams: 3 when ownPod is 2, else 2.
  static int partnerOf(int team, int ownPod);

  int ownPod() const { return ownPod_; }
  int partner() const { return partner_; }
  const Genome& partnerGenome() const { return partnerGenome_; }
  const Genome& oppRunnerGenome() const { return oppRunnerGenome_; }
  const Genome& oppHunterGenome() const { return oppHunterGenome_; }

protected:
  // reset, then the plan and the three predictions for nbTurns steps.
  void replay(const Genome& genome);
  const PodState& ownState() const { return simState_.pods[static_cast<std::size_t>(ownPod_)]; }
  const PodState& partnerState() const {
    return simState_.pods[static_cast<std::size_t>(partner_)];
  }

  const int ownPod_;
  const int partner_;
  Genome partnerGenome_;
  Genome oppRunnerGenome_;
  Genome oppHunterGenome_;

private:
  // The replays of the three predictions, planned again on the first replay
  // after a preparation.
  void planPredictions();

  FixedPlan partnerPlan_;
  FixedPlan oppRunnerPlan_;
  FixedPlan oppHunterPlan_;
  bool predictionPlansStale_ = true;
  PlannedTurns ownTurns_;
};

} // namespace pod
