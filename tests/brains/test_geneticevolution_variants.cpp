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
using pod::Gene;
using pod::GeneticEvolution;
using pod::Genome;
using pod::Influence;
using pod::PodState;
using pod::Race;
using qutils::Vec2;

namespace {

constexpr int kTurns = 10;

bool sameGenes(const Genome& a, const Genome& b) {
  for (int i = 0; i < a.size(); ++i)
    if (a[i].turn != b[i].turn || a[i].acceleration != b[i].acceleration ||
        a[i].shield != b[i].shield)
      return false;
  return true;
}

// Turn and acceleration of a gene written from the influence.
void expectGeneOf(const Influence& influence, const Gene& gene) {
  Gene expected{0.f, 0.f, gene.shield};
  pod::influenceToGene(influence, expected);
  EXPECT_EQ(expected.turn, gene.turn);
  EXPECT_EQ(expected.acceleration, gene.acceleration);
}

void expectSameInfluence(const Influence& a, const Influence& b) {
  EXPECT_EQ(a.rotation, b.rotation);
  EXPECT_EQ(a.thrust, b.thrust);
  EXPECT_EQ(a.shield, b.shield);
}

// Straight, idle genes: a pod at rest stays where it is.
Genome idle(int size) {
  Genome g(size);
  for (int i = 0; i < size; ++i)
    g[i] = Gene{0.5f, 0.f, 0.f};
  return g;
}

double dist(Vec2 a, Vec2 b) {
  const double dx = static_cast<double>(a.x) - b.x;
  const double dy = static_cast<double>(a.y) - b.y;
  return std::sqrt(dx * dx + dy * dy);
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

TEST_F(Variants, RolesFollowTheRaceOrderOfEachTeam) {
  Race race = restingRoles();
  race.pods[3].checkpointsCleared = 1; // pod 3 ahead of pod 2
  race.pods[3].nextCheckpoint = 2;
  auto team1 = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 1, 1);
  team1->prepare(race);
  EXPECT_EQ(3, team1->role(GeneticEvolution::OwnRunner));
  EXPECT_EQ(2, team1->role(GeneticEvolution::OwnHunter));
  EXPECT_EQ(0, team1->role(GeneticEvolution::OppRunner)); // nearer checkpoint 1
  EXPECT_EQ(1, team1->role(GeneticEvolution::OppHunter));

  auto team0 = pod::makeGroupedPlanner(pod::GroupedPlan::Runners, 3, kTurns, track, 0, 1);
  team0->prepare(race);
  EXPECT_EQ(0, team0->role(GeneticEvolution::OwnRunner));
  EXPECT_EQ(1, team0->role(GeneticEvolution::OwnHunter));
  EXPECT_EQ(3, team0->role(GeneticEvolution::OppRunner));
  EXPECT_EQ(2, team0->role(GeneticEvolution::OppHunter));
}

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
        for (int i = 0; i < 30; ++i)
          planner->evolve(0.5f);
        Influence first;
        Influence second;
        planner->getCommands(first, second);
        const Genome& best = planner->bestGenome();
        EXPECT_TRUE(sameGenes(best, planner->genome(planner->bestIndex())));
        // Gene 0 is the runner's, gene nbTurns the other pod's.
        const Gene& lowGene = secondLeads ? best[kTurns] : best[0];
        const Gene& highGene = secondLeads ? best[0] : best[kTurns];
        expectSameInfluence(pod::geneToInfluence(lowGene), first);
        expectSameInfluence(pod::geneToInfluence(highGene), second);
      }
    }
  }
}

TEST_F(Variants, SeparatePartnersAndSingleCommands) {
  EXPECT_EQ(1, pod::GeneticEvolutionSeparate::partnerOf(0, 0));
  EXPECT_EQ(0, pod::GeneticEvolutionSeparate::partnerOf(0, 1));
  EXPECT_EQ(3, pod::GeneticEvolutionSeparate::partnerOf(1, 2));
  EXPECT_EQ(2, pod::GeneticEvolutionSeparate::partnerOf(1, 3));
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
    expectSameInfluence(pod::geneToInfluence(planner->genome(planner->bestIndex())[0]), command);
  }
}

// ---------------------------------------------------------------- seeding

