#include "brains/geneticbraingrouped.h"
#include "brains/geneticbrainseparate.h"
#include "brains/geneticbraintimeattack.h"
#include "brains/genetichelpers.h"
#include "brains/steering.h"
#include "race/physics.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>

using genetictest::makePod;
using genetictest::sameGenes;
using pod::Gene;
using pod::GeneticEvolution;
using pod::Genome;
using pod::Influence;
using pod::PodState;
using pod::Race;
using qutils::Vec2;

using genetictest::sameInfluence;

namespace {

constexpr int kTurns = 10;

// Turn and acceleration of a gene written from the influence.
void expectGeneOf(const Influence& influence, const Gene& gene) {
  Gene expected{0.f, 0.f, gene.shield};
  pod::influenceToGene(influence, expected);
  EXPECT_EQ(expected.turn, gene.turn);
  EXPECT_EQ(expected.acceleration, gene.acceleration);
}

// Straight, idle genes: a pod at rest stays where it is.
Genome idle(int size) {
  Genome g(size);
  for (int i = 0; i < size; ++i)
    g[i] = Gene{0.5f, 0.f, 0.f};
  return g;
}

class Variants : public ::testing::Test {
protected:
  pod::Track track = genetictest::rectangle();

  // Resting pods: team 0 runner pod 0, hunter pod 1; team 1 runner pod 2.
  Race restingRoles() {
    Race race;
    race.nbPodsPerTeam = 2;
    race.pods = {makePod(0, 0, {12000.f, 0.f}), makePod(1, 0, {4000.f, 4000.f}),
                 makePod(2, 1, {10000.f, 5000.f}), makePod(3, 1, {3000.f, 9000.f})};
    return race;
  }
};

// ---------------------------------------------------------------- roles and commands

TEST_F(Variants, GetCommandsGivesTheLowerPodFirstInEveryRoleLayout) {
  for (int team = 0; team < 2; ++team) {
    for (bool secondLeads : {false, true}) {
      Race race = restingRoles();
      const int low = 2 * team;
      if (secondLeads) { // the higher-index pod becomes the runner
        race.pods[static_cast<std::size_t>(low + 1)].checkpointsCleared = 1;
        race.pods[static_cast<std::size_t>(low + 1)].nextCheckpoint = 2;
      }
      for (auto plan : {pod::GroupedPlan::Dedicated, pod::GroupedPlan::Runners}) {
        auto planner = pod::makeGroupedPlanner(plan, 3, kTurns, track, team,
                                               7 + static_cast<std::uint64_t>(team));
        planner->prepare(race);
        ASSERT_EQ(secondLeads ? low + 1 : low, planner->role(GeneticEvolution::OwnRunner));
        ASSERT_EQ(secondLeads ? low : low + 1, planner->role(GeneticEvolution::OwnHunter));
        // Equal counts: the opponent nearer its checkpoint runs.
        ASSERT_EQ(team == 0 ? 2 : 0, planner->role(GeneticEvolution::OppRunner));
        for (int i = 0; i < 30; ++i)
          planner->evolve(0.5f);
        Influence first;
        Influence second;
        planner->getCommands(first, second);
        const Genome& best = planner->genome(planner->bestIndex());
        // Gene 0 is the runner's, gene nbTurns the other pod's.
        const Gene& lowGene = secondLeads ? best[kTurns] : best[0];
        const Gene& highGene = secondLeads ? best[0] : best[kTurns];
        EXPECT_TRUE(sameInfluence(pod::geneToInfluence(lowGene), first));
        EXPECT_TRUE(sameInfluence(pod::geneToInfluence(highGene), second));
      }
    }
  }
}

TEST_F(Variants, SeparatePartnersAndSingleCommands) {
  const Race race = restingRoles();
  for (int ownPod = 0; ownPod < 4; ++ownPod) {
    const int team = ownPod / 2;
    auto planner = pod::makeSeparatePlanner(pod::SeparatePlan::Runner, 5, kTurns, track, team,
                                            ownPod, true, 3);
    EXPECT_EQ(ownPod ^ 1, planner->partner());
    planner->prepare(race);
    planner->evolve(0.3f);
    Influence command;
    planner->getCommand(command);
    EXPECT_TRUE(sameInfluence(pod::geneToInfluence(planner->genome(planner->bestIndex())[0]),
                              command));
  }
}

// ---------------------------------------------------------------- seeding

// Seeds replay the heuristics of each pod's role.
TEST_F(Variants, SeedsAreTheHeuristicPlans) {
  const Race grid = genetictest::startingGrid(track);
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 1, 5);
  planner->prepare(grid);
  const Genome& seed = planner->genome(0);
  const Genome& opp = planner->opponentGenome();
  EXPECT_TRUE(sameGenes(seed, planner->genome(2)));
  Race sim = grid; // replays both teams' heuristics for two steps
  const int ownRunner = planner->role(GeneticEvolution::OwnRunner);
  const int ownHunter = planner->role(GeneticEvolution::OwnHunter);
  const int oppRunner = planner->role(GeneticEvolution::OppRunner);
  const int oppHunter = planner->role(GeneticEvolution::OppHunter);
  ASSERT_EQ(ownRunner, pod::plannerIsAhead(track, grid.pods[2], grid.pods[3]) ? 2 : 3);
  ASSERT_EQ(oppRunner, pod::plannerIsAhead(track, grid.pods[0], grid.pods[1]) ? 0 : 1);
  for (int t = 0; t < 2; ++t) {
    const auto& p = sim.pods;
    Influence inf[4];
    inf[ownRunner] = pod::runnerRule(track, p[ownRunner], p[ownHunter], p[oppRunner], p[oppHunter]);
    inf[ownHunter] = pod::hunterRule(track, p[ownRunner], p[ownHunter], p[oppRunner], p[oppHunter]);
    inf[oppRunner] = pod::runnerRule(track, p[oppRunner], p[oppHunter], p[ownRunner], p[ownHunter]);
    inf[oppHunter] = pod::hunterRule(track, p[oppRunner], p[oppHunter], p[ownRunner], p[ownHunter]);
    expectGeneOf(inf[ownRunner], seed[t]);
    expectGeneOf(inf[ownHunter], seed[kTurns + t]);
    expectGeneOf(inf[oppRunner], opp[t]);
    expectGeneOf(inf[oppHunter], opp[kTurns + t]);
    for (int i = 0; i < 4; ++i)
      pod::Physics::applyInfluence(sim.pods[static_cast<std::size_t>(i)], inf[i], 1.f);
    pod::Physics::referenceStep(sim, track);
  }

