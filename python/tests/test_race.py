import json
import os
import subprocess
import sys

import numpy as np
import pytest

import vuzuder
from steer_policy import policy


def play(race, seed, limit=100000):
    obs, info = race.reset(seed=seed)
    observations, rewards = [obs], []
    for _ in range(limit):
        obs, reward, terminated, truncated, info = race.step(policy(obs, race.own_pods))
        observations.append(obs)
        rewards.append(reward)
        if terminated or truncated:
            return np.array(observations), np.array(rewards), terminated, truncated, info
    raise AssertionError("the race did not end")


def test_contract_shapes_spaces_and_seeds():
    race = vuzuder.Race(track="random")
    assert race.observation_space.shape == (49,)
    assert race.observation_space.dtype == np.float32
    assert race.action_space.shape == (2, 3)
    assert list(race.action_space.high[0]) == [18, 200, 1]
    obs, info = race.reset(seed=3)
    assert obs.dtype == np.float32 and obs.shape == (49,)
    assert info["state"].shape == (4, 12)
    a = play(race, 11)
    b = play(race, 11)
    c = play(race, 12)
    assert np.array_equal(a[0], b[0]) and np.array_equal(a[1], b[1])
    assert a[4]["track"] != c[4]["track"]  # a random track per seed
    # The race ends by a win or a loss: terminated, with the ±1 in the reward.
    _, rewards, terminated, truncated, info = a
    assert terminated and not truncated
    assert abs(rewards[-1]) >= 1.0 and info["winner"] in (0, 1)


def test_turn_cap_truncates():
    race = vuzuder.Race(track="boomerang", max_turns=5)
    race.reset(seed=1)
    for turn in range(5):
        _, _, terminated, truncated, info = race.step(np.zeros((2, 3)))
    assert truncated and not terminated and info["turn"] == 5
    with pytest.raises(ValueError, match="reset"):
        race.step(np.zeros((2, 3)))


def test_state_and_trace_hold_the_race_exactly(tmp_path):
    race = vuzuder.Race(track="boomerang")
    race.reset(seed=1)
    race.step([[18, 200, 0], [-18, 200, 0]])
    *_, info = race.step([[5.3, 100, 1], [-3, 50, 0]])
    path = tmp_path / "trace.jsonl"
    race.save_trace(str(path))
    lines = path.read_text().splitlines()
    header, last = json.loads(lines[0]), json.loads(lines[-1])
    assert header["format"] == "vuzuder-trace" and header["teams"] == ["python", "Steering heuristics"]
    assert len(lines) == 3 and last["influences"][0] == [5.3, 100, True]
    keys = ["id", "team", "x", "y", "vx", "vy", "angle", "nextCheckpoint",
            "checkpointsCleared", "shieldCooldown", "timeout", "engine"]
    traced = np.array([[p[k] for k in keys] for p in last["pods"]], dtype=np.float32)
    assert np.array_equal(info["state"], traced.astype(np.float64))


def test_self_play_and_time_attack():
    race = vuzuder.Race(track="boomerang", opponent="self")
    race.reset(seed=1)
    obs, reward, *_ = race.step(np.zeros((2, 3)), [[0, 200, 0], [0, 200, 0]])
    assert race.observation(1)[2] > 0  # the other team moved forward in its own frame
    with pytest.raises(ValueError, match="self-play"):
        race.step(np.zeros((2, 3)))
    solo = vuzuder.Race(track="boomerang", time_attack=True, opponent=None)
    assert solo.action_space.shape == (1, 3) and solo.observation_space.shape == (16,)
    obs, reward, terminated, truncated, info = solo.step([0, 200, 0])
    assert info["state"].shape == (1, 12)


