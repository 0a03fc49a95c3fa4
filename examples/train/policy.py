"""The trained driver: a linear policy over a few features of each own pod.

Shared by train.py (on thousands of races at once) and policy_bot.py (one
race through the bot protocol). numpy only.
"""

import numpy as np

FEATURES = 10
OUTPUTS = 3  # rotation, thrust, shield
POD_FIELDS = 9
OWN_FIELDS = 6


def features(obs, pods=4, own=2):
    """[..., own, FEATURES] from observations [..., D] (docs/PYTHON.md)."""
    start = pods * POD_FIELDS
    o = obs[..., start:start + own * OWN_FIELDS].reshape(obs.shape[:-1] + (own, OWN_FIELDS))
    o = o.astype(np.float64)
    nx, ny, ax, ay, vx, vy = (o[..., k] for k in range(6))
    to_next = np.arctan2(ny, nx)
    to_after = np.arctan2(ay, ax)
    # The pod drifts: aim where the checkpoint will be relative to it in about
    # 3 s (velocities are in 1000 units/s, positions in 10000 units).
    aim = np.arctan2(ny - 0.3 * vy, nx - 0.3 * vx)
    shield = obs[..., 6:own * POD_FIELDS:POD_FIELDS].astype(np.float64)
    return np.stack([aim / np.pi, to_next / np.pi, to_after / np.pi, np.hypot(nx, ny),
                     vx, vy, np.cos(aim), np.cos(to_next), shield, np.ones_like(nx)], axis=-1)


def act(weights, obs, pods=4, own=2):
    """Commands [..., own, 3] for observations [..., D]; weights [..., 3, FEATURES]
    (one set for all, or one per leading index)."""
    f = features(obs, pods, own)
    w = np.asarray(weights, dtype=np.float64)
    if w.ndim == 2:
        out = np.einsum("...pf,of->...po", f, w)
    else:
        out = np.einsum("npf,nof->npo", f, w)
    rotation = 18.0 * np.tanh(out[..., 0])
    thrust = 200.0 / (1.0 + np.exp(-out[..., 1]))
    shield = (out[..., 2] > 0.0).astype(np.float64)
    return np.stack([rotation, thrust, shield], axis=-1)


def start_weights():
    """A mean to start the search from: turn towards the next checkpoint, full
    thrust, no shield."""
    w = np.zeros((OUTPUTS, FEATURES))
    w[0, 0] = 6.0
    w[1, 6] = 6.0
    w[1, 9] = -3.0
    w[2, 9] = -3.0
    return w
