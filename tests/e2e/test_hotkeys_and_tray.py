"""Click-through mode and the hotkeys, from the file, by hotkey and from the tray menu, and a combination another
program holds."""
import subprocess
import time

import pytest

from driver import (CLICK_THROUGH_BUTTON, MENU, NIN_KEYSELECT, NOTICE, VISIBILITY_BUTTON, WM_CLOSE, WM_CONTEXTMENU,
                    Tools, expect_click_through, names, wine, xdotool)


def test_click_through_from_the_file_and_by_hotkey_saved_at_once(start):
    o = start("[Window]\nClickThroughMode=1\n")
    for on in (True, False):
        expect_click_through(o, on)
        o.hotkey(1)
        time.sleep(1)
    expect_click_through(o, True)
    o.exit()
    o.assert_saved(("Window", "ClickThroughMode", "1"))


def reported_and_a_quit_during_the_tray_menu_ends_the_program(o):
    o.expect(VISIBILITY_BUTTON, "Show/Hide: Ctrl+B (not active)")
    o.expect(CLICK_THROUGH_BUTTON, "Click-through: Ctrl+Shift+B")
    o.open_tray_menu()
    o.quit(3)


def starts_framed_and_the_tray_menu_switches_it(o):
    """Without its hotkey, click-through from the file would leave the mouse no way in: the overlay starts framed,
    keeps the saved mode for a later run, and the tray menu switches it."""
    expect_click_through(o, False, saved=False)
    o.assert_saved(("Window", "ClickThroughMode", "1"))
    for on in (True, False):
        o.choose_in_tray_menu("Click-through")
        expect_click_through(o, on)
    o.exit()


@pytest.mark.parametrize("modifiers, ini_text, then", [
    ("2", "", reported_and_a_quit_during_the_tray_menu_ends_the_program),
    ("6", "[Window]\nClickThroughMode=1\n", starts_framed_and_the_tray_menu_switches_it)])
def test_a_hotkey_held_by_another_program_is_reported(start, request, modifiers, ini_text, then):
    holder = subprocess.Popen([Tools.wine, Tools.probe, "hold", modifiers, "0x42", "30000"], stdout=subprocess.PIPE,
                              text=True)
    request.addfinalizer(holder.kill)
    assert holder.stdout.readline().strip() == "held=1"
    o = start(ini_text)
    o.find(NOTICE, "Warning", 20000)
    # While the notice holds the overlay's start, a second start from its folder finds it and brings it back.
    o.hotkey(2)
    o.expect("visible", "0", 3)
    wine("Brisquel.exe", cwd=o.dir, timeout=30, check=True)
    o.expect("visible", "1", 3)
    o.probe("post", WM_CLOSE, 0, 0, NOTICE)
    o.gone(NOTICE)
    then(o)


def test_start_with_windows_is_ticked_and_unticked_in_the_tray_menu(start, request):
    run_key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

    def run_value():
        query = wine("reg", "query", run_key, "/v", names.PRODUCT_NAME, capture_output=True, text=True)
        return next((line.split("REG_SZ", 1)[1].strip() for line in query.stdout.splitlines() if "REG_SZ" in line),
                    None)

    def remove():
        wine("reg", "delete", run_key, "/v", names.PRODUCT_NAME, "/f", capture_output=True)
    remove()
    request.addfinalizer(remove)
    o = start()
    assert run_value() is None
    o.choose_in_tray_menu("Start with Windows")
    assert run_value().lower() == f'"z:{o.dir}\\brisquel.exe"'.replace("/", "\\").lower()
    o.choose_in_tray_menu("Start with Windows")
    assert run_value() is None
    o.exit()


def test_the_tray_icon_and_its_menu_answer_the_keyboard(start):
    o = start()
    # Enter or Space on the icon shows and hides the overlay, as a double click does.
    for shown in "01":
        o.tray(NIN_KEYSELECT)
        o.expect("visible", shown, 3)
    # The context-menu key opens the menu with its first item selected: down to Alerts, into its submenu, and
    # Enter switches the first alert on.
    o.tray(WM_CONTEXTMENU)
    root = o.rect(MENU, 5000)
    o.shot("tray-menu-keyboard", MENU, 10)
    xdotool("key", "Down", "Down", "Right")
    o.expect(lambda o: o.rect(MENU) != root, True, 3)
    o.press("Return", MENU)
    o.assert_saved(("Alerts", "Dying", "1"))
    # An item's letter opens it; Escape closes one level, then the menu.
    o.tray(WM_CONTEXTMENU)
    o.rect(MENU, 5000)
    xdotool("key", "a")
    o.expect(lambda o: o.rect(MENU) != root, True, 3)
    xdotool("key", "Escape")
    o.expect(lambda o: o.rect(MENU), root, 3)
    o.press("Escape", MENU)
    o.exit()
