#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pod::arena {

// Results between every two players: score[i][j] is what i scored against j
// (a win 1, a draw 1/2), games[i][j] == games[j][i] how often they met.
struct PairResults {
  explicit PairResults(std::size_t players = 0);
  std::size_t size() const { return games.size(); }
  std::vector<std::vector<double>> score;
  std::vector<std::vector<double>> games;
};

struct Rating {
  double elo = 0.0;  // centred: the players' mean is 0
  double low = 0.0;  // 95 % interval
  double high = 0.0;
};

struct BradleyTerryFit {
  std::vector<Rating> ratings; // by player
  // True when the plain maximum-likelihood fit has no finite solution (some
  // group of players never lost, or never won, against the rest), so every
  // player was given one virtual draw against a player rated 0.
  bool regularised = false;
  int iterations = 0;
};

// 400 / ln 10: one natural-log unit of strength in Elo points.
constexpr double kEloPerNat = 173.71779276130073;

// Maximum-likelihood Bradley-Terry strengths by Hunter's MM iteration, on
// the Elo scale (P(i beats j) = 1 / (1 + 10^((elo_j - elo_i) / 400))). The
// intervals are Wald intervals from the observed Fisher information of the
// centred ratings (the pseudo-inverse of the information matrix).
BradleyTerryFit fitBradleyTerry(const PairResults& results);

} // namespace pod::arena
