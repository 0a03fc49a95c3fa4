#include "brains/fixedplan.h"
#include "race/physics.h"
#include "race/racerules.h"
#include "race/statehash.h"

#include "genetictestutil.h"

#include <gtest/gtest.h>

using genetictest::makePod;
using pod::Influence;

namespace {

// A planned pod, with its whole plan or its turns planned, moves bit for bit
// as one given its commands step by step: through shields, angles wrapping
// past 360 and, when its team times out and a checkpoint pass revives it,
// through turns it did not make meanwhile.
TEST(FixedPlan, MovesThePodAsItsCommandsDo) {
  const pod::Track track = genetictest::rectangle();
  pod::Genome plan(10);
  for (int t = 0; t < plan.size(); ++t)
    plan[t] = {t % 3 == 0 ? 1.f : 0.2f * static_cast<float>(t % 3), 1.f, t == 2 ? 0.95f : 0.f};
  struct Case {
    float timeout;
    float angle;
    bool revived; // timed out within the plan, then back
  };
  for (const Case c : {Case{0.f, 355.f, false}, Case{95.f, 5.f, true}}) {
    pod::Race race;
    race.nbPodsPerTeam = 2;
    race.pods = {makePod(0, 0, {5000.f, 3000.f}, c.angle),
                 makePod(1, 0, {14000.f, 0.f}, 0.f, {400.f, 0.f}),
                 makePod(2, 1, {5000.f, 9000.f}), makePod(3, 1, {9000.f, 9000.f})};
    race.pods[0].timeout = c.timeout;
    pod::FixedPlan fixed;
    fixed.plan(race.pods[0], plan, 0, plan.size(), track);
    pod::PlannedTurns turns;
    turns.plan(race.pods[0], plan, 0, plan.size());
    pod::Race planned = race;
    pod::Race turned = race;
    bool timedOut = false;
    bool revived = false;
    for (int t = 0; t < plan.size(); ++t) {
      fixed.apply(planned.pods[0], t);
      turns.apply(turned.pods[0], plan[t], t);
      pod::Physics::applyInfluence(race.pods[0], pod::geneToInfluence(plan[t]), 1.f);
      for (pod::Race* r : {&planned, &turned, &race}) {
        pod::Physics::applyInfluence(r->pods[1], Influence{0.f, 200.f, false}, 1.f);
        pod::Physics::referenceStep(*r, track);
      }
      ASSERT_EQ(pod::stateHash(planned), pod::stateHash(race)) << c.timeout << " step " << t;
      ASSERT_EQ(pod::stateHash(turned), pod::stateHash(race)) << c.timeout << " step " << t;
      revived = revived || (timedOut && !pod::isTimedOut(race.pods[0]));
      timedOut = timedOut || pod::isTimedOut(race.pods[0]);
    }
    EXPECT_EQ(revived, c.revived) << c.timeout;
  }
}

} // namespace
