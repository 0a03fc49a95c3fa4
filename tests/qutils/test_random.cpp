#include <qutils/random.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

TEST(Random, FifteenBitDrawsCoverTheirRangesInclusively) {
  qutils::Random rng(42);
  int lo = 32767;
  int hi = 0;
  std::set<int> ints;
  for (int i = 0; i < 200000; ++i) {
    const int r = rng.next15();
    lo = std::min(lo, r);
    hi = std::max(hi, r);
    const int k = rng.uniformInt(-2, 2);
    ASSERT_GE(k, -2);
    ASSERT_LE(k, 2);
    ints.insert(k);
    const float f = rng.uniform(5.f, 7.f);
    ASSERT_GE(f, 5.f);
    ASSERT_LE(f, 7.f);
  }
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 32767);
  EXPECT_EQ(ints.size(), 5u);
}

TEST(Random, SeedsGiveIndependentReproducibleStreams) {
  qutils::Random a(7);
  qutils::Random b(7);
  qutils::Random c(qutils::deriveSeed(7, 1));
  int same = 0;
  for (int i = 0; i < 1000; ++i) {
    const int x = a.next15();
    EXPECT_EQ(x, b.next15());
    same += x == c.next15();
  }
  EXPECT_LT(same, 10);
  EXPECT_NE(qutils::deriveSeed(7, 1), qutils::deriveSeed(7, 2));
  EXPECT_NE(qutils::deriveSeed(7, 1), qutils::deriveSeed(8, 1));
}

TEST(Random, StandardGeneratorHelpersStayInRange) {
  std::srand(1234);
  for (int i = 0; i < 10000; ++i) {
    const float u = qutils::randomFloat01();
    ASSERT_GE(u, 0.f);
    ASSERT_LE(u, 1.f);
    const int k = qutils::randomInt(0, 3);
    ASSERT_GE(k, 0);
    ASSERT_LE(k, 3);
    const float f = qutils::randomFloat(-15.f, 15.f);
    ASSERT_GE(f, -15.f);
    ASSERT_LE(f, 15.f);
  }
}