@pytest.mark.parametrize("kwargs, error, message", [
    (dict(opponent="Nobody"), ValueError, "unknown driver 'Nobody'"),
    (dict(track="nowhere"), ValueError, "unknown track 'nowhere'"),
    (dict(track="/nonexistent/x.prt"), ValueError, "invalid track"),
    (dict(track=3), TypeError, "track must be"),
    (dict(speed="x9"), ValueError, "unknown speed"),
    (dict(think_evals=0), ValueError, "think_evals"),
    (dict(team=2), ValueError, "team must be"),
    (dict(bot="python3 'unterminated"), ValueError, "bad bot command"),
])
def test_bad_settings_raise(kwargs, error, message):
    with pytest.raises(error, match=message):
        vuzuder.Race(**kwargs)


def test_bad_track_file_raises(tmp_path):
    bad = tmp_path / "bad.prt"
    bad.write_text("Bad\n0 [1,2 200\n")
    with pytest.raises(ValueError, match="invalid track"):
        vuzuder.Race(track=str(bad))


def test_the_games_tracks_are_found_from_any_folder(tmp_path):
    names = subprocess.run(
        [sys.executable, "-c", "import vuzuder; print(vuzuder.track_names())"],
        cwd=tmp_path, capture_output=True, text=True, check=True).stdout
    assert names.strip() == str(vuzuder.track_names())


# gymnasium is not packaged here: a stand-in with its API's shape (registry,
# register, spaces.Box) checks that vuzuder registers itself and uses real spaces.
GYM_STAND_IN = {
    "__init__.py": "from . import envs, spaces\n"
                   "def register(id, entry_point, **kwargs):\n"
                   "    envs.registry[id] = entry_point\n",
    "envs.py": "registry = {}\n",
    "spaces.py": "import numpy as np\n"
                 "class Box:\n"
                 "    def __init__(self, low, high, shape=None, dtype=np.float32, seed=None):\n"
                 "        self.low, self.high, self.shape, self.dtype = low, high, shape, dtype\n",
}


def test_with_gymnasium_the_race_registers_and_uses_its_spaces(tmp_path):
    gym = tmp_path / "gymnasium"
    gym.mkdir()
    for name, text in GYM_STAND_IN.items():
        (gym / name).write_text(text)
    check = ("import gymnasium, vuzuder; r = vuzuder.Race(track='boomerang');"
             "print(gymnasium.envs.registry['vuzuder/Race-v0'],"
             " type(r.action_space).__module__, r.action_space.shape)")
    env = dict(os.environ, PYTHONPATH=f"{tmp_path}{os.pathsep}{os.environ['PYTHONPATH']}")
    out = subprocess.run([sys.executable, "-c", check], env=env, capture_output=True,
                         text=True, check=True).stdout
    assert out.split() == ["vuzuder:Race", "gymnasium.spaces", "(2,", "3)"]


@pytest.mark.parametrize("action, error, message", [
    (np.zeros((3, 3)), ValueError, r"shape \(2, 3\), got \(3, 3\)"),
    ([[0, 0, 0]], ValueError, "shape"),
    ([[np.nan, 0, 0], [0, 0, 0]], ValueError, "NaN or infinity"),
    ([[0, 0, 0], [0, np.inf, 0]], ValueError, r"NaN or infinity \(pod 1\)"),
    (np.array([["a", "b", "c"]] * 2), TypeError, "real numbers"),
    (np.zeros((2, 3), dtype=complex), TypeError, "real numbers"),
    (object(), TypeError, ""),
])
def test_bad_actions_raise(action, error, message):
    race = vuzuder.Race(track="boomerang")
    race.reset(seed=1)
    with pytest.raises(error, match=message):
        race.step(action)
    race.step(np.zeros((2, 3)))  # still usable


def test_bot_that_fails_raises():
    race = vuzuder.Race(track="boomerang", bot="/nonexistent/bot")
    race.reset(seed=1)
    with pytest.raises(vuzuder.BotError, match="could not start"):
        race.step(np.zeros((2, 3)))
    race = vuzuder.Race(track="boomerang", bot="sh -c 'read x; echo nonsense'")
    race.reset(seed=1)
    with pytest.raises(vuzuder.BotError, match="field count"):
        race.step(np.zeros((2, 3)))
