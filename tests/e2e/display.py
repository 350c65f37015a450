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
import select
import shutil
import signal
import subprocess
import sys
import time

SKIP = 77
# A fresh machine that is busy building and testing may take many seconds to
# start a server or a window manager; only a minute without progress is a fault.
PATIENCE = 60.0


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
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
        start_new_session=True)
    os.close(write_end)
    number = read_display_number(read_end, PATIENCE)
    if not number:
        ended = server.poll()
        server.kill()
        _, errors = server.communicate()
        how = (f"it ended with exit code {ended}" if ended is not None
               else f"it was still running after {PATIENCE:.0f} s and was stopped")
        print(f"Xvfb did not start: waited for it to write its display number to the pipe "
              f"given by -displayfd; {how}\n{errors.decode(errors='replace').strip()}",
              file=sys.stderr)
        return 1
    server.stderr.close()
    display = ":" + number.decode()

    env = dict(os.environ, DISPLAY=display)
    manager = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, start_new_session=True)
    write_state(state_path, {"display": display, "pids": [manager.pid, server.pid]})
    waited_for = wait_for_manager(env, manager, PATIENCE)
    if waited_for:
        print(f"openbox did not take over display {display}: {waited_for}", file=sys.stderr)
        stop(state_path)
        return 1
    manager.stderr.close()
    print(f"display {display}: Xvfb {server.pid}, openbox {manager.pid}")
    return 0


def read_display_number(pipe, timeout):
    """What Xvfb writes to its -displayfd pipe, or b"" when it ends or the
    time runs out first."""
    deadline = time.monotonic() + timeout
    number = b""
    try:
        while not number.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([pipe], [], [], remaining)[0]:
                return b""
            chunk = os.read(pipe, 64)
            if not chunk:
                return b""
            number += chunk
    finally:
        os.close(pipe)
    return number.strip()


def wait_for_manager(env, manager, timeout):
    """None once `wmctrl -m` names openbox as the display's window manager;
    otherwise what was waited for and what was seen instead."""
    deadline = time.monotonic() + timeout
    answer = "no answer yet"
    while True:
        probe = subprocess.run(["wmctrl", "-m"], env=env, capture_output=True, text=True)
        if probe.returncode == 0 and "openbox" in probe.stdout.lower():
            return None
        answer = (probe.stdout + probe.stderr).strip() or f"exit code {probe.returncode}"
        ended = manager.poll()
        if ended is not None:
            errors = manager.stderr.read().decode(errors="replace").strip()
            return (f"openbox ended with exit code {ended} before `wmctrl -m` named it the "
                    f"window manager\n{errors}")
        if time.monotonic() >= deadline:
            return (f"waited {timeout:.0f} s for `wmctrl -m` to name openbox the window manager; "
                    f"its last answer: {answer}")
        time.sleep(0.1)


def stop(state_path):
    try:
        with open(state_path) as f:
            state = json.load(f)
    except (OSError, ValueError):
        return 0
    pids = state.get("pids", [])
    signal_all(pids, signal.SIGTERM)
    # The next start, or a check for leftovers, must not find them running.
    deadline = time.monotonic() + 10
    while any(running(pid) for pid in pids) and time.monotonic() < deadline:
        time.sleep(0.05)
    signal_all([pid for pid in pids if running(pid)], signal.SIGKILL)
    os.remove(state_path)
    return 0


def signal_all(pids, number):
    for pid in pids:
        try:
            os.kill(pid, number)
        except ProcessLookupError:
            pass


def running(pid):
    """False once the process has ended, reaped or not."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(") ", 1)[1][0] != "Z"
    except (OSError, IndexError):
        return False


def write_state(path, state):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w") as f:
        json.dump(state, f)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        sys.exit(__doc__)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
