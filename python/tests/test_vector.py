import numpy as np
import pytest

import vuzuder


def run(threads, steps=400, seed=5, n=6):
    vec = vuzuder.VectorRace(n, track=["boomerang", "random"], seed=seed, threads=threads,
                             max_turns=150)
    rng = np.random.default_rng(0)
    obs, _ = vec.reset(seed=seed)
    out = [(obs,)]
    endings = []
    for step in range(steps):
        actions = rng.uniform([-18, 0, -2], [18, 200, 1], size=(n, 2, 3))
        obs, rewards, terminated, truncated, info = vec.step(actions)
        out.append((obs, rewards, terminated, truncated))
        if "final_observation" in info:
            for i in np.flatnonzero(info["_final_observation"]):
                endings.append((step, i, info["final_info"][i]["winner"],
                                info["final_observation"][i].copy()))
    return out, endings, vec


def same(a, b):
    return all(np.array_equal(x, y) for s, t in zip(a, b) for x, y in zip(s, t))


def test_shapes_autoreset_and_seed():
    out, endings, vec = run(1)
    assert vec.single_observation_space.shape == (49,)
    assert vec.action_space.shape == (6, 2, 3)
    obs, rewards, terminated, truncated = out[-1]
    assert obs.shape == (6, 49) and obs.dtype == np.float32
    assert rewards.shape == (6,) and terminated.dtype == bool and truncated.dtype == bool
    # Random commands rarely finish in 150 turns: races end at the cap, are
    # reported with their last observation, and start again from the grid.
    step, i, winner, final = endings[0]
    assert final.shape == (49,) and final[-1] == pytest.approx(1.0)
    assert out[step + 1][3][i] and out[step + 1][0][i][-1] == 0.0
    assert same(out, run(1)[0])
    assert not np.array_equal(obs, run(1, seed=6)[0][-1][0])


def test_threads_give_identical_races():
    one, ends1, _ = run(1, steps=200, n=7)
    three, ends3, _ = run(3, steps=200, n=7)
    assert same(one, three)
    assert [e[:3] for e in ends1] == [e[:3] for e in ends3]


def test_races_given_the_same_seed_play_the_same_race():
    vec = vuzuder.VectorRace(4, track="random")
    obs, _ = vec.reset(options={"seeds": [7, 8, 7, 8]})
    race = vuzuder.Race(track="random")
    alone, _ = race.reset(seed=8)
    action = [[3.0, 120.0, 0.0], [-5.0, 180.0, 0.0]]
    for _ in range(50):
        obs, *_ = vec.step(np.tile(action, (4, 1, 1)))
        alone, *_ = race.step(action)
    assert np.array_equal(obs[0], obs[2]) and np.array_equal(obs[1], obs[3])
    assert not np.array_equal(obs[0], obs[1])
    assert np.array_equal(obs[1], alone)  # a race's seed plays as in Race


def test_bad_vector_inputs():
    vec = vuzuder.VectorRace(2, track="boomerang")
    with pytest.raises(ValueError, match=r"shape \(2, 2, 3\)"):
        vec.step(np.zeros((3, 2, 3)))
    before = vec.states()
    bad = np.tile([0.0, 100.0, 0.0], (2, 2, 1))
    bad[1, 0, 2] = np.nan
    with pytest.raises(ValueError, match="race 1, pod 0"):
        vec.step(bad)
    bad[1, 0, 2], bad[1, 1, 0] = 0.0, -np.inf
    with pytest.raises(ValueError, match="race 1, pod 1"):
        vec.step(bad)
    assert np.array_equal(vec.states(), before)  # no race took a step
    with pytest.raises(ValueError, match="at least 1"):
        vuzuder.VectorRace(0)
    with pytest.raises(ValueError, match="threads"):
        vuzuder.VectorRace(2, threads=0)
    with pytest.raises(ValueError, match="2 seeds"):
        vec.reset(options={"seeds": [1]})