  const Race race = restingRoles(); // pod 0 runs, pod 1 is behind
  const auto& p = race.pods;
  auto runners = pod::makeGroupedPlanner(pod::GroupedPlan::Runners, 3, kTurns, track, 0, 5);
  runners->prepare(race); // both pods race
  expectGeneOf(pod::runnerRule(track, p[0], p[1], p[2], p[3]), runners->genome(0)[0]);
  expectGeneOf(pod::runnerRule(track, p[1], p[0], p[2], p[3]), runners->genome(0)[kTurns]);
  // The separate runner planner of the pod behind, without a hunter, seeds
  // both pods with the simple runner rule of the leading pod.
  auto runner = pod::makeSeparatePlanner(pod::SeparatePlan::Runner, 5, kTurns, track, 0, 1,
                                         false, 9);
  runner->prepare(race);
  expectGeneOf(pod::simpleRunnerRule(track, p[0]), runner->genome(0)[0]);
  expectGeneOf(pod::simpleRunnerRule(track, p[0]), runner->partnerGenome()[0]);
  expectGeneOf(pod::runnerRule(track, p[2], p[3], p[0], p[1]), runner->oppRunnerGenome()[0]);
  expectGeneOf(pod::hunterRule(track, p[2], p[3], p[0], p[1]), runner->oppHunterGenome()[0]);
  auto hunter = pod::makeSeparatePlanner(pod::SeparatePlan::Hunter, 5, kTurns, track, 0, 1,
                                         false, 9);
  hunter->prepare(race);
  expectGeneOf(pod::hunterRule(track, p[0], p[1], p[2], p[3]), hunter->genome(0)[0]);
  expectGeneOf(pod::runnerRule(track, p[0], p[1], p[2], p[3]), hunter->partnerGenome()[0]);
}

