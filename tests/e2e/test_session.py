"""A player's session from the default settings, the live rows of a saved boss, and the exe itself. Global hotkeys
reach a Wine program only in some setups, so they arrive as WM_HOTKEY posted by the probe, as the system would
send them."""
import glob
import os
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pefile
import pytest

from driver import (AMBER, CACHE, CACHE_READ, COMBO, CONFIRM, CONNECTED, COUNTDOWN, GREEN, HELP, MENU, NOTICE, OPACITY,
                    POPUP, RED, ROWS, SCALE, SHOWN, STALE, STATUS, TITLE, TITLE_TEXT, VISIBILITY_BUTTON,
                    WM_LBUTTONDBLCLK, WS_POPUP, Screen, Tools, bits, bosses, centre, colours, elapsed, names, wine,
                    within, xdotool)


def test_a_session_from_the_default_settings(start, tracker, request):
    seen = len(tracker.control("requests")["requests"])  # the log spans the run
    o = start()
    first_reads_in_order(tracker, seen)
    o.expect(STATUS, CONNECTED, 30)
    o.expect(TITLE, SHOWN, 10)
    # The hotkey and a double click on the tray icon hide and show the overlay, which stays on top.
    for toggle in (lambda: o.hotkey(2), lambda: o.tray(WM_LBUTTONDBLCLK)):
        for shown in "01":
            toggle()
            time.sleep(0.5)
            o.expect(("visible", "topmost"), (shown, "1"))
    # The boss list opens with the keyboard focus: Escape closes it.
    o.hotkey(3)
    o.probe("find", 5000, POPUP)
    o.press("Escape", POPUP)
    o.hotkey(2)
    o.expect("visible", "0", 3)
    start_again(o, start)

    # The tray menu opens at the mouse (which Wine follows over its own windows), leftwards in the screen's right
    # 30 %. Escape closes it; so does a click elsewhere, which reaches what it lands on, and another window taking
    # the foreground. Help shows the help until its OK.
    o.probe("move", 820, 100)
    xdotool("mousemove", 1000, 300)
    assert o.open_tray_menu()[2] == 1000
    o.shot("tray-menu", MENU, 10)
    o.press("Escape", MENU)
    o.open_tray_menu()
    o.click(COMBO)
    o.gone(MENU)
    o.probe("find", 5000, POPUP)
    o.press("Escape", POPUP)
    o.open_tray_menu()
    o.hotkey(3)
    o.gone(MENU)
    o.press("Escape", POPUP)
    o.choose_in_tray_menu("Help")
    o.find(HELP, f"{TITLE_TEXT} - Help")
    o.shot("help", HELP)
    o.click(HELP, lambda r: ((r[0] + r[2]) // 2, r[3] - 32))
    o.gone(HELP)

    # Exit in the menu and a close ask first; No and Escape leave the overlay running and usable.
    o.choose_in_tray_menu("Exit")
    o.answer_exit_question("No")
    o.gone(CONFIRM)
    o.ask_exit()
    o.press("Escape", CONFIRM)
    # The focus starts on Yes, as in a message box: Tab then Space answers No.
    o.ask_exit()
    xdotool("key", "Tab")
    time.sleep(0.3)
    o.shot("exit-question-focus", CONFIRM)
    o.press("space", CONFIRM)
    # Asked again and again, each question takes the keys at once: No by Tab, Right or Down, then Escape.
    for keys in (("Tab", "Return"), ("Right", "space"), ("Down", "Return"), ("Escape",)):
        o.ask_exit(alt_f4=True)
        xdotool("key", *keys)
        o.gone(CONFIRM)
    assert o.running()
    o.expect("enabled", "1")

    # Rebinding (the HotkeyRebind tests say what each key means): a hotkey that arrives meanwhile is refused with a
    # notice and not run, another one while the notice is up brings no second notice and ends nothing, and the
    # next combination is saved and shown.
    o.open_panel()  # the panel shows while the overlay has the focus
    o.click(VISIBILITY_BUTTON)
    o.expect(VISIBILITY_BUTTON, "Show/Hide: [Press modifier + key...]")
    o.hotkey(1)
    o.find(NOTICE, "Duplicate Hotkey", 5000)
    o.shot("notice-duplicate", NOTICE)
    o.hotkey(1)
    time.sleep(0.5)
    o.find(NOTICE, "Duplicate Hotkey", 1000)
    o.press("Return", NOTICE)
    o.expect(bits("style", WS_POPUP), 0)  # the refused hotkey's action did not run
    xdotool("key", "ctrl+alt+k")
    o.expect(VISIBILITY_BUTTON, "Show/Hide: Ctrl+Alt+K", 3)
    o.assert_saved(("Hotkeys", "Visibility", "75"), ("Hotkeys", "VisibilityMods", "3"))
    resize_drag_and_move_to_200_percent(o, request)
    o.exit(keys=("Right", "Left", "Return"))  # the arrows to No and back to Yes


def first_reads_in_order(tracker, seen):
    """The boss list first; then the summary poll, each changed summary followed by a status probe, and behind it
    every boss's own channels in list order."""
    expected = [f"/api/collections/mob_channel_status/records?filter=(mob='{b['id']}')&perPage=500&sort=-last_update"
                for b in bosses(tracker)]

    def all_read(requests):
        paths = [r["path"] for r in requests[seen:]]
        return paths.count("/api/all_status") >= 2 and expected[-1] in paths
    requests = within(lambda: tracker.control("requests")["requests"], all_read, 30)
    assert all_read(requests), f"the tracker never saw the expected requests: {requests[-10:]}"
    new = requests[seen:]
    paths = [r["path"] for r in new]
    assert paths[0] == "/api/collections/mobs/records"
    assert [p for p in paths if p.startswith("/api/collections/mob_channel_status/records?")] == expected
    probes = [p for p in paths[paths.index("/api/all_status") + 1:] if p in ("/api/all_status", "/api/status")]
    assert probes[0] == "/api/status"
    agents = {r["path"].split("?")[0]: r["agent"] for r in new}
    assert (agents["/api/all_status"], agents["/api/status"]) == ("Zentrik/1.0", "Zentrik/1.1")


def start_again(o, start):
    """A second start from the same folder brings the hidden first back and leaves at once, changing nothing; a
    copy in another folder has settings of its own and runs beside it."""
    def overlays():
        return len(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE_TEXT}$"],
                                  capture_output=True, text=True).stdout.split())

    before = Path(o.ini).read_bytes()
    seconds = elapsed(lambda: wine("Brisquel.exe", cwd=o.dir, timeout=30, check=True))
    assert seconds < 2.0
    print(f"a second start ended after {seconds:.2f} s", file=sys.stderr)
    o.expect("visible", "1")
    assert overlays() == 1
    o.probe("wait-gone", 0, NOTICE)
    assert Path(o.ini).read_bytes() == before
    beside = start()
    assert within(overlays, 2, 10) == 2
    beside.kill()  # it would stand over the exit question


