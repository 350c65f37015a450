#!/usr/bin/env python3
"""Folders that do not answer, and what the choosers leave behind, by the
keyboard: twelve readings of a folder whose listing hangs leave every other
folder listing (a show opened from one and fired with GO); a chooser or a
save dialog that was closed no longer watches the folder it showed. A
folder that stops answering is stood in for by strace holding the
program's calls on it (e2e.HeldFolder).

    test_hung_folders.py <tarv_cue> <display state file>
"""

import os
import sys
import time

import e2e
from e2e import check
from test_saving import Operator, SAVE_DIALOG_TITLE

HUNG_READINGS = 12


def show(path, receiver_port, message):
    e2e.write_cue_file(path, [e2e.osc_cue("1", "One", [(0, message)])], receiver_port)
    return path


def go_until_sent(operator, receiver, timeout):
    """Presses Space every half second, as an operator waiting for the
    chooser to finish would, until a cue goes out; its message."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        operator.display.key("space")
        sent = receiver.receive(0.5)
        if sent is not None:
            return sent
    return None


def hung_readings_leave_other_folders_listing(binary, display, home):
    """File > Open in a folder holding a hung one and a local one: the hung
    one entered twelve times, each time left by a typed path; then the local
    one lists, and its show opens by Return and fires by Space."""
    receiver = e2e.OscReceiver()
    parent = os.path.join(home, "Shows")
    hung = os.path.join(parent, "Archive")
    local = os.path.join(parent, "Tonight")
    for folder in (hung, local):
        os.makedirs(folder)
    start = show(os.path.join(parent, "start.tarvcue"), receiver.port, "/start/1")
    show(os.path.join(local, "tonight.tarvcue"), receiver.port, "/tonight/1")
    operator = Operator(binary, display, home, [start])
    held = e2e.HeldFolder(operator.program, [hung], calls="openat")
    try:
        display.activate(operator.main)
        display.key("ctrl+o")
        display.settle(operator.main, 30)
        for _ in range(HUNG_READINGS):
            # "Archive" is listed first, and selected: Return enters it.
            display.key("Return")
            time.sleep(0.3)
            display.key("ctrl+l")
            operator.type(parent)
            display.key("Return")
            time.sleep(0.5)
        display.key("ctrl+l")
        operator.type(local)
        display.key("Return")
        time.sleep(0.5)
        display.key("Return")
        sent = go_until_sent(operator, receiver, 30)
        check(sent == "/tonight/1", "after twelve hung readings, the show of a local folder "
              f"was not opened: GO sent {sent}:\n" + operator.program.output()[-2000:])
    finally:
        held.release()
        operator.stop()


def closed_choosers_stop_watching(binary, display, home):
    """File > Open and the save dialog watch the folder they list, and stop
    once they are closed."""
    folder = os.path.join(home, "Watched")
    os.makedirs(folder)
    start = show(os.path.join(folder, "watched.tarvcue"), e2e.free_udp_port(), "/watched/1")
    operator = Operator(binary, display, home, [start])
    try:
        program = operator.program
        for opening, what in (("ctrl+o", "File > Open"), ("ctrl+shift+a", "the save dialog")):
            display.activate(operator.main)
            display.key(opening)
            check(e2e.wait_until(lambda: program.watches_folder(folder), 30),
                  f"{what} never watched the folder it lists")
            if opening == "ctrl+shift+a":
                operator.window(SAVE_DIALOG_TITLE)
            display.key("Escape")
            display.settle(operator.main, 30)
            check(e2e.wait_until(lambda: not program.watches_folder(folder), 5),
                  f"{what}, closed, still watches the folder it showed")
    finally:
        operator.stop()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-hung-folders-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    hung_readings_leave_other_folders_listing(binary, display, home)
    closed_choosers_stop_watching(binary, display, home)
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
