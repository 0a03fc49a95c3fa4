#include "bradleyterry.h"

#include "stats.h"

#include <qutils/assert.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace pod::arena {

namespace {

using Matrix = std::vector<std::vector<double>>;

// Every player reaches every other along "took points from" edges: then, and
// only then, the likelihood has a finite maximum.
bool stronglyConnected(const PairResults& r) {
  const std::size_t n = r.size();
  if (n < 2)
    return n == 1;
  auto reachesAll = [&](bool forward) {
    std::vector<bool> seen(n, false);
    std::vector<std::size_t> stack = {0};
    seen[0] = true;
    while (!stack.empty()) {
      const std::size_t i = stack.back();
      stack.pop_back();
      for (std::size_t j = 0; j < n; ++j) {
        const double took = forward ? r.score[i][j] : r.score[j][i];
        if (!seen[j] && took > 0.0) {
          seen[j] = true;
          stack.push_back(j);
        }
      }
    }
    return std::all_of(seen.begin(), seen.end(), [](bool s) { return s; });
  };
  return reachesAll(true) && reachesAll(false);
}

// Gauss-Jordan with partial pivoting; the matrix is symmetric positive definite here.
Matrix inverse(Matrix a) {
  const std::size_t n = a.size();
  Matrix inv(n, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i)
    inv[i][i] = 1.0;
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
        pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(inv[c], inv[pivot]);
    const double d = a[c][c];
    Q_ASSERT(d != 0.0);
    for (std::size_t k = 0; k < n; ++k) {
      a[c][k] /= d;
      inv[c][k] /= d;
    }
    for (std::size_t r = 0; r < n; ++r) {
      if (r == c || a[r][c] == 0.0)
        continue;
      const double f = a[r][c];
      for (std::size_t k = 0; k < n; ++k) {
        a[r][k] -= f * a[c][k];
        inv[r][k] -= f * inv[c][k];
      }
    }
  }
  return inv;
}

} // namespace

PairResults::PairResults(std::size_t players)
    : score(players, std::vector<double>(players, 0.0)),
      games(players, std::vector<double>(players, 0.0)) {}

BradleyTerryFit fitBradleyTerry(const PairResults& input) {
  const std::size_t n = input.size();
  BradleyTerryFit fit;
  fit.ratings.resize(n);
  if (n == 0)
    return fit;

  // A virtual player, rated 0, takes one draw from everyone when the plain
  // fit would run off to infinity.
  fit.regularised = !stronglyConnected(input);
  const std::size_t m = fit.regularised ? n + 1 : n;
  PairResults r(m);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      r.score[i][j] = input.score[i][j];
      r.games[i][j] = input.games[i][j];
    }
  if (fit.regularised)
    for (std::size_t i = 0; i < n; ++i) {
      r.score[i][n] = r.score[n][i] = 0.5;
      r.games[i][n] = r.games[n][i] = 1.0;
    }

  std::vector<double> wins(m, 0.0);
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = 0; j < m; ++j)
      wins[i] += r.score[i][j];

  // Hunter's MM update, one player at a time, on strengths gamma = e^theta.
  std::vector<double> gamma(m, 1.0);
  for (fit.iterations = 0; fit.iterations < 100000; ++fit.iterations) {
    double change = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      double denominator = 0.0;
      for (std::size_t j = 0; j < m; ++j)
        if (j != i && r.games[i][j] > 0.0)
          denominator += r.games[i][j] / (gamma[i] + gamma[j]);
      if (denominator <= 0.0)
        continue;
      const double next = wins[i] / denominator;
      change = std::max(change, std::fabs(std::log(next / gamma[i])));
      gamma[i] = next;
    }
    if (!fit.regularised) {
      double logMean = 0.0;
      for (std::size_t i = 0; i < n; ++i)
        logMean += std::log(gamma[i]);
      const double scale = std::exp(logMean / static_cast<double>(n));
      for (auto& g : gamma)
        g /= scale;
    }
    if (change < 1e-13)
      break;
  }

  std::vector<double> theta(n);
  double mean = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    theta[i] = std::log(gamma[i]);
    mean += theta[i] / static_cast<double>(n);
  }

  // Observed information of the log-strengths of the real players.
  Matrix info(n, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < m; ++j) {
      if (j == i || r.games[i][j] <= 0.0)
        continue;
      const double p = gamma[i] / (gamma[i] + gamma[j]);
      const double w = r.games[i][j] * p * (1.0 - p);
      info[i][i] += w;
      if (j < n)
        info[i][j] -= w;
    }

  // Covariance of the centred ratings. Without the virtual player the
  // information is singular along "everyone stronger by the same amount",
  // exactly the direction centring removes: its pseudo-inverse is
  // (I + J/n)^-1 - J/n. With it, centre the plain inverse: P I^-1 P.
  const double dn = static_cast<double>(n);
  Matrix cov;
  if (!fit.regularised) {
    Matrix shifted = info;
    for (auto& row : shifted)
      for (auto& v : row)
        v += 1.0 / dn;
    cov = inverse(shifted);
    for (auto& row : cov)
      for (auto& v : row)
        v -= 1.0 / dn;
  } else {
    const Matrix v = inverse(info);
    std::vector<double> rowMean(n, 0.0);
    double all = 0.0;
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = 0; j < n; ++j) {
        rowMean[i] += v[i][j] / dn;
        all += v[i][j] / (dn * dn);
      }
    cov.assign(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = 0; j < n; ++j)
        cov[i][j] = v[i][j] - rowMean[i] - rowMean[j] + all;
  }

  for (std::size_t i = 0; i < n; ++i) {
    const double elo = kEloPerNat * (theta[i] - mean);
    const double half = kZ95 * kEloPerNat * std::sqrt(std::max(0.0, cov[i][i]));
    fit.ratings[i] = {elo, elo - half, elo + half};
  }
  return fit;
}

} // namespace pod::arena
