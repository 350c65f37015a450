"""Helpers for end-to-end tests that drive the real program on the private
display of display.py: the display itself, the program as the README's run
command starts it, OSC receivers on loopback (a Python socket and liblo's
oscdump), the private sound server's monitor, and cue and settings files.
"""

import ctypes
import itertools
import json
import os
import random
import resource
import select
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def check_timing(condition, message):
    """A timing check: on a machine busier than it has processors, a late
    message may be the scheduler's, not the program's, and the test skips
    with what it measured instead of failing."""
    if condition:
        return
    load, processors = os.getloadavg()[0], os.cpu_count() or 1
    if load > processors:
        skip(f"{message}; the machine is too busy (load {load:.1f} on {processors} processors) "
             "to tell a late program from a late scheduler")
    fail(message)


def skip(message):
    print("SKIP: " + message)
    sys.exit(SKIP)


def require_tool(tool, package):
    if shutil.which(tool) is None:
        skip(f"{tool} is not installed (package {package}; scripts/install-deps.sh installs it)")


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
        """Gives the window the keyboard, and returns once its program has
        taken the focus in and is ready for keys. A window behind a modal
        dialog of its program is not given it (xdotool's own wait for that
        would last 15 s)."""
        self.run("xdotool", "windowactivate", str(window))
        wait_until(lambda: self.active_window() == window, 5)
        self.settle(window)

    def settle(self, window, timeout=120):
        """Returns once the program of the window has handled every key and
        click sent so far and drawn what they changed; False when it did not
        answer in time or the window went away. The program answers the
        window manager's ping from its event loop only: not while it is
        still opening a file, saving or building a window."""
        return _Pinger(self.name).settle(window, timeout)

    def answer_time(self, window, timeout=120):
        """How long the program of the window took to answer one ping sent
        now: what it was busy with before it could take the next event,
        such as a key sent just before. None when it did not answer in time."""
        return _Pinger(self.name).answer_time(window, timeout)

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


