#include "brains/gene.h"
#include "brains/genetichelpers.h"
#include "brains/genome.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>
#include <qutils/assert.h>

#include <cmath>
#include <limits>

using pod::Gene;
using pod::Genome;
using pod::Influence;

namespace {

Gene gene(float turn, float acceleration, float shield) { return Gene{turn, acceleration, shield}; }

bool sameGenes(const Genome& a, const Genome& b) {
  if (a.size() != b.size())
    return false;
  for (int i = 0; i < a.size(); ++i)
    if (a[i].turn != b[i].turn || a[i].acceleration != b[i].acceleration ||
        a[i].shield != b[i].shield)
      return false;
  return true;
}

// ---------------------------------------------------------------- gene mappings

TEST(GeneMapping, GeneToInfluence) {
  const Influence shielded = pod::geneToInfluence(gene(0.5f, 1.f, 0.95f));
  EXPECT_EQ(0.f, shielded.rotation);
  EXPECT_EQ(0.f, shielded.thrust);
  EXPECT_TRUE(shielded.shield);

  const Influence left = pod::geneToInfluence(gene(0.f, 0.5f, 0.2f));
  EXPECT_EQ(-18.f, left.rotation);
  EXPECT_EQ(100.f, left.thrust);
  EXPECT_FALSE(left.shield);

  const Influence right = pod::geneToInfluence(gene(1.f, 1.f, 0.f));
  EXPECT_EQ(18.f, right.rotation);
  EXPECT_EQ(200.f, right.thrust);
  EXPECT_FALSE(right.shield);

  // The threshold itself raises the shield; just below it does not.
  EXPECT_TRUE(pod::geneToInfluence(gene(0.5f, 1.f, 0.9f)).shield);
  EXPECT_FALSE(pod::geneToInfluence(gene(0.5f, 1.f, std::nextafter(0.9f, 0.f))).shield);
}

TEST(GeneMapping, InfluenceToGeneTruncatesClampsAndKeepsShield) {
  Gene g = gene(0.f, 0.f, 0.42f);
  pod::influenceToGene(Influence{17.9f, 150.6f, true}, g);
  EXPECT_FLOAT_EQ(35.f / 36.f, g.turn);
  EXPECT_FLOAT_EQ(150.f / 200.f, g.acceleration);
  EXPECT_EQ(0.42f, g.shield);

  // Truncation goes toward zero on negative rotations.
  pod::influenceToGene(Influence{-17.9f, 0.9f, false}, g);
  EXPECT_FLOAT_EQ(1.f / 36.f, g.turn);
  EXPECT_EQ(0.f, g.acceleration);

  // Out-of-range commands are clamped to the gene's range.
  pod::influenceToGene(Influence{-95.f, 420.f, false}, g);
  EXPECT_EQ(0.f, g.turn);
  EXPECT_EQ(1.f, g.acceleration);
  pod::influenceToGene(Influence{40.f, -10.f, false}, g);
  EXPECT_EQ(1.f, g.turn);
  EXPECT_EQ(0.f, g.acceleration);

  // A rule that cannot aim (NaN) gives a straight, idle gene.
  pod::influenceToGene(Influence{std::numeric_limits<float>::quiet_NaN(), 200.f, false}, g);
  EXPECT_EQ(0.5f, g.turn);
}

TEST(GeneMapping, IntegerCommandsSurviveARoundTrip) {
  for (int r = -18; r <= 18; ++r) {
    for (int t = 0; t <= 200; t += 25) {
      Gene g = gene(0.f, 0.f, 0.f);
      pod::influenceToGene(Influence{static_cast<float>(r), static_cast<float>(t), false}, g);
      const Influence back = pod::geneToInfluence(g);
      EXPECT_NEAR(static_cast<float>(r), back.rotation, 1e-4f);
      EXPECT_NEAR(static_cast<float>(t), back.thrust, 1e-3f);
    }
  }
}

// ---------------------------------------------------------------- random formulas

TEST(PlannerRandom, FormulasFollowTheFifteenBitDraw) {
  qutils::Random a(1234);
  qutils::Random b(1234);
  for (int i = 0; i < 1000; ++i) {
    const int r = b.next15();
    EXPECT_EQ(static_cast<float>(r) / 32767.f * (7.f - 2.f) + 2.f, pod::randomFloat(a, 2.f, 7.f));
    const int r2 = b.next15();
    EXPECT_EQ(3 + r2 % (9 - 3 + 1), pod::randomInt(a, 3, 9));
  }
}

TEST(PlannerRandom, RangesIncludeBothEnds) {
  qutils::Random rng(99);
  bool sawLo = false;
  bool sawHi = false;
  for (int i = 0; i < 20000; ++i) {
    const int v = pod::randomInt(rng, 0, 3);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 3);
    sawLo |= v == 0;
    sawHi |= v == 3;
    const float f = pod::randomFloat(rng, 0.25f, 0.5f);
    ASSERT_GE(f, 0.25f);
    ASSERT_LE(f, 0.5f);
  }
  EXPECT_TRUE(sawLo && sawHi);
  // An empty float range gives its bound whatever the draw.
  EXPECT_EQ(0.3f, pod::randomFloat(rng, 0.3f, 0.3f));
}

// ---------------------------------------------------------------- genome

