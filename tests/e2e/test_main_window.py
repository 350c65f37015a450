#!/usr/bin/env python3
"""The program as an operator starts and uses it: started with a cue file on
the command line (with and without -c), it shows its window, fires a cue on
Space (once, however long the key is held), stops all on Escape, asks before
closing with unsaved changes and exits 0.

    test_main_window.py <tarv_cue binary> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check

FIRST, LATE, THIRD = "/e2e/first", "/e2e/late", "/e2e/third"


def start(binary, display, arguments_before_file=()):
    home = e2e.make_home("tarv-e2e-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    receiver = e2e.OscReceiver()
    cue_file = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(cue_file, [
        e2e.osc_cue("1", "First", [(0, FIRST + " 1")]),
        e2e.osc_cue("2", "Late", [(1500, LATE + " 2")]),
        e2e.osc_cue("3", "Third", [(0, THIRD + " 3")]),
    ], receiver.port)
    program = e2e.Program(binary, display, home, list(arguments_before_file) + [cue_file])
    window = program.main_window()
    display.activate(window)
    return program, window, receiver, cue_file


def expect_message(receiver, address, program, timeout=30):
    got = receiver.receive(timeout)
    check(got == address, f"expected {address}, received {got}:\n" + program.output())


def show_with_plain_argument(binary, display):
    program, window, receiver, cue_file = start(binary, display)
    try:
        # The first cue of the file given on the command line goes out.
        display.key("space")
        expect_message(receiver, FIRST, program)

        # Escape cancels the second cue before its message is due.
        display.key("space")
        display.settle(window)
        display.key("Escape")
        got = receiver.receive(2.5)
        check(got is None, f"Escape did not stop the running cue: received {got}")

        # Held down, Space fires the third cue once.
        display.hold_key("space", 1.5)
        expect_message(receiver, THIRD, program)
        got = receiver.receive(1.0)
        check(got is None, f"a held Space fired again: received {got}")

        # An edit, then a close: the program asks; Escape withdraws the close.
        display.key("BackSpace")
        display.close(window)
        prompt = e2e.wait_until(lambda: program.other_windows(window), 30)
        check(prompt, "closing with unsaved changes showed no prompt:\n" + program.output())
        display.activate(prompt[0])
        display.key("Escape")
        check(e2e.wait_until(lambda: not program.other_windows(window), 30),
              "Escape left the prompt open")
        check(display.settle(window) and program.process.poll() is None,
              "Escape on the prompt ended the program")

        # Asked again, Return saves and closes.
        display.close(window)
        prompt = e2e.wait_until(lambda: program.other_windows(window), 30)
        check(prompt, "the second close showed no prompt")
        display.activate(prompt[0])
        display.key("Return")
        code = program.wait_exit(30)
        check(code == 0, f"Save And Close ended with {code}:\n" + program.output())
        with open(cue_file) as f:
            saved = json.load(f)
        check(len(saved["main"]["events"]) == 2, "the saved file does not hold the deletion")
    finally:
        program.stop()
    e2e.remove_home(os.path.dirname(cue_file))


def show_with_console_option(binary, display):
    program, window, receiver, cue_file = start(binary, display, ["-c"])
    try:
        display.key("space")
        expect_message(receiver, FIRST, program)
        # Nothing changed: the window closes at once, without a prompt.
        display.close(window)
        code = program.wait_exit(30)
        check(code == 0, f"closing ended with {code}:\n" + program.output())
    finally:
        program.stop()
    e2e.remove_home(os.path.dirname(cue_file))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary, state = sys.argv[1:]
    display = e2e.Display(state)
    show_with_plain_argument(binary, display)
    show_with_console_option(binary, display)
    print("PASS")


if __name__ == "__main__":
    main()
