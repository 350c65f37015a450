#!/usr/bin/env python3
"""Where the display's OpenGL is Mesa's software rasterizer (as under Xvfb,
on machines without a graphics driver and in most virtual machines), the
program draws its windows with Qt Quick's software renderer. Through the
rasterizer it crashed now and then when an editor opened while other windows
drew on threads of their own, and drawing on one thread kept megabytes for
every editor ever closed. With the main window, the SFX manager and a cue
editor open there is no window render thread; twenty more openings of the
editor cost little memory; and the windows still answer their keys.

    test_rendering.py <tarv_cue> <display state file> [--no-memory]

--no-memory leaves the memory out, for a program under the sanitizers, whose
own bookkeeping keeps freed memory.
"""

import os
import sys
import time

import e2e
from e2e import check

MAIN_EDIT = (284, 73)
OPENINGS = 20
MEMORY_FOR_OPENINGS_KIB = 15 * 1024


def thread_names(pid):
    names = []
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                names.append(f.read().strip())
        except OSError:
            pass  # the thread ended meanwhile
    return names


def uses_software_rasterizer(pid):
    with open(f"/proc/{pid}/maps") as f:
        return any(line.rstrip().endswith("/swrast_dri.so") for line in f)


def open_editor(operator):
    operator.click(operator.main, MAIN_EDIT)
    return operator.window("Configure Cue")


def main():
    if len(sys.argv) not in (3, 4) or sys.argv[3:] not in ([], ["--no-memory"]):
        sys.exit(__doc__)
    binary, state = sys.argv[1:3]
    measure_memory = len(sys.argv) == 3
    display = e2e.Display(state)
    home = e2e.make_home("tarv-rendering-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    show = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(show, [e2e.osc_cue("1", "Doors", [(0, "/doors 1")])], e2e.free_udp_port())
    operator = e2e.Operator(display, e2e.Program(binary, display, home, [show]))
    program = operator.program
    try:
        display.key("shift+ctrl+s")
        sfx_manager = operator.window("SFX Manager")
        display.activate(operator.main)
        editor = open_editor(operator)
        if not uses_software_rasterizer(program.pid):
            e2e.skip("the display's OpenGL is not Mesa's software rasterizer")
        names = thread_names(program.pid)
        render_threads = names.count("QSGRenderThread")
        check(render_threads == 0,
              f"{render_threads} windows render on threads of their own: {sorted(names)}")
        operator.close_with_escape(editor, "cue editor")
        operator.close_with_escape(sfx_manager, "SFX manager")

        if not measure_memory:
            e2e.remove_home(home)
            print("PASS")
            return
        time.sleep(3)  # closed windows give their memory back a moment later
        before = program.resident_kib()
        for _ in range(OPENINGS):
            operator.close_with_escape(open_editor(operator), "cue editor")
        time.sleep(3)
        grown = program.resident_kib() - before
        print(f"{OPENINGS} openings of the cue editor: {grown:+} KiB")
        check(grown < MEMORY_FOR_OPENINGS_KIB,
              f"{OPENINGS} openings of the cue editor kept {grown} KiB")
        # Opening the editor marked the list changed: closing would ask, which
        # is not this test's concern.
        e2e.remove_home(home)
    finally:
        program.stop()
    print("PASS")


if __name__ == "__main__":
    main()
