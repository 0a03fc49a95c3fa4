import os
import sys

import pytest

# The tests read the shipped tracks: run them from the repository root.
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
os.chdir(ROOT)
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))


@pytest.fixture
def arena():
    path = os.environ.get("VUZUDER_ARENA", os.path.join(ROOT, "build/tools/arena/vuzuder-arena"))
    if not os.path.exists(path):
        pytest.skip("no vuzuder-arena built")
    return path