TEST_F(Variants, GroupedSeedIsTheHeuristicPlanOfBothTeams) {
  const Race race = genetictest::startingGrid(track);
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 1, 5);
  planner->prepare(race);
  const Genome& seed = planner->genome(0);
  EXPECT_TRUE(sameGenes(seed, planner->genome(2)));
  EXPECT_EQ(seed.score, planner->genome(2).score);
  const Genome& opp = planner->opponentGenome();

  // Replays the heuristics by hand for the first two steps.
  Race sim = race;
  const int ownRunner = pod::plannerIsAhead(track, sim.pods[2], sim.pods[3]) ? 2 : 3;
  const int ownHunter = 5 - ownRunner;
  const int oppRunner = pod::plannerIsAhead(track, sim.pods[0], sim.pods[1]) ? 0 : 1;
  const int oppHunter = 1 - oppRunner;
  EXPECT_EQ(ownRunner, planner->role(GeneticEvolution::OwnRunner));
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
}

TEST_F(Variants, RunnersSeedRacesBothPods) {
  const Race race = restingRoles();
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Runners, 3, kTurns, track, 0, 5);
  planner->prepare(race);
  const auto& p = race.pods;
  expectGeneOf(pod::runnerRule(track, p[0], p[1], p[2], p[3]), planner->genome(0)[0]);
  expectGeneOf(pod::runnerRule(track, p[1], p[0], p[2], p[3]), planner->genome(0)[kTurns]);
}

TEST_F(Variants, SeparateSeedsFollowTheirRoles) {
  Race race = restingRoles(); // pod 0 runs, pod 1 is behind
  const auto& p = race.pods;
  // The runner planner of the pod in the hunter role still seeds with the
  // simple runner rule of the own-runner pod.
  auto runner = pod::makeSeparatePlanner(pod::SeparatePlan::Runner, 5, kTurns, track, 0, 1,
                                         false, 9);
  runner->prepare(race);
  expectGeneOf(pod::simpleRunnerRule(track, p[0]), runner->genome(0)[0]);
  expectGeneOf(pod::simpleRunnerRule(track, p[0]), runner->partnerGenome()[0]);
  expectGeneOf(pod::runnerRule(track, p[2], p[3], p[0], p[1]), runner->oppRunnerGenome()[0]);
  expectGeneOf(pod::hunterRule(track, p[2], p[3], p[0], p[1]), runner->oppHunterGenome()[0]);

  auto withHunter = pod::makeSeparatePlanner(pod::SeparatePlan::Runner, 5, kTurns, track, 0, 0,
                                             true, 9);
  withHunter->prepare(race);
  expectGeneOf(pod::hunterRule(track, p[0], p[1], p[2], p[3]), withHunter->partnerGenome()[0]);

  auto hunter = pod::makeSeparatePlanner(pod::SeparatePlan::Hunter, 5, kTurns, track, 0, 1,
                                         false, 9);
  hunter->prepare(race);
  expectGeneOf(pod::hunterRule(track, p[0], p[1], p[2], p[3]), hunter->genome(0)[0]);
  expectGeneOf(pod::runnerRule(track, p[0], p[1], p[2], p[3]), hunter->partnerGenome()[0]);
}

TEST_F(Variants, TimeAttackSeedUsesTheSoloRunnerRule) {
  const Race race = genetictest::startingGrid(track, true, 3);
  auto planner = pod::makeTimeAttackPlanner(3, kTurns, track, 2, 4);
  planner->prepare(race);
  EXPECT_EQ(2, planner->ownPod());
  PodState own = race.pods[2];
  for (int t = 0; t < 3; ++t) {
    const Influence inf = pod::soloRunnerRule(track, own);
    expectGeneOf(inf, planner->genome(0)[t]);
    pod::Physics::applyInfluence(own, inf, 1.f);
    pod::Physics::soloStep(own, track);
  }
}

// ---------------------------------------------------------------- scores

TEST_F(Variants, DedicatedScoreOnARestingRace) {
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 0, 2);
  planner->prepare(restingRoles());
  planner->setOpponentGenome(idle(2 * kTurns));
  Genome plan = idle(2 * kTurns);
  planner->evaluate(plan);
  // Runner 8000 from checkpoint 1; hunter sqrt(6000^2 + 1000^2) from the opponent runner.
  EXPECT_FLOAT_EQ(static_cast<float>(-8000.0 - 0.5 * std::sqrt(37000000.0)), plan.score);

  Race ahead = restingRoles();
  ahead.pods[0] = makePod(0, 0, {20000.f, 4000.f}, 0.f, {}, 2, 1);
  planner->prepare(ahead);
  planner->setOpponentGenome(idle(2 * kTurns));
  planner->evaluate(plan);
  EXPECT_FLOAT_EQ(static_cast<float>(50000.0 - 8000.0 - 0.5 * std::sqrt(37000000.0)), plan.score);
}

