#!/usr/bin/python3
"""Volscope as a user meets it: the real program on a real X server with a window manager.

    end_to_end_test.py VOLSCOPE

DISPLAY must name an X server with a window manager (tests/desktop/x_server.sh exec or run).
Holding the mount lock (tests/support/mount_lock.py), the test loop-mounts a small ext4 volume
with known files under a fresh folder in /mnt, starts the program, drives it with real input
through the X server (xdotool: XTest key presses and clicks) and reads what it shows through the
accessibility bus (AT-SPI), with a D-Bus session and bus of its own; it finds the volume's letter
by its label, as a user would. Any window other than the main window and the browser is a
message box nobody expected, and fails the test with its title and text.

Exits 0 when it passes, 1 when it fails, and 77, saying why, where it cannot run: not root,
mounting not permitted, or a tool missing.
"""

import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from mount_lock import mount_lock  # noqa: E402

SKIPPED = 77
VOLUME_LABEL = "VOLSCOPE-E2E"
# name -> content; the list shows them in this order.
FILES = {"alpha.txt": b"alpha\n", "bravo.txt": b"b" * 1024, "charlie.bin": b"\0" * 3000}
MAIN = "Volscope"
BROWSER = "Browser"


class Skip(Exception):
    pass


class Failure(Exception):
    pass


def run(*command, check=True):
    return subprocess.run(command, check=check, capture_output=True, text=True).stdout


def wait_until(what, probe, timeout=10.0):
    """Polls probe until it returns something true, and returns that; fails after timeout.

    A probe that fails (a window not there yet, an accessibility call that timed out while the
    program was busy) counts as "not yet"; the last failure is told on timing out.
    """
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except Exception as error:  # Failure, or GLib.Error from the accessibility bus
            last_error = error
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}" +
                          (f" (last: {last_error})" if last_error else ""))
        time.sleep(0.05)


def needs(*programs):
    for program in programs:
        if shutil.which(program) is None:
            raise Skip(f"{program} is not installed (scripts/install-deps.sh test installs it)")


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


@contextlib.contextmanager
def accessibility_bus():
    """A D-Bus session with the AT-SPI bus on it, for this test alone."""
    needs("dbus-daemon")
    launcher = "/usr/libexec/at-spi-bus-launcher"
    if not os.access(launcher, os.X_OK):
        raise Skip("at-spi2-core is not installed (scripts/install-deps.sh test installs it)")
    daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    bus_launcher = None
    try:
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = daemon.stdout.readline().strip()
        bus_launcher = subprocess.Popen([launcher, "--launch-immediately"],
                                        stderr=subprocess.DEVNULL)
        try:
            import pyatspi
            from gi.repository import Atspi
        except ImportError:
            raise Skip("python3-pyatspi is not installed "
                       "(scripts/install-deps.sh test installs it)")
        # A call to a busy program fails after 3 seconds, to be tried again, not after 25.
        Atspi.set_timeout(3000, -1)
        yield pyatspi
    finally:
        for process in (bus_launcher, daemon):
            if process is not None:
                process.terminate()
                process.wait()


class Desktop:
    """The X server's windows, read with xprop and xwininfo."""

    @staticmethod
    def client_windows():
        """(id, title) of every window the window manager manages."""
        line = run("xprop", "-root", "_NET_CLIENT_LIST", check=False)
        if "#" not in line:
            return []
        ids = [word.strip() for word in line.split("#", 1)[1].split(",")]
        windows = []
        for window in ids:
            name = run("xprop", "-id", window, "_NET_WM_NAME", check=False)
            windows.append((window, name.split("=", 1)[1].strip().strip('"') if "=" in name else ""))
        return windows

    @staticmethod
    def window(title):
        matches = [window for window, name in Desktop.client_windows() if name == title]
        return matches[0] if matches else None

    @staticmethod
    def viewable(window):
        return "IsViewable" in run("xwininfo", "-id", window, check=False)

    @staticmethod
    def geometry(window):
        info = run("xwininfo", "-id", window)
        field = lambda name: int(info.split(name + ":", 1)[1].split()[0])
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"))

    @staticmethod
    def property(window, name):
        return run("xprop", "-id", window, name, check=False)


