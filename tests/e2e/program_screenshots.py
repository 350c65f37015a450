#!/usr/bin/env python3
"""Screenshots of every window of the running program, for a person to look
at: the real program on a private X display drawn by Mesa (shader effects
included), with a private sound server, driven with keys and clicks.

    program_screenshots.py <tarv_cue> <sound-effect library> <output folder>

Writes one PNG per window to the output folder. A window that does not open
is reported and the rest are still taken; the exit code says whether all
were.
"""

import os
import subprocess
import sys
import time

import e2e

HERE = os.path.dirname(os.path.abspath(__file__))
SFX_SCRIPTS = os.path.join(HERE, "..", "sfx")

# Points to click, in the windows' own coordinates (fixed layouts; the main
# window opens at 1280 x 720).
MAIN_EDIT = (284, 73)
MAIN_HELP_MENU, MAIN_ABOUT_ITEM = (260, 14), (300, 45)
CUE_CONFIGURE_ROW = [(628, 200), (628, 240)]
OSC_MANAGER_FIRST_ROW, OSC_MANAGER_EDIT = (150, 221), (300, 439)
SFX_MANAGER_PREVIEWS = [(747, 76), (747, 116)]
SFX_MANAGER_FIRST_INSTANCE, SFX_MANAGER_EDIT = (450, 76), (124, 560)
ABOUT_ACKNOWLEDGEMENTS = (484, 457)
# The custom-audio editor's Choose button.
AUDIO_CHOOSE = (301, 56)
SAVE_DIALOG_NEW_FOLDER = (494, 28)


class Shooter:
    def __init__(self, binary, display, home, show, out):
        self.display = display
        self.out = out
        self.missing = []
        self.program = e2e.Program(binary, display, home, [show])
        self.main = self.program.main_window()
        display.activate(self.main)
        time.sleep(1.0)

    def shoot(self, window, name):
        time.sleep(0.6)  # let animations settle
        path = os.path.join(self.out, name + ".png")
        self.display.run("import", "-window", str(window), path)
        print("wrote", path)

    def click(self, window, point, button="1"):
        self.display.run("xdotool", "mousemove", "--window", str(window), str(point[0]),
                         str(point[1]), "click", button)

    def window(self, title, timeout=5):
        def find():
            for window in self.program.other_windows(self.main):
                if self.display.window_name(window) == title:
                    return window
            return None
        window = e2e.wait_until(find, timeout, 0.1)
        if window is None:
            print(f'MISSING: the window "{title}" did not open', file=sys.stderr)
            self.missing.append(title)
            return None
        self.display.activate(window)
        return window

    def new_window(self, what, before, timeout=5):
        """A window that was not open before, whatever its title."""
        found = e2e.wait_until(lambda: [w for w in self.program.other_windows(self.main)
                                        if w not in before], timeout, 0.1)
        if not found:
            print(f"MISSING: the {what} did not open", file=sys.stderr)
            self.missing.append(what)
            return None
        self.display.activate(found[0])
        return found[0]

    def close(self, window):
        if window is not None:
            self.display.close(window)
            e2e.wait_until(lambda: window not in self.program.other_windows(self.main), 5)
        self.display.activate(self.main)

    def key(self, *keys):
        self.display.key(*keys)
        time.sleep(0.2)


