#!/usr/bin/env python3
"""A private X display for end-to-end tests: Xvfb plus the openbox window
manager (title bars, focus, close requests as a desktop sends them).

    display.py start <state-file>   starts both, writes their ids and the display
    display.py stop <state-file>    stops the processes named in the state file

CTest runs "start" as a fixture set-up and "stop" as its clean-up; the tests in
between read the state file through e2e.Display. Where Xvfb is not installed,
"start" records that in the state file and exits with the skip code, and so do
the tests that need the display.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import time

SKIP = 77


def start(state_path):
    if os.path.exists(state_path):
        stop(state_path)
    xvfb = shutil.which("Xvfb")
    if xvfb is None:
        write_state(state_path, {"missing": "Xvfb is not installed (package xvfb)"})
        print("SKIP: Xvfb is not installed (package xvfb); no end-to-end test can run")
        return SKIP
    for tool in ("openbox", "xdotool", "wmctrl"):
        if shutil.which(tool) is None:
            print(f"{tool} is missing: scripts/install-deps.sh installs it", file=sys.stderr)
            return 1

    # Xvfb picks a free display number itself and writes it to the pipe.
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        [xvfb, "-displayfd", str(write_end), "-screen", "0", "1600x1000x24", "+extension", "GLX",
         "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        print("Xvfb did not start", file=sys.stderr)
        return 1
    display = ":" + number.decode()

    env = dict(os.environ, DISPLAY=display)
    manager = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    write_state(state_path, {"display": display, "pids": [manager.pid, server.pid]})
    if not wait_for_manager(env):
        print("openbox did not take over the display", file=sys.stderr)
        stop(state_path)
        return 1
    print(f"display {display}: Xvfb {server.pid}, openbox {manager.pid}")
    return 0


def wait_for_manager(env, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        probe = subprocess.run(["wmctrl", "-m"], env=env, capture_output=True, text=True)
        if probe.returncode == 0 and "openbox" in probe.stdout.lower():
            return True
        time.sleep(0.1)
    return False


def stop(state_path):
    try:
        with open(state_path) as f:
            state = json.load(f)
    except (OSError, ValueError):
        return 0
    for pid in state.get("pids", []):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    os.remove(state_path)
    return 0


def write_state(path, state):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w") as f:
        json.dump(state, f)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit(__doc__)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
