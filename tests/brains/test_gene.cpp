#include "brains/gene.h"
#include "brains/genetichelpers.h"
#include "brains/genome.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using pod::Gene;
using pod::Genome;
using pod::Influence;

namespace {

TEST(GeneMapping, GeneToInfluence) {
  const struct {
    Gene gene;
    float rotation, thrust;
    bool shield;
  } cases[] = {{{0.5f, 1.f, 0.95f}, 0.f, 0.f, true}, // a shield gives no command
               {{0.f, 0.5f, 0.2f}, -18.f, 100.f, false},
               {{1.f, 1.f, 0.f}, 18.f, 200.f, false},
               {{0.5f, 1.f, 0.9f}, 0.f, 0.f, true}, // the threshold itself shields
               {{0.5f, 1.f, std::nextafter(0.9f, 0.f)}, 0.f, 200.f, false}};
  for (const auto& c : cases) {
    const Influence i = pod::geneToInfluence(c.gene);
    EXPECT_EQ(c.rotation, i.rotation);
    EXPECT_EQ(c.thrust, i.thrust);
    EXPECT_EQ(c.shield, i.shield);
  }
}

TEST(GeneMapping, InfluenceToGeneTruncatesClampsAndKeepsShield) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    Influence influence;
    float turn, acceleration;
  } cases[] = {{{17.9f, 150.6f, true}, 35.f / 36.f, 0.75f},
               {{-17.9f, 0.9f, false}, 1.f / 36.f, 0.f}, // truncation toward zero
               {{-95.f, 420.f, false}, 0.f, 1.f},        // clamped
               {{40.f, -10.f, false}, 1.f, 0.f},
               {{nan, 200.f, false}, 0.5f, 1.f}}; // a rule that cannot aim goes straight
  for (const auto& c : cases) {
    Gene g{0.f, 0.f, 0.42f};
    pod::influenceToGene(c.influence, g);
    EXPECT_FLOAT_EQ(c.turn, g.turn);
    EXPECT_FLOAT_EQ(c.acceleration, g.acceleration);
    EXPECT_EQ(0.42f, g.shield);
  }
}

TEST(GenomeTest, ShiftMovesGenesDownAndRedrawsTheLast) {
  qutils::Random rng(5);
  Genome g(6, rng);
  const Genome before(g);
  qutils::Random reference(rng); // the draws the shift will make
  g.shift(rng);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(before[i + 1].turn, g[i].turn);
    EXPECT_EQ(before[i + 1].acceleration, g[i].acceleration);
    EXPECT_EQ(before[i + 1].shield, g[i].shield);
  }
  EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[5].turn);
  EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[5].acceleration);
  EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[5].shield);
}

TEST(PlannerHelpers, SimpleRunnerRuleAimsAtTheCentre) {
  using genetictest::makePod;
  const pod::Track track = genetictest::rectangle();
  const struct {
    pod::PodState pod;
    float rotation, thrust;
  } cases[] = {{makePod(0, 0, {2000.f, 0.f}), 0.f, 200.f},          // far, facing
               {makePod(0, 0, {2000.f, 0.f}, 270.f), 18.f, 200.f},  // far, 90 off
               {makePod(0, 0, {16000.f, 0.f}, 330.f), 18.f, 0.f},   // near, 30 off
               {makePod(0, 0, {15500.f, 0.f}, 330.f), 18.f, 0.f},   // 4500 away is near
               {makePod(0, 0, {15000.f, 0.f}, 330.f), 18.f, 0.f},   // and so is 5000
               {makePod(0, 0, {14900.f, 0.f}, 330.f), 18.f, 200.f}, // 5100 is far
               {makePod(0, 0, {18500.f, 0.f}, 0.f, {600.f, 0.f}), 18.f, -1.f}}; // drifting through
  for (const auto& c : cases) {
    const Influence i = pod::simpleRunnerRule(track, c.pod);
    EXPECT_NEAR(c.rotation, i.rotation, 1e-3f);
    if (c.thrust >= 0.f) { // -1: not checked
      EXPECT_EQ(c.thrust, i.thrust);
    }
    EXPECT_FALSE(i.shield);
  }
}

} // namespace
