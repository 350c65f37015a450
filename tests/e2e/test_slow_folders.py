#!/usr/bin/env python3
"""Huge, slow and hung folders while a show runs, timed as an operator would
feel them: typing a name in the save dialog over 20,000 files and over a
slow folder leaves the window answering within a frame or two per key and a
running cue's message on time; File > Open on a hung folder opens at once,
and a GO pressed with it still goes out; quitting with a reading hung ends
the program at once. A folder that stops answering is stood in for by
strace holding the program's calls on it (e2e.HeldFolder).

    test_slow_folders.py <tarv_cue> <display state file>
"""

import os
import sys
import time

import e2e
from e2e import check
from test_saving import Operator, SAVE_DIALOG_TITLE

# A few frames: the longest a key may keep the window from its next event,
# on a loaded machine. A key that lists 20,000 files takes about 90 ms here,
# one that waits for a slow folder seconds.
KEY_ANSWER = 0.050
# The cue's second message is due this long after its first.
DUE = 3.0
ON_TIME = 0.050
QUIT = 1.0


def timed_show(folder, receiver_port):
    """A show whose first cue sends /cue/go at GO and /cue/due three
    seconds later; its second cue sends /cue/next."""
    show = os.path.join(folder, "Show.tarvcue")
    e2e.write_cue_file(show, [
        e2e.osc_cue("1", "Storm", [(0, "/cue/go"), (int(DUE * 1000), "/cue/due")]),
        e2e.osc_cue("2", "Calm", [(0, "/cue/next")]),
    ], receiver_port)
    return show


def sent(messages):
    """The addresses of oscdump's messages, which carry no arguments here."""
    return [m.strip() for _, m in messages]


def type_timed(operator, window, letters):
    """Types the letters one by one as an operator does, and returns how long
    the window took to answer after each."""
    answers = []
    for letter in letters:
        operator.display.key(letter)
        answers.append(operator.display.answer_time(window, 30))
        time.sleep(0.15)
    return answers


def check_answers(answers, what):
    shown = ", ".join("none" if a is None else f"{a * 1000:.0f}" for a in answers)
    print(f"{what}: the window answered after each key in {shown} ms")
    check(None not in answers, f"{what}: the window did not answer a key within 30 s")
    # No scheduler holds a program that long.
    check(max(answers) <= 10 * KEY_ANSWER,
          f"{what}: a key held the window for {max(answers) * 1000:.0f} ms")
    e2e.check_timing(max(answers) <= KEY_ANSWER,
                     f"{what}: a key held the window for {max(answers) * 1000:.0f} ms")


def check_due_on_time(dump, what):
    messages = [(t, m.strip()) for t, m in dump.wait_for(2, 30)]
    check([m for _, m in messages[:2]] == ["/cue/go", "/cue/due"],
          f"{what}: the cue sent {messages}")
    gap = messages[1][0] - messages[0][0]
    print(f"{what}: the message due {DUE:.1f} s after GO left after {gap:.3f} s")
    check(abs(gap - DUE) <= 10 * ON_TIME,
          f"{what}: the message due {DUE:.1f} s after GO left after {gap:.3f} s")
    e2e.check_timing(abs(gap - DUE) <= ON_TIME,
                     f"{what}: the message due {DUE:.1f} s after GO left after {gap:.3f} s")


def typing_while_a_cue_runs(binary, display, home, folder, hold):
    """GO, then Save As, and a name typed while the cue's second message is
    due; `hold` makes the folder slow once the program runs."""
    dump = e2e.OscDump()
    show = timed_show(folder, dump.port)
    operator = Operator(binary, display, home, [show])
    held = None
    try:
        if hold:
            held = e2e.HeldFolder(operator.program, [folder], seconds=2)
        what = "a slow folder" if hold else "20,000 files"
        display.activate(operator.main)
        display.key("space")
        display.key("ctrl+shift+a")
        dialog = operator.window(SAVE_DIALOG_TITLE)
        check_answers(type_timed(operator, dialog, "Tour"), what)
        check_due_on_time(dump, what)
        display.key("Escape")
        operator.gone(dialog, "save dialog")
    finally:
        if held:
            held.release()
        operator.stop()
        dump.stop()