def write_show(home, tone):
    show = os.path.join(home, "show.tarvcue")
    locked = e2e.osc_cue("4", "House lights to half", [(0, "/lights/house 50")])
    locked["disable_delete"] = True
    disabled = e2e.osc_cue("5", "Spare thunder", [(0, "/sfx/thunder 1")])
    disabled["status"] = "x"
    overture = e2e.cue("1", "Overture", [
        e2e.osc_event(0, "/lights/preset 1"),
        e2e.audio_event(0, tone, 0.5, "Overture music"),
        e2e.osc_event(6000, "/lights/preset 2")])
    overture.update(act="1", scene="1", cue_line="When the house lights dim")
    wait = e2e.wait_entry(8000)
    wait["name"] = "Wait for 8 seconds then execute next!"
    e2e.write_cue_file(show, [
        overture, wait,
        e2e.osc_cue("2", "Curtain up", [(0, "/stage/curtain 1")]),
        e2e.osc_cue("3", "Storm", [(0, "/sfx/storm 1"), (2500, "/lights/flash 1")]),
        locked, disabled,
    ], e2e.free_udp_port(), [
        e2e.sound_effect("sfx.1", "chime.bell", "Interval bell", volume=0.5, repeats=0),
        e2e.sound_effect("sfx.2", "ambient.wind", "Wind bed", volume=0.3)])
    return show


def main_window_and_editors(shooter):
    s = shooter
    s.key("space")  # the overture runs; the wait after it counts down
    time.sleep(1.5)
    s.shoot(s.main, "main-window-running")
    s.key("Escape")

    s.key("Up")  # GO moved on past the wait: back to the overture
    s.key("Up")
    s.click(s.main, MAIN_EDIT)
    cue = s.window("Configure Cue")
    if cue is not None:
        s.shoot(cue, "cue-editor")
        s.click(cue, CUE_CONFIGURE_ROW[0])
        osc = s.window("Configure OSC Function")
        if osc is not None:
            s.shoot(osc, "osc-event-editor")
            s.display.key("Escape")
            time.sleep(0.3)
        s.display.activate(cue)
        s.click(cue, CUE_CONFIGURE_ROW[1])
        audio = s.window("Custom Audio Parameters")
        if audio is not None:
            s.shoot(audio, "custom-audio-editor")
            # Its file chooser, as narrow as the editor: the names first.
            s.click(audio, AUDIO_CHOOSE)
            time.sleep(0.5)
            s.shoot(audio, "custom-audio-chooser")
            s.key("Escape")
            s.close(audio)
        s.display.activate(cue)
        s.display.key("Escape")
        time.sleep(0.3)
    s.display.activate(s.main)

    s.key("Down")
    s.click(s.main, MAIN_EDIT)
    wait = s.window("Configure Wait Function")
    if wait is not None:
        s.shoot(wait, "wait-editor")
        s.display.key("Escape")
        time.sleep(0.3)
    s.display.activate(s.main)


def osc_manager(shooter):
    s = shooter
    s.key("ctrl+shift+o")
    manager = s.window("OSC Manager")
    if manager is None:
        return
    s.shoot(manager, "osc-manager")
    s.click(manager, OSC_MANAGER_FIRST_ROW)
    s.click(manager, OSC_MANAGER_EDIT)
    destination = s.window("Edit Network Destination")
    if destination is not None:
        s.shoot(destination, "osc-destination-editor")
        s.close(destination)
    s.close(manager)


def sound_effects(shooter):
    s = shooter
    s.key("ctrl+shift+s")
    manager = s.window("SFX Manager")
    if manager is None:
        return
    # Both instances previewing: the bell once, the wind bed in a loop.
    for preview in SFX_MANAGER_PREVIEWS:
        s.click(manager, preview)
    time.sleep(0.5)
    s.shoot(manager, "sfx-manager-previews-playing")
    for preview in SFX_MANAGER_PREVIEWS:
        s.click(manager, preview)
    s.click(manager, SFX_MANAGER_FIRST_INSTANCE)
    s.click(manager, SFX_MANAGER_EDIT)
    instance = s.window("Edit Instance")
    if instance is not None:
        s.shoot(instance, "sfx-instance-editor")
        s.close(instance)
        s.display.activate(manager)
    s.close(manager)


def about(shooter):
    s = shooter
    # The About box is a popup inside the main window.
    s.click(s.main, MAIN_HELP_MENU)
    s.click(s.main, MAIN_ABOUT_ITEM)
    s.shoot(s.main, "about")
    before = s.program.other_windows(s.main)
    s.click(s.main, ABOUT_ACKNOWLEDGEMENTS)
    thanks = s.new_window("acknowledgements window", before)
    if thanks is not None:
        s.shoot(thanks, "acknowledgements")
        s.close(thanks)
    s.key("Escape")  # closes the popup


