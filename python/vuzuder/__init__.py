"""The Vuzuder UR race engine as a Python library, for training racing AIs.

Race: one race on Gymnasium's API. VectorRace: n races stepped in C++ per
call. serve_bot: a policy as a line-protocol bot. See docs/PYTHON.md.
"""

import numpy as np

from . import _core
from ._core import BotError, BotObserver, driver_names, max_turns, track_names
from .bot import serve_bot
from .spaces import Box, box

__all__ = ["Race", "VectorRace", "serve_bot", "BotError", "Box", "driver_names",
           "track_names", "max_turns", "ACTION_LOW", "ACTION_HIGH"]

# Per pod: rotation (degrees per second), thrust, shield (0 or not).
ACTION_LOW = np.array([-18.0, 0.0, 0.0], dtype=np.float32)
ACTION_HIGH = np.array([18.0, 200.0, 1.0], dtype=np.float32)


def _action_box(pods, prefix=()):
    shape = tuple(prefix) + (pods, 3)
    return box(np.broadcast_to(ACTION_LOW, shape), np.broadcast_to(ACTION_HIGH, shape), shape)


class _NothingToRender:
    """What Gymnasium's environments have beyond reset and step: no window."""

    render_mode = None

    @property
    def unwrapped(self):
        return self

    def render(self):
        return None

    def close(self):
        pass


class Race(_NothingToRender, _core.Race):
    """One race: the learner drives one team (one pod in time attack).

    Race(track=None, opponent="Steering heuristics", bot=None, team=0,
         time_attack=False, think_evals=15000, speed="x2", max_turns=0,
         seed=0, name="python", record=True, tracks_dir="",
         bot_first_ms=1000, bot_turn_ms=50)
    """

    metadata = {"render_modes": []}
    # Gymnasium's registration record (its EnvSpec), set by gymnasium.make.
    spec = None

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        size = self.observation_size
        self.observation_space = box(-np.inf, np.inf, (size,))
        self.action_space = _action_box(self.own_pods)


class VectorRace(_NothingToRender, _core.VectorRace):
    """n races stepped together in C++, reset automatically when they end.

    VectorRace(n, track=None, opponent="Steering heuristics", team=0,
               time_attack=False, think_evals=15000, speed="x2", max_turns=0,
               seed=0, threads=1, tracks_dir="")
    """

    metadata = {"render_modes": [], "autoreset_mode": "same-step"}

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        size = self.observation_size
        self.single_observation_space = box(-np.inf, np.inf, (size,))
        self.single_action_space = _action_box(self.own_pods)
        self.observation_space = box(-np.inf, np.inf, (self.num_envs, size))
        self.action_space = _action_box(self.own_pods, (self.num_envs,))


def _register():
    try:
        import gymnasium
    except ImportError:
        return
    if "vuzuder/Race-v0" not in gymnasium.envs.registry:
        gymnasium.register(id="vuzuder/Race-v0", entry_point="vuzuder:Race")


_register()
