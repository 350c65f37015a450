#!/usr/bin/env python3
"""The acknowledgements cover what the program loads: the real program, with
its managers, a cue editor and the file chooser opened, has loaded only
libraries from Debian packages that the acknowledgements text names, among
them the run-time-loaded ICU, FreeType and HarfBuzz.

    test_acknowledgements.py <tarv_cue> <display state file> <acknowledgements.txt>
"""

import os
import re
import subprocess
import sys

import e2e
from e2e import check

MAIN_EDIT = (284, 73)


def acknowledged(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return {package for line in re.findall(r"^Debian packages: (.*)$", text, re.MULTILINE)
            for package in line.split(", ")}


def loaded_libraries(pid):
    with open(f"/proc/{pid}/maps") as f:
        return sorted({line.split(None, 5)[5].strip() for line in f
                       if len(line.split(None, 5)) == 6 and ".so" in line.split(None, 5)[5]})


def packages_of(paths, program):
    """Debian package by library; a library dpkg does not know maps to None."""
    found = {}
    for path in paths:
        if os.path.realpath(path) == os.path.realpath(program):
            continue
        # /lib is /usr/lib on Debian 12, and dpkg knows a file by one name only.
        names = [path, path[len("/usr"):] if path.startswith("/usr/") else "/usr" + path]
        result = subprocess.run(["dpkg", "-S"] + names, capture_output=True, text=True)
        owners = [line.split(":")[0] for line in result.stdout.splitlines() if ":" in line]
        found[path] = owners[0] if owners else None
    return found


def open_and_close(program, display, main, keys, title):
    display.key(keys)
    window = e2e.wait_until(
        lambda: next((w for w in program.other_windows(main) if display.window_name(w) == title),
                     None), 30, 0.1)
    check(window is not None, f'{keys} opened no "{title}":\n' + program.output()[-2000:])
    display.activate(window)
    display.key("Escape")
    e2e.wait_until(lambda: window not in program.other_windows(main), 30)
    display.activate(main)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, state, text = sys.argv[1:]
    e2e.require_tool("dpkg", "dpkg")
    display = e2e.Display(state)
    home = e2e.make_home("tarv-acknowledged-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    show = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(show, [e2e.osc_cue("1", "Intro", [(0, "/intro")])], e2e.free_udp_port())
    program = e2e.Program(binary, display, home, [show])
    try:
        main_window = program.main_window()
        display.activate(main_window)
        open_and_close(program, display, main_window, "shift+ctrl+o", "OSC Manager")
        open_and_close(program, display, main_window, "shift+ctrl+s", "SFX Manager")
        display.run("xdotool", "mousemove", "--window", str(main_window), *map(str, MAIN_EDIT),
                    "click", "1")
        editor = e2e.wait_until(lambda: program.other_windows(main_window), 30, 0.1)
        check(editor, "Edit opened no cue editor")
        display.activate(editor[0])
        display.key("Escape")
        # The file chooser is a window of the main window's own; it starts in
        # the open show's folder.
        display.activate(main_window)
        display.key("ctrl+o")
        check(e2e.wait_until(lambda: program.watches_folder(home), 60),
              "Ctrl+O showed no file chooser listing the show's folder")
        display.settle(main_window)

        libraries = loaded_libraries(program.pid)
        owners = packages_of(libraries, binary)
        unknown = [path for path, package in owners.items() if package is None]
        check(not unknown, f"libraries no Debian package installed: {unknown}")
        loaded = {package for package in owners.values()}
        named = acknowledged(text)
        missing = sorted(loaded - named)
        print(f"{len(libraries)} libraries from {len(loaded)} packages loaded; "
              f"{len(named)} packages acknowledged")
        check(not missing, f"loaded but not acknowledged: {', '.join(missing)}")
        check({"libicu72", "libfreetype6", "libharfbuzz0b"} <= loaded,
              "ICU, FreeType and HarfBuzz were expected among the loaded packages")

        e2e.remove_home(home)
    finally:
        program.stop()
    print("PASS")


if __name__ == "__main__":
    main()
