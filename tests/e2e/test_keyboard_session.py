#!/usr/bin/env python3
"""The main window's command keys whatever menu is open, then a seeded random
keyboard session in the main window: rows double-clicked into the cue
editor, which Return or Escape closes, Return held down, Space, Escape, the
menus opened with Alt and a letter, walked with the arrow keys and closed
with Escape, the selection moved, the open dialog shown and cancelled. After
every step, with no other window open, Ctrl+S writes the open show. A
failure prints the seed and the last steps; the seed given as the last
argument replays the session.

    test_keyboard_session.py <tarv_cue> <display state file> [seconds] [seed]
"""

import os
import random
import sys
import time

import e2e
from e2e import check

SECONDS = 90
CUES = 8
# The main window opens at 1280 x 720: the menu bar, the toolbar and the
# table header take its top 128 pixels, then come rows of 40.
FIRST_ROW_Y, ROW_HEIGHT = 148, 40
EDITOR = "Configure Cue"
MENU_LETTERS = "fecth"
MENU_TITLES = {"File": (25, 14), "Cues": (120, 14)}


class Session(e2e.Operator):
    def __init__(self, binary, display, home, show, seed):
        super().__init__(display, e2e.Program(binary, display, home, [show],
                                              environment={"HOME": home}))
        self.show = show
        self.random = random.Random(seed)
        self.steps = []

    def key(self, *keys):
        self.steps.append("+".join(keys) if len(keys) == 1 else " ".join(keys))
        self.display.key(*keys)

    # What an operator does; each ends with the main window active.
    def edit_row(self):
        row = self.random.randrange(CUES)
        closer = self.random.choice(["Return", "Escape"])
        self.steps.append(f"double-click row {row}, {closer}")
        self.display.run("xdotool", "mousemove", "--window", str(self.main), "400",
                         str(FIRST_ROW_Y + row * ROW_HEIGHT), "click", "--repeat", "2",
                         "--delay", "60", "1")
        editor = self.window(EDITOR)
        self.display.key(closer)
        self.gone(editor, "cue editor")
        self.display.activate(self.main)

    def hold_return(self):
        seconds = self.random.uniform(0.3, 1.0)
        self.steps.append(f"Return held {seconds:.1f} s")
        self.display.hold_key("Return", seconds)

    def menu(self):
        keys = ["alt+" + self.random.choice(MENU_LETTERS)]
        keys += self.random.choices(["Down", "Up", "Left", "Right"], k=self.random.randint(0, 3))
        self.key(*keys, "Escape")

    def open_dialog(self):
        # The open dialog lives inside the main window: Escape, handled after
        # the key that opened it, cancels it.
        self.key("ctrl+o")
        self.key("Escape")

    def act(self):
        action = self.random.choices(
            [self.edit_row, lambda: self.key("Return"), self.hold_return,
             lambda: self.key("space"), lambda: self.key("Escape"), self.menu,
             lambda: self.key(self.random.choice(["Up", "Down"])),
             lambda: self.key("ctrl+h"), self.open_dialog],
            weights=[3, 2, 1, 2, 2, 4, 2, 1, 1])[0]
        action()
        self.program.check_running()
        if self.display.active_window() != self.main:
            self.display.activate(self.main)

    def open_menu(self, how):
        self.steps.append(how)
        if how.startswith("click "):
            self.click(self.main, MENU_TITLES[how[len("click "):]])
            # Off the menu bar: a title under the pointer opens its menu
            # again as soon as the pointer moves.
            self.display.run("xdotool", "mousemove", "--window", str(self.main), "700", "600")
        else:
            self.display.key(how)

    def saves(self):
        """Whether Ctrl+S, with no other window open, writes the show."""
        check(not self.program.other_windows(self.main),
              "a window stayed open: " + ", ".join(
                  self.display.window_name(w) for w in self.program.other_windows(self.main)))
        written = os.stat(self.show).st_mtime_ns
        self.display.key("ctrl+s")
        return e2e.wait_until(lambda: os.stat(self.show).st_mtime_ns != written, 5)


def keys_through_open_menus(session, receiver):
    """Ctrl+S saves while a menu is open, which then closes: the next Space
    fires a cue. Another command key opens its window."""
    for how in ("alt+f", "click Cues", "alt+h"):
        session.open_menu(how)
        check(session.saves(), f"Ctrl+S wrote nothing while the menu opened by {how} was open")
        receiver.drain()
        session.key("space")
        check(receiver.receive(5) is not None,
              f"Space after Ctrl+S fired no cue: the menu opened by {how} stayed open")
    session.open_menu("alt+e")
    session.key("shift+ctrl+o")
    session.close_with_escape(session.window("OSC Manager"), "OSC manager")


def main():
    if len(sys.argv) not in (3, 4, 5):
        sys.exit(__doc__)
    binary, state = sys.argv[1:3]
    seconds = float(sys.argv[3]) if len(sys.argv) >= 4 else SECONDS
    seed = int(sys.argv[4]) if len(sys.argv) == 5 else random.randrange(1 << 32)
    display = e2e.Display(state)
    home = e2e.make_home("tarv-keys-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    receiver = e2e.OscReceiver()
    show = os.path.join(home, "keys.tarvcue")
    e2e.write_cue_file(show, [e2e.osc_cue(str(n), f"Cue {n}", [(0, f"/keys/{n}")])
                              for n in range(1, CUES + 1)], receiver.port)
    print(f"seed {seed}", flush=True)
    session = Session(binary, display, home, show, seed)
    try:
        keys_through_open_menus(session, receiver)
        start = time.monotonic()
        while time.monotonic() - start < seconds:
            session.act()
            receiver.drain()
            if not session.saves():
                fail_at = session.steps[-12:]
                e2e.fail(f"Ctrl+S wrote nothing after: {'; '.join(fail_at)}\n"
                         f"replay with seed {seed}:\n" + session.program.output()[-2000:])
        print(f"{len(session.steps)} steps, Ctrl+S saved after each")
    finally:
        session.program.stop()
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
