#!/usr/bin/env python3
"""What the program tells the operator, and what it keeps to the terminal:
GO on the new list, whose first cue plays the sound effect sfx.1 that a new
list lacks, opens no window; neither do a peer's commands for an instance
the open file lacks, and the next Space fires the next cue; a peer's
control characters reach the terminal escaped. At start-up with the listen
port taken and a file that needed repairs, both messages show, one after
the other.

    test_messages.py <tarv_cue binary> <display state file> [scenario...]
"""

import ctypes
import os
import socket
import sys
import time

import e2e
from e2e import check


def start(binary, display, home, arguments):
    program = e2e.Program(binary, display, home, arguments)
    window = program.main_window()
    display.activate(window)
    return program, window


def close(program, display, window):
    display.close(window)
    code = program.wait_exit(60)
    check(code == 0, f"closing ended with {code}:\n" + program.output()[-2000:])


def no_window_opens(program, display, window, what):
    """A window would open while the program handles what was sent, or
    shortly after: a message window is mapped by the window manager."""
    display.settle(window)
    time.sleep(1.5)
    others = program.other_windows(window)
    check(not others, f"{what} opened a window:\n" + program.output()[-2000:])


def go_on_the_new_list(binary, display):
    home = e2e.make_home("tarv-messages-")
    e2e.write_osc_settings(home, e2e.free_udp_port())
    program, window = start(binary, display, home, [])
    try:
        display.key("space")  # "First Cue" plays sfx.1 at once and stops it after 1 s
        no_window_opens(program, display, window, "GO on the new list")
        check(e2e.wait_until(lambda: "There is no sound effect sfx.1." in program.output(), 30),
              "the refused play was not reported on standard error:\n" + program.output())
        close(program, display, window)
        e2e.remove_home(home)
    finally:
        program.stop()


def peer_commands_for_unknown_instances(binary, display):
    home = e2e.make_home("tarv-messages-")
    listen_port = e2e.free_udp_port()
    e2e.write_osc_settings(home, listen_port)
    receiver = e2e.OscReceiver()
    show = os.path.join(home, "show.tarvcue")
    e2e.write_cue_file(show, [e2e.osc_cue("1", "One", [(0, "/show/one 1")]),
                              e2e.osc_cue("2", "Two", [(0, "/show/two 2")])], receiver.port)
    program, window = start(binary, display, home, [show])
    try:
        display.key("space")
        got = receiver.receive(30)
        check(got == "/show/one", f"the first cue sent {got}:\n" + program.output())

        e2e.osc_send(listen_port, "/tarv/sfx/sfx.99/play")
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.99/stop")
        e2e.osc_send(listen_port, "/tarv/sfx/sfx.99/fadeto", "ff", "-6", "1")
        # A command whose id would retitle the terminal and forge a line.
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
            address = b"/tarv/sfx/\x1b]0;owned\x07\nFAKE/play\0"
            peer.sendto(address + b"\0" * (-len(address) % 4), ("127.0.0.1", listen_port))
        # Heard once the last of them is reported.
        e2e.wait_until(lambda: "owned" in program.output(), 30)
        no_window_opens(program, display, window, "an OSC play of an unknown instance")

        display.key("space")
        got = receiver.receive(30)
        check(got == "/show/two", f"Space after the refused commands sent {got}:\n"
              + program.output())

        output = e2e.wait_until(lambda: "owned" in program.output() and program.output(), 30)
        check("There is no sound effect sfx.99." in output,
              "the refused commands were not reported on standard error:\n" + output)
        check("\x1b" not in output and "\nFAKE" not in output and "\\x1b]0;owned\\x07\\nFAKE"
              in output, "the peer's control characters reached the terminal:\n" + repr(output))
        close(program, display, window)
        e2e.remove_home(home)
    finally:
        program.stop()