def resize_drag_and_move_to_200_percent(o, request):
    o.open_panel()
    # Resized wider and narrower, the combo box and the sliders show what a fresh paint shows.
    for width in (600, 380):
        left, top = o.rect()[:2]
        o.probe("move", left, top, width, 700)
        time.sleep(0.5)
        assert stale_pixels(o, (COMBO, OPACITY, SCALE)) == {COMBO: 0, OPACITY: 0, SCALE: 0}, width
    controls = o.controls()
    # Thumb drag, then the click-through hotkey: the list lets go of the mouse. Then a move to a 200 % monitor:
    # the suggested rectangle, and the layout at twice the size.
    rows, combo = controls[ROWS].rect, controls[COMBO].rect[3] - controls[COMBO].rect[1]
    request.addfinalizer(lambda: subprocess.run(["xdotool", "mouseup", "1"]))
    xdotool("mousemove", rows[2] - 6, rows[1] + 10, "mousedown", 1)
    o.expect("capture", names.CLASS_LIST, 3)
    o.hotkey(1)
    o.expect("capture", "", 3)
    xdotool("mouseup", 1)
    o.hotkey(1)
    o.probe("dpi-changed", 192, 60, 40, 960, 1000)
    o.expect("rect", "60 40 960 1000")
    c = o.controls()
    assert (c[COMBO].rect[3] - c[COMBO].rect[1], c[COUNTDOWN].rect[2] - c[COUNTDOWN].rect[0]) == (2 * combo, 200)


