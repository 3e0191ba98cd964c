#!/usr/bin/python3
"""Volscope started as a Wayland session starts it: natively on Wayland, through X11 where an X
server is there too, and with no display at all.

    wayland_session_test.py VOLSCOPE

DISPLAY must name an X server and WAYLAND_DISPLAY a Wayland compositor (tests/desktop/x_server.sh
exec and tests/desktop/weston.sh exec, one inside the other). The program is driven through the
accessibility actions of its controls (a compositor's headless backend takes no input from
other programs) and read through AT-SPI, with a D-Bus session and bus of its own.

Exits 0 when it passes, 1 when it fails, and 77, saying why, where it cannot run.
"""

import os
import subprocess
import sys
import tempfile

from desktop_session import (BROWSER, MAIN, Desktop, Failure, Skip, accessibility_bus,
                             assert_equal, log, main_of, started, wait_until)


def environment(**variables):
    """The test's environment without a platform chosen for Qt, with `variables` set (None:
    left out)."""
    chosen = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    chosen.pop("QT_QPA_PLATFORM", None)
    for name, value in variables.items():
        if value is None:
            chosen.pop(name, None)
        else:
            chosen[name] = value
    return chosen


def ends_with(volscope, status, what):
    try:
        assert_equal(volscope.process.wait(timeout=10), status, what)
    except subprocess.TimeoutExpired:
        raise Failure(f"the program still runs after {what}")


def without_a_display(binary):
    log("neither an X server nor a Wayland compositor")
    with tempfile.TemporaryDirectory() as runtime:
        result = subprocess.run([binary], capture_output=True, text=True, timeout=30,
                                env=environment(DISPLAY=None, WAYLAND_DISPLAY=None,
                                                XDG_RUNTIME_DIR=runtime))
    assert_equal(result.returncode, 1, "the exit status without a display (not a signal)")
    lines = result.stderr.splitlines()
    if len(lines) != 1 or "cannot show a window" not in lines[0]:
        raise Failure(f"not one plain line on the standard error: {result.stderr!r}")


def natively_on_wayland(pyatspi, binary):
    log("natively on Wayland")
    with started(pyatspi, binary, environment(DISPLAY=None), on_x=False) as volscope:
        assert_equal(volscope.form(MAIN).getRoleName(), "frame", "the main window's role")
        volscope.act(MAIN, "push button", "Next drive")
        volscope.wait_for_letter("D")
        volscope.act(MAIN, "push button", "Previous drive")
        volscope.wait_for_letter("C")
        volscope.act(MAIN, "push button", "Browse...")
        wait_until("the browser", lambda: volscope.form(BROWSER))
        wait_until("the root in the folder list", lambda: volscope.rows("Folders")[:1] == ["C:\\"])
        volscope.act(BROWSER, "push button", "Close")
        wait_until("the browser to close", lambda: not volscope.shown(BROWSER))
        volscope.act(MAIN, "push button", "Close")
        ends_with(volscope, 0, "Close")


def through_x11_when_both_are_there(pyatspi, binary):
    log("with an X server and a Wayland compositor")
    with started(pyatspi, binary, environment(), on_x=False) as volscope:
        wait_until("the main window on the X server", lambda: Desktop.window(MAIN))
        volscope.act(MAIN, "push button", "Close")
        ends_with(volscope, 0, "Close")


def session(binary):
    if not os.environ.get("DISPLAY") or not os.environ.get("WAYLAND_DISPLAY"):
        raise Skip("needs an X server (DISPLAY) and a Wayland compositor (WAYLAND_DISPLAY)")
    without_a_display(binary)
    with accessibility_bus() as pyatspi:
        natively_on_wayland(pyatspi, binary)
        through_x11_when_both_are_there(pyatspi, binary)


if __name__ == "__main__":
    sys.exit(main_of(session))
