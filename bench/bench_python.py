"""Speed of the Python module: VectorRace turns per second and Race.step time.

Run from the repository root: PYTHONPATH=build/python python3 bench/bench_python.py
"""

import os
import time

import numpy as np

import vuzuder


def vector_turns_per_second(threads, n=1024, seconds=3.0):
    vec = vuzuder.VectorRace(n, track=None, threads=threads, seed=1)
    rng = np.random.default_rng(1)
    # Random commands drawn beforehand: the figure is the engine's, not numpy's.
    pool = [rng.uniform([-18, 0, -1], [18, 200, 0.2], size=(n, 2, 3)) for _ in range(16)]
    vec.reset(seed=1)
    for k in range(20):
        vec.step(pool[k % 16])
    steps, start, cpu = 0, time.perf_counter(), time.process_time()
    while time.perf_counter() - start < seconds:
        vec.step(pool[steps % 16])
        steps += 1
    wall = time.perf_counter() - start
    return steps * n / wall, steps * n / (time.process_time() - cpu)


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


if __name__ == "__main__":
    # On a loaded machine the wall-clock figures shrink with the share of the
    # cores the process gets; per CPU second is what one core does.
    print(f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    one, one_cpu = vector_turns_per_second(1)
    print(f"VectorRace n=1024 vs Steering heuristics, 1 thread : {one / 1e6:.2f} M turns/s wall,"
          f" {one_cpu / 1e6:.2f} M per CPU second")
    two, two_cpu = vector_turns_per_second(2)
    print(f"VectorRace n=1024 vs Steering heuristics, 2 threads: {two / 1e6:.2f} M turns/s wall"
          f" ({two / one:.2f}x), {two_cpu / 1e6:.2f} M per CPU second")
    wall, cpu = race_step_microseconds()
    print(f"Race.step vs Steering heuristics: {wall:.2f} us per turn wall, {cpu:.2f} us CPU")
    print(f"load average {os.getloadavg()[0]:.2f} after")
