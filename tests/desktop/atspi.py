"""What the desktop tests share for reaching the shop over AT-SPI, as an assistive client does."""
import time
import warnings

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

warnings.simplefilter("ignore", DeprecationWarning)


def find(node, pred, depth=0):
    """The first node below node (itself included) for which pred holds, or None."""
    if node is None or depth > 14:
        return None
    try:
        if pred(node):
            return node
        for i in range(node.get_child_count()):
            hit = find(node.get_child_at_index(i), pred, depth + 1)
            if hit is not None:
                return hit
    except Exception:
        return None
    return None


def search(pred, timeout=20.0):
    """The first node of any application on the desktop for which pred holds, waiting for it."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            hit = find(desktop.get_child_at_index(i), pred)
            if hit is not None:
                return hit
        time.sleep(0.2)
    return None


def actions(node):
    action = node.get_action_iface()
    if action is None:
        return action, []
    return action, [action.get_action_name(i).lower() for i in range(action.get_n_actions())]


def pressable(node):
    return "press" in actions(node)[1]


def press(node):
    action, names = actions(node)
    assert "press" in names, names
    assert action.do_action(names.index("press"))