def open_on_a_hung_folder_then_go(binary, display, home):
    """Ctrl+O and Space at once on a show in a hung folder: the window answers
    at once, the cue goes out; the chooser then has the keys (Space fires
    nothing) until Escape closes it, and Space fires the next cue."""
    folder = os.path.join(home, "Hung share")
    os.makedirs(folder)
    dump = e2e.OscDump()
    show = timed_show(folder, dump.port)
    operator = Operator(binary, display, home, [show])
    held = e2e.HeldFolder(operator.program, [folder])
    try:
        display.activate(operator.main)
        display.run("xdotool", "key", "--delay", "0", "ctrl+o", "space")
        answer = display.answer_time(operator.main, 30)
        print("Ctrl+O on a hung folder: the window answered in "
              + ("none" if answer is None else f"{answer * 1000:.0f} ms"))
        check(answer is not None and answer <= 10 * KEY_ANSWER,
              "the window did not answer within 30 s of Ctrl+O" if answer is None else
              f"Ctrl+O held the window for {answer * 1000:.0f} ms")
        e2e.check_timing(answer <= KEY_ANSWER,
                         f"Ctrl+O held the window for {answer * 1000:.0f} ms")
        check(sent(dump.wait_for(1, 5)) == ["/cue/go"],
              f"Space pressed with Ctrl+O sent {dump.messages()}")
        time.sleep(DUE + 0.5)
        display.key("space")
        time.sleep(1.0)
        check(sent(dump.messages()) == ["/cue/go", "/cue/due"],
              f"Space with the chooser open sent {dump.messages()[2:]}")
        display.key("Escape")
        display.settle(operator.main, 30)
        display.key("space")
        check(sent(dump.wait_for(3, 5))[2:] == ["/cue/next"],
              f"Space after Escape closed the chooser sent {dump.messages()[2:]}")
    finally:
        held.release()
        operator.stop()
        dump.stop()


def main_thread_ended(pid):
    """Whether the program's main thread has ended: it has called exit, and
    the kernel ends its other threads. (Threads that strace holds end only
    once strace lets go of them: a stand-in's artefact, which a hung share,
    whose calls a kill ends, does not have.)"""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


def quit_time(binary, display, home, folder, held_path):
    """File > Open on the show's folder, then the window closed, with strace
    holding the listing of `held_path`: the seconds until the program ended."""
    show = timed_show(folder, e2e.free_udp_port())
    operator = Operator(binary, display, home, [show])
    program = operator.program
    held = e2e.HeldFolder(program, [held_path], calls="openat")
    try:
        display.activate(operator.main)
        display.key("ctrl+o")
        display.settle(operator.main, 30)
        time.sleep(1.0)
        closed = time.monotonic()
        display.close(operator.main)
        ended = e2e.wait_until(lambda: main_thread_ended(program.pid), 30, 0.01)
        took = time.monotonic() - closed
        check(ended, "the program still ran 30 s after its window was closed")
        held.release()
        code = program.wait_exit(30)
        check(code == 0, f"closing ended with {code}:\n" + program.output()[-2000:])
        return took
    finally:
        held.release()
        operator.stop()


def quit_with_a_reading_hung(binary, display, home):
    """File > Open in a folder whose listing hangs, then the window closed:
    the program ends at once. strace slows every call of the program it
    traces, so the end is measured against a quit under strace with
    nothing held."""
    folder = os.path.join(home, "Hung listing")
    os.makedirs(folder)
    baseline = quit_time(binary, display, home, folder, os.path.join(home, "nothing here"))
    took = quit_time(binary, display, home, folder, folder)
    print(f"quit with a reading hung: the program ended after {took:.2f} s "
          f"({baseline:.2f} s with nothing held)")
    check(took <= baseline + 5 * QUIT, f"the program took {took:.2f} s to end")
    e2e.check_timing(took <= baseline + QUIT, f"the program took {took:.2f} s to end, "
                     f"{baseline:.2f} s with nothing held")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-slow-folders-")
    e2e.write_osc_settings(home, e2e.free_udp_port())

    many = os.path.join(home, "Many")
    os.makedirs(many)
    for i in range(20000):
        open(os.path.join(many, f"take {i:05d}.wav"), "w").close()
    typing_while_a_cue_runs(binary, display, home, many, hold=False)
    slow = os.path.join(home, "Slow share")
    os.makedirs(slow)
    typing_while_a_cue_runs(binary, display, home, slow, hold=True)
    open_on_a_hung_folder_then_go(binary, display, home)
    quit_with_a_reading_hung(binary, display, home)
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