class _Pinger:
    """The window manager's ping (_NET_WM_PING), sent to a program's window
    over a connection of our own through libxcb: a program answers it from
    its event loop, after the events that came before it.

    A program takes in all the events that have come, answering pings among
    them, before it acts on the keys and clicks among them: only a second
    ping, sent after the first answer, is answered after those acts. What
    they changed is drawn within a frame (a timer that is due before the
    third ping is handled)."""

    _tokens = itertools.count(1)
    CLIENT_MESSAGE = 33
    FRAME = 0.05

    class _Event(ctypes.Structure):
        _fields_ = [("response_type", ctypes.c_uint8), ("format", ctypes.c_uint8),
                    ("sequence", ctypes.c_uint16), ("window", ctypes.c_uint32),
                    ("type", ctypes.c_uint32), ("data", ctypes.c_uint32 * 5)]

    class _RootIterator(ctypes.Structure):
        _fields_ = [("data", ctypes.POINTER(ctypes.c_uint32)), ("rem", ctypes.c_int),
                    ("index", ctypes.c_int)]

    _xcb = None

    @classmethod
    def _library(cls):
        if cls._xcb is None:
            xcb = ctypes.CDLL("libxcb.so.1")
            xcb.xcb_connect.restype = ctypes.c_void_p
            xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_int)]
            for name in ("xcb_connection_has_error", "xcb_get_file_descriptor", "xcb_flush"):
                getattr(xcb, name).argtypes = [ctypes.c_void_p]
            xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
            xcb.xcb_get_setup.restype = ctypes.c_void_p
            xcb.xcb_get_setup.argtypes = [ctypes.c_void_p]
            xcb.xcb_setup_roots_iterator.restype = cls._RootIterator
            xcb.xcb_setup_roots_iterator.argtypes = [ctypes.c_void_p]
            xcb.xcb_intern_atom.restype = ctypes.c_uint
            xcb.xcb_intern_atom.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint16,
                                            ctypes.c_char_p]
            xcb.xcb_intern_atom_reply.restype = ctypes.POINTER(ctypes.c_uint32)
            xcb.xcb_intern_atom_reply.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_void_p]
            xcb.xcb_get_window_attributes.restype = ctypes.c_uint
            xcb.xcb_get_window_attributes.argtypes = [ctypes.c_void_p, ctypes.c_uint32]
            xcb.xcb_get_window_attributes_reply.restype = ctypes.c_void_p
            xcb.xcb_get_window_attributes_reply.argtypes = [ctypes.c_void_p, ctypes.c_uint,
                                                            ctypes.c_void_p]
            xcb.xcb_change_window_attributes.argtypes = [ctypes.c_void_p, ctypes.c_uint32,
                                                         ctypes.c_uint32,
                                                         ctypes.POINTER(ctypes.c_uint32)]
            xcb.xcb_send_event.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint32,
                                           ctypes.c_uint32, ctypes.c_void_p]
            xcb.xcb_poll_for_event.restype = ctypes.c_void_p
            xcb.xcb_poll_for_event.argtypes = [ctypes.c_void_p]
            cls._free = ctypes.CDLL(None).free
            cls._free.argtypes = [ctypes.c_void_p]
            cls._xcb = xcb
        return cls._xcb

    def __init__(self, display_name):
        self.display_name = display_name.encode()

    def settle(self, window, timeout):
        return self._pings(window, timeout, (0, 0, self.FRAME)) is not None

    def answer_time(self, window, timeout):
        return self._pings(window, timeout, (0,))

    def _pings(self, window, timeout, pauses):
        """Sends a ping after each pause, each once the last was answered;
        the time the last took to be answered, None when one was not."""
        xcb = self._library()
        connection = xcb.xcb_connect(self.display_name, None)
        try:
            if xcb.xcb_connection_has_error(connection):
                fail(f"could not connect to the display {self.display_name.decode()}")
            self.connection = connection
            root = xcb.xcb_setup_roots_iterator(xcb.xcb_get_setup(connection)).data[0]
            protocols, ping = self._atom(b"WM_PROTOCOLS"), self._atom(b"_NET_WM_PING")
            # The answer goes to the root window, to whoever listens there for
            # its own structure (as Qt does) or its children's (as window managers do).
            structure_notify, substructure_notify, event_mask = 1 << 17, 1 << 19, 1 << 11
            xcb.xcb_change_window_attributes(
                connection, root, event_mask,
                (ctypes.c_uint32 * 1)(structure_notify | substructure_notify))
            deadline = time.monotonic() + timeout
            took = None
            for pause in pauses:
                time.sleep(pause)
                token = next(self._tokens)
                event = self._Event(self.CLIENT_MESSAGE, 32, 0, window, protocols,
                                    (ctypes.c_uint32 * 5)(ping, token, window, 0, 0))
                sent = time.monotonic()
                xcb.xcb_send_event(connection, 0, window, 0, ctypes.byref(event))
                xcb.xcb_flush(connection)
                if not self._answer(window, ping, token, deadline):
                    return None
                took = time.monotonic() - sent
            return took
        finally:
            self.connection = None
            xcb.xcb_disconnect(connection)

    def _atom(self, name):
        xcb = self._xcb
        reply = xcb.xcb_intern_atom_reply(
            self.connection, xcb.xcb_intern_atom(self.connection, 0, len(name), name), None)
        check(bool(reply), f"the display has no atom {name.decode()}")
        atom = reply[2]
        self._free(reply)
        return atom

    def _exists(self, window):
        xcb = self._xcb
        reply = xcb.xcb_get_window_attributes_reply(
            self.connection, xcb.xcb_get_window_attributes(self.connection, window), None)
        self._free(reply)
        return bool(reply)

    def _answer(self, window, ping, token, deadline):
        """Waits for the answer to ping `token`; False when the time runs out
        or the window is gone (a closed window answers nothing)."""
        xcb = self._xcb
        descriptor = xcb.xcb_get_file_descriptor(self.connection)
        next_check = time.monotonic() + 0.2
        while not xcb.xcb_connection_has_error(self.connection):
            pointer = xcb.xcb_poll_for_event(self.connection)
            if pointer:
                event = self._Event.from_address(pointer)
                answered = (event.response_type & 0x7F == self.CLIENT_MESSAGE and
                            event.data[0] == ping and event.data[1] == token and
                            event.data[2] == window)
                self._free(pointer)
                if answered:
                    return True
                continue
            now = time.monotonic()
            if now >= deadline:
                print(f"window {window:#x} did not answer a ping in time", file=sys.stderr)
                return False
            if now >= next_check:
                if not self._exists(window):
                    return False
                next_check = now + 0.2
            select.select([descriptor], [], [], min(deadline, next_check) - now)
        return False



