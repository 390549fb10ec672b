"""The settings file as a player meets it: read at start, kept on screen, changed from the panel and saved at once,
so that a kill loses nothing."""
import os
import pwd
import shutil
import subprocess
import time

import pytest

import driver
from driver import (BOSS_MENU_BUTTON, CLICK_THROUGH_BUTTON, COMBO, CONNECTED, NOTICE, OPACITY, OPACITY_VALUE,
                    OVERLAY, ROWS, SCALE, SCALE_VALUE, SHOWN, STATUS, TITLE, TITLE_TEXT, VISIBILITY_BUTTON,
                    WM_ENDSESSION, WM_EXITSIZEMOVE, WM_QUERYENDSESSION, WS_CAPTION, WS_CLIPCHILDREN, WS_EX_LAYERED,
                    WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_POPUP, WS_SYSMENU,
                    WS_THICKFRAME, Screen, bits, bosses, centre, rows, visible, xdotool)

INTEGER_KEYS = [(section, key) for section, keys in (
    ("Window", "Left Top Right Bottom Opacity TextScale ClickThroughMode"),
    ("Hotkeys", "ClickThrough ClickThroughMods Visibility VisibilityMods BossMenu BossMenuMods"),
    ("Alerts", "Dying DyingSeconds Respawn RespawnSeconds Sound")) for key in keys.split()]


def saved_rect(o):
    return " ".join(v for _, k, v in o.saved() if k in ("Left", "Top", "Right", "Bottom"))


