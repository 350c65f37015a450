#!/usr/bin/env python3
"""Where the display's OpenGL is Mesa's software rasterizer (as under Xvfb,
on machines without a graphics driver and in most virtual machines), the
program draws all its windows on one thread: several windows drawn on
threads of their own at once crashed it now and then in the rasterizer. With
the main window, the SFX manager and a cue editor open, there is no window
render thread, and the windows still answer their keys.

    test_rendering.py <tarv_cue> <display state file>
"""

import os
import sys

import e2e
from e2e import check

MAIN_EDIT = (284, 73)


def thread_names(pid):
    names = []
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                names.append(f.read().strip())
        except OSError:
            pass  # the thread ended meanwhile
    return names


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binary, state = sys.argv[1:]
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
        operator.click(operator.main, MAIN_EDIT)
        editor = operator.window("Configure Cue")

        names = thread_names(program.pid)
        if not any(name.startswith("llvmpipe") or name.startswith("softpipe") for name in names):
            e2e.skip("the display's OpenGL is not Mesa's software rasterizer")
        render_threads = names.count("QSGRenderThread")
        check(render_threads == 0,
              f"{render_threads} windows render on threads of their own: {sorted(names)}")

        for window, what in ((editor, "cue editor"), (sfx_manager, "SFX manager")):
            display.activate(window)
            display.key("Escape")
            check(e2e.wait_until(lambda: window not in program.other_windows(operator.main), 5),
                  f"Escape left the {what} open")
        # Opening the editor marked the list changed: closing would ask, which
        # is not this test's concern.
        e2e.remove_home(home)
    finally:
        program.stop()
    print("PASS")


if __name__ == "__main__":
    main()
