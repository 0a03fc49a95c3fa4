import os
import subprocess
import sys

import numpy as np
import pytest

import vuzuder
from steer_policy import policy

HERE = os.path.dirname(os.path.abspath(__file__))


@pytest.mark.parametrize("track, team", [("boomerang", 0), ("the_knot", 1), ("hairpin_alley", 0)])
def test_race_and_arena_write_the_same_trace(arena, tmp_path, track, team):
    mine = tmp_path / "race.jsonl"
    theirs = tmp_path / "arena.jsonl"
    race = vuzuder.Race(track=f"resources/tracks/{track}.prt", team=team, name="mine")
    # The arena's first race has the seed derived from --seed 1.
    obs, _ = race.reset(seed=0)
    done = False
    while not done:
        obs, _, terminated, truncated, _ = race.step(policy(obs))
        done = terminated or truncated
    race.save_trace(str(mine))

    bot = f"mine={sys.executable} {os.path.join(HERE, 'steer_policy.py')}"
    sides = ["--team1", "mine", "--team2", "Steering heuristics"]
    if team == 1:
        sides = ["--team1", "Steering heuristics", "--team2", "mine"]
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    result = subprocess.run(
        [arena, "--bot", bot, *sides, "--track", f"resources/tracks/{track}.prt", "--races", "1",
         "--no-swap", "--trace", str(theirs), "--jobs", "1",
         "--bot-first-ms", "20000", "--bot-turn-ms", "20000"],
        capture_output=True, text=True, env=env, timeout=600)
    assert result.returncode == 0, result.stderr
    assert mine.read_bytes() == theirs.read_bytes()
