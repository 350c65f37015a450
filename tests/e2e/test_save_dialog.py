#!/usr/bin/env python3
"""The save dialog as an operator uses it with keyboard and mouse: Tab to
Cancel and Return saves nothing; a folder's name opens the folder; Save As
on an opened show lists its folder and typing replaces its name; New Folder
makes a folder to save into; a cue file whose suffix is in capitals is asked
about; and a show saved under the longest name the dialog takes is saved
again by Ctrl+S.

    test_save_dialog.py <tarv_cue> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check
from test_saving import Operator, SAVE_DIALOG_TITLE, cue_names

# Points to click in the save dialog's own coordinates (560 x 420).
NEW_FOLDER = (494, 28)
MAKE_FOLDER = (499, 28)


def dialog(operator, keys):
    """Gives the keys to the main window and returns the dialog they open."""
    operator.display.activate(operator.main)
    operator.display.key(keys)
    return operator.window(SAVE_DIALOG_TITLE)


def no_error_window(operator, what):
    others = operator.program.other_windows(operator.main)
    names = [operator.display.window_name(w) for w in others]
    check(not others, f"{what}: a window opened {names}:\n" + operator.program.output()[-2000:])


def written(operator, path, what):
    check(e2e.wait_until(lambda: os.path.isfile(path), 5), f"{what}: {path} was not written:\n"
          + operator.program.output()[-2000:])
    return path


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-save-dialog-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    shows = os.path.join(home, "Shows")
    os.makedirs(shows)
    operator = Operator(binary, display, home)
    try:
        operator.delete_first_cue()

        # Tab from the name to Cancel, then Return: nothing is saved.
        window = dialog(operator, "ctrl+s")
        operator.type("Cancelled")
        display.key("Tab", "Return")
        operator.gone(window, "save dialog after Return on Cancel")
        check(os.listdir(home).count("Cancelled.tarvcue") == 0, "Return on Cancel saved the show")

        # A folder's name with a "/" opens the folder; the next name is saved
        # there.
        window = dialog(operator, "ctrl+s")
        operator.type("Shows/")
        display.key("Return")
        operator.type("Opening night")
        display.key("Return")
        operator.gone(window, "save dialog")
        opening = written(operator, os.path.join(shows, "Opening night.tarvcue"),
                          "Return after a folder")
        check(not os.path.exists(os.path.join(shows, ".tarvcue")), "the folder's name was saved")

        # Save As lists the show's folder with its name selected but for the
        # suffix: typing replaces the name.
        window = dialog(operator, "ctrl+shift+a")
        operator.type("Premiere")
        display.key("Return")
        operator.gone(window, "save dialog")
        written(operator, os.path.join(shows, "Premiere.tarvcue"), "Save As with a typed name")

        # New Folder, by the mouse, then keys: the show goes into the folder.
        window = dialog(operator, "ctrl+shift+a")
        operator.click(window, NEW_FOLDER)
        operator.type("Act 3")
        display.key("Return")
        act3 = os.path.join(shows, "Act 3")
        check(e2e.wait_until(lambda: os.path.isdir(act3), 5), "New Folder made no folder:\n"
              + operator.program.output()[-2000:])
        operator.type("Finale")
        display.key("Return")
        operator.gone(window, "save dialog")
        written(operator, os.path.join(act3, "Finale.tarvcue"), "Save into a new folder")

        # A second folder made by a click on Make, and left by Escape.
        window = dialog(operator, "ctrl+shift+a")
        operator.click(window, NEW_FOLDER)
        operator.type("Act 4")
        operator.click(window, MAKE_FOLDER)
        check(e2e.wait_until(lambda: os.path.isdir(os.path.join(act3, "Act 4")), 5),
              "Make made no folder")
        display.key("Escape")
        operator.gone(window, "save dialog after Escape")

        # The longest name the dialog takes is saved, and saved again.
        longest = "n" * 247
        window = dialog(operator, "ctrl+shift+a")
        operator.type(longest)
        display.key("Return")
        operator.gone(window, "save dialog")
        path = written(operator, os.path.join(act3, longest + ".tarvcue"), "the longest name")
        operator.delete_first_cue()
        display.key("ctrl+s")
        check(e2e.wait_until(lambda: cue_names(path) == ["Third Cue"], 5),
              "Ctrl+S did not save the show of the longest name again:\n"
              + operator.program.output()[-2000:])
        no_error_window(operator, "Ctrl+S on the longest name")

        # A cue file with its suffix in capitals is asked about: the first
        # Return leaves it, the second replaces it.
        capitals = os.path.join(act3, "plain.TARVCUE")
        with open(capitals, "w") as f:
            f.write("{}")
        window = dialog(operator, "ctrl+shift+a")
        display.key("ctrl+a")  # the whole name, suffix and all
        operator.type("plain.TARVCUE")
        display.key("Return")
        replaced = lambda: open(capitals).read() != "{}"
        check(not e2e.wait_until(lambda: replaced() or window not in
                                 operator.program.other_windows(operator.main), 2),
              "plain.TARVCUE was replaced without asking")
        display.key("Return")
        operator.gone(window, "save dialog after Replace")
        check(e2e.wait_until(replaced, 5), "Replace did not replace plain.TARVCUE")
        with open(capitals) as f:
            check(len(json.load(f)["main"]["events"]) == 1, "plain.TARVCUE holds another show")
        check(cue_names(opening) == ["Second Cue", "Third Cue"], "a later save changed the first")
    finally:
        operator.stop()
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