// ---------------------------------------------------------------- scores

// Idle plans on resting races (the opponents idle too).
TEST_F(Variants, GroupedScoresOnARestingRace) {
  auto dedicated = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 0, 2);
  dedicated->prepare(restingRoles());
  dedicated->setOpponentGenome(idle(2 * kTurns));
  Genome plan = idle(2 * kTurns);
  dedicated->evaluate(plan);
  // Runner 8000 from checkpoint 1; hunter sqrt(6000^2 + 1000^2) from the opponent runner.
  EXPECT_FLOAT_EQ(static_cast<float>(-8000.0 - 0.5 * std::sqrt(37000000.0)), plan.score);

  auto runners = pod::makeGroupedPlanner(pod::GroupedPlan::Runners, 3, kTurns, track, 0, 2);
  Race race = restingRoles();
  race.pods[2] = makePod(2, 1, {20000.f, 9000.f}, 0.f, {}, 2, 1); // opponent runner, 1 cleared
  runners->prepare(race);
  runners->setOpponentGenome(idle(2 * kTurns));
  runners->evaluate(plan);
  // (0 - 1) * 50000 - 8000 for the runner; (0 - 1) * 50000 - |(16000, -4000)| for the other.
  EXPECT_FLOAT_EQ(static_cast<float>(-50000.0 - 8000.0 - 50000.0 - std::sqrt(272000000.0)),
                  plan.score);
}

// The grouped replay moves the own runner by genes 0..n-1, the own hunter by
// genes n..2n-1, and the opponents' runner and hunter by the same blocks of
// the opponent genome: thrust in one block only moves that block's pod.
TEST_F(Variants, GroupedReplayDrivesEachPodFromItsOwnGeneBlock) {
  using Role = pod::GeneticEvolution::Role;
  const Race race = restingRoles();
  for (const Role role : {Role::OwnRunner, Role::OwnHunter, Role::OppRunner, Role::OppHunter}) {
    SCOPED_TRACE(static_cast<int>(role));
    auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 0, 2);
    planner->prepare(race);
    Genome plan = idle(2 * kTurns);
    Genome opponents = idle(2 * kTurns);
    const bool own = role == Role::OwnRunner || role == Role::OwnHunter;
    const bool second = role == Role::OwnHunter || role == Role::OppHunter;
    Genome& moved = own ? plan : opponents;
    for (int t = 0; t < kTurns; ++t)
      moved[(second ? kTurns : 0) + t] = Gene{0.5f, 1.f, 0.f};
    planner->setOpponentGenome(opponents);
    planner->evaluate(plan);
    for (std::size_t i = 0; i < race.pods.size(); ++i) {
      const bool shouldMove = static_cast<int>(i) == planner->role(role);
      EXPECT_EQ(shouldMove, planner->simState().pods[i].position != race.pods[i].position)
          << "pod " << i;
    }
  }
}

TEST_F(Variants, GroupedReplayThroughTheFinishScoresTheMaximum) {
  Race race = restingRoles();
  // Last checkpoint of the third lap straight ahead, moving fast.
  race.pods[1] = makePod(1, 0, {1500.f, 0.f}, 180.f, {-1400.f, 0.f}, 0, 11);
  for (int team = 0; team < 2; ++team) {
    auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, team,
                                           30 + static_cast<std::uint64_t>(team));
    planner->prepare(race);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(team == 0 ? 1000000.f : -1000000.f, planner->genome(i).score);
    qutils::Random rng(4);
    Genome anyPlan(2 * kTurns, rng);
    planner->evaluate(anyPlan);
    EXPECT_EQ(team == 0 ? 1000000.f : -1000000.f, anyPlan.score);
  }
}

