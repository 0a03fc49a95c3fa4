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
    # Positions are in 10000 units, velocities in 1000 units/s: a second of
    # drift moves the pod by 0.1 v. Will the drift of the next 2 s carry the
    # pod through its next checkpoint (within 500 units of its centre)?
    dx, dy = 0.1 * vx, 0.1 * vy
    t = np.clip((nx * dx + ny * dy) / (dx * dx + dy * dy + 1e-12), 0.0, 2.0)
    passing = np.hypot(nx - dx * t, ny - dy * t) < 0.05
    # Then head for the checkpoint after it already; aim where the target
    # will be relative to the pod after 3 s of drift.
    tx, ty = np.where(passing, ax, nx), np.where(passing, ay, ny)
    aim = np.arctan2(ty - 0.3 * vy, tx - 0.3 * vx)
    to_next = np.arctan2(ny, nx)
    to_after = np.arctan2(ay, ax)
    shield = obs[..., 6:own * POD_FIELDS:POD_FIELDS].astype(np.float64)
    return np.stack([aim / np.pi, to_next / np.pi, to_after / np.pi, np.hypot(nx, ny),
                     vx, vy, np.cos(aim), passing.astype(np.float64), shield,
                     np.ones_like(nx)], axis=-1)


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
    """A mean to start the search from: turn towards the aim, thrust as far as
    the pod faces it, no shield."""
    w = np.zeros((OUTPUTS, FEATURES))
    w[0, 0] = 20.0
    w[1, 6] = 10.0
    w[1, 9] = -4.0
    w[2, 9] = -3.0
    return w
