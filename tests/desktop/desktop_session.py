"""What the desktop tests share: driving the real program with real input and reading its windows
through the accessibility bus (AT-SPI), on an X server (xprop, xwininfo, xdotool) or natively on
Wayland (AT-SPI alone), and reporting a step, a failure or a reason to skip.
"""

import contextlib
import os
import shutil
import signal
import subprocess
import sys
import time

SKIPPED = 77
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
    """The running program: input through XTest (on X11) or the controls' accessible actions,
    texts through AT-SPI."""

    def __init__(self, pyatspi, binary, environment, on_x=True):
        self.atspi = pyatspi
        self.process = subprocess.Popen([binary], env=environment)
        if on_x:
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

    def shown(self, title):
        """The window of that title on the screen, or None."""
        for window in self.top_levels():
            if window.name == title and window.getState().contains(self.atspi.STATE_SHOWING):
                return window
        return None

    def form(self, title):
        window = self.shown(title)
        if window is None:
            raise Failure(f"no window {title} is shown")
        return window

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

    def rows(self, name):
        """The rows of the browser's list of that name ("Folders" or "Files")."""
        rows = self.control(BROWSER, "list", name)
        return [rows.getChildAtIndex(i).name for i in range(rows.childCount)]

    def file_rows(self):
        return self.rows("Files")

    def value(self, title, role, name):
        return self.control(title, role, name).queryValue().currentValue

    def act(self, title, role, name, action="Press"):
        """Runs a control's accessible action, as a screen reader's user does."""
        control = self.control(title, role, name).queryAction()
        names = [control.getName(i) for i in range(control.nActions)]
        if action not in names:
            raise Failure(f"{title}'s {role} {name!r} offers {names}, not {action!r}")
        control.doAction(names.index(action))

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
                return self.labels_of(window)
        return []

    @staticmethod
    def labels_of(accessible):
        """The labels with text inside an accessible, depth first."""
        found = []
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child.getRoleName() == "label" and child.name:
                found.append(child)
            found += Volscope.labels_of(child)
        return found

    def dialog(self, title):
        """The message box of that title on the screen, or None (the main window may have the
        same title: a box is an alert or a dialog)."""
        for window in self.top_levels():
            if window.name == title and window.getRoleName() in ("alert", "dialog") and \
                    window.getState().contains(self.atspi.STATE_SHOWING):
                return window
        return None

    def answer(self, box):
        """Presses a message box's OK, as a screen reader's user does."""

        def ok_in(accessible):
            for index in range(accessible.childCount):
                child = accessible.getChildAtIndex(index)
                if child.getRoleName() == "push button" and child.name == "OK":
                    return child
                found = ok_in(child)
                if found is not None:
                    return found
            return None

        button = ok_in(box)
        if button is None:
            raise Failure(f"the message box {box.name!r} has no OK button")
        button.queryAction().doAction(0)


STARTED = time.monotonic()


def log(step):
    """What the test does, with the seconds since it started, for reading a failure."""
    print(f"{time.monotonic() - STARTED:5.1f} s  {step}", flush=True)


def assert_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


@contextlib.contextmanager
def started(pyatspi, binary, environment, on_x=True):
    """The program started in `environment`; a failure inside says whether it still runs (and,
    on X11, which windows there are), and the program is killed at the end if it still runs."""
    volscope = Volscope(pyatspi, binary, environment, on_x)
    try:
        yield volscope
    except Failure as failure:
        state = "runs" if volscope.process.poll() is None else "has ended"
        windows = f"; the windows: {Desktop.client_windows()}" if on_x else ""
        raise Failure(f"{failure}\n  the program {state}{windows}")
    finally:
        if volscope.process.poll() is None:
            volscope.process.kill()
            volscope.process.wait()


def main_of(session):
    """Runs session(VOLSCOPE) as a test program given VOLSCOPE on its command line: exits 0 when
    it passes, 1 when it fails, 77 when it cannot run here."""
    if len(sys.argv) != 2:
        print(f"usage: {sys.argv[0]} VOLSCOPE", file=sys.stderr)
        return 2
    # ctest ends a test that runs too long with SIGTERM: still unmount and clean up.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        session(os.path.abspath(sys.argv[1]))
    except Skip as reason:
        print(f"skipped: {reason}")
        return SKIPPED
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    log("passed")
    return 0