// An idle separate runner scores 50000 per checkpoint it cleared less its own
// distance, whatever the others do; the separate hunter loses 50000 per
// checkpoint its target cleared. Each case changes only the cleared count, so
// the replays are the same and only that term differs.
TEST_F(Variants, SeparateScoresCountCheckpointsOnTheRightPods) {
  struct Case {
    pod::SeparatePlan plan;
    int ownPod;
    int changedPod;
    float scorePerCheckpoint;
  };
  for (const Case& c : {Case{pod::SeparatePlan::Runner, 0, 0, 50000.f},
                        Case{pod::SeparatePlan::Runner, 0, 2, 0.f},
                        Case{pod::SeparatePlan::Hunter, 1, 2, -50000.f},
                        Case{pod::SeparatePlan::Hunter, 1, 1, 0.f}}) {
    SCOPED_TRACE(::testing::Message() << "own pod " << c.ownPod << ", changed " << c.changedPod);
    float scores[2];
    for (int cleared = 0; cleared < 2; ++cleared) {
      Race race = restingRoles();
      // The opponents' runner leads their team whatever its count.
      race.pods[3].position = {3000.f, 9500.f};
      race.pods[static_cast<std::size_t>(c.changedPod)].checkpointsCleared = 4 + cleared;
      auto planner = pod::makeSeparatePlanner(c.plan, 5, kTurns, track, 0, c.ownPod, true, 2);
      planner->prepare(race);
      Genome plan = idle(kTurns);
      planner->evaluate(plan);
      scores[cleared] = plan.score;
    }
    EXPECT_NEAR(scores[1] - scores[0], c.scorePerCheckpoint, 0.05f);
  }
  // The runner's distance term, at rest.
  auto planner = pod::makeSeparatePlanner(pod::SeparatePlan::Runner, 5, kTurns, track, 0, 0,
                                          true, 2);
  planner->prepare(restingRoles());
  Genome plan = idle(kTurns);
  planner->evaluate(plan);
  EXPECT_EQ(-8000.f, plan.score);
}

// ---------------------------------------------------------------- time attack

TEST_F(Variants, TimeAttackReplayLetsOtherPodsCoast) {
  Race race;
  race.nbPodsPerTeam = 1;
  race.timeAttack = true;
  // Pod 1 is planned; pods 0 and 2 drift away from every checkpoint.
  race.pods = {makePod(0, 0, {5000.f, 5000.f}, 30.f, {100.f, 50.f}),
               makePod(1, 1, {20000.f, 5000.f}, 90.f, {}, 2, 1),
               makePod(2, 2, {8000.f, 6000.f}, 200.f, {-120.f, 40.f})};
  auto planner = pod::makeTimeAttackPlanner(3, kTurns, track, 1, 12);
  planner->prepare(race);
  Genome plan = idle(kTurns);
  planner->evaluate(plan);
  EXPECT_EQ(1.f * 50000.f - 7000.f, plan.score); // resting, 7000 below checkpoint 2

  qutils::Random rng(1);
  Genome anyPlan(kTurns, rng);
  planner->evaluate(anyPlan);
  for (std::size_t i : {std::size_t{0}, std::size_t{2}}) {
    Vec2 p = race.pods[i].position;
    Vec2 v = race.pods[i].velocity;
    for (int t = 0; t < kTurns; ++t) {
      p += v;
      v *= 0.85f;
    }
    const PodState& coasted = planner->simState().pods[i];
    EXPECT_FLOAT_EQ(p.x, coasted.position.x);
    EXPECT_FLOAT_EQ(p.y, coasted.position.y);
    EXPECT_EQ(race.pods[i].angle, coasted.angle);
    EXPECT_EQ(0.f, coasted.engine);
  }

  // Another pod about to finish: the planned pod has lost, the finisher won.
  race.pods[0] = makePod(0, 0, {1500.f, 0.f}, 180.f, {-1400.f, 0.f}, 0, 11);
  planner->prepare(race);
  auto won = pod::makeTimeAttackPlanner(3, kTurns, track, 0, 12);
  won->prepare(race);
  EXPECT_EQ(-1000000.f, planner->genome(1).score);
  EXPECT_EQ(1000000.f, won->genome(1).score);
}


