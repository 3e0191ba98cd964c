#!/usr/bin/python3
"""Volscope as a user meets it: the real program on a real X server with a window manager.

    end_to_end_test.py VOLSCOPE

DISPLAY must name an X server with a window manager (tests/desktop/x_server.sh exec or run).
Holding the mount lock (tests/support/mount_lock.py), the test loop-mounts a small ext4 volume
with known files under a fresh folder in /mnt, starts the program, drives it with real input
through the X server (xdotool: XTest key presses and clicks) and reads what it shows through the
accessibility bus (AT-SPI), with a D-Bus session and bus of its own; it finds the volume's letter
by its label, as a user would. Any window other than the main window and the browser is a message box nobody
expected, and fails the test with its title and text.

Exits 0 when it passes, 1 when it fails, and 77, saying why, where it cannot run: not root,
mounting not permitted, or a tool missing.
"""

import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from mount_lock import mount_lock  # noqa: E402
from desktop_session import (BROWSER, MAIN, Desktop, Failure, Skip, accessibility_bus,
                             assert_equal, log, main_of, needs, run, started, wait_until)

VOLUME_LABEL = "VOLSCOPE-E2E"
# name -> content; the list shows them in this order.
FILES = {"alpha.txt": b"alpha\n", "bravo.txt": b"b" * 1024, "charlie.bin": b"\0" * 3000}