class Program:
    """tarv_cue with a configuration folder of its own, started the way
    scripts/run.sh starts it: the binary with the arguments given."""

    def __init__(self, binary, display, home, arguments, file_size_limit=None, environment=None,
                 cwd=None):
        self.display = display
        env = dict(os.environ)
        env.update(DISPLAY=display.name, QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_RUNTIME_DIR=os.path.join(home, "runtime"))
        env.update(environment or {})
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.log_path = os.path.join(home, "program.log")
        self.log = open(self.log_path, "w")
        def prepare():
            allow_core_dump()
            if file_size_limit is not None:
                limit_file_size(file_size_limit)

        self.binary = binary
        self.cwd = cwd or os.getcwd()
        self.started = time.time()
        self.process = subprocess.Popen([binary] + list(arguments), env=env, cwd=cwd,
                                        stdout=self.log, stderr=subprocess.STDOUT,
                                        preexec_fn=prepare)
        self.pid = self.process.pid

    def check_running(self):
        """Fails with how the program ended and what it printed last, if it
        has ended."""
        code = self.process.poll()
        if code is None:
            return
        how = (f"was killed by {signal.Signals(-code).name}" if code < 0
               else f"exited with code {code}")
        fail(f"the program {how}; its last output:\n" + self.output()[-4000:]
             + self.crash_backtrace())

    def crash_backtrace(self):
        """Every thread's stack from the program's core file, where the
        system wrote one beside it and gdb is installed; the file is removed."""
        for name in (f"core.{self.pid}", "core"):
            core = os.path.join(self.cwd, name)
            if os.path.exists(core) and os.path.getmtime(core) >= self.started:
                break
        else:
            return ""
        try:
            if shutil.which("gdb") is None:
                return "\n(a core file was written, but gdb is not installed)"
            traced = subprocess.run(
                ["gdb", "-batch", "-ex", "thread apply all bt 25", self.binary, core],
                capture_output=True, text=True, errors="replace", timeout=120)
            return "\nthe program's threads when it ended:\n" + traced.stdout[-12000:]
        finally:
            os.remove(core)

    def threads(self):
        """Every thread's stack of the running program, where gdb is
        installed: where a program that does not answer is held up."""
        if shutil.which("gdb") is None or self.process.poll() is not None:
            return ""
        traced = subprocess.run(
            ["gdb", "-batch", "-p", str(self.pid), "-ex", "thread apply all bt 30"],
            capture_output=True, text=True, errors="replace", timeout=300)
        return "\nthe program's threads:\n" + traced.stdout[-20000:]

    def proc_field(self, name, field):
        """A field in KiB of /proc/<pid>/<name>, failing as check_running
        does when the program has ended."""
        self.check_running()
        try:
            with open(f"/proc/{self.pid}/{name}") as f:
                for line in f:
                    if line.startswith(field + ":"):
                        return int(line.split()[1])
        except ProcessLookupError:
            pass
        self.wait_exit(5)
        self.check_running()
        fail(f"/proc/{self.pid}/{name} has no {field}")

    def resident_kib(self):
        """The program's resident memory in KiB."""
        return self.proc_field("status", "VmRSS")

    def output(self):
        self.log.flush()
        # Hostile datagrams may put any bytes into the program's diagnostics.
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def main_window(self, timeout=60):
        def find():
            for window in self.display.visible_windows(self.pid):
                if self.display.window_name(window) == "TARV|Cue":
                    return window
            return None
        window = wait_until(find, timeout, 0.2)
        if window is None:
            self.check_running()
            fail("the main window did not show:\n" + self.output() + self.threads())
        return window

    def other_windows(self, main):
        return [w for w in self.display.visible_windows(self.pid) if w != main]

    def watches_folder(self, folder):
        """Whether the program watches the folder for changes, as a file
        dialog does once it lists the folder's files."""
        inode = f"ino:{os.stat(folder).st_ino:x} "
        try:
            descriptors = os.listdir(f"/proc/{self.pid}/fdinfo")
        except OSError:
            return False
        for descriptor in descriptors:
            try:
                with open(f"/proc/{self.pid}/fdinfo/{descriptor}") as f:
                    if any(line.startswith("inotify") and inode in line for line in f):
                        return True
            except OSError:
                pass  # closed meanwhile
        return False

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def copies(self):
        """The program's children that still run the program itself: forked
        and never turned into another program."""
        found = subprocess.run(["pgrep", "-P", str(self.pid)], capture_output=True, text=True)
        binary = os.path.realpath(self.binary)
        copies = []
        for pid in (int(p) for p in found.stdout.split()):
            try:
                if os.path.realpath(f"/proc/{pid}/exe") == binary:
                    copies.append(pid)
            except OSError:
                pass
        return copies

    def stop(self):
        """Ends the program, and fails when a copy of it outlives it: such a
        copy would keep its listening port and its windows."""
        copies = self.copies() if self.process.poll() is None else []
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        left = [pid for pid in copies if os.path.exists(f"/proc/{pid}")]
        for pid in left:
            os.kill(pid, signal.SIGKILL)
        check(not left, f"the program left copies of itself running: {left}")


