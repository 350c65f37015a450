#!/usr/bin/env python3
"""Edits that must hold however the operator's keys and clicks come: an
offset typed and left unfinished while a list button is clicked, Return and
Escape after a button of the cue editor or the OSC manager disabled itself
under the keyboard, a new destination after a deleted one, and a held
Backspace or Delete in the main window, where a held Backspace still erases
in text fields. The saved file shows what stood.

    test_edits_kept.py <tarv_cue> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check
from test_editing import CUE_NEW_OSC, CUE_OK, MAIN_EDIT, Operator

CUES = 6


def write_show(path):
    cues = [e2e.osc_cue("1", "Opening", [(1500, "/opening")]),
            e2e.osc_cue("2", "Single", [(0, "/single")])]
    cues += [e2e.osc_cue(str(n), f"Spare {n}", [(0, "/spare")]) for n in range(3, CUES + 1)]
    e2e.write_cue_file(path, cues, e2e.free_udp_port())
    with open(path) as f:
        document = json.load(f)
    lighting, video = dict(document["network_paths"][0]), dict(document["network_paths"][0])
    lighting.update(name="Lighting desk", network_id="NETWORK1")
    video.update(name="Video", network_id="NETWORK2")
    document["network_paths"] = [lighting, video]
    with open(path, "w") as f:
        json.dump(document, f, indent=4)


def edit_cue(operator, keys_then):
    """Opens the current cue's editor, presses the keys, and returns it."""
    operator.click(operator.main, MAIN_EDIT)
    cue = operator.window("Configure Cue")
    operator.display.key(*keys_then)
    return cue


def closes(operator, window, key, what):
    """The key must close the window, wherever the keyboard focus went."""
    operator.display.settle(window)
    operator.display.key(key)
    closed = e2e.wait_until(lambda: window not in operator.program.other_windows(operator.main),
                            30)
    check(closed, f"{key} did nothing after {what}")
    operator.display.activate(operator.main)


def cue_editor(operator):
    # Eight Tabs from the name field reach the only row's offset field
    # (Move Up and Move Down are disabled); 250 replaces 1500, and New OSC is
    # clicked before the field is left.
    cue = edit_cue(operator, ["Tab"] * 8)
    operator.type("250")
    operator.click(cue, CUE_NEW_OSC)
    operator.click(cue, CUE_OK)
    operator.gone(cue, "cue editor")

    # Move Down on the first of two rows disables itself.
    cue = edit_cue(operator, ["Tab"] * 7 + ["space"])
    closes(operator, cue, "Return", "Move Down onto the last row")

    # Delete on the only event of the second cue disables itself.
    operator.display.key("Down")
    cue = edit_cue(operator, ["Tab"] * 6 + ["Return"])
    closes(operator, cue, "Escape", "deleting the only event")


def osc_manager(operator):
    # Delete the lighting desk (the selected first row), then create the
    # sound desk from New Network, two Tabs back.
    operator.display.key("shift+ctrl+o")
    manager = operator.window("OSC Manager")
    operator.display.key(*["Tab"] * 6, "space", "shift+Tab", "shift+Tab", "space")
    operator.window("Create Network Destination")
    operator.type("Sound desk")
    operator.display.key("Return")
    operator.display.activate(manager)
    operator.display.key("Return")
    operator.gone(manager, "OSC manager")

    # Deleting both rows disables Delete; Escape still cancels.
    operator.display.key("shift+ctrl+o")
    manager = operator.window("OSC Manager")
    operator.display.key(*["Tab"] * 6, "space", "space")
    closes(operator, manager, "Escape", "Delete emptied the destination list")


def held_keys(operator, saved):
    """Held down, Backspace deletes one row; Delete, which deletes nothing in
    the main window, no more than that."""
    for key, deleted in (("BackSpace", [1]), ("Delete", [0, 1])):
        before = len(saved())
        operator.display.hold_key(key, 1.5)
        operator.display.key("ctrl+s")
        operator.display.settle(operator.main)
        after = len(saved())
        check(before - after in deleted, f"holding {key} left {after} of {before} rows")

    # In a text field a held Backspace still erases character after character.
    cue = edit_cue(operator, ["End"])
    operator.display.hold_key("BackSpace", 1.5)
    operator.display.key("Return")
    operator.gone(cue, "cue editor")
    operator.display.key("ctrl+s")
    operator.display.settle(operator.main)
    erased = any(entry["name"] == "" for entry in saved())
    check(erased, "a held Backspace in the name field did not erase the name: " +
          str([entry["name"] for entry in saved()]))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-edits-kept-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    show = os.path.join(home, "show.tarvcue")
    write_show(show)

    def saved():
        with open(show) as f:
            return json.load(f)["main"]["events"]

    operator = Operator(binary, display, home, show)
    try:
        cue_editor(operator)
        osc_manager(operator)
        operator.display.key("ctrl+s")
        operator.display.settle(operator.main)
        with open(show) as f:
            document = json.load(f)
        opening = document["main"]["events"][0]["events"]
        check([(e.get("message"), e["offset"]) for e in opening] == [("", 0), ("/opening", 250)],
              f"the first cue holds {opening}")
        check(opening[1]["network_id"] == "NETWORK1", "the lighting desk's event was changed")
        check(document["main"]["events"][1]["events"] == [], "the only event was not deleted")
        paths = [(p["name"], p["network_id"]) for p in document["network_paths"]]
        check(len(paths) == 2 and paths[0] == ("Video", "NETWORK2") and paths[1][0] == "Sound desk",
              f"the destinations are {paths}")
        check(paths[1][1] != "NETWORK1",
              "the sound desk took NETWORK1, which the lighting desk's event still names")

        held_keys(operator, saved)
        operator.quit()
    finally:
        operator.program.stop()
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