@contextlib.contextmanager
def test_volume():
    """A loop-mounted ext4 volume with FILES, mounted below /mnt where the program letters it."""
    if os.geteuid() != 0:
        raise Skip("mounting a test volume needs root")
    needs("mkfs.ext4", "mount", "umount")
    scratch = tempfile.mkdtemp(prefix="volscope-e2e-")
    image = os.path.join(scratch, "volume.img")
    mount_point = tempfile.mkdtemp(prefix="volscope-e2e-", dir="/mnt")
    mounted = False
    try:
        with open(image, "wb") as file:
            file.truncate(16 << 20)
        run("mkfs.ext4", "-q", "-L", VOLUME_LABEL, image)
        result = subprocess.run(["mount", "-o", "loop", image, mount_point],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise Skip(f"cannot loop-mount a volume here: {result.stderr.strip()}")
        mounted = True
        for name, content in FILES.items():
            with open(os.path.join(mount_point, name), "wb") as file:
                file.write(content)
        os.mkdir(os.path.join(mount_point, "Docs"))
        yield mount_point
    finally:
        if mounted and subprocess.run(["umount", mount_point], check=False).returncode != 0:
            subprocess.run(["umount", "-l", mount_point], check=False)
        os.rmdir(mount_point)
        shutil.rmtree(scratch)


def check_fixed_border(window, title):
    hints = Desktop.property(window, "WM_NORMAL_HINTS")
    minimum = hints.split("minimum size:", 1)[1].split("\n", 1)[0].strip() if "minimum" in hints \
        else None
    maximum = hints.split("maximum size:", 1)[1].split("\n", 1)[0].strip() if "maximum" in hints \
        else None
    if minimum is None or minimum != maximum:
        raise Failure(f"{title}: the window manager is not told a fixed size: {hints}")
    actions = Desktop.property(window, "_NET_WM_ALLOWED_ACTIONS")
    for forbidden in ("_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                      "_NET_WM_ACTION_RESIZE"):
        if forbidden in actions:
            raise Failure(f"{title}: the window manager allows {forbidden}: {actions}")


def try_to_maximize(window, title):
    """Double-clicks the title bar, which maximizes a window that may be maximized."""
    before = Desktop.geometry(window)
    x, y, width, _ = before
    top = int(Desktop.property(window, "_NET_FRAME_EXTENTS").split("=")[1].split(",")[2])
    run("xdotool", "mousemove", str(x + width // 2), str(y - top // 2),
        "click", "--repeat", "2", "--delay", "80", "1")
    time.sleep(0.3)
    assert_equal(Desktop.geometry(window), before, f"{title} after a double click on its title")
    if "MAXIMIZED" in Desktop.property(window, "_NET_WM_STATE"):
        raise Failure(f"{title} was maximized")


def find_test_volume(volscope, label):
    """Types letters from D on until the main window shows the test volume, as a user would."""
    for letter in "DEFGHIJKLMNOPQRSTUVWXYZ":
        volscope.press(letter.lower())
        volscope.wait_for_letter(letter)
        if volscope.label(MAIN, "Volume Name:") == f"Volume Name: {label}":
            return letter
    raise Failure(f"no drive letter shows the volume {label}")


def the_user_session(volscope, mount_point, opener_log):
    log("started")
    assert_equal(volscope.drive_letter(), "C", "the letter at start-up")
    volscope.assert_no_message_box("start-up")
    check_fixed_border(volscope.main, MAIN)
    try_to_maximize(volscope.main, MAIN)

    log("what a screen reader reads")
    assert_equal(volscope.form(MAIN).getRoleName(), "frame", "the main window's role")
    volscope.act(MAIN, "push button", "Drive C: fixed hard disk")
    box = wait_until("the drive's explanation", lambda: volscope.dialog(MAIN))
    texts = [label.name for label in volscope.labels_of(box)]
    expected = "Drive C is a fixed hard disk.  These cannot be removed while the computer is running."
    if expected not in texts:
        raise Failure(f"the drive icon's press action explains {texts}")
    volscope.answer(box)
    wait_until("the explanation to close", lambda: volscope.dialog(MAIN) is None)

    log("stepping by key and by button")
    volscope.press("Right")
    volscope.wait_for_letter("D")
    volscope.press("Left")
    volscope.wait_for_letter("C")
    volscope.click(MAIN, "push button", "Next drive")
    volscope.wait_for_letter("D")
    volscope.click(MAIN, "push button", "Previous drive")
    volscope.wait_for_letter("C")
    volscope.assert_no_message_box("stepping by key and by button")

    log("typing letters")
    letter = find_test_volume(volscope, VOLUME_LABEL)
    root = f"{letter}:\\"
    volscope.assert_no_message_box("typing letters")
    stats = os.statvfs(mount_point)
    free = 100 * stats.f_bavail / stats.f_blocks
    shown = volscope.value(MAIN, "progress bar", "Free space")
    if abs(shown - free) > 0.5:
        raise Failure(f"the usage bar reads {shown} % free, the volume has {free:.1f} %")

    log(f"Browse... on {letter}:")
    volscope.click(MAIN, "push button", "Browse...")
    browser = wait_until("the browser", lambda: Desktop.window(BROWSER))
    wait_until("the browser's files", lambda: volscope.file_rows() == list(FILES))
    # The file list takes the focus once the window manager activates the browser; a message
    # raised by that would come up within this second.
    time.sleep(1.0)
    volscope.assert_no_message_box(f"Browse... on {root}")
    assert_equal(volscope.label(BROWSER, "Full Filename:"), "Full Filename:",
                 "the information before any selection")
    check_fixed_border(browser, BROWSER)
    assert_equal(volscope.form(BROWSER).getRoleName(), "frame", "the browser's role")
    folders = volscope.rows("Folders")
    if folders[:1] != [root] or "  Docs" not in folders:
        raise Failure(f"the list named Folders shows {folders}")

    def shows(name):
        return volscope.label(BROWSER, "Full Filename:") == f"Full Filename: {root}{name}"

    def size_of(name):
        size = len(FILES[name])
        return f"Size: {size} bytes, {size // 1024} KB."

    log("stepping through the files")
    for button, name in (("Next file", "alpha.txt"), ("Next file", "bravo.txt"),
                         ("Previous file", "alpha.txt"), ("Previous file", "charlie.bin"),
                         ("Next file", "alpha.txt")):
        log(f"  {button} for {name}")
        volscope.click(BROWSER, "push button", button)
        wait_until(f"{name} after {button!r}", lambda: shows(name))
        assert_equal(volscope.label(BROWSER, "Size:"), size_of(name), f"the size of {name}")
    volscope.assert_no_message_box("stepping through the files")

    log("Read Only")
    alpha = os.path.join(mount_point, "alpha.txt")
    writable = lambda: os.stat(alpha).st_mode & 0o222 != 0
    assert_equal((volscope.checked("Read Only"), writable()), (False, True), "alpha.txt at first")
    volscope.click(BROWSER, "check box", "Read Only", left_edge=True)
    wait_until("alpha.txt read-only on the disk", lambda: not writable())
    volscope.click(BROWSER, "push button", "Next file")
    wait_until("bravo.txt", lambda: shows("bravo.txt"))
    assert_equal(volscope.checked("Read Only"), False, "Read Only of bravo.txt")
    volscope.click(BROWSER, "push button", "Previous file")
    wait_until("alpha.txt again", lambda: shows("alpha.txt"))
    assert_equal(volscope.checked("Read Only"), True, "Read Only of alpha.txt, read back")
    volscope.click(BROWSER, "check box", "Read Only", left_edge=True)
    wait_until("alpha.txt writable again", writable)
    volscope.assert_no_message_box("writing Read Only")

    log("Open")
    # The opener stands in for xdg-open and fails, as a desktop without an application would.
    volscope.click(BROWSER, "push button", "Open")
    box = wait_until("the opener's failure", lambda: Desktop.window("Error"))
    texts = [c.name for c in volscope.message_box_texts("Error")]
    expected = f"Cannot open {root}alpha.txt.  The program that opens files reported a failure."
    if expected not in texts:
        raise Failure(f"the opener's failure is not shown: {texts}")
    assert_equal(open(opener_log).read(), os.path.join(mount_point, "alpha.txt") + "\n",
                 "what the opener was given")
    run("xdotool", "windowactivate", "--sync", box)
    run("xdotool", "key", "Return")
    wait_until("the message box to close", lambda: Desktop.window("Error") is None)

    log("minimize and restore")
    run("xdotool", "windowminimize", "--sync", volscope.main)
    wait_until("the browser to hide", lambda: not Desktop.viewable(browser))
    # What a task bar does to restore a window; the window manager need not make it active.
    run("xdotool", "windowactivate", volscope.main)
    wait_until("the browser to come back", lambda: Desktop.viewable(browser))
    assert_equal(shows("alpha.txt"), True, "the browser's selection after restoring")
    volscope.assert_no_message_box("minimizing and restoring")

    log("Close")
    volscope.click(BROWSER, "push button", "Close")
    wait_until("the browser to close", lambda: Desktop.window(BROWSER) is None)

    log("Alt+F4 on the main window, with the browser open")
    volscope.click(MAIN, "push button", "Browse...")
    wait_until("the browser again", lambda: Desktop.window(BROWSER))
    # The window manager's own close (WM_DELETE_WINDOW), as the close box sends it too.
    volscope.press("alt+F4")
    try:
        status = volscope.process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("the program still runs after Alt+F4 on its main window")
    assert_equal(status, 0, "the program's exit status")


def session(binary):
    if not os.environ.get("DISPLAY"):
        raise Skip("no X server (DISPLAY is not set)")
    needs("xdotool", "xprop", "xwininfo")
    # The lock first, so that it is let go only once the volume and the program are gone.
    with mount_lock(), test_volume() as mount_point, accessibility_bus() as pyatspi, \
            tempfile.TemporaryDirectory() as bin_folder:
        opener_log = os.path.join(bin_folder, "opened")
        opener = os.path.join(bin_folder, "xdg-open")
        with open(opener, "w") as file:
            file.write(f'#!/bin/sh\nprintf "%s\\n" "$1" > {opener_log}\nexit 4\n')
        os.chmod(opener, 0o755)
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           PATH=bin_folder + os.pathsep + os.environ.get("PATH", ""))
        with started(pyatspi, binary, environment) as volscope:
            the_user_session(volscope, mount_point, opener_log)


if __name__ == "__main__":
    sys.exit(main_of(session))