TEST_F(Variants, RunnersScoreOnARestingRace) {
  auto planner = pod::makeGroupedPlanner(pod::GroupedPlan::Runners, 3, kTurns, track, 0, 2);
  Race race = restingRoles();
  race.pods[2] = makePod(2, 1, {20000.f, 9000.f}, 0.f, {}, 2, 1); // opponent runner, 1 cleared
  planner->prepare(race);
  planner->setOpponentGenome(idle(2 * kTurns));
  Genome plan = idle(2 * kTurns);
  planner->evaluate(plan);
  // (0 - 1) * 50000 - 8000 for the runner; (0 - 1) * 50000 - |(16000, -4000)| for the other.
  EXPECT_FLOAT_EQ(static_cast<float>(-50000.0 - 8000.0 - 50000.0 - std::sqrt(272000000.0)),
                  plan.score);
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

TEST_F(Variants, SeparateScoresMatchTheReplayedState) {
  const Race race = genetictest::startingGrid(track);
  for (int ownPod = 0; ownPod < 4; ++ownPod) {
    const int team = ownPod / 2;
    for (auto plan : {pod::SeparatePlan::Runner, pod::SeparatePlan::Hunter}) {
      auto planner = pod::makeSeparatePlanner(plan, 5, kTurns, track, team, ownPod, true,
                                              static_cast<std::uint64_t>(ownPod));
      planner->prepare(race);
      qutils::Random rng(static_cast<std::uint64_t>(ownPod) + 100);
      Genome g(kTurns, rng);
      planner->evaluate(g);
      const Race& end = planner->simState();
      ASSERT_EQ(-1, end.winner);
      const PodState& own = end.pods[static_cast<std::size_t>(ownPod)];
      double expected = 0.0;
      if (plan == pod::SeparatePlan::Runner) {
        expected = own.checkpointsCleared * 50000.0 -
                   dist(own.position, pod::nextCheckpointPosition(track, own));
      } else {
        const PodState& target =
            end.pods[static_cast<std::size_t>(planner->role(GeneticEvolution::OppRunner))];
        const double heading = own.angle;
        double bearing = std::atan2(static_cast<double>(target.position.y) - own.position.y,
                                    static_cast<double>(target.position.x) - own.position.x) *
                         180.0 / 3.14159265358979;
        double a = std::fmod(bearing - heading + 720.0, 360.0);
        if (a > 180.0)
          a -= 360.0;
        expected = -50000.0 * target.checkpointsCleared -
                   dist(own.position, pod::nextCheckpointPosition(track, target)) - 5.0 * a;
      }
      EXPECT_NEAR(expected, g.score, 0.05) << "pod " << ownPod;
    }
  }
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
}

TEST_F(Variants, TimeAttackReplayLostToAnotherFinisher) {
  Race race;
  race.nbPodsPerTeam = 1;
  race.timeAttack = true;
  race.pods = {makePod(0, 0, {1500.f, 0.f}, 180.f, {-1400.f, 0.f}, 0, 11),
               makePod(1, 1, {20000.f, 5000.f}, 90.f, {}, 2, 1)};
  auto lost = pod::makeTimeAttackPlanner(3, kTurns, track, 1, 12);
  lost->prepare(race);
  auto won = pod::makeTimeAttackPlanner(3, kTurns, track, 0, 12);
  won->prepare(race);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(-1000000.f, lost->genome(i).score);
    EXPECT_EQ(1000000.f, won->genome(i).score);
  }
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

TEST_F(Variants, PlannersAreReproducibleFromTheirSeed) {
  const Race race = genetictest::startingGrid(track);
  auto a = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 0, 99);
  auto b = pod::makeGroupedPlanner(pod::GroupedPlan::Dedicated, 3, kTurns, track, 0, 99);
  a->prepare(race);
  b->prepare(race);
  for (int i = 0; i < 200; ++i) {
    a->evolve(0.4f);
    b->evolve(0.4f);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(sameGenes(a->genome(i), b->genome(i)));
    EXPECT_EQ(a->genome(i).score, b->genome(i).score);
  }
  // Evolution never loses the best score of the turn.
  EXPECT_GE(a->bestGenome().score, a->genome(2).score);
}

} // namespace
