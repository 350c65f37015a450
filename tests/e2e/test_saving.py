#!/usr/bin/env python3
"""Saving a new show as a newcomer does: no file, an edit, Ctrl+S, a typed
name and a click on the dialog's Save button; the file opens again with the
same cues and the list is clean. Save As under a second name takes Return.
New and closing on an unsaved new show save through the same dialog ("Save
And Continue", "Save And Close"). Space pressed while a load or a save
holds the window fires no cue afterwards.

    test_saving.py <tarv_cue> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check

# Points to click, in the windows' own coordinates (fixed layouts: the main
# window opens at 1280 x 720, the save dialog at 560 x 420).
MAIN_DELETE = (205, 73)
SAVE_DIALOG_SAVE = (499, 392)
SAVE_DIALOG_TITLE = "Save Cue File"


class Operator(e2e.Operator):
    """The program with no file, its home folder (where the save dialog
    starts) the test's own."""

    def __init__(self, binary, display, home, arguments=(), cwd=None):
        self.home = home
        super().__init__(display, e2e.Program(binary, display, home, list(arguments),
                                              environment={"HOME": home}, cwd=cwd))

    def delete_first_cue(self):
        self.display.activate(self.main)
        self.click(self.main, MAIN_DELETE)

    def save_as(self, name, by_click=True):
        """Types the name into the open save dialog and accepts it."""
        dialog = self.window(SAVE_DIALOG_TITLE)
        self.type(name)
        if by_click:
            self.click(dialog, SAVE_DIALOG_SAVE)
        else:
            self.display.key("Return")
        self.gone(dialog, "save dialog")
        return os.path.join(self.home, name + ".tarvcue")

    def answer_prompt(self, key):
        prompt = e2e.wait_until(lambda: self.program.other_windows(self.main), 30)
        check(len(prompt) == 1, "no unsaved-changes prompt:\n" + self.program.output()[-2000:])
        self.display.activate(prompt[0])
        self.display.key(key)

    def quit_clean(self, what):
        """Closes the window; a clean list closes at once, without a prompt."""
        self.display.close(self.main)
        code = self.program.wait_exit(60)
        check(code == 0, f"{what}: closing ended with {code} (a prompt?):\n" +
              self.program.output()[-2000:])

    def stop(self):
        self.program.stop()


def cue_names(path):
    # The dialog is gone as the window begins the save, which a busy
    # machine's disk may hold up a while.
    check(e2e.wait_until(lambda: os.path.isfile(path), 30), f"{path} was not written")
    with open(path) as f:
        return [e["name"] for e in json.load(f)["main"]["events"]]


def saved_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def new_show_saved_and_saved_as(binary, display, home):
    operator = Operator(binary, display, home)
    try:
        operator.delete_first_cue()
        display.key("ctrl+s")
        first = operator.save_as("First Show")
        check(cue_names(first) == ["Second Cue", "Third Cue"],
              f"the first save holds {cue_names(first)}")

        display.key("ctrl+shift+a")
        second = operator.save_as("Second Show", by_click=False)
        check(cue_names(second) == ["Second Cue", "Third Cue"],
              f"Save As wrote {cue_names(second)}")

        # Save now goes to the second name without asking.
        operator.delete_first_cue()
        display.key("ctrl+s")
        check(e2e.wait_until(lambda: cue_names(second) == ["Third Cue"], 30),
              f"Ctrl+S after Save As wrote {cue_names(second)}")
        check(cue_names(first) == ["Second Cue", "Third Cue"], "Save As changed the first file")
        operator.quit_clean("after the saves")
    finally:
        operator.stop()

    # Opened again and saved unchanged, the file keeps its bytes: the same
    # cues came back.
    before = saved_bytes(first)
    operator = Operator(binary, display, home, [first])
    try:
        written = os.stat(first).st_mtime_ns
        display.key("ctrl+s")
        check(e2e.wait_until(lambda: os.stat(first).st_mtime_ns != written, 30),
              "Ctrl+S on the reopened file wrote nothing")
        operator.quit_clean("the reopened file")
    finally:
        operator.stop()
    check(saved_bytes(first) == before, "the reopened file saved other cues")


def save_and_continue(binary, display, home):
    operator = Operator(binary, display, home)
    try:
        operator.delete_first_cue()
        display.key("ctrl+n")
        operator.answer_prompt("Return")  # Save And Continue
        path = operator.save_as("Third Show")
        check(cue_names(path) == ["Second Cue", "Third Cue"],
              f"Save And Continue wrote {cue_names(path)}")
        # The new list is the default one, and clean: saved under another
        # name it holds the three default cues.
        display.activate(operator.main)
        display.key("ctrl+s")
        fresh = operator.save_as("Fresh Show")
        check(cue_names(fresh) == ["First Cue", "Second Cue", "Third Cue"],
              f"the list after Save And Continue is no new one: {cue_names(fresh)}")
        operator.quit_clean("the list after Save And Continue")
    finally:
        operator.stop()


