#!/usr/bin/env python3
"""Nothing is lost: closing with unsaved changes asks, and Escape withdraws
the close; a save into a folder that cannot be written, or onto a full disk,
reports its error while the old file stays byte for byte and the program
runs on; a cue file that is no JSON, named on the command line, is reported
and the program keeps its new cue list.

    test_nothing_lost.py <tarv_cue> <display state file>
"""

import contextlib
import json
import os
import subprocess
import sys

import e2e
from e2e import check


def write_show(folder, cues):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "show.tarvcue")
    e2e.write_cue_file(path, [e2e.osc_cue(str(n), f"Cue {n}", [(0, f"/cue/{n}")])
                              for n in range(1, cues + 1)], e2e.free_udp_port())
    with open(path, "rb") as f:
        return path, f.read()


def check_unchanged(path, old, what):
    with open(path, "rb") as f:
        check(f.read() == old, f"{what} changed the old file")
    check(os.listdir(os.path.dirname(path)) == [os.path.basename(path)],
          f"{what} left files behind: {os.listdir(os.path.dirname(path))}")


@contextlib.contextmanager
def unwritable(folder):
    """The folder refuses new files, for root too (root ignores modes, not
    the immutable attribute)."""
    if os.geteuid() == 0:
        e2e.require_tool("chattr", "e2fsprogs")
        if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode != 0:
            e2e.skip(f"the file system of {folder} keeps no immutable attribute")
        undo = ["chattr", "-i", folder]
    else:
        os.chmod(folder, 0o555)
        undo = ["chmod", "755", folder]
    try:
        yield
    finally:
        subprocess.run(undo, check=True)


class Session:
    def __init__(self, binary, display, arguments, **options):
        self.display = display
        self.home = e2e.make_home("tarv-lost-")
        e2e.write_osc_settings(self.home, e2e.free_udp_port())
        self.program = e2e.Program(binary, display, self.home, arguments, **options)
        self.window = self.program.main_window()
        display.activate(self.window)

    def dialog(self, what):
        """The one window beside the main window, activated."""
        found = e2e.wait_until(lambda: self.program.other_windows(self.window), 30)
        check(len(found) == 1, f"{what}: expected one window, found {len(found)}:\n" +
              self.program.output()[-2000:])
        self.display.activate(found[0])
        return found[0]

    def answer(self, what, key):
        dialog = self.dialog(what)
        self.display.key(key)
        check(e2e.wait_until(lambda: dialog not in self.program.other_windows(self.window), 30),
              f"{key} left the {what} open")

    def check_running(self, what):
        check(self.display.settle(self.window) and self.program.process.poll() is None,
              f"{what} ended the program:\n" + self.program.output()[-2000:])

    def close(self):
        self.display.close(self.window)

    def finish(self):
        self.program.stop()
        e2e.remove_home(self.home)


def prompt_and_unwritable_folder(binary, display):
    root = e2e.make_home("tarv-lost-files-")
    path, old = write_show(os.path.join(root, "show"), 3)
    session = Session(binary, display, [path])
    try:
        display.key("BackSpace")  # deletes the first cue: unsaved
        session.close()
        session.answer("unsaved-changes prompt", "Escape")
        session.check_running("Escape on the prompt")

        with unwritable(os.path.dirname(path)):
            session.close()
            session.answer("unsaved-changes prompt", "Return")  # Save And Close
            session.answer("message of the failed save", "Return")
            session.check_running("a save into a folder that cannot be written")
            check_unchanged(path, old, "a save into a folder that cannot be written")

        session.close()
        session.answer("unsaved-changes prompt", "Return")
        code = session.program.wait_exit(60)
        check(code == 0, f"Save And Close ended with {code}")
        with open(path) as f:
            check(len(json.load(f)["main"]["events"]) == 2, "the saved file lacks the deletion")
        e2e.remove_home(root)
    finally:
        session.finish()


def full_disk(binary, display):
    root = e2e.make_home("tarv-lost-files-")
    path, old = write_show(os.path.join(root, "show"), 80)
    session = Session(binary, display, [path], file_size_limit=len(old) // 2)
    try:
        display.key("BackSpace")
        for attempt in ("a save onto a full disk", "a second save onto a full disk"):
            display.key("ctrl+s")
            session.answer(f"message of {attempt}", "Return")
            session.check_running(attempt)
            check_unchanged(path, old, attempt)
        e2e.remove_home(root)
    finally:
        session.finish()


def file_that_is_no_json(binary, display):
    root = e2e.make_home("tarv-lost-files-")
    path = os.path.join(root, "broken.tarvcue")
    old = b"Cue 1: thunder, then lights {"
    with open(path, "wb") as f:
        f.write(old)
    session = Session(binary, display, [path])
    try:
        session.answer("message about the broken file", "Return")
        session.check_running("a cue file that is no JSON")
        # The new cue list is clean: the window closes without a prompt.
        session.close()
        code = session.program.wait_exit(60)
        check(code == 0, f"closing the new cue list ended with {code}:\n" +
              session.program.output()[-2000:])
        check_unchanged(path, old, "opening a broken file")
        e2e.remove_home(root)
    finally:
        session.finish()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    display = e2e.Display(sys.argv[2])
    prompt_and_unwritable_folder(sys.argv[1], display)
    full_disk(sys.argv[1], display)
    file_that_is_no_json(sys.argv[1], display)
    print("PASS")


if __name__ == "__main__":
    main()