def keyboard_at_server(display):
    """Whether another client holds the keyboard, so that no key reaches the
    window with the focus (a grab of our own is then refused), and which
    keys are down, as one that an earlier test left down would be."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_int, ctypes.c_ulong]
    x11.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XQueryKeymap.argtypes = [ctypes.c_void_p, ctypes.c_char * 32]
    x11.XKeycodeToKeysym.restype = ctypes.c_ulong
    x11.XKeycodeToKeysym.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int]
    x11.XKeysymToString.restype = ctypes.c_char_p
    x11.XKeysymToString.argtypes = [ctypes.c_ulong]
    connection = x11.XOpenDisplay(display.name.encode())
    if not connection:
        return "unknown"
    try:
        already_grabbed, grab_mode_async, current_time = 1, 1, 0
        status = x11.XGrabKeyboard(connection, x11.XDefaultRootWindow(connection), 0,
                                   grab_mode_async, grab_mode_async, current_time)
        if status == 0:
            x11.XUngrabKeyboard(connection, current_time)
        keymap = (ctypes.c_char * 32)()
        x11.XQueryKeymap(connection, keymap)
        down = [code for code in range(8, 256) if keymap.raw[code // 8] & (1 << code % 8)]
        names = [(x11.XKeysymToString(x11.XKeycodeToKeysym(connection, code, 0)) or b"?").decode()
                 for code in down]
        return (f"{'held' if status == already_grabbed else 'not held'} by another client, "
                f"keys down: {', '.join(names) or 'none'}")
    finally:
        x11.XCloseDisplay(connection)


def keyboard_state(display, program, main):
    focus = display.run("xdotool", "getwindowfocus").stdout.strip()
    windows = ", ".join(f"{w} {display.window_name(w)!r}" for w in program.other_windows(main))
    return (f"the keyboard is on window {focus}, the window manager's active window is "
            f"{display.active_window()}, the keyboard is {keyboard_at_server(display)}, the main "
            f"window is {main}, the others are {windows}")


def start_up_messages_in_turn(binary, display):
    home = e2e.make_home("tarv-messages-")
    listen_port = e2e.free_udp_port()
    e2e.write_osc_settings(home, listen_port)
    show = os.path.join(home, "show.tarvcue")
    # Two instances with one id: opening the file renumbers one, with a note.
    e2e.write_cue_file(show, [e2e.cue("1", "One", [])], e2e.free_udp_port(),
                       [e2e.sound_effect("sfx.1", "tone.a440", "A"),
                        e2e.sound_effect("sfx.1", "tone.a440", "B")])
    holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    holder.bind(("0.0.0.0", listen_port))
    # Should a message ignore Return, the program's account of where its
    # keyboard went tells why.
    focus_log = {"QT_LOGGING_RULES": "qt.quick.focus=true;qt.qpa.events=true"}
    program = e2e.Program(binary, display, home, [show], environment=focus_log)
    try:
        window = program.main_window()
        # Each Return closes the message in front; the next, if any, follows
        # as the program handles the Return. A message may take a moment
        # after it shows to put the keyboard on its button: a Return that
        # came too soon is pressed again, as an operator would.
        shown = []
        while len(shown) < 5:
            message = e2e.wait_until(lambda: program.other_windows(window),
                                     60 if not shown else 5)
            if not message:
                break
            shown.append(message[0])
            closed = False
            for _ in range(5):
                display.activate(message[0])
                display.key("Return")
                closed = e2e.wait_until(
                    lambda: message[0] not in program.other_windows(window), 5)
                if closed:
                    break
            check(closed, "Return left a message open: " + keyboard_state(display, program, window)
                  + "\n" + program.output())
            display.settle(window)
        check(len(shown) == 2, f"{len(shown)} messages showed at start-up instead of the taken "
              "port's and the file's:\n" + program.output())
        close(program, display, window)
        e2e.remove_home(home)
    finally:
        holder.close()
        program.stop()


SCENARIOS = [go_on_the_new_list, peer_commands_for_unknown_instances, start_up_messages_in_turn]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    binary, state, chosen = sys.argv[1], sys.argv[2], sys.argv[3:]
    display = e2e.Display(state)
    for scenario in SCENARIOS:
        if not chosen or scenario.__name__ in chosen:
            scenario(binary, display)
    print("PASS")


if __name__ == "__main__":
    main()