class Volscope:
    """The running program: input through XTest, texts through AT-SPI."""

    def __init__(self, pyatspi, binary, environment):
        self.atspi = pyatspi
        self.process = subprocess.Popen([binary], env=environment)
        self.main = wait_until("the main window", lambda: Desktop.window(MAIN))
        self.app = wait_until("the program on the accessibility bus", self.find_application)

    def find_application(self):
        desktop = self.atspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            application = desktop.getChildAtIndex(index)
            if application is not None and application.get_process_id() == self.process.pid:
                return application
        return None

    # Reading what the windows show.

    def top_levels(self):
        self.app.clear_cache()
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]

    def form(self, title):
        for window in self.top_levels():
            if window.name == title and window.getState().contains(self.atspi.STATE_SHOWING):
                return window
        raise Failure(f"no window {title} is shown")

    def controls(self, title, role=None):
        found = []

        def walk(accessible):
            for index in range(accessible.childCount):
                child = accessible.getChildAtIndex(index)
                if role is None or child.getRoleName() == role:
                    found.append(child)
                walk(child)

        walk(self.form(title))
        return found

    def label(self, title, prefix):
        for control in self.controls(title, "label"):
            if control.name.startswith(prefix):
                return control.name
        raise Failure(f"{title} shows no label starting with {prefix!r}")

    def drive_letter(self):
        # The one label of the window itself that holds a letter or, between two steps, nothing.
        window = self.form(MAIN)
        children = [window.getChildAtIndex(i) for i in range(window.childCount)]
        letters = [c.name for c in children if c.getRoleName() == "label" and len(c.name) <= 1]
        if len(letters) != 1:
            raise Failure(f"cannot tell the drive letter among {letters}")
        return letters[0]

    def control(self, title, role, name):
        for control in self.controls(title, role):
            if control.name == name:
                return control
        raise Failure(f"{title} has no {role} {name!r}")

    def checked(self, name):
        box = self.control(BROWSER, "check box", name)
        return box.getState().contains(self.atspi.STATE_CHECKED)

    def file_rows(self):
        lists = self.controls(BROWSER, "list")
        return [lists[1].getChildAtIndex(i).name for i in range(lists[1].childCount)]

    # Real input.

    def click(self, title, role, name, left_edge=False):
        extents = self.control(title, role, name).queryComponent().getExtents(
            self.atspi.DESKTOP_COORDS)
        x = extents.x + (6 if left_edge else extents.width // 2)
        run("xdotool", "mousemove", str(x), str(extents.y + extents.height // 2),
            "click", "1")

    def press(self, *keys):
        run("xdotool", "windowactivate", "--sync", self.main)
        for key in keys:
            run("xdotool", "key", key)

    def wait_for_letter(self, letter):
        wait_until(f"drive letter {letter}", lambda: self.drive_letter() == letter)

    # Message boxes.

    def assert_no_message_box(self, after):
        for window, name in Desktop.client_windows():
            if name not in (MAIN, BROWSER):
                texts = [c.name for c in self.message_box_texts(name)]
                raise Failure(f"after {after}: an unexpected message box {name!r}: {texts}")

    def message_box_texts(self, title):
        for window in self.top_levels():
            if window.name == title:
                found = []

                def walk(accessible):
                    for index in range(accessible.childCount):
                        child = accessible.getChildAtIndex(index)
                        if child.getRoleName() == "label" and child.name:
                            found.append(child)
                        walk(child)

                walk(window)
                return found
        return []


STARTED = time.monotonic()


def log(step):
    """What the test does, with the seconds since it started, for reading a failure."""
    print(f"{time.monotonic() - STARTED:5.1f} s  {step}", flush=True)


def assert_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


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

    log("stepping by key and by button")
    volscope.press("Right")
    volscope.wait_for_letter("D")
    volscope.press("Left")
    volscope.wait_for_letter("C")
    volscope.click(MAIN, "push button", ">")
    volscope.wait_for_letter("D")
    volscope.click(MAIN, "push button", "<")
    volscope.wait_for_letter("C")
    volscope.assert_no_message_box("stepping by key and by button")

    log("typing letters")
    letter = find_test_volume(volscope, VOLUME_LABEL)
    root = f"{letter}:\\"
    volscope.assert_no_message_box("typing letters")

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

    def shows(name):
        return volscope.label(BROWSER, "Full Filename:") == f"Full Filename: {root}{name}"

    def size_of(name):
        size = len(FILES[name])
        return f"Size: {size} bytes, {size // 1024} KB."

    log("stepping through the files")
    for button, name in ((">", "alpha.txt"), (">", "bravo.txt"), ("<", "alpha.txt"),
                         ("<", "charlie.bin"), (">", "alpha.txt")):
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
    volscope.click(BROWSER, "push button", ">")
    wait_until("bravo.txt", lambda: shows("bravo.txt"))
    assert_equal(volscope.checked("Read Only"), False, "Read Only of bravo.txt")
    volscope.click(BROWSER, "push button", "<")
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
    volscope.click(MAIN, "push button", "Close")
    try:
        status = volscope.process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("the program still runs after Close")
    assert_equal(status, 0, "the program's exit status")


def main():
    if len(sys.argv) != 2:
        print(f"usage: {sys.argv[0]} VOLSCOPE", file=sys.stderr)
        return 2
    binary = os.path.abspath(sys.argv[1])
    # ctest ends a test that runs too long with SIGTERM: still unmount and clean up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
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
            volscope = Volscope(pyatspi, binary, environment)
            try:
                the_user_session(volscope, mount_point, opener_log)
            except Failure as failure:
                state = "runs" if volscope.process.poll() is None else "has ended"
                raise Failure(f"{failure}\n  the program {state}; the windows: "
                              f"{Desktop.client_windows()}")
            finally:
                if volscope.process.poll() is None:
                    volscope.process.kill()
                    volscope.process.wait()
    except Skip as reason:
        print(f"skipped: {reason}")
        return SKIPPED
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    log("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
