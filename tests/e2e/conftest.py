"""Fixtures of the end-to-end tests: the tools, the shared demo tracker, and overlays and trackers that end with
the test that started them.

    pytest-3 tests/e2e --wine build/win64/wine-run.sh --exe Brisquel.exe --probe probe.exe
with the build's generated names on PYTHONPATH (ctest sets it)."""
import os
import subprocess
import sys
import time

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import driver  # noqa: E402
from tracker_process import TrackerProcess  # noqa: E402


def reg_add(key, name, value):
    """Sets a DWORD in the prefix's registry, trying again: Wine may fail to start `reg` on a loaded machine."""
    command = ["reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", value, "/f"]
    for attempt in range(3):
        if driver.wine(*command, capture_output=True, check=attempt == 2).returncode == 0:
            return
        time.sleep(1)


def pytest_addoption(parser):
    for name in ("--wine", "--exe", "--probe"):
        parser.addoption(name, required=True)


@pytest.fixture(scope="session", autouse=True)
def tools(pytestconfig):
    driver.Tools.wine, driver.Tools.exe, driver.Tools.probe = (
        os.path.abspath(pytestconfig.getoption(name)) for name in ("wine", "exe", "probe"))


@pytest.fixture(scope="session")
def tracker():
    """The demo tracker most tests share; a test that spoils it restores it."""
    shared = TrackerProcess()
    yield shared
    shared.stop()


@pytest.fixture
def private_tracker(request):
    """A demo tracker of the test's own, which it may stop, restart or change the world of."""
    def make(*options):
        own = TrackerProcess(*options)
        request.addfinalizer(own.stop)
        return own
    return make


@pytest.fixture
def start(request, tracker):
    """Starts an overlay whose Brisquel.ini points at a tracker (no file if ini_text is None); it ends with the test."""
    def launch(ini_text="", connected=False, origin=None):
        text = None if ini_text is None else f"[Server]\nBaseUrl={origin or tracker.origin}/\n" + ini_text
        overlay = driver.Overlay(text)
        request.addfinalizer(overlay.close)
        try:
            overlay.state()
        except AssertionError:
            # Wine occasionally fails to start a process on a loaded machine: a start that ended without a
            # window is tried once more, and said so. One still running without a window fails the test.
            if overlay.running():
                raise
            print(f"the overlay ended with {overlay.process.returncode} before its window showed; again",
                  file=sys.stderr)
            overlay.launch()
            overlay.state()
        if connected:
            overlay.expect(driver.STATUS, driver.CONNECTED, 30)
        return overlay
    return launch


@pytest.fixture
def start_live(start, private_tracker):
    """A connected overlay showing a boss, on a tracker of its own that `prepare` may change before it starts."""
    def launch(ini_text="", prepare=lambda tracker: None):
        own = private_tracker()
        prepare(own)
        overlay = start(ini_text, connected=True, origin=own.origin)
        overlay.expect(driver.TITLE, driver.SHOWN, 10)
        return own, overlay
    return launch


@pytest.fixture
def test_hook(request):
    """Switches a test hook on: the overlay reads it from the registry as it starts, and counts there."""
    key = "HKCU\\" + driver.names.HOOK_KEY

    def clear():
        driver.wine("reg", "delete", key, "/f", capture_output=True)

    def switch_on(name):
        clear()
        reg_add(key, name, 1)
        request.addfinalizer(clear)
    return switch_on


@pytest.fixture
def display_scale(request):
    """The prefix's display scale for the overlays the test starts; back to 100 % after it."""
    def set_dpi(dpi, key=r"HKCU\Control Panel\Desktop"):
        reg_add(key, "LogPixels", dpi)
        request.addfinalizer(lambda: reg_add(key, "LogPixels", 96))
    return set_dpi


@pytest.fixture
def other_program(request):
    """Another Wine program's window, moved beside the overlay as a game would stand."""
    def show(x, y):
        process = subprocess.Popen([driver.Tools.wine, "notepad"])
        request.addfinalizer(process.kill)
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "Notepad"], capture_output=True, text=True,
                               timeout=30).stdout.split()
        driver.xdotool("windowmove", found[-1], x, y)
    return show
