#!/usr/bin/env python3
"""The editors as an operator uses them in the running program, with the
keyboard only: a new cue from the toolbar with an OSC event configured in its
OSC editor, a new wait, and a new listening port in the OSC manager. Each edit
shows where it counts: the cue's message goes out on GO, Escape still stops a
running cue once the editors are gone, the program listens on the new port,
and the saved file holds the cue and the wait.

    test_editors.py <tarv_cue binary> <display state file>
"""

import json
import os
import subprocess
import sys

import e2e
from e2e import check

LATE, ENCORE = "/e2e/late", "/e2e/encore"


def type_text(display, text):
    display.run("xdotool", "type", "--delay", "20", text)


def open_window(program, display, main, title):
    """Waits for the program's window `title` and gives it the keyboard."""
    def find():
        return [w for w in program.other_windows(main) if display.window_name(w) == title]
    found = e2e.wait_until(find, 30, 0.1)
    check(found, f"{title} did not open:\n" + program.output())
    display.activate(found[0])
    return found[0]


def wait_closed(program, main, window, what):
    closed = e2e.wait_until(lambda: window not in program.other_windows(main), 30)
    check(closed, f"{what} stayed open")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary, state = sys.argv[1:]
    display = e2e.Display(state)
    home = e2e.make_home("tarv-e2e-editors-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    receiver = e2e.OscReceiver()
    cue_file = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(cue_file, [e2e.osc_cue("1", "Late", [(1500, LATE + " 1")])], receiver.port)
    program = e2e.Program(binary, display, home, [cue_file])
    try:
        window = program.main_window()
        display.activate(window)

        # New Cue is the window's first Tab stop. In the cue editor: name the
        # cue, add an OSC event (four Tabs to New OSC) and configure it (five
        # Tabs on, the new row's Configure).
        display.key("Tab", "Return")
        cue_editor = open_window(program, display, window, "Configure Cue")
        type_text(display, "Encore")
        display.key(*["Tab"] * 4, "Return", *["Tab"] * 5, "space")
        osc_editor = open_window(program, display, window, "Configure OSC Function")
        type_text(display, ENCORE + " 7")
        display.key("Return")
        wait_closed(program, window, osc_editor, "the OSC editor")
        display.activate(cue_editor)
        display.key("Return")
        wait_closed(program, window, cue_editor, "the cue editor")

        # The new cue is current. Escape stops the first cue before its late
        # message, then GO sends the new cue's message.
        display.activate(window)
        display.key("Up", "space")
        display.key("Escape")
        got = receiver.receive(2.5)
        check(got is None, f"Escape did not stop the cue after the editors closed: received {got}")
        display.key("space")
        got = receiver.receive(30)
        check(got == ENCORE, f"the new cue sent {got}, not {ENCORE}:\n" + program.output())

        # Add Wait is the next Tab stop after New Cue.
        display.key("Tab", "Return")
        open_window(program, display, window, "Configure Wait Function")
        type_text(display, "2.5")
        display.key("Return")

        # The OSC manager from its key; two Tabs reach the listening port.
        display.activate(window)
        display.key("shift+ctrl+o")
        manager = open_window(program, display, window, "OSC Manager")
        port = e2e.free_udp_port()
        display.key("Tab", "Tab")
        type_text(display, str(port))
        display.key("Return")
        wait_closed(program, window, manager, "the OSC manager")
        settings = os.path.join(home, "config", "tarv_cue", "osc_settings.tarv")
        def saved_port():
            with open(settings) as f:
                return json.load(f).get("oscListenPort")
        check(e2e.wait_until(lambda: saved_port() == port, 30), "the new port was not saved")
        # A fade without its time is refused with a message: proof of arrival.
        subprocess.run(["oscsend", "127.0.0.1", str(port), "/tarv/sfx/sfx.1/fadeto", "i", "3"],
                       check=True)
        heard = e2e.wait_until(lambda: "Unable to process OSC command" in program.output(), 30)
        check(heard, "a command sent to the new port was not heard:\n" + program.output())
        after = program.output().split("Unable to process OSC command", 1)[1].split("\n", 1)
        check(len(after) == 2 and not after[1].startswith("\n"),
              "the report is followed by an empty line:\n" + program.output())

        display.activate(window)
        display.key("ctrl+s")
        def saved():
            with open(cue_file) as f:
                return json.load(f)["main"]["events"]
        events = e2e.wait_until(lambda: len(saved()) == 3 and saved(), 30)
        check(events, "the saved file does not hold the new cue and wait")
        kinds = [(e["type"], e.get("name")) for e in events]
        check(kinds[1] == ("GROUP", "Encore"), f"the saved list is {kinds}")
        check(events[1]["events"][0]["message"] == ENCORE + " 7", "the OSC command was not kept")
        check(events[2]["type"] == "WAIT" and events[2]["wait_time"] == 2500,
              f"the saved wait is {events[2]}")

        display.close(window)
        code = program.wait_exit(60)
        check(code == 0, f"closing ended with {code}:\n" + program.output())
    finally:
        program.stop()
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
