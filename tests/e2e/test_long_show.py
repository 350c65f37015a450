#!/usr/bin/env python3
"""A long show: 500 cues, each with an OSC event and an AUDIO event of a short
tone, fired by 500 presses of Space 100 ms apart. oscdump receives all 500
messages in order, each soon after its press (the program never stalls), and
the program's memory after the last GO is within 10% of its memory after the
50th.

    test_long_show.py <tarv_cue> <display state file> <monitor recorder>
"""

import os
import sys
import time

import e2e
from e2e import check

CUES, INTERVAL = 500, 0.100
# A press whose message takes longer than this to arrive is a stall: the
# operator would see GO hang.
STALL = 0.250
MEMORY_GROWTH = 0.10


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, state, monitor = sys.argv[1:]
    display = e2e.Display(state)
    e2e.SoundServer(monitor)
    dump = e2e.OscDump()
    home = e2e.make_home("tarv-long-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    e2e.make_tone(os.path.join(home, "blip.wav"), 0.08, 880, -20)
    show = os.path.join(home, "long.tarvcue")
    e2e.write_cue_file(show, [
        e2e.cue(str(n), f"Cue {n}", [e2e.osc_event(0, f"/long/go {n}"), e2e.audio_event(0, "blip.wav")])
        for n in range(1, CUES + 1)] + [e2e.cue("end", "End", [])], dump.port)

    program = e2e.Program(binary, display, home, [show])
    try:
        window = program.main_window()
        display.activate(window)
        pressed = []
        memory_after_50th = None
        start = time.monotonic()
        for n in range(1, CUES + 1):
            delay = start + (n - 1) * INTERVAL - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            pressed.append(time.monotonic())
            display.key("space")
            if n == 50:
                dump.wait_for(50, 30)
                memory_after_50th = program.resident_kib()
        messages = dump.wait_for(CUES, 60)
        time.sleep(0.5)
        memory_after_last = program.resident_kib()

        received = [m for _, m in messages]
        expected = [f"/long/go i {n}" for n in range(1, CUES + 1)]
        if received != expected:
            missing = sorted(set(expected) - set(received))
            e2e.fail(f"oscdump received {len(received)} of {CUES} messages, missing {missing[:10]}, "
                     f"in order: {received == sorted(received, key=expected.index)}\n" +
                     program.output()[-2000:])
        latencies = [t - p for (t, _), p in zip(messages, pressed)]
        worst = max(range(CUES), key=lambda i: latencies[i])
        growth = memory_after_last / memory_after_50th - 1
        print(f"press to message: median {sorted(latencies)[CUES // 2] * 1000:.1f} ms, "
              f"worst {latencies[worst] * 1000:.1f} ms (cue {worst + 1}); memory "
              f"{memory_after_50th} KiB after the 50th GO, {memory_after_last} KiB after the last "
              f"({growth * 100:+.1f}%)")
        e2e.check_timing(latencies[worst] <= STALL, f"GO stalled: cue {worst + 1} went out "
              f"{latencies[worst] * 1000:.0f} ms after its press")
        check(growth <= MEMORY_GROWTH, f"memory grew by {growth * 100:.1f}% from the 50th GO to the last")

        display.close(window)
        code = program.wait_exit(60)
        check(code == 0, f"closing ended with {code}:\n" + program.output()[-2000:])
        e2e.remove_home(home)
    finally:
        program.stop()
        dump.stop()
    print("PASS")


if __name__ == "__main__":
    main()
