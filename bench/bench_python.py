"""Speed of the Python module: VectorRace turns per second and Race.step time.

Run from the repository root: PYTHONPATH=build/python python3 bench/bench_python.py

On a shared machine the speed of a core changes from one second to the
next, so one thread, two threads and two separate processes (the most two
cores can give, nothing shared) are measured in turn, round after round,
and each ratio is taken within its round.
"""

import os
import statistics
import subprocess
import sys
import time

import numpy as np

import vuzuder

ROUNDS = 5
SECONDS = 3.0
N = 1024


def vector_turns_per_second(threads, n=N, seconds=SECONDS):
    vec = vuzuder.VectorRace(n, track=None, threads=threads, seed=1)
    rng = np.random.default_rng(1)
    # Random commands drawn beforehand: the figure is the engine's, not numpy's.
    pool = [rng.uniform([-18, 0, -1], [18, 200, 0.2], size=(n, 2, 3)) for _ in range(16)]
    vec.reset(seed=1)
    for k in range(20):
        vec.step(pool[k % 16])
    steps, start = 0, time.perf_counter()
    while time.perf_counter() - start < seconds:
        vec.step(pool[steps % 16])
        steps += 1
    return steps * n / (time.perf_counter() - start)


def two_processes():
    """Turns per second of two one-thread processes of N/2 races each, together."""
    command = [sys.executable, __file__, "--one-process", str(N // 2)]
    runs = [subprocess.Popen(command, stdout=subprocess.PIPE, text=True) for _ in range(2)]
    return sum(float(run.communicate()[0]) for run in runs)


def race_step_microseconds(seconds=2.0):
    race = vuzuder.Race(track="boomerang", record=False, max_turns=100000000)
    action = np.array([[3.0, 150.0, 0.0], [-3.0, 150.0, 0.0]])
    race.reset(seed=1)
    steps, start, cpu = 0, time.perf_counter(), time.process_time()
    while time.perf_counter() - start < seconds:
        *_, terminated, truncated, _ = race.step(action)
        steps += 1
        if terminated or truncated:
            race.reset()
    wall = time.perf_counter() - start
    return wall / steps * 1e6, (time.process_time() - cpu) / steps * 1e6


def spread(values, scale=1.0, unit=""):
    values = [v * scale for v in values]
    return (f"median {statistics.median(values):.2f}{unit}"
            f" (rounds {min(values):.2f} to {max(values):.2f})")


if __name__ == "__main__":
    if sys.argv[1:2] == ["--one-process"]:
        print(vector_turns_per_second(1, n=int(sys.argv[2])))
        sys.exit(0)
    print(f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    one, two, pair = [], [], []
    for _ in range(ROUNDS):
        one.append(vector_turns_per_second(1))
        two.append(vector_turns_per_second(2))
        pair.append(two_processes())
    print(f"VectorRace n={N} vs Steering heuristics, {ROUNDS} rounds of {SECONDS:.0f} s each:")
    print(f"  1 thread          : {spread(one, 1e-6, ' M turns/s')}")
    print(f"  2 threads         : {spread(two, 1e-6, ' M turns/s')}")
    print(f"  2 processes of {N // 2}: {spread(pair, 1e-6, ' M turns/s')}")
    print(f"  2 threads / 1 thread   : {spread([t / o for t, o in zip(two, one)], unit='x')}")
    print(f"  2 processes / 1 thread : {spread([p / o for p, o in zip(pair, one)], unit='x')}"
          " (what the two cores give, nothing shared)")
    print(f"  2 threads / 2 processes: {spread([t / p for t, p in zip(two, pair)], unit='x')}")
    wall, cpu = race_step_microseconds()
    print(f"Race.step vs Steering heuristics: {wall:.2f} us per turn wall, {cpu:.2f} us CPU")
    print(f"load average {os.getloadavg()[0]:.2f} after")
