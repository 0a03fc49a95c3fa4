#pragma once

#include "brains/fixedplan.h"
#include "brains/geneticevolution.h"
#include "brains/genetichelpers.h"

namespace pod {

// Plans both pods of the team in one genome: gene t is the own runner's
// command for step t, gene nbTurns + t the own hunter's (or second runner's).
// The opponent team follows opponentGenome, laid out the same way.
class GeneticEvolutionGrouped : public GeneticEvolution {
public:
  GeneticEvolutionGrouped(int populationSize, int nbTurns, int genomeSize, const Track& track,
                          int team, std::uint64_t seed);
  ~GeneticEvolutionGrouped() override;

  // The heuristic plan of both teams: own team into the genome, the
  // opponent's prediction into opponentGenome.
  void seedGenome(Genome& genome) override;
  // First commands of the own pods, lower pod index first.
  virtual void getCommands(Influence& first, Influence& second) const;
  // The same for the first planning steps of the plan.
  void getCommands(PlanSteps& first, PlanSteps& second) const;
  virtual const Genome& bestGenome() const;
  virtual void setOpponentGenome(const Genome& genome);
  // Carries the best plan over, shifted by one turn, and seeds a new plan
  // against the given opponent plan.
  virtual void prepareAgainst(const Race& race, const Genome& opponentPlan);
  virtual Influence ownRunnerInfluence() const = 0;
  virtual Influence ownHunterInfluence() const = 0;

  const Genome& opponentGenome() const { return opponentGenome_; }

protected:
  // reset, then the plan against opponentGenome for nbTurns whole-second steps.
  void replay(const Genome& genome);
  // seedGenome's plan; the opponent follows opponentGenome when given.
  void seed(Genome& genome, bool opponentFromGenome);

  Genome opponentGenome_;

private:
  // The opponents' replays of opponentGenome, planned again on the first
  // replay after it or the initial state changes.
  void planOpponents();

  FixedPlan oppRunnerPlan_;
  FixedPlan oppHunterPlan_;
  bool opponentPlansStale_ = true;
  PlannedTurns ownRunnerTurns_;
  PlannedTurns ownHunterTurns_;
};

} // namespace pod
