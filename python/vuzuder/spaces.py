"""Box spaces with Gymnasium's attributes, for when gymnasium is not installed."""

import numpy as np


class Box:
    """A box of real vectors: shape, dtype, low and high, as gymnasium.spaces.Box."""

    def __init__(self, low, high, shape=None, dtype=np.float32, seed=None):
        self.dtype = np.dtype(dtype)
        if shape is None:
            shape = np.shape(low)
        self.shape = tuple(int(d) for d in shape)
        self.low = np.broadcast_to(np.asarray(low, dtype=self.dtype), self.shape).copy()
        self.high = np.broadcast_to(np.asarray(high, dtype=self.dtype), self.shape).copy()
        self._rng = np.random.default_rng(seed)

    def seed(self, seed=None):
        self._rng = np.random.default_rng(seed)
        return [seed]

    def sample(self):
        low = np.where(np.isfinite(self.low), self.low, -1.0)
        high = np.where(np.isfinite(self.high), self.high, 1.0)
        return self._rng.uniform(low, high).astype(self.dtype)

    def contains(self, x):
        x = np.asarray(x)
        return (x.shape == self.shape and np.can_cast(x.dtype, self.dtype, "same_kind")
                and bool(np.all(x >= self.low)) and bool(np.all(x <= self.high)))

    __contains__ = contains

    def __repr__(self):
        return f"Box({self.low.min()}, {self.high.max()}, {self.shape}, {self.dtype})"


def box(low, high, shape, dtype=np.float32):
    """gymnasium.spaces.Box when gymnasium is importable, else the Box above."""
    try:
        from gymnasium.spaces import Box as GymBox
    except ImportError:
        return Box(low, high, shape, dtype)
    return GymBox(np.broadcast_to(np.asarray(low, dtype), shape),
                  np.broadcast_to(np.asarray(high, dtype), shape), shape, dtype)