def save_dialog(shooter):
    s = shooter
    # Save As on the opened show: its folder, its name selected but for the
    # suffix; then a name refused, and a new folder being named.
    s.display.activate(s.main)
    s.key("ctrl+shift+a")
    dialog = s.window("Save Cue File")
    if dialog is None:
        return
    s.shoot(dialog, "save-dialog")
    s.display.run("xdotool", "type", "--delay", "5", "n" * 250)
    s.key("Return")
    s.shoot(dialog, "save-dialog-refusal")
    s.click(dialog, SAVE_DIALOG_NEW_FOLDER)
    s.display.run("xdotool", "type", "Act 3")
    s.shoot(dialog, "save-dialog-new-folder")
    s.key("Escape")
    s.close(dialog)


def chooser_not_answering(shooter, work):
    """File > Open on a folder whose listing hangs, as a network share's
    whose server has gone: after a few seconds the chooser says so."""
    s = shooter
    hung = os.path.join(work, "Network share")
    os.makedirs(hung, exist_ok=True)
    held = e2e.HeldFolder(s.program, [hung], calls="openat")
    try:
        s.display.activate(s.main)
        s.key("ctrl+o")
        s.key("ctrl+l")
        s.display.run("xdotool", "type", "--delay", "5", hung)
        s.key("Return")
        time.sleep(4.0)
        s.shoot(s.main, "open-dialog-not-answering")
        s.key("Escape")
    finally:
        held.release()


def prompt_and_message(shooter):
    s = shooter
    # The locked cue cannot be deleted: a message says so. The wait is current.
    for _ in range(3):
        s.key("Down")
    before = s.program.other_windows(s.main)
    s.key("BackSpace")
    message = s.new_window("message window", before)
    if message is not None:
        s.shoot(message, "message")
        s.display.key("Return")
        time.sleep(0.3)
    s.display.activate(s.main)
    # That made a change: closing asks first.
    before = s.program.other_windows(s.main)
    s.display.close(s.main)
    prompt = s.new_window("unsaved-changes prompt", before)
    if prompt is not None:
        s.shoot(prompt, "unsaved-changes-prompt")
        s.display.key("Escape")
        time.sleep(0.3)
    s.display.activate(s.main)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, library, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    work = e2e.make_home("tarv-screenshots-")
    state = os.path.join(work, "display.json")
    pulse = os.path.join("/tmp", os.path.basename(work) + "-pulse")
    subprocess.run([sys.executable, os.path.join(HERE, "display.py"), "start", state], check=True)
    subprocess.run([os.path.join(SFX_SCRIPTS, "pulse-start.sh"), pulse], check=True)
    os.environ.update(PULSE_SERVER=f"unix:{pulse}/runtime/native", TARV_SFX_LIBRARY=library)
    shooter = None
    try:
        display = e2e.Display(state)
        e2e.write_osc_settings(work, e2e.free_udp_port())
        tone = os.path.join(work, "overture.wav")
        e2e.make_tone(tone, 30, 330, -12)
        shooter = Shooter(binary, display, work, write_show(work, tone), out)
        main_window_and_editors(shooter)
        osc_manager(shooter)
        sound_effects(shooter)
        about(shooter)
        save_dialog(shooter)
        chooser_not_answering(shooter, work)
        prompt_and_message(shooter)
    finally:
        if shooter is not None:
            shooter.program.stop()
        subprocess.run([os.path.join(SFX_SCRIPTS, "pulse-stop.sh"), pulse])
        subprocess.run([sys.executable, os.path.join(HERE, "display.py"), "stop", state])
    if shooter is None or shooter.missing:
        sys.exit(1)
    e2e.remove_home(work)


if __name__ == "__main__":
    main()
