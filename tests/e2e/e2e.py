"""Helpers for end-to-end tests that drive the real program on the private
display of display.py: the display itself, the program as the README's run
command starts it, an OSC receiver on loopback, and cue and settings files.
"""

import json
import os
import select
import socket
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def wait_until(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Display:
    """The display that the fixture started; exits with the skip code when
    the fixture could not start one because Xvfb is missing."""

    def __init__(self, state_path):
        try:
            with open(state_path) as f:
                state = json.load(f)
        except (OSError, ValueError):
            fail(f"no display state in {state_path}: is the display fixture running?")
        if "missing" in state:
            print("SKIP: " + state["missing"])
            sys.exit(SKIP)
        self.name = state["display"]

    def run(self, *command):
        return subprocess.run(list(command), env=dict(os.environ, DISPLAY=self.name),
                              capture_output=True, text=True)

    def visible_windows(self, pid):
        found = self.run("xdotool", "search", "--onlyvisible", "--pid", str(pid))
        return [int(w) for w in found.stdout.split()]

    def window_name(self, window):
        return self.run("xdotool", "getwindowname", str(window)).stdout.strip()

    def activate(self, window):
        self.run("xdotool", "windowactivate", "--sync", str(window))
        wait_until(lambda: self.active_window() == window, 5)

    def active_window(self):
        found = self.run("xdotool", "getactivewindow").stdout.strip()
        return int(found) if found else None

    def key(self, *keys):
        self.run("xdotool", "key", *keys)

    def hold_key(self, key, seconds):
        self.run("xdotool", "keydown", key)
        time.sleep(seconds)
        self.run("xdotool", "keyup", key)

    def close(self, window):
        """Asks the window to close as its title bar's close button does."""
        self.run("wmctrl", "-i", "-c", hex(window))


class Program:
    """tarv_cue with a configuration folder of its own, started the way
    scripts/run.sh starts it: the binary with the arguments given."""

    def __init__(self, binary, display, home, arguments):
        self.display = display
        env = dict(os.environ)
        env.update(DISPLAY=display.name, QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_RUNTIME_DIR=os.path.join(home, "runtime"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.log_path = os.path.join(home, "program.log")
        self.log = open(self.log_path, "w")
        self.process = subprocess.Popen([binary] + list(arguments), env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.pid = self.process.pid

    def output(self):
        self.log.flush()
        with open(self.log_path) as f:
            return f.read()

    def main_window(self, timeout=30):
        def find():
            for window in self.display.visible_windows(self.pid):
                if self.display.window_name(window) == "TARV|Cue":
                    return window
            return None
        window = wait_until(find, timeout, 0.2)
        check(window is not None, "the main window did not show:\n" + self.output())
        return window

    def other_windows(self, main):
        return [w for w in self.display.visible_windows(self.pid) if w != main]

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()


class OscReceiver:
    """A UDP socket on a free loopback port that reads OSC messages."""

    def __init__(self):
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.socket.bind(("127.0.0.1", 0))
        self.port = self.socket.getsockname()[1]

    def receive(self, timeout):
        """The address of the next message, or None when none came in time."""
        ready, _, _ = select.select([self.socket], [], [], timeout)
        if not ready:
            return None
        datagram = self.socket.recv(65536)
        return datagram.split(b"\0", 1)[0].decode()

    def drain(self):
        while self.receive(0) is not None:
            pass


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def write_osc_settings(home, listen_port):
    """Points the program's OSC listener at a port of the test's own."""
    folder = os.path.join(home, "config", "tarv_cue")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "osc_settings.tarv"), "w") as f:
        json.dump({"version": "1.0", "oscEnabled": True, "oscListenPort": listen_port}, f)


def event_fields(kind, name, offset=0, number=""):
    return {"type": kind, "offset": offset, "act": "", "scene": "", "number": number,
            "name": name, "status": "", "cue_line": "", "disable_delete": False}


def osc_cue(number, name, messages):
    """A cue whose OSC events send each (offset, message text) to NETWORK1."""
    cue = event_fields("GROUP", name, number=number)
    cue["events"] = []
    for offset, message in messages:
        event = event_fields("OSC", "", offset)
        event.update(network_id="NETWORK1", message=message)
        cue["events"].append(event)
    return cue


def write_cue_file(path, cues, osc_port):
    main = event_fields("GROUP", "")
    main["events"] = cues
    document = {
        "version": "1.0", "min_read_version": "1.0", "main": main, "sound_effects": [],
        "network_paths": [{"name": "Receiver", "network_id": "NETWORK1",
                           "ip_address": "127.0.0.1", "mode": "udp", "port": osc_port}],
    }
    with open(path, "w") as f:
        json.dump(document, f, indent=4)


def make_home(prefix):
    return tempfile.mkdtemp(prefix=prefix)
