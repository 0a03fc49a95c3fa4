"""A policy as a line-protocol bot (docs/BOTS.md)."""

import sys

import numpy as np

from ._core import BotObserver

PROTOCOL_VERSION = 1


def _number(x):
    # repr of a float reads back as the very same double: the engine clamps
    # exactly what the policy asked for.
    return repr(float(x))


def serve_bot(policy, stdin=None, stdout=None):
    """Runs `policy` (observation -> action) as a bot until the race ends.

    The observation is the one Race gives for the bot's team; the action has
    one row (rotation, thrust, shield) per pod of the team. Returns the
    winning team sent at the end, or None when the input ended first.
    """
    stdin = stdin or sys.stdin
    stdout = stdout or sys.stdout
    first = stdin.readline().split()
    if first[:1] != ["vuzuder-bot"] or len(first) != 2 or first[1] != str(PROTOCOL_VERSION):
        raise ValueError(f"not a vuzuder-bot {PROTOCOL_VERSION} greeting: {' '.join(first)!r}")
    keys = {}
    checkpoints = []
    while True:
        line = stdin.readline()
        if not line:
            raise ValueError("the greeting ended before 'start'")
        words = line.split()
        if not words:
            continue
        if words[0] == "start":
            break
        if words[0] == "checkpoints":
            checkpoints = [stdin.readline().strip() for _ in range(int(words[1]))]
        else:
            keys[words[0]] = words[1:]
    time_attack = keys.get("mode", ["race"])[0] == "time-attack"
    team = int(keys["team"][0])
    teams = int(keys["teams"][0])
    per_team = int(keys["pods-per-team"][0])
    observer = BotObserver(checkpoints, team, teams, time_attack)
    pods = teams * per_team
    while True:
        line = stdin.readline()
        if not line:
            return None
        words = line.split()
        if not words:
            continue
        if words[0] == "end":
            return int(words[1])
        if words[0] != "turn":
            continue
        turn = int(words[1])
        lines = [stdin.readline() for _ in range(pods)]
        action = np.asarray(policy(observer.observe(turn, lines)), dtype=np.float64)
        action = action.reshape(per_team, 3)
        if not np.all(np.isfinite(action)):
            raise ValueError(f"the policy answered NaN or infinity at turn {turn}")
        stdout.write("".join(f"{_number(r)} {_number(t)} {_number(s)}\n" for r, t, s in action))
        stdout.flush()