def test_the_saved_boss_counts_down_paints_only_changes_and_another_boss_is_chosen(start, tracker, test_hook,
                                                                                    request):
    test_hook(names.HOOK_COUNT_PAINTS)
    saved, chosen = bosses(tracker, real=True)[2:4]
    o = start(f"[Selection]\nLastBoss={saved['id']}\n", connected=True)
    o.expect(TITLE, saved["name"], 10)
    # The countdown to the next respawn counts down, wrapping to the hour after it.
    def seconds():
        minutes, rest = re.fullmatch(r"(?:(\d+)m )?(\d+)s", o.text(COUNTDOWN)).groups()
        return int(minutes or 0) * 60 + int(rest)
    before = seconds()
    time.sleep(2.2)
    step = before - seconds()
    assert step in (1, 2, 3) or step < -3500, step
    o.expect(CACHE, CACHE_READ, 10)
    o.expect(colours((RED, AMBER, GREEN)), bool)
    # While the tracker's channels lose HP the rows are painted again, and the cache age once a second and once per
    # new age (not also for the merge just before it); unchanged data repaints no rows and each label once a second
    # at most.
    request.addfinalizer(lambda: tracker.control("thaw"))
    def ages_asked():
        return sum(tracker.control("requests")["statuses"].get("/api/status", {}).values())
    live, asked = o.paints(), ages_asked()
    time.sleep(6)  # three refreshes of the tracker's cache
    painted = {control: count - live[control] for control, count in o.paints().items()}
    assert painted[ROWS] > 0, "the rows follow the data"
    # The countdown is painted once a tick; one more of each kind for what the two counts split at their edges.
    assert painted[CACHE] <= painted[COUNTDOWN] + ages_asked() - asked + 2, painted
    tracker.control("freeze")
    time.sleep(2)  # answers read before the freeze have landed
    before = o.paints()
    time.sleep(10)
    painted = {control: count - before[control] for control, count in o.paints().items()}
    print(f"paints in 10 s of unchanged data: {painted}", file=sys.stderr)
    assert painted[COUNTDOWN] in range(9, 12), "one paint per second"
    # The cache age grows with the clock between two answers; the status line follows what the reads bring.
    assert painted[CACHE] <= 15 and painted[STATUS] <= 25
    assert {c: n for c, n in painted.items() if c not in (STATUS, COUNTDOWN, CACHE) and n} == {}

    # Painting every control and opening the tray menu give back every GDI object they take.
    def paint_and_open_menus():
        o.probe("redraw", 20)
        for _ in range(3):  # the menu opens at the mouse, over the rows; a click on the countdown closes it
            xdotool("mousemove", *centre(o.controls()[ROWS].rect))
            o.open_tray_menu()
            o.click(COUNTDOWN)
            o.gone(MENU)
    paint_and_open_menus()
    gdi = o.probe("counts")["gdi"]
    paint_and_open_menus()
    assert o.probe("counts")["gdi"] == gdi
    # Rows repainted a few at a time as the data changes look as a whole repaint does.
    tracker.control("thaw")
    time.sleep(3)
    tracker.control("freeze")
    time.sleep(2)
    assert stale_pixels(o, (ROWS,)) == {ROWS: 0}
    tracker.control("thaw")
    # A player opens the list and clicks another boss: its rows show and the choice is saved at once.
    o.pick_boss(tracker, chosen)
    o.expect(TITLE, chosen["name"], 3)
    o.assert_saved(("Selection", "LastBoss", chosen["id"]))
    o.expect(colours(), bool)
    # A quit while the exit question is open closes it and ends the program with its code.
    o.ask_exit()
    o.quit(7)


