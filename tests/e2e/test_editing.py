#!/usr/bin/env python3
"""Editing with keys and clicks: a new cue with an OSC event, a changed wait
time and a renamed cue, saved with Ctrl+S; the program quits without asking,
and the file, opened again, holds the changes. A second save without changes
writes the same bytes.

    test_editing.py <tarv_cue> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check

# Points to click, in the windows' own coordinates; every window has a fixed
# layout (the main window opens at 1280 x 720).
MAIN_NEW_CUE, MAIN_EDIT = (47, 73), (284, 73)
CUE_NEW_OSC, CUE_FIRST_CONFIGURE, CUE_OK = (46, 110), (628, 200), (681, 475)


class Operator(e2e.Operator):
    def __init__(self, binary, display, home, show):
        super().__init__(display, e2e.Program(binary, display, home, [show]))

    def gone(self, window, what, then=None):
        """Waits for the window to close, then activates the window it
        returns to: the main window, or the dialog that opened it (while a
        dialog is open, the window manager keeps the main window from the
        keyboard)."""
        super().gone(window, what)
        self.display.activate(then or self.main)

    def quit(self):
        self.display.close(self.main)
        code = self.program.wait_exit(60)
        check(code == 0, f"quitting ended with {code} (unsaved changes?):\n" +
              self.program.output()[-2000:])


def edit(operator):
    # A new cue after the first one, named, with an OSC event.
    operator.click(operator.main, MAIN_NEW_CUE)
    cue = operator.window("Configure Cue")
    operator.type("Storm")  # the name field has the keys, its text selected
    operator.click(cue, CUE_NEW_OSC)
    operator.click(cue, CUE_FIRST_CONFIGURE)
    osc = operator.window("Configure OSC Function")
    operator.type("/storm/start 1")
    operator.display.key("Return")
    operator.gone(osc, "OSC event editor", then=cue)
    operator.click(cue, CUE_OK)
    operator.gone(cue, "cue editor")

    # The WAIT after it: 2.5 s.
    operator.display.key("Down")
    operator.click(operator.main, MAIN_EDIT)
    wait = operator.window("Configure Wait Function")
    operator.type("2.5")
    operator.display.key("Return")
    operator.gone(wait, "wait editor")

    # The last cue renamed.
    operator.display.key("Down")
    operator.click(operator.main, MAIN_EDIT)
    cue = operator.window("Configure Cue")
    operator.type("Finale")
    operator.display.key("Return")
    operator.gone(cue, "cue editor")

    operator.display.key("ctrl+s")
    operator.display.settle(operator.main)


def summary(path):
    with open(path) as f:
        entries = json.load(f)["main"]["events"]
    return [(e["type"], e["name"], e.get("wait_time"),
             [(x["type"], x.get("network_id"), x.get("message")) for x in e.get("events", [])])
            for e in entries]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-editing-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    show = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(show, [e2e.osc_cue("1", "Intro", [(0, "/intro")]), e2e.wait_entry(1000),
                              e2e.osc_cue("2", "Scene", [(0, "/scene")])], e2e.free_udp_port())

    operator = Operator(binary, display, home, show)
    try:
        edit(operator)
        operator.quit()
    finally:
        operator.program.stop()
    expected = [
        ("GROUP", "Intro", None, [("OSC", "NETWORK1", "/intro")]),
        ("GROUP", "Storm", None, [("OSC", "NETWORK1", "/storm/start 1")]),
        ("WAIT", "Wait for 2.5 seconds then execute next!", 2500, []),
        ("GROUP", "Finale", None, [("OSC", "NETWORK1", "/scene")]),
    ]
    saved = summary(show)
    check(saved == expected, f"the saved file holds {saved}")

    with open(show, "rb") as f:
        first = f.read()
    written = lambda: (os.stat(show).st_ino, os.stat(show).st_mtime_ns)
    before = written()
    operator = Operator(binary, display, home, show)
    try:
        display.key("ctrl+s")
        check(e2e.wait_until(lambda: written() != before, 30),
              "Ctrl+S on the reopened file wrote nothing")
        operator.quit()
    finally:
        operator.program.stop()
    with open(show, "rb") as f:
        check(f.read() == first, "saving the unchanged file wrote other bytes")
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