def test_window_from_saved_settings_kept_on_screen_and_settings_written_back(start, tracker):
    o = start("[Window]\nLeft=5000\nTop=5000\nRight=5450\nBottom=5700\nOpacity=40\n")
    width, height = map(int, o.state()["screen"].split())
    clamped = f"{width - 450} {height - 700} {width} {height}"
    frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN
    o.expect(("class", "title"), (OVERLAY, TITLE_TEXT))
    o.expect(bits("style", frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), frame)
    o.expect(bits("exstyle", WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TOPMOST)
    o.expect("alpha", "102")  # 40 * 255 / 100, truncated
    # Off-screen and too far: moved back into the monitor without shrinking, at the start and after a move.
    o.expect("rect", clamped)
    o.probe("move", width - 100, height - 50)
    o.post(WM_EXITSIZEMOVE)
    o.expect("rect", clamped, 2)
    o.exit()
    # When the boss list arrived before the close, the first boss was chosen and saved as well.
    values = [*clamped.split(), "40", "100", "0", "66", "6", "66", "2", "65", "2", "0", "60", "0", "60", "1"]
    assert [entry for entry in o.saved() if entry[0] != "Selection"] == (
        [("Server", "BaseUrl", tracker.origin + "/")] + [(*key, v) for key, v in zip(INTEGER_KEYS, values)] + [("Alerts", "Watch", "")])


def test_no_settings_file_opens_at_defaults_and_a_session_end_saves_without_asking(start):
    o = start(None)
    o.expect(("rect", "alpha"), ("100 100 550 800", "191"))
    o.post(WM_QUERYENDSESSION)
    o.post(WM_ENDSESSION, 0)
    time.sleep(1)
    assert o.running(), "a cancelled session end must not close the overlay"
    o.exit(WM_ENDSESSION, 1)
    assert [(section, key) for section, key, _ in o.saved()] == INTEGER_KEYS + [("Alerts", "Watch")]
    o.assert_saved(("Window", "Left", "100"))


def test_settings_panel_applies_and_saves_at_once_and_the_next_run_shows_every_setting(start, tracker,
                                                                                       other_program):
    o = start("[Window]\nOpacity=75\n", connected=True)
    _, top, right, _ = o.rect()
    # Another program in front, beside the overlay as a game would be: the panel hides, the normal layout shows.
    other_program(right + 20, top)
    time.sleep(1.5)
    o.expect(visible(OPACITY), False)
    o.shot("overlay-normal")
    o.open_panel()
    for control in (OPACITY, SCALE, CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON, BOSS_MENU_BUTTON):
        o.expect(visible(control), True)
    o.expect(VISIBILITY_BUTTON, "Show/Hide: Ctrl+B")
    o.expect(OPACITY_VALUE, "75%")
    o.shot("overlay-settings")
    # Under the mouse a button's face lightens, pressed it darkens, and released elsewhere it does nothing.
    rect = o.controls()[CLICK_THROUGH_BUTTON].rect
    x, y = centre(rect)
    faces = []
    for action in (("mousemove", x, y), ("mousedown", 1)):
        xdotool(*action)
        time.sleep(0.3)
        faces.append(Screen().pixel(rect[2] - 6, y)[0])
    xdotool("mousemove", x, rect[3] + 150, "mouseup", 1)
    assert faces[0] >= 75 and faces[1] <= 55, faces
    assert o.text(CLICK_THROUGH_BUTTON) == "Click-through: Ctrl+Shift+B"

    rows_before, boss = rows(o), bosses(tracker, real=True)[1]
    # The left end of the opacity slider: the lowest opacity, on screen and in the file at once.
    o.click(OPACITY, lambda r: (r[0] + 1, (r[1] + r[3]) // 2))
    time.sleep(0.5)
    o.expect("alpha", "25")
    o.assert_saved(("Window", "Opacity", "10"))
    o.expect(OPACITY_VALUE, "10%")
    # The right end of the text-scale slider: rows twice as tall, and saved.
    o.click(SCALE, lambda r: (r[2] - 2, (r[1] + r[3]) // 2))
    time.sleep(0.5)
    o.assert_saved(("Window", "TextScale", "200"))
    o.expect(rows, lambda count: count < rows_before)
    o.click(BOSS_MENU_BUTTON)
    xdotool("key", "ctrl+shift+m")
    time.sleep(0.3)
    o.assert_saved(("Hotkeys", "BossMenu", "77"), ("Hotkeys", "BossMenuMods", "6"))
    o.pick_boss(tracker, boss)
    time.sleep(1)
    # Killed a second after the changes, as a crash would: the next run shows them all.
    o.kill()
    o.launch()
    o.expect("alpha", "25")
    o.expect(TITLE, boss["name"], 30)
    o.expect(lambda o: [o.controls()[c].text for c in (OPACITY_VALUE, SCALE_VALUE, BOSS_MENU_BUTTON, TITLE)],
             ["10%", "200%", "Boss menu: Ctrl+Shift+M", boss["name"]])
    # Moved and resized, then closed as a person would: the window is saved where it was left.
    o.probe("move", 200, 150, 500, 600)
    o.exit()
    assert saved_rect(o) == "200 150 700 750"


def test_a_kill_at_150_percent_keeps_the_window_as_placed_and_as_moved(start, display_scale):
    display_scale(144)
    o = start(connected=True)
    placed = o.state()["rect"]
    assert placed == "150 0 825 1024"  # the default 100, 100, 550, 800 scaled, and kept on the screen
    o.expect(saved_rect, placed, 5)
    o.kill()
    o.launch()
    o.expect("rect", placed)
    # Moved and resized as a drag ends, then killed: the next run opens where it was left. (The probe is not aware
    # of the display scale, and Wine maps the rectangle it asks for; the window is read back as it really is.)
    o.probe("move", 150, 120, 600, 800)
    o.post(WM_EXITSIZEMOVE)
    moved = o.state()["rect"]
    assert moved != placed
    o.expect(saved_rect, moved, 2)
    o.kill()
    o.launch()
    o.expect("rect", moved)


def test_a_slider_drag_writes_the_file_once_and_never_in_place(start):
    o = start(connected=True)
    rect = o.open_panel()[OPACITY].rect
    y = (rect[1] + rect[3]) // 2
    time.sleep(1)  # the start's own save has landed
    # The file watched from outside: a save is a change after a quiet moment, and a new file (inode) each time,
    # as a whole copy swapped in makes; a write in place would keep the inode.
    times = [(0.0, os.stat(o.ini).st_mtime_ns, os.stat(o.ini).st_ino)]

    def watch(seconds):
        until = time.monotonic() + seconds
        while time.monotonic() < until:
            time.sleep(0.01)
            times.append((time.monotonic(), os.stat(o.ini).st_mtime_ns, os.stat(o.ini).st_ino))
    xdotool("mousemove", rect[2] - 3, y, "mousedown", 1)
    for step in range(8):
        xdotool("mousemove", rect[2] - 3 - 10 * step, y)
        watch(0.05)
    xdotool("mouseup", 1)
    watch(1.5)
    changed = [(at, inode != earlier[2]) for (at, mtime, inode), earlier in zip(times[1:], times)
               if (mtime, inode) != earlier[1:]]
    assert changed and all(replaced for _, replaced in changed)
    changes = [0.0] + [at for at, _ in changed]
    assert sum(later - earlier > 0.2 for earlier, later in zip(changes, changes[1:])) == 1
    assert ("Window", "Opacity", "75") not in o.saved()
    assert sorted(os.listdir(o.dir)) == ["Brisquel.exe", "Brisquel.ini"]


def fresh_appdata(request):
    """The prefix's %APPDATA%\\Brisquel, empty now and gone after the test."""
    appdata = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", pwd.getpwuid(os.getuid()).pw_name,
                           "AppData", "Roaming", "Brisquel")
    shutil.rmtree(appdata, ignore_errors=True)
    request.addfinalizer(lambda: shutil.rmtree(appdata, ignore_errors=True))
    return appdata


def test_a_full_disk_under_the_program_in_appdata_neither_hangs_nor_ends_it(tracker, request):
    """The exe in %APPDATA%\\Brisquel, where the file beside it and the fallback are one file, on a full disk (a small
    tmpfs): saves fail and are retried, the overlay answers throughout and says once that its settings cannot be
    saved."""
    appdata = fresh_appdata(request)
    os.makedirs(appdata)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", appdata], check=True)
    request.addfinalizer(lambda: subprocess.run(["umount", "-l", appdata]))
    o = driver.Overlay(f"[Server]\nBaseUrl={tracker.origin}/\n", launch=False)
    for name in ("Brisquel.exe", "Brisquel.ini"):
        shutil.copy(os.path.join(o.dir, name), appdata)
    shutil.rmtree(o.dir)
    o.dir, o.ini = appdata, os.path.join(appdata, "Brisquel.ini")
    subprocess.run(["dd", "if=/dev/zero", f"of={appdata}/filler", "bs=4k"], capture_output=True)  # to the last byte
    o.launch()
    request.addfinalizer(o.close)
    o.state()
    o.expect(STATUS, CONNECTED, 30)
    o.open_panel()
    o.click(OPACITY, lambda r: (r[0] + 1, (r[1] + r[3]) // 2))
    for _ in range(3):
        o.probe("responds", 1000)
        time.sleep(5)
    o.find(NOTICE, "Settings", 25000)
    o.press("Return", NOTICE)
    time.sleep(3)
    assert o.running() and [key for _, key, _ in driver.read_ini(o.ini)] == ["BaseUrl"]
    o.probe("wait-gone", 1000, NOTICE)
    o.exit()


@pytest.mark.parametrize("turns_read_only", [False, True])
def test_a_folder_that_cannot_be_written_keeps_the_settings_in_appdata_and_says_so(tracker, request, turns_read_only):
    """Read-only from the start, beside an older AppData file that names no tracker, or from the moment a save
    fails (and keeps failing through its retries) while another notice is open: that notice is answered first,
    then the player is told where the settings went. The tracker named beside the program is the one reached."""
    appdata = fresh_appdata(request)
    if not turns_read_only:
        os.makedirs(appdata)
        with open(os.path.join(appdata, "Brisquel.ini"), "w", newline="\r\n") as f:
            f.write("[Window]\nOpacity=60\n")
    o = driver.Overlay(f"[Server]\nBaseUrl={tracker.origin}/\n[Window]\nOpacity=60\n", launch=turns_read_only)
    request.addfinalizer(o.close)
    if turns_read_only:
        o.open_panel()
        o.click(VISIBILITY_BUTTON)
        o.hotkey(1)
        o.find(NOTICE, "Duplicate Hotkey", 5000)
    request.addfinalizer(lambda: subprocess.run(["chattr", "-i", o.ini, o.dir]))
    subprocess.run(["chattr", "+i", o.ini, o.dir], check=True)
    if turns_read_only:
        o.post(WM_EXITSIZEMOVE)  # saves at once, and fails
        time.sleep(1)
        xdotool("key", "Return")
        time.sleep(20)  # the retries take 31 s
    else:
        o.launch()
    o.find(NOTICE, "Settings", 20000)
    o.shot("notice-settings-elsewhere", NOTICE)
    o.press("Return", NOTICE)
    if turns_read_only:  # a second start from the folder, which reads AppData's file now, finds this overlay
        driver.wine("Brisquel.exe", cwd=o.dir, timeout=10, check=True)
    o.expect("alpha", "153")
    o.expect(STATUS, CONNECTED, 30)
    o.open_panel()
    o.click(OPACITY, lambda r: (r[0] + 1, (r[1] + r[3]) // 2))
    # The file beside the program is copied only to an AppData that has none; the tracker is never written.
    moved = os.path.join(appdata, "Brisquel.ini")
    driver.assert_ini_holds(moved, ("Window", "Opacity", "10"))
    assert (("Server", "BaseUrl", tracker.origin + "/") in driver.read_ini(moved)) == turns_read_only
    o.exit()


@pytest.mark.parametrize("dpi", [96, 144])
def test_the_panel_answers_the_keyboard_and_a_screen_reader(start, tracker, display_scale, dpi):
    display_scale(dpi)
    o = start(connected=True)
    o.expect(TITLE, SHOWN, 10)
    o.open_panel()
    # What a screen reader finds: each control's name, role and value (roles: 43 button, 46 combo box, 51 slider,
    # 33 list).
    def read(control):
        found = o.probe("acc", OVERLAY, control.number)
        return found["name"], found["role"], found["value"]
    assert read(OPACITY) == ("Transparency", "51", "75%")
    assert read(COMBO) == ("Boss", "46", o.text(TITLE))
    assert read(CLICK_THROUGH_BUTTON)[:2] == ("Click-through: Ctrl+Shift+B", "43")
    channels = o.probe("acc", OVERLAY, ROWS.number)
    assert (channels["role"], int(channels["children"]) > 0) == ("33", True)
    # Tab walks the panel: the boss list first, where Down chooses the next boss.
    first = o.text(TITLE)
    xdotool("key", "Tab", "Down")
    o.expect(TITLE, lambda title: title not in ("", first), 3)
    o.assert_saved(("Selection", "LastBoss", next(b["id"] for b in bosses(tracker) if b["name"] == o.text(TITLE))))
    # The transparency slider: Page Down takes ten off, on screen and in the file.
    xdotool("key", "Tab", "Next")
    o.expect("alpha", "165", 3)  # 65 * 255 / 100
    o.assert_saved(("Window", "Opacity", "65"))
    o.shot(f"panel-focus-{dpi}dpi")
    # Past the text-scale slider, Space on the first hotkey button starts rebinding; Escape ends it.
    xdotool("key", "Tab", "Tab", "space")
    o.expect(VISIBILITY_BUTTON, "Show/Hide: [Press modifier + key...]", 3)
    xdotool("key", "Escape")
    o.expect(VISIBILITY_BUTTON, "Show/Hide: Ctrl+B", 3)
    o.exit(keys=("Return",))
