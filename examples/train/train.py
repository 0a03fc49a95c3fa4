"""Trains a driver that beats "Steering heuristics", with the cross-entropy
method on VectorRace. numpy only; about 10 minutes on two cores.

    PYTHONPATH=build/python python3 examples/train/train.py [--generations N] [--out F]

Writes the weights (policy.npz), the training curve (curve.png, with
matplotlib) and one line per generation.
"""

import argparse
import os
import sys
import time

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vuzuder  # noqa: E402
from policy import FEATURES, OUTPUTS, act, start_weights  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def evaluate(vecs, candidates, races, seed, max_turns):
    """Mean score of each candidate over the same `races` races per team."""
    pop = len(candidates)
    score = np.zeros(pop)
    wins = np.zeros(pop)
    for team, vec in enumerate(vecs):
        n = vec.num_envs
        # Candidate c drives races c*races .. c*races+races-1; every candidate
        # meets the same tracks (common random numbers).
        seeds = np.tile(np.arange(races, dtype=np.uint64) + np.uint64(seed * 1000 + team * 100), pop)
        obs, _ = vec.reset(options={"seeds": [int(s) for s in seeds]})
        w = np.repeat(candidates, races, axis=0)
        result = np.full(n, np.nan)
        won = np.zeros(n)
        for _ in range(max_turns + 1):
            obs, _, terminated, truncated, info = vec.step(act(w, obs))
            if "final_observation" in info:
                for i in np.flatnonzero(info["_final_observation"] & np.isnan(result)):
                    final = info["final_observation"][i]
                    mine = max(final[8], final[17])
                    theirs = max(final[26], final[35])
                    win = info["final_info"][i]["winner"] == team
                    won[i] = win
                    result[i] = win + 0.5 * (mine - theirs)
            if not np.isnan(result).any():
                break
        score += np.nan_to_num(result).reshape(pop, races).mean(axis=1)
        wins += won.reshape(pop, races).mean(axis=1)
    return score / len(vecs), wins / len(vecs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--generations", type=int, default=40)
    parser.add_argument("--population", type=int, default=48)
    parser.add_argument("--races", type=int, default=12, help="races per candidate and team")
    parser.add_argument("--elite", type=int, default=8)
    parser.add_argument("--threads", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--minutes", type=float, default=9.0, help="stop after this long")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", default=os.path.join(HERE, "policy.npz"))
    parser.add_argument("--curve", default=os.path.join(HERE, "curve.png"))
    args = parser.parse_args()

    rng = np.random.default_rng(args.seed)
    # Every shipped track, and random ones for a quarter of the races.
    tracks = vuzuder.track_names() + ["random"] * 3
    max_turns = 1500
    n = args.population * args.races
    vecs = [vuzuder.VectorRace(n, track=tracks, team=t, threads=args.threads,
                               max_turns=max_turns, seed=args.seed) for t in (0, 1)]
    mean = start_weights()
    std = np.full((OUTPUTS, FEATURES), 1.0)
    best, best_score = mean.copy(), -np.inf
    history = []
    start = time.time()
    for gen in range(args.generations):
        noise = rng.standard_normal((args.population, OUTPUTS, FEATURES))
        candidates = mean + std * noise
        candidates[0] = mean  # the mean itself is scored too
        score, wins = evaluate(vecs, candidates, args.races, gen, max_turns)
        order = np.argsort(-score)
        elite = candidates[order[:args.elite]]
        mean = elite.mean(axis=0)
        std = np.maximum(elite.std(axis=0), 0.05)
        if score[0] > best_score:
            best, best_score = candidates[0].copy(), score[0]
        history.append((gen, score[0], wins[0], score[order[0]], wins[order[0]]))
        elapsed = time.time() - start
        print(f"gen {gen:3d}  mean policy: score {score[0]:+.3f} wins {wins[0]:.0%}   "
              f"best: score {score[order[0]]:+.3f} wins {wins[order[0]]:.0%}   {elapsed:5.0f} s",
              flush=True)
        np.savez(args.out, weights=best, mean=mean, history=np.array(history))
        if elapsed > args.minutes * 60:
            break

    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        return
    h = np.array(history)
    fig, ax = plt.subplots(figsize=(7, 4))
    ax.plot(h[:, 0], 100 * h[:, 2], label="the search's mean policy")
    ax.plot(h[:, 0], 100 * h[:, 4], label="best candidate of the generation", alpha=0.6)
    ax.axhline(50, color="grey", lw=0.8, ls=":")
    ax.set_xlabel("generation")
    ax.set_ylabel('races won against "Steering heuristics" (%)')
    ax.set_ylim(0, 100)
    ax.legend(loc="lower right")
    fig.tight_layout()
    fig.savefig(args.curve, dpi=100)


if __name__ == "__main__":
    main()