// ---------------------------------------------------------------- prepareAgainst

// Scripted scores and fixed heuristics on the real grouped replay.
class ScriptedGrouped final : public pod::GeneticEvolutionGrouped {
public:
  ScriptedGrouped(const pod::Track& track, std::uint64_t seed)
      : GeneticEvolutionGrouped(3, kTurns, 2 * kTurns, track, 0, seed) {}
  void evaluate(Genome& genome) override {
    replay(genome);
    ++evaluations;
    genome.score = scores.empty() ? 0.f : scores.front();
    if (!scores.empty())
      scores.pop_front();
  }
  Influence ownRunnerInfluence() const override { return Influence{9.f, 50.f, false}; }
  Influence ownHunterInfluence() const override { return Influence{-9.f, 150.f, false}; }
  std::deque<float> scores;
  int evaluations = 0;
};

TEST_F(Variants, PrepareAgainstKeepsTheShiftedBestAndSeedsBesideIt) {
  const Race race = restingRoles();
  qutils::Random rng(77);
  const Genome opponentPlan(2 * kTurns, rng);
  struct Case {
    std::deque<float> prepareScores;
    int best;
    int seedSlot;
    int randomSlot;
  };
  for (const Case& c : {Case{{9.f, 1.f, 2.f}, 0, 1, 2}, Case{{1.f, 2.f, 9.f}, 2, 0, 1},
                        Case{{1.f, 9.f, 2.f}, 1, 0, 2}}) {
    ScriptedGrouped planner(track, 3);
    planner.scores = c.prepareScores;
    planner.prepare(race);
    ASSERT_EQ(c.best, planner.bestIndex());
    const Genome best = planner.genome(c.best);
    const Genome other = planner.genome(c.randomSlot);

    planner.evaluations = 0;
    planner.scores = {0.f, 0.f, 0.f};
    planner.scores[static_cast<std::size_t>(c.seedSlot)] = 50.f; // the seed now scores best
    planner.scores[static_cast<std::size_t>(c.best)] = -5.f;     // the shifted plan worst
    planner.prepareAgainst(race, opponentPlan);

    EXPECT_EQ(3, planner.evaluations);
    EXPECT_EQ(c.best, planner.bestIndex()); // not searched again
    EXPECT_EQ(c.best, planner.worstIndex());
    EXPECT_TRUE(sameGenes(opponentPlan, planner.opponentGenome()));
    const Genome& shifted = planner.genome(c.best);
    for (int g = 0; g + 1 < 2 * kTurns; ++g)
      EXPECT_EQ(best[g + 1].turn, shifted[g].turn);
    const Genome& seed = planner.genome(c.seedSlot);
    for (int t = 0; t < kTurns; ++t) {
      EXPECT_FLOAT_EQ(27.f / 36.f, seed[t].turn);
      EXPECT_FLOAT_EQ(0.25f, seed[t].acceleration);
      EXPECT_FLOAT_EQ(9.f / 36.f, seed[kTurns + t].turn);
      EXPECT_FLOAT_EQ(0.75f, seed[kTurns + t].acceleration);
    }
    EXPECT_FALSE(sameGenes(other, planner.genome(c.randomSlot)));
  }
}

} // namespace
