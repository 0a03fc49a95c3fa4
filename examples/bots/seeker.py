#!/usr/bin/env python3
"""Seeker: a bot for Vuzuder UR that steers every pod of its team straight at
its next checkpoint, aiming off by its drift. See docs/BOTS.md."""
import math
import sys


def main():
    read = sys.stdin.readline
    if read().split() != ["vuzuder-bot", "1"]:
        sys.exit("seeker: this bot speaks version 1 of the protocol only")
    info, checkpoints = {}, []
    while True:
        key, *values = read().split()
        if key == "start":
            break
        if key == "checkpoints":
            checkpoints = [tuple(map(float, read().split())) for _ in range(int(values[0]))]
        elif values:
            info[key] = values[0]
    team = int(info["team"])
    pods = int(info["teams"]) * int(info["pods-per-team"])
    print(f"seeker: team {team}, {len(checkpoints)} checkpoints", file=sys.stderr)

    while True:
        words = read().split()
        if not words or words[0] == "end":
            return
        answers = []
        for _ in range(pods):
            f = read().split()
            if int(f[1]) != team:
                continue
            x, y, vx, vy, angle = map(float, f[2:7])
            tx, ty = checkpoints[int(f[7])]
            heading = math.degrees(math.atan2(ty - y - 2 * vy, tx - x - 2 * vx))
            error = (heading - angle + 540.0) % 360.0 - 180.0
            rotation = max(-18.0, min(18.0, 4.0 * error))
            thrust = 200 if abs(error) < 60 else 40
            answers.append(f"{rotation:.3f} {thrust} 0\n")
        sys.stdout.write("".join(answers))
        sys.stdout.flush()


main()
