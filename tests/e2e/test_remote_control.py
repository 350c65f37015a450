#!/usr/bin/env python3
"""Remote control: liblo's oscsend, sent to the program's listen port, plays
a sound-effect instance of the open cue file (heard on the private sound
server), fades it to -12 dB (measured) and stops it.

    test_remote_control.py <tarv_cue> <display state file> <monitor recorder>
"""

import math
import os
import sys
import time

import e2e
from e2e import check

FADE_DB = -12
HOLD = 2.0


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, state, monitor = sys.argv[1:]
    display = e2e.Display(state)
    sound = e2e.SoundServer(monitor)

    home = e2e.make_home("tarv-remote-")
    listen_port = e2e.free_udp_port()
    e2e.write_osc_settings(home, listen_port)
    show = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(show, [e2e.cue("1", "Preshow", [])], e2e.free_udp_port(),
                       [e2e.sound_effect("sfx.1", "tone.a440", "House tone", repeats=-1)])
    program = e2e.Program(binary, display, home, [show])
    try:
        window = program.main_window()
        # The program takes commands once its event loop runs.
        display.settle(window)
        recording = sound.record()
        time.sleep(0.3)
        # Each state is held for a few seconds and measured in its second
        # half: a busy machine may be late to take a command.
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.1/play")
        played = time.monotonic()
        time.sleep(HOLD)
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.1/fadeto", "ff", str(FADE_DB), "0.2")
        faded = time.monotonic()
        time.sleep(HOLD)
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.1/stop")
        stopped = time.monotonic()
        time.sleep(HOLD)
        recording.stop()

        full = recording.level(played + HOLD / 2, faded - 0.05)
        low = recording.level(faded + HOLD / 2, stopped - 0.05)
        after = recording.level(stopped + HOLD / 2, recording.stopped_at)
        print(f"played {full:.4f}, faded {low:.4f}, stopped {after:.5f}")
        check(full > 0.05, f"play over OSC is not heard: {full:.4f}\n" + program.output())
        check(low > 0, "the fade silenced the sound effect")
        change = 20 * math.log10(low / full)
        check(abs(change - FADE_DB) < 1.0, f"the fade to {FADE_DB} dB changed the level by {change:.1f} dB")
        check(after < full / 100, f"stop over OSC left the sound at {after:.4f}")

        display.close(window)
        code = program.wait_exit(60)
        check(code == 0, f"closing ended with {code}:\n" + program.output()[-2000:])
        e2e.remove_home(home)
    finally:
        program.stop()
    print("PASS")


if __name__ == "__main__":
    main()
