#!/usr/bin/env python3
"""The display fixture on a slow machine: an openbox that needs 15 seconds to
take over the display (as on a fresh, busy machine) still gives a display, and
an openbox that ends at once is reported without waiting the full minute,
naming what the start waited for, and leaves no Xvfb behind.

    test_display_start.py <display.py>
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import e2e
from e2e import check

SLOW_OPENBOX = 15


def wrapped_openbox(folder, body):
    """A folder whose "openbox" runs `body` (a shell fragment; $real is the
    real openbox) in place of the installed one."""
    real = shutil.which("openbox")
    os.makedirs(folder)
    path = os.path.join(folder, "openbox")
    with open(path, "w") as f:
        f.write(f"#!/bin/sh\nreal='{real}'\n{body}\n")
    os.chmod(path, 0o755)
    return dict(os.environ, PATH=folder + os.pathsep + os.environ["PATH"])


def start(script, state, env):
    began = time.monotonic()
    result = subprocess.run([sys.executable, script, "start", state], env=env,
                            capture_output=True, text=True, timeout=180)
    return result, time.monotonic() - began


def stop(script, state):
    subprocess.run([sys.executable, script, "stop", state], check=True)


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    # A child of ours that ended but was not reaped still answers.
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(") ", 1)[1][0] != "Z"


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    script = sys.argv[1]
    for tool, package in (("Xvfb", "xvfb"), ("openbox", "openbox"), ("wmctrl", "wmctrl")):
        e2e.require_tool(tool, package)
    home = tempfile.mkdtemp(prefix="tarv-display-")

    state = os.path.join(home, "slow.json")
    env = wrapped_openbox(os.path.join(home, "slow"), f'sleep {SLOW_OPENBOX}\nexec "$real" "$@"')
    result, took = start(script, state, env)
    try:
        check(result.returncode == 0, f"a display whose openbox took {SLOW_OPENBOX} s to start "
              f"was given up after {took:.1f} s:\n{result.stdout}{result.stderr}")
        print(f"slow openbox: display ready after {took:.1f} s")
    finally:
        stop(script, state)

    state = os.path.join(home, "broken.json")
    env = wrapped_openbox(os.path.join(home, "broken"), "echo 'openbox: no display' >&2\nexit 3")
    before = set(int(p) for p in os.listdir("/proc") if p.isdigit())
    result, took = start(script, state, env)
    print(f"broken openbox: reported after {took:.1f} s: {result.stderr.strip()}")
    check(result.returncode not in (0, e2e.SKIP), "a display without a window manager was started")
    check(took < 30, f"an openbox that ended at once was reported only after {took:.1f} s")
    check("openbox" in result.stderr and "wmctrl" in result.stderr and "3" in result.stderr,
          "the failure does not say what the start waited for and how openbox ended: " + result.stderr)
    servers = [p for p in set(int(p) for p in os.listdir("/proc") if p.isdigit()) - before
               if alive(p) and "Xvfb" in open(f"/proc/{p}/cmdline", errors="replace").read()]
    check(not servers, f"the failed start left Xvfb running: {servers}")
    shutil.rmtree(home, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    main()
