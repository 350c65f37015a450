#!/usr/bin/env python3
"""The main window's menus, clicked as an operator clicks them: after a menu
was closed by a key (Escape, Ctrl+H, Ctrl+S) or opened with Alt+F, the next
click on a title opens its menu, a second click on it closes it, and the
Escape that closes a menu leaves a looping sound effect playing. Only then
does Escape stop it.

    test_menus.py <tarv_cue> <display state file> <monitor recorder>
"""

import os
import subprocess
import sys
import time

import e2e
from e2e import check

# The main window opens at 1280 x 720 with its menu titles along the top.
TITLES = {"File": (25, 14), "Cues": (120, 14)}
# A strip of the toolbar that the File and the Cues menu both cover.
UNDER_TITLES = "80x60+110+40"


class MenuOperator(e2e.Operator):
    def __init__(self, display, program):
        super().__init__(display, program)
        e2e.require_tool("import", "imagemagick")
        self.closed = self.colour_under_titles()

    def colour_under_titles(self):
        """The mean colour of the strip, as red, green and blue."""
        captured = subprocess.run(
            ["import", "-window", str(self.main), "-crop", UNDER_TITLES, "+repage",
             "-resize", "1x1!", "-depth", "8", "rgb:-"],
            env=dict(os.environ, DISPLAY=self.display.name), capture_output=True)
        check(captured.returncode == 0 and len(captured.stdout) == 3,
              "the main window could not be captured: " + captured.stderr.decode(errors="replace"))
        return tuple(captured.stdout)

    def menu_shown(self):
        colour = self.colour_under_titles()
        return max(abs(a - b) for a, b in zip(colour, self.closed)) > 8

    def expect_menu(self, shown, what):
        self.display.settle(self.main)
        check(e2e.wait_until(lambda: self.menu_shown() == shown, 10),
              what + ":\n" + self.program.output()[-2000:])

    def click_title(self, title):
        self.click(self.main, TITLES[title])


def clicks_after_closing_keys(operator):
    for opener, closer in (("click", "Escape"), ("click", "ctrl+h"), ("click", "ctrl+s"),
                           ("alt+f", "Escape")):
        if opener == "click":
            operator.click_title("File")
        else:
            operator.display.key(opener)
        operator.expect_menu(True, f"{opener} opened no menu")
        operator.display.key(closer)
        operator.expect_menu(False, f"{closer} left the menu opened by {opener} open")
        for title in ("File", "Cues"):
            operator.click_title(title)
            operator.expect_menu(True, f"after {opener} and {closer}, a click on {title} "
                                       "opened no menu")
            operator.display.key("Escape")
            operator.expect_menu(False, f"Escape left the {title} menu open")


def second_click_closes(operator):
    """A click on the title of the open menu closes it, as on a desktop."""
    for title in ("File", "Cues"):
        operator.click_title(title)
        operator.expect_menu(True, f"a click on {title} opened no menu")
        operator.click_title(title)
        operator.expect_menu(False, f"a second click on {title} left its menu open")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, state, monitor = sys.argv[1:]
    display = e2e.Display(state)
    sound = e2e.SoundServer(monitor)

    home = e2e.make_home("tarv-menus-")
    listen_port = e2e.free_udp_port()
    e2e.write_osc_settings(home, listen_port)
    show = os.path.join(home, "menus.tarvcue")
    e2e.write_cue_file(show, [e2e.cue("1", "Preshow", [])], e2e.free_udp_port(),
                       [e2e.sound_effect("sfx.1", "tone.a440", "House tone", repeats=-1)])
    program = e2e.Program(binary, display, home, [show])
    try:
        operator = MenuOperator(display, program)
        recording = sound.record()
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.1/play")
        played = time.monotonic()
        time.sleep(1.0)
        clicks_after_closing_keys(operator)
        second_click_closes(operator)
        time.sleep(1.0)
        menus_done = time.monotonic()
        # With no menu open, Escape stops all audio.
        display.key("Escape")
        display.settle(operator.main)
        stopped = time.monotonic()
        time.sleep(1.0)
        recording.stop()

        before = recording.level(played + 0.5, played + 1.0)
        through = recording.level(menus_done - 0.5, menus_done)
        after = recording.level(stopped + 0.5, recording.stopped_at)
        print(f"playing {before:.4f}, after the menus {through:.4f}, after Escape {after:.5f}")
        check(before > 0.05, f"the sound effect is not heard: {before:.4f}\n" + program.output())
        check(through > before / 2, "an Escape meant for a menu stopped the sound effect")
        check(after < before / 100, f"Escape with no menu open left the sound at {after:.4f}")

        display.close(operator.main)
        code = program.wait_exit(60)
        check(code == 0, f"closing ended with {code}:\n" + program.output()[-2000:])
        e2e.remove_home(home)
    finally:
        program.stop()
    print("PASS")


if __name__ == "__main__":
    main()