def save_and_close(binary, display, home):
    operator = Operator(binary, display, home)
    try:
        # A save dialog cancelled before leaves nothing behind that stops
        # the later one.
        display.key("ctrl+s")
        cancelled = operator.window(SAVE_DIALOG_TITLE)
        display.key("Escape")
        operator.gone(cancelled, "save dialog")
        operator.delete_first_cue()
        display.close(operator.main)
        operator.answer_prompt("Return")  # Save And Close
        path = operator.save_as("Fourth Show")
        code = operator.program.wait_exit(60)
        check(code == 0, f"Save And Close ended with {code}:\n" + operator.program.output()[-2000:])
        check(cue_names(path) == ["Second Cue", "Third Cue"],
              f"Save And Close wrote {cue_names(path)}")
    finally:
        operator.stop()


def large_show(folder, receiver):
    """A show large enough that opening or saving it holds the window for a
    while, yet within the size limit; each cue sends "/cue/<number>"."""
    os.makedirs(folder, exist_ok=True)
    show = os.path.join(folder, "large.tarvcue")
    cues = [e2e.osc_cue(str(n), f"Cue {n}", [(0, f"/cue/{n}")]) for n in range(1, 60001)]
    e2e.write_cue_file(show, cues, receiver.port)
    check(os.path.getsize(show) < 64 * 1024 * 1024, "the large show is past the size limit")
    return show


def go_presses_during_a_load(binary, display, home):
    """Space pressed right after the open dialog's Return fires nothing once
    the large show is open; Space pressed afterwards fires its first cue."""
    receiver = e2e.OscReceiver()
    folder = os.path.join(home, "large")
    large_show(folder, receiver)
    # File > Open starts in the open show's folder, not the working one:
    # there the large show sorts first, and Return opens it.
    small = os.path.join(folder, "small.tarvcue")
    e2e.write_cue_file(small, [e2e.osc_cue("1", "Small", [(0, "/small/1")])], receiver.port)
    operator = Operator(binary, display, home, [small])
    try:
        display.key("ctrl+o")
        # The dialog lives inside the main window: it is there once it lists
        # the folder (and watches it), and drawn once the program settles.
        check(e2e.wait_until(lambda: operator.program.watches_folder(folder), 60),
              "Ctrl+O showed no open dialog listing the working folder")
        display.settle(operator.main)
        display.run("xdotool", "key", "--delay", "5", "Return", "space", "space", "space")
        # Queued behind the presses, the OSC manager's key shows when the
        # load is over and the presses have been handled.
        display.key("shift+ctrl+o")
        manager = e2e.wait_until(lambda: operator.program.other_windows(operator.main), 60)
        check(manager, "the OSC manager did not open after the load:\n" +
              operator.program.output()[-2000:])
        display.settle(manager[0])
        fired = receiver.receive(1.0)
        check(fired is None, f"Space pressed during the load fired {fired} afterwards")
        display.close(manager[0])
        operator.gone(manager[0], "OSC manager")
        display.activate(operator.main)
        display.key("space")
        fired = receiver.receive(30)
        check(fired == "/cue/1", f"Space after the load sent {fired}, not the first cue")
    finally:
        operator.stop()


def go_presses_during_a_save(binary, display, home):
    """Space pressed right after Ctrl+S on the large show fires nothing;
    Space pressed afterwards fires the first cue."""
    receiver = e2e.OscReceiver()
    show = large_show(home, receiver)
    operator = Operator(binary, display, home, [show])
    try:
        written = os.stat(show).st_mtime_ns
        display.run("xdotool", "key", "--delay", "5", "ctrl+s", "space", "space", "space")
        check(e2e.wait_until(lambda: os.stat(show).st_mtime_ns != written, 60),
              "Ctrl+S wrote nothing")
        # Once the program answers, the save is over and the presses handled.
        display.settle(operator.main)
        fired = receiver.receive(1.0)
        check(fired is None, f"Space pressed during the save fired {fired} afterwards")
        display.key("space")
        fired = receiver.receive(30)
        check(fired == "/cue/1", f"Space after the save sent {fired}, not the first cue")
    finally:
        operator.stop()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-saving-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    new_show_saved_and_saved_as(binary, display, home)
    save_and_continue(binary, display, home)
    save_and_close(binary, display, home)
    go_presses_during_a_load(binary, display, home)
    go_presses_during_a_save(binary, display, home)
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