TEST(GenomeTest, ConstructionDrawsTurnAccelerationShieldInOrder) {
  qutils::Random rng(7);
  qutils::Random reference(7);
  const Genome g(5, rng);
  ASSERT_EQ(5, g.size());
  EXPECT_EQ(0.f, g.score);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[i].turn);
    EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[i].acceleration);
    EXPECT_EQ(pod::randomFloat(reference, 0.f, 1.f), g[i].shield);
  }
}

TEST(GenomeTest, CopiesCarryGenesAndScore) {
  qutils::Random rng(11);
  Genome a(4, rng);
  a.score = 12.5f;
  const Genome copy(a);
  EXPECT_TRUE(sameGenes(a, copy));
  EXPECT_EQ(12.5f, copy.score);

  Genome b(4, rng);
  ASSERT_FALSE(sameGenes(a, b));
  const Gene* storage = b.data();
  b = a;
  EXPECT_TRUE(sameGenes(a, b));
  EXPECT_EQ(12.5f, b.score);
  EXPECT_EQ(storage, b.data()); // assignment reuses the storage
}

int gAssertFailures = 0;
int countingHandler(const char*, const char*, const char*, int) {
  ++gAssertFailures;
  return 1;
}

TEST(GenomeTest, AssignmentBetweenSizesIsAProgrammingError) {
  qutils::Random rng(3);
  Genome small(3, rng);
  const Genome before(small);
  const Genome large(6, rng);
  const auto previous = qutils::getAssertHandler();
  qutils::setAssertHandler(countingHandler);
  gAssertFailures = 0;
  small = large;
  qutils::setAssertHandler(previous);
  EXPECT_EQ(1, gAssertFailures);
  EXPECT_TRUE(sameGenes(before, small)); // a continued assertion copies nothing
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

} // namespace

// ---------------------------------------------------------------- planner helpers

namespace {

using genetictest::makePod;

TEST(PlannerHelpers, AmplitudeScheduleIsRemainingOverThinkTime) {
  EXPECT_EQ(1.f, pod::scheduledAmplitude(0.25f, 0.25f));
  EXPECT_FLOAT_EQ(0.4f, pod::scheduledAmplitude(0.25f, 0.1f));
  EXPECT_FLOAT_EQ(0.5f, pod::scheduledAmplitude(0.2f, 0.1f));
  EXPECT_EQ(1.f, pod::scheduledAmplitude(0.05f, 0.1f)); // clamped
}

TEST(PlannerHelpers, SynchronousTimerCountsEachStepAsAShareOfTheTurn) {
  pod::StepTimer timer(40);
  ASSERT_TRUE(timer.synchronous());
  timer.restart();
  int tenth = 0;
  for (int i = 0; i < 40; ++i) {
    timer.beginStep();
    if (timer.inFirstTenth(0.25f))
      ++tenth;
    EXPECT_EQ(0.25f / 40.f, timer.endStep(true, 0.25f));
  }
  EXPECT_EQ(4, tenth);
  timer.beginStep();
  EXPECT_EQ(0.f, timer.endStep(false, 0.25f)); // a preparation takes no time
  timer.restart();
  timer.beginStep();
  EXPECT_TRUE(timer.inFirstTenth(0.25f));
}

TEST(PlannerHelpers, PlannerIsAheadOrdersByCountThenDistance) {
  const pod::Track track = genetictest::rectangle();
  const auto near = makePod(0, 0, {18000.f, 0.f});
  const auto far = makePod(1, 0, {2000.f, 0.f});
  EXPECT_TRUE(pod::plannerIsAhead(track, near, far));
  EXPECT_FALSE(pod::plannerIsAhead(track, far, near));
  EXPECT_FALSE(pod::plannerIsAhead(track, near, near));
  const auto lapped = makePod(2, 0, {1000.f, 0.f}, 0.f, {}, 2, 1);
  EXPECT_TRUE(pod::plannerIsAhead(track, lapped, near));
}

TEST(PlannerHelpers, SimpleRunnerRuleAimsAtTheCentre) {
  const pod::Track track = genetictest::rectangle();
  // Far and facing checkpoint 1: straight on at full thrust.
  Influence straight = pod::simpleRunnerRule(track, makePod(0, 0, {2000.f, 0.f}));
  EXPECT_NEAR(0.f, straight.rotation, 1e-3f);
  EXPECT_EQ(200.f, straight.thrust);
  EXPECT_FALSE(straight.shield);
  // Far, 90 degrees off: turns at the limit and still thrusts (below 120).
  Influence far = pod::simpleRunnerRule(track, makePod(0, 0, {2000.f, 0.f}, 270.f));
  EXPECT_EQ(18.f, far.rotation);
  EXPECT_EQ(200.f, far.thrust);
  // Within 5000 and 30 degrees off: turns without thrust.
  Influence near = pod::simpleRunnerRule(track, makePod(0, 0, {16000.f, 0.f}, 330.f));
  EXPECT_EQ(18.f, near.rotation);
  EXPECT_EQ(0.f, near.thrust);
  // Drifting through checkpoint 1: already turns toward checkpoint 2.
  Influence drift =
      pod::simpleRunnerRule(track, makePod(0, 0, {18500.f, 0.f}, 0.f, {600.f, 0.f}));
  EXPECT_EQ(18.f, drift.rotation);
}

} // namespace
