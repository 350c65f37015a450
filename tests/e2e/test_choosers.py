#!/usr/bin/env python3
"""The file choosers in folders named as operators name them ("Show #1",
"Cue %41"), by the keyboard: File > Open lists the show's own folder (its cue
files in any letter case, not the working folder's), opens the show picked
there, and the save dialog saves beside it; Save As under a listed show's
name without its suffix asks, then replaces that show; an audio event's
file chooser lists and picks the sound file of its folder.

    test_choosers.py <tarv_cue> <display state file>
"""

import json
import os
import sys

import e2e
from e2e import check
from test_saving import Operator, SAVE_DIALOG_TITLE, cue_names

# The audio editor's Choose button, in the editor's own coordinates.
CHOOSE_AUDIO = (301, 56)
AUDIO_OK = (238, 280)


def audio_files(path):
    with open(path) as f:
        events = json.load(f)["main"]["events"]
    return [e["audio_parameters"]["file"] for cue in events for e in cue.get("events", [])
            if e["type"] == "AUDIO"]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary = sys.argv[1]
    display = e2e.Display(sys.argv[2])
    home = e2e.make_home("tarv-choosers-")
    port = e2e.free_udp_port()
    e2e.write_osc_settings(home, port)
    show_folder = os.path.join(home, "Show #1")
    sound_folder = os.path.join(home, "Cue %41")
    elsewhere = os.path.join(home, "elsewhere")
    for folder in (show_folder, sound_folder, elsewhere):
        os.makedirs(folder)
    opening = os.path.join(show_folder, "Opening.tarvcue")
    winter = os.path.join(show_folder, "Winter Tale.TARVCUE")
    e2e.write_cue_file(opening, [e2e.osc_cue("1", "Opening", [])], port)
    e2e.write_cue_file(winter, [e2e.osc_cue("1", "Storm", []), e2e.osc_cue("2", "Bear", [])],
                       port)
    # What a chooser listing the working folder instead would offer.
    e2e.write_cue_file(os.path.join(elsewhere, "Another.tarvcue"),
                       [e2e.osc_cue("1", "Another", [])], port)
    e2e.write_cue_file(os.path.join(elsewhere, "Zzz.tarvcue"), [e2e.osc_cue("1", "Zzz", [])],
                       port)
    with open(os.path.join(show_folder, "notes.log"), "w") as f:
        f.write("not a show\n")
    e2e.make_tone(os.path.join(sound_folder, "rain.wav"), 0.2)

    operator = Operator(binary, display, home, [opening], cwd=elsewhere)
    try:
        # File > Open starts in the show's folder: Opening, then Winter Tale
        # (the log file is not a show). Down and Return open it.
        display.activate(operator.main)
        display.key("ctrl+o")
        display.settle(operator.main)
        display.key("Down", "Return")
        display.settle(operator.main)

        # Save As starts beside it, the show's name selected but for its
        # suffix; a new name is saved there and holds the cues of the show
        # opened.
        display.key("ctrl+shift+a")
        dialog = operator.window(SAVE_DIALOG_TITLE)
        operator.type("Copy")
        display.key("Return")
        operator.gone(dialog, "save dialog")
        copy = os.path.join(show_folder, "Copy.TARVCUE")
        check(e2e.wait_until(lambda: os.path.isfile(copy), 30),
              "Save As wrote nothing beside the opened show:\n" + operator.program.output()[-2000:])
        check(cue_names(copy) == ["Storm", "Bear"],
              f"File > Open opened another show: the copy holds {cue_names(copy)}")

        # The listed show's name retyped without its suffix means that show:
        # the first Return asks, the second replaces it.
        before = os.stat(winter).st_mtime_ns
        display.activate(operator.main)
        display.key("ctrl+shift+a")
        dialog = operator.window(SAVE_DIALOG_TITLE)
        display.key("ctrl+a")
        operator.type("Winter Tale")
        display.key("Return")
        lowercase = os.path.join(show_folder, "Winter Tale.tarvcue")
        check(not e2e.wait_until(lambda: os.path.exists(lowercase)
                                 or os.stat(winter).st_mtime_ns != before, 2),
              "Save As under the listed show's name did not ask first")
        display.key("Return")
        operator.gone(dialog, "save dialog after Replace")
        check(e2e.wait_until(lambda: os.stat(winter).st_mtime_ns != before, 30),
              "the listed show was not replaced")
        check(not os.path.exists(lowercase), "a second show was written beside the listed one")

        # An audio event's chooser in "Cue %41": in the cue editor, New Audio
        # (five Tabs from the name), its row's Configure (four Tabs on), then
        # the editor's Choose button.
        display.activate(operator.main)
        display.key("Tab", "Return")
        cue_editor = operator.window("Configure Cue")
        display.key(*["Tab"] * 5, "Return", *["Tab"] * 4, "space")
        audio_editor = operator.window("Custom Audio Parameters")
        operator.click(audio_editor, CHOOSE_AUDIO)
        # The chooser starts in the show's folder: Backspace goes up, the
        # second folder ("config", then "Cue %41") is entered, and its one
        # sound file picked.
        display.key("BackSpace", "Down", "Return", "Return")
        display.settle(audio_editor)
        operator.click(audio_editor, AUDIO_OK)
        operator.gone(audio_editor, "audio editor")
        display.activate(cue_editor)
        display.key("Return")
        operator.gone(cue_editor, "cue editor")
        display.activate(operator.main)
        before = os.stat(winter).st_mtime_ns
        display.key("ctrl+s")
        check(e2e.wait_until(lambda: os.stat(winter).st_mtime_ns != before, 30),
              "Ctrl+S did not save the show:\n" + operator.program.output()[-2000:])
        chosen = [f for f in audio_files(winter) if f]
        check(len(chosen) == 1 and os.path.normpath(os.path.join(show_folder, chosen[0]))
              == os.path.join(sound_folder, "rain.wav"),
              f"the audio event plays {chosen}, not Cue %41/rain.wav")
    finally:
        operator.stop()
    e2e.remove_home(home)
    print("PASS")


if __name__ == "__main__":
    main()
