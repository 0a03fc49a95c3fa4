"""The trained policy as a bot: python3 policy_bot.py [weights.npz]"""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vuzuder  # noqa: E402
from policy import act  # noqa: E402

path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "policy.npz")
weights = np.load(path)["weights"]
vuzuder.serve_bot(lambda obs: act(weights, obs))
