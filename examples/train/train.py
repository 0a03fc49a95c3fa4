"""Trains a driver that beats "Steering heuristics", with the cross-entropy
method on VectorRace. numpy only; at most 10 minutes on two cores.

    PYTHONPATH=build/python python3 examples/train/train.py [--minutes M] [--out F]

Every candidate races the same races each generation: every shipped track
from both sides of the grid, and a few random tracks drawn anew each
generation. Writes the weights (policy.npz), the training curve (curve.png,
with matplotlib) and one line per generation.
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


def seeds_by_track(tracks, wanted_random):
    """A seed that picks each named track, and seeds that pick a random one:
    a race's first episode plays its seed, as Race does."""
    probe = vuzuder.Race(track=tracks, record=False)
    named, random = {}, []
    for seed in range(100000):
        probe.reset(seed=seed)
        name = probe.track_name
        if name.startswith("Random "):
            if len(random) < wanted_random:
                random.append(seed)
        elif name not in named:
            named[name] = seed
        if len(named) == len(tracks) - 1 and len(random) >= wanted_random:
            break
    return list(named.values()), random


def evaluate(vecs, candidates, seeds, max_turns):
    """Score and share of races won of each candidate, over `seeds` per team."""
    pop, races = len(candidates), len(seeds)
    score = np.zeros(pop)
    wins = np.zeros(pop)
    w = np.repeat(candidates, races, axis=0)
    for team, vec in enumerate(vecs):
        obs, _ = vec.reset(options={"seeds": [int(s) for s in seeds] * pop})
        result = np.full(vec.num_envs, np.nan)
        won = np.zeros(vec.num_envs)
        for _ in range(max_turns + 1):
            obs, _, terminated, truncated, info = vec.step(act(w, obs))
            if "final_observation" in info:
                for i in np.flatnonzero(info["_final_observation"] & np.isnan(result)):
                    final = info["final_observation"][i]
                    # Checkpoints of each team's best pod, as shares of the race.
                    margin = max(final[8], final[17]) - max(final[26], final[35])
                    won[i] = info["final_info"][i]["winner"] == team
                    result[i] = won[i] + 0.5 * margin
            if not np.isnan(result).any():
                break
        score += np.nan_to_num(result).reshape(pop, races).mean(axis=1)
        wins += won.reshape(pop, races).mean(axis=1)
    return score / len(vecs), wins / len(vecs)


def plot(history, path):
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
    fig.savefig(path, dpi=100)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--generations", type=int, default=1000)
    parser.add_argument("--minutes", type=float, default=9.0, help="stop after this long")
    parser.add_argument("--population", type=int, default=40)
    parser.add_argument("--random-tracks", type=int, default=4,
                        help="random tracks per generation, beside the shipped ones")
    parser.add_argument("--elite", type=int, default=8)
    parser.add_argument("--threads", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", default=os.path.join(HERE, "policy.npz"))
    parser.add_argument("--curve", default=os.path.join(HERE, "curve.png"))
    args = parser.parse_args()

    start = time.time()
    rng = np.random.default_rng(args.seed)
    tracks = vuzuder.track_names() + ["random"]
    shipped, random = seeds_by_track(tracks, 1000)
    # A race that nobody finishes ends by timeout long before this.
    max_turns = 1500
    n = args.population * (len(shipped) + args.random_tracks)
    vecs = [vuzuder.VectorRace(n, track=tracks, team=t, threads=args.threads,
                               max_turns=max_turns) for t in (0, 1)]
    mean = start_weights()
    std = np.full((OUTPUTS, FEATURES), 0.5)
    best, best_score = mean.copy(), -np.inf
    history = []
    for gen in range(args.generations):
        seeds = shipped + list(rng.choice(random, args.random_tracks, replace=False))
        candidates = mean + std * rng.standard_normal((args.population, OUTPUTS, FEATURES))
        candidates[0] = mean  # the mean itself is scored too
        if gen > 0:
            candidates[1] = best
        score, wins = evaluate(vecs, candidates, seeds, max_turns)
        order = np.argsort(-score)
        elite = candidates[order[:args.elite]]
        mean = elite.mean(axis=0)
        std = np.maximum(elite.std(axis=0), 0.02)
        if score[order[0]] > best_score:
            best, best_score = candidates[order[0]].copy(), score[order[0]]
        history.append((gen, score[0], wins[0], score[order[0]], wins[order[0]]))
        elapsed = time.time() - start
        print(f"gen {gen:3d}  mean policy: score {score[0]:+.3f} wins {wins[0]:4.0%}   "
              f"best: score {score[order[0]]:+.3f} wins {wins[order[0]]:4.0%}   {elapsed:4.0f} s",
              flush=True)
        np.savez(args.out, weights=best, history=np.array(history))
        if elapsed > args.minutes * 60:
            break
    plot(history, args.curve)


if __name__ == "__main__":
    main()
