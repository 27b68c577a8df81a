#!/usr/bin/python3
# A screen reader's view of CV Remote over the real accessibility bus (AT-SPI): finds the remote
# window's "Volume up" key among the program's accessible objects and presses it through its
# action, as a screen reader does. Prints what it did; exits 1 when the key cannot be found.
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# Debian 12's Atspi marks the action names as old in favour of a call its Python binding cannot
# reach on the object itself.
warnings.filterwarnings("ignore", category=DeprecationWarning)


def find(node, test, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if test(node):
            return node
        for i in range(node.get_child_count()):
            found = find(node.get_child_at_index(i), test, depth + 1)
            if found is not None:
                return found
    except gi.repository.GLib.Error:
        return None
    return None


def main():
    patience = float(sys.argv[1]) if len(sys.argv) > 1 else 60
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        key = find(desktop, lambda n: n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() == "Volume up")
        if key is not None:
            # The object is its own action interface.
            names = [key.get_action_name(i) for i in range(key.get_n_actions())]
            index = names.index("Press") if "Press" in names else 0
            print("found", key.get_name(), "with actions", names, "description", key.get_description())
            key.do_action(index)
            return 0
        time.sleep(0.2)
    print("no 'Volume up' button on the accessibility bus", file=sys.stderr)
    return 1


sys.exit(main())