@pytest.mark.parametrize("validators", ["on", "off"])
def test_a_quiet_tracker_is_read_cheaply_while_time_still_moves(start_live, test_hook, validators):
    # Every report about 295 s old at the freeze: the rows still fresh then turn grey within seconds, by the clock
    # alone, for no summary brings anything new; after that, nothing repaints but the clock's labels.
    test_hook(names.HOOK_COUNT_PAINTS)
    tracker, o = start_live(prepare=lambda t: t.control(f"validators/{validators}"))
    o.expect(colours((RED, AMBER, GREEN)), bool, 10)
    tracker.control("age/295")
    tracker.control("freeze")
    time.sleep(2.5)  # the freeze's own new summary is read once the last one's max-age has run out
    answers = tracker.control("requests")["statuses"]["/api/all_status"]
    o.expect(colours((RED, GREEN, STALE)), {STALE}, 20)  # amber is also a text colour
    paints, countdown, asked = o.paints(), o.text(COUNTDOWN), summaries_asked(tracker)
    time.sleep(4)
    painted = {control: count - paints[control] for control, count in o.paints().items()}
    later = tracker.control("requests")["statuses"]["/api/all_status"]
    answered = {status: later.get(status, 0) - answers.get(status, 0) for status in ("200", "304")}
    print(f"validators {validators}: summary answers {answered}, paints in 4 s {painted}", file=sys.stderr)
    assert (answered["304"] > 0, answered["200"] > 0) == ((True, False) if validators == "on" else (False, True))
    # Its max-age said, the tracker is asked no sooner than its answer may change (every 1 or 2 s, by the cache's
    # age at the freeze); saying nothing, twice a second.
    assert summaries_asked(tracker) - asked in (range(2, 6) if validators == "on" else range(6, 10))
    assert painted[ROWS] == 0 and painted[CACHE] > 0 and o.text(COUNTDOWN) != countdown
    o.exit()


def test_the_exe_carries_its_icon_chime_and_version():
    with tempfile.TemporaryDirectory() as directory:
        icon = os.path.join(directory, "group.ico")
        with open(icon, "wb") as f:
            f.write(subprocess.run(["wrestool", "-x", "-t14", Tools.exe], capture_output=True, check=True).stdout)
        # Each image decodes at its size, as a disc: opaque in the middle, clear in the corner.
        subprocess.run(["icotool", "-x", "-o", directory, icon], check=True)
        decoded = subprocess.run(["identify", "-format", r"%w %h %[fx:p{w/2,h/2}.a] %[fx:p{0,0}.a]\n",
                                  *sorted(glob.glob(os.path.join(directory, "*.png")))],
                                 capture_output=True, text=True, check=True).stdout
    assert decoded.splitlines() == [f"{size} {size} 1 0" for size in (16, 24, 32, 48, 256)]
    chime = subprocess.run(["wrestool", "-x", "-R", "--type=+WAVE", Tools.exe], capture_output=True, check=True).stdout
    assert chime[:4] + chime[8:12] == b"RIFFWAVE"
    # As Explorer's Details tab reads it: the fixed version, and the strings of the one translation, US English.
    pe = pefile.PE(Tools.exe)
    (strings,), (translation,) = ([info for info in pe.FileInfo[0] if info.Key == key]
                                  for key in (b"StringFileInfo", b"VarFileInfo"))
    assert [var.entry for var in translation.Var] == [{b"Translation": "0x0409 0x04b0"}]
    assert [table.LangID for table in strings.StringTable] == [b"040904B0"]
    fixed = pe.VS_FIXEDFILEINFO[0]
    assert (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
            fixed.FileVersionLS & 0xFFFF) == (*map(int, names.PRODUCT_VERSION.split(".")), 0)
    found = {key.decode(): value.decode() for key, value in strings.StringTable[0].entries.items()}
    assert found.items() >= {
        "ProductName": names.PRODUCT_NAME, "ProductVersion": names.PRODUCT_VERSION,
        "FileDescription": f"{names.PRODUCT_NAME} world-boss overlay",
        "LegalCopyright": f"Copyright (c) 2026 the {names.PRODUCT_NAME} developers (MIT licence)"}.items()


def summaries_asked(tracker):
    return sum(tracker.control("requests")["statuses"]["/api/all_status"].values())


def stale_pixels(o, controls):
    """Per control, the pixels on screen that a whole repaint changes by more than an anti-aliasing shade."""
    rects, before = {c: o.controls()[c].rect for c in controls}, Screen()
    o.probe("redraw")
    time.sleep(0.3)
    after = Screen()
    return {c: sum(max(abs(p - q) for p, q in zip(a, b)) > 48 for a, b in zip(before.region(*r), after.region(*r)))
            for c, r in rects.items()}