class HeldFolder:
    """Folders that stop answering the program, as a network share does when
    its server goes away: strace holds each system call of the program, in
    any of its threads, that names one of the paths (or a descriptor opened
    on one) for `seconds` before the kernel sees it. Calls on any other path,
    a file inside the folder included, go on as before. `calls` narrows the
    held calls to some of strace's names ("openat": the folder is looked up
    at once, but its listing hangs). release() lets every held call go on at
    once; a test calls it in a `finally`, and a program that ends takes its
    strace with it."""

    def __init__(self, program, paths, seconds=3600, calls="all"):
        require_tool("strace", "strace")
        self.program = program
        self.log = tempfile.TemporaryFile(mode="w+")
        command = ["strace", "-f", "-qq", "-o", "/dev/null", "-p", str(program.pid),
                   "-e", f"inject={calls}:delay_enter={seconds}s"]
        for path in paths:
            command += ["-P", path]
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=self.log)
        if not wait_until(lambda: self._traced() or self.process.poll() is not None, 30):
            self.release()
            fail("strace did not take hold of every thread of the program")
        if self.process.poll() is not None:
            self.log.seek(0)
            skip("strace cannot hold the program's calls here: " + self.log.read().strip())

    def _tracers(self):
        tracers = []
        try:
            tasks = os.listdir(f"/proc/{self.program.pid}/task")
        except OSError:
            return tracers
        for task in tasks:
            try:
                with open(f"/proc/{self.program.pid}/task/{task}/status") as f:
                    tracers += [int(line.split()[1]) for line in f if line.startswith("TracerPid:")]
            except OSError:
                pass  # the thread ended meanwhile
        return tracers

    def _traced(self):
        tracers = self._tracers()
        return bool(tracers) and all(t == self.process.pid for t in tracers)

    def release(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        check(wait_until(lambda: not any(self._tracers()), 10),
              "the program was still traced after strace ended")


class Operator:
    """An operator at the running program: clicks, typing and the program's
    windows as they come and go, the main window active to begin with."""

    def __init__(self, display, program):
        self.display = display
        self.program = program
        self.main = program.main_window()
        display.activate(self.main)

    def click(self, window, point):
        """Clicks at the point and returns once the program has handled the
        click and drawn what it changed."""
        self.display.run("xdotool", "mousemove", "--window", str(window), str(point[0]),
                         str(point[1]), "click", "1")
        self.display.settle(window)

    def type(self, text):
        self.display.run("xdotool", "type", "--delay", "20", text)

    def window(self, title):
        """The program's window of that title, once it shows, activated."""
        def find():
            for window in self.program.other_windows(self.main):
                if self.display.window_name(window) == title:
                    return window
            return None
        window = wait_until(find, 30, 0.05)
        check(window is not None, f'no window "{title}" opened:\n' + self.program.output()[-2000:])
        self.display.activate(window)
        return window

    def gone(self, window, what):
        check(wait_until(lambda: window not in self.program.other_windows(self.main), 30),
              f"the {what} stayed open:\n" + self.program.output()[-2000:])

    def close_with_escape(self, window, what):
        """Closes the window with Escape as the operator would, then makes the
        main window active again."""
        self.display.activate(window)
        self.display.key("Escape")
        self.gone(window, what)
        self.display.activate(self.main)


def allow_core_dump():
    """Lets a crashing program leave a core file for crash_backtrace, as far
    as the hard limit allows."""
    _, hard = resource.getrlimit(resource.RLIMIT_CORE)
    resource.setrlimit(resource.RLIMIT_CORE, (hard, hard))


def limit_file_size(limit):
    """Makes writes beyond `limit` bytes fail with EFBIG instead of killing the
    process, as a full disk would (root's reserved blocks hide a truly full
    disk from root). Both survive exec."""
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    _, hard = resource.getrlimit(resource.RLIMIT_FSIZE)
    resource.setrlimit(resource.RLIMIT_FSIZE, (limit, hard))


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


class OscDump:
    """liblo's oscdump on a free loopback port. Each line it prints (it is
    line-buffered with -L) is stamped with the monotonic clock when it
    arrives, so the times are the receiving side's."""

    def __init__(self):
        require_tool("oscdump", "liblo-tools")
        self.port = free_udp_port()
        self.process = subprocess.Popen(["oscdump", "-L", str(self.port)], stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True, bufsize=1)
        self._lines = []
        self._lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()
        check(wait_until(lambda: port_taken(self.port), 5), "oscdump did not take its port")

    def _read(self):
        for line in self.process.stdout:
            arrived = time.monotonic()
            with self._lock:
                self._lines.append((arrived, line.rstrip("\n")))

    def messages(self):
        """(arrival time, message) for each message so far; a message reads as
        oscdump prints it without its time tag, e.g. "/show/one i 1"."""
        with self._lock:
            return [(t, line.split(" ", 1)[1] if " " in line else line) for t, line in self._lines]

    def wait_for(self, count, timeout):
        wait_until(lambda: len(self._lines) >= count, timeout, 0.01)
        return self.messages()

    def stop(self):
        self.process.kill()
        self.process.wait()


def port_taken(port):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        try:
            probe.bind(("127.0.0.1", port))
        except OSError:
            return True
    return False


def osc_send(port, address, *typed_arguments):
    """liblo's oscsend: typed_arguments is the type string and the values."""
    require_tool("oscsend", "liblo-tools")
    result = subprocess.run(["oscsend", "127.0.0.1", str(port), address] + list(typed_arguments),
                            capture_output=True, text=True)
    check(result.returncode == 0, f"oscsend {address} failed: {result.stderr}")


class SoundServer:
    """The private PulseAudio server of the sound fixture: its null sink
    "tarv_test" and a recorder of the sink's monitor (the sound tests'
    recorder, wrapped by tarv_e2e_monitor)."""

    SINK = "tarv_test"

    def __init__(self, monitor_tool):
        require_tool("pulseaudio", "pulseaudio")
        require_tool("parec", "pulseaudio-utils")
        server = os.environ.get("PULSE_SERVER", "")
        if not os.path.exists(server.partition(":")[2]):
            skip("the private PulseAudio server did not start (see the e2e_pulse_start output)")
        self.monitor_tool = monitor_tool

    def record(self):
        return Recording(self.monitor_tool, self.SINK)


class Recording:
    """The sink's monitor, recorded from construction until stop(). Levels are
    RMS values of 10 ms windows; their times are placed back from the moment
    recording stopped, on the monotonic clock."""

    WINDOW = 0.01

    def __init__(self, tool, sink):
        self.process = subprocess.Popen([tool, sink], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        ready = self.process.stdout.readline().strip()
        check(ready == "recording", f"the monitor of {sink} could not be recorded")
        self.levels = []
        self.stopped_at = None

    def stop(self):
        if self.stopped_at is not None:
            return
        self.process.stdin.close()
        lines = self.process.stdout.read().split()
        self.process.wait()
        check(len(lines) >= 2 and lines[0] == "stopped", "the recorder reported nothing")
        self.stopped_at = float(lines[1])
        self.levels = [float(level) for level in lines[2:]]

    def time_of(self, index):
        return self.stopped_at - (len(self.levels) - index) * self.WINDOW

    def level(self, start, end):
        """The median level of the windows between two monotonic times."""
        chosen = [v for i, v in enumerate(self.levels) if start <= self.time_of(i) <= end]
        check(chosen, f"the recording holds nothing between {start:.3f} and {end:.3f}")
        return statistics.median(chosen)

    def silent_since(self, threshold):
        """When the silence at the end of the recording began."""
        index = len(self.levels)
        while index > 0 and self.levels[index - 1] < threshold:
            index -= 1
        return self.time_of(index)


def make_tone(path, seconds, frequency=440, gain_db=-6):
    """A stereo 48 kHz sine tone written by sox; its RMS level is returned."""
    require_tool("sox", "sox")
    subprocess.run(["sox", "-n", "-r", "48000", "-c", "2", "-b", "16", path, "synth", str(seconds),
                    "sine", str(frequency), "gain", str(gain_db)], check=True)
    return 10 ** (gain_db / 20) / 2 ** 0.5


def hostile_datagrams(count):
    """Datagrams that are no valid command: noise, broken OSC, bundles, and
    well-formed messages with bad addresses or arguments."""
    import random
    generator = random.Random(17)
    shapes = [
        lambda: bytes(generator.getrandbits(8) for _ in range(generator.randint(1, 600))),
        lambda: b"/tarv",
        lambda: b"/tarv/sfx/sfx.1/play",  # no terminating NUL
        lambda: b"#bundle\0" + bytes(generator.getrandbits(8) for _ in range(24)),
        lambda: b"/tarv//go\0\0\0,\0\0\0",
        lambda: b"/tarv/cue/1/go\0\0,\0\0\0",
        lambda: b"/tarv/sfx/sfx.1/fadeto\0\0,s\0\0abc\0",
        lambda: b"/tarv/sfx/sfx.1/fadeto\0\0,ff\0" + struct.pack(">f", float("nan")),
        lambda: b"/tarv/go\0\0\0\0,iiiiiiiiiiiiiii\0" + b"\0\0\0\1",
        lambda: b"/other/address\0\0,\0\0\0",
    ]
    return [shapes[i % len(shapes)]() for i in range(count)]


def flood(port, count, seconds):
    """Sends `count` hostile datagrams to the port, evenly over `seconds`."""
    datagrams = hostile_datagrams(count)
    bursts = max(1, int(seconds * 100))
    per_burst = -(-count // bursts)
    start = time.monotonic()
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
        for burst in range(bursts):
            for datagram in datagrams[burst * per_burst:(burst + 1) * per_burst]:
                sender.sendto(datagram, ("127.0.0.1", port))
            delay = start + (burst + 1) * seconds / bursts - time.monotonic()
            if delay > 0:
                time.sleep(delay)


def start_flood(port, count, seconds):
    """flood() in a process of its own, so the sender takes no time from
    the test's own receivers."""
    return subprocess.Popen([sys.executable, os.path.abspath(__file__), "flood", str(port),
                             str(count), str(seconds)])


def free_udp_port():
    """A loopback UDP port free right now, below the range the kernel hands
    to sockets bound to port 0: no sender started meanwhile can take it
    before the program listens on it."""
    ephemeral_first = 32768
    try:
        with open("/proc/sys/net/ipv4/ip_local_port_range") as f:
            ephemeral_first = max(int(f.read().split()[0]), 12000)
    except (OSError, ValueError, IndexError):
        pass
    for _ in range(100):
        port = random.randrange(10000, ephemeral_first)
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
            try:
                probe.bind(("127.0.0.1", port))
                return port
            except OSError:
                continue
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


def cue(number, name, events):
    entry = event_fields("GROUP", name, number=number)
    entry["events"] = list(events)
    return entry


def osc_event(offset, message):
    """An OSC event that sends the message text to NETWORK1."""
    event = event_fields("OSC", "", offset)
    event.update(network_id="NETWORK1", message=message)
    return event


def osc_cue(number, name, messages):
    """A cue whose OSC events send each (offset, message text) to NETWORK1."""
    return cue(number, name, [osc_event(offset, message) for offset, message in messages])


def audio_event(offset, audio_file, volume=1.0, name=""):
    """An AUDIO event that plays a file once, centred."""
    event = event_fields("AUDIO", name, offset)
    event["audio_parameters"] = {
        "name": name, "file": audio_file, "output_path": "", "network_patch": "", "repeats": 0,
        "fade_in": 0, "fade_out": 0, "volume": volume, "reverb": 0.0, "pan": 0.5, "command": 0}
    return event


def wait_entry(milliseconds):
    entry = event_fields("WAIT", "", 0)
    entry.update(status="continue", wait_time=milliseconds)
    return entry


def sound_effect(event_id, effect_id, name, volume=1.0, repeats=-1):
    """A sound-effect instance of the built-in library, centred."""
    return {"name": name, "pan": 0.5, "volume": volume, "reverb": 0.0, "repeats": repeats,
            "fade_in": 0, "fade_out": 0, "output_path": "", "event_id": event_id,
            "effect_path": "", "effect_id": effect_id, "type": 0}


def write_cue_file(path, cues, osc_port, sound_effects=()):
    main = event_fields("GROUP", "")
    main["events"] = cues
    document = {
        "version": "1.0", "min_read_version": "1.0", "main": main,
        "sound_effects": list(sound_effects),
        "network_paths": [{"name": "Receiver", "network_id": "NETWORK1",
                           "ip_address": "127.0.0.1", "mode": "udp", "port": osc_port}],
    }
    with open(path, "w") as f:
        json.dump(document, f, indent=4)


def make_home(prefix):
    return tempfile.mkdtemp(prefix=prefix)


def remove_home(home):
    """Removes a passed test's folder; a failed test's stays for its log."""
    shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__" and len(sys.argv) == 5 and sys.argv[1] == "flood":
    flood(int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4]))
