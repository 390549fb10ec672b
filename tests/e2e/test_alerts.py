"""The alerts against a frozen world, where only the channels the test sets cross a threshold. The raised
notifications are counted by a test hook and read through the probe."""
import re
import time
from urllib.parse import quote

import pytest

from driver import COMBO, MENU, MENU_ROWS, POPUP, TITLE, TITLE_TEXT, Screen, bosses, names, xdotool

# The Alerts submenu opens beside the Alerts row: its top edge below the menu's, and its row centres below that.
ALERTS_ROW_TOP, ALERT_ROWS = 101, {"dying": 22, "respawn": 50, "sound": 78}


def alerts(o):
    """Notifications raised and sounds asked for so far, and the last of each; counted when the test hook is on."""
    raised = o.probe("alerts")
    return int(raised["alerts"]), raised["alert"], int(raised["sounds"]), raised["sound"]


def next_event(own, *covered):
    """The tray tip naming a coming event of these bosses as their tracker reports them now: a death of a channel
    alive with an estimate, or an hourly respawn. Which one is soonest depends on each report's freshness, the
    overlay's to judge; the native tests hold that rule."""
    status, listed = own.read("/api/all_status")["channel_status"], {b["id"]: b for b in bosses(own, real=True)}
    events = [re.escape(f"{b['name']}, Ch. {c['channel_number']} dies in ") + r"\d+ s" for b in covered
              for c in status.get(b["id"], []) if c["last_hp"] > 0 and c["etd"] > 0]
    events += [re.escape(b["name"]) + r" respawns in (\d+m )?\d+s" for b in covered if b["id"] in listed]
    return re.compile(f"^{re.escape(TITLE_TEXT)}\\\\nNext: ({'|'.join(events)})$")


def respawn_due_soon():
    """A respawn minute two to three minutes from now, and the alert threshold that makes its alert due about 45 s
    from now."""
    minute = (time.gmtime().tm_min + 3) % 60
    return minute, (minute * 60 - int(time.time()) % 3600) % 3600 - 45


def test_a_channel_about_to_die_and_the_respawn_raise_one_notification_each_switched_in_the_tray_menu(
        start_live, tracker, test_hook):
    test_hook(names.HOOK_COUNT_ALERTS)
    # The chosen boss respawns two to three minutes from now.
    minute, respawn_seconds = respawn_due_soon()
    boss, other = bosses(tracker, real=True)[2:4]

    def prepare(own):
        own.control(f"respawn/{boss['id']}/{minute}")
        own.control("freeze")

    own, o = start_live(
        f"[Selection]\nLastBoss={boss['id']}\n[Alerts]\nDying=1\nRespawnSeconds={respawn_seconds}\nSoundFile=nowhere.wav\n", prepare)
    o.expect(TITLE, boss["name"], 10)
    calm = [c["channel_number"] for c in own.read("/api/all_status")["channel_status"][boss["id"]]
            if not 0 < c["etd"] <= 120]
    dying, respawn = f"{boss['name']}: Ch. {calm[0]} in 45 s", f"{boss['name']}: respawn in {respawn_seconds} s"
    # Switched on in the menu, saved at once, and checked on the next open.
    choose_alert(o, "respawn", {"dying", "sound"})
    o.assert_saved(("Alerts", "Respawn", "1"))
    o.expect(alerts, (0, "", 0, ""))  # channels already low when the boss was chosen stay quiet
    # A fresh channel of the chosen boss at 45 s alerts once; another boss's channel never does. Each sounds the
    # chime, as the sound file named is missing, and the first says so in a notification of its own before it.
    own.control(f"etd/{boss['id']}/{calm[0]}/45")
    o.expect(alerts, (2, dying, 1, "chime"), 5)
    o.expect("tip", next_event(own, boss), 5)
    own.control(f"etd/{other['id']}/1/30")
    time.sleep(4)
    o.expect(alerts, (2, dying, 1, "chime"))
    # Switched off, the next channel going low raises nothing.
    choose_alert(o, "dying", {"dying", "respawn", "sound"}, "tray-menu-alerts")
    o.assert_saved(("Alerts", "Dying", "0"))
    own.control(f"etd/{boss['id']}/{calm[1]}/40")
    time.sleep(4)
    o.expect(alerts, (2, dying, 1, "chime"))
    o.expect(alerts, (3, respawn, 2, "chime"), 60)
    o.exit()


def test_a_watched_boss_alerts_as_the_chosen_one_does_and_the_tip_names_the_next_event(start_live, tracker, test_hook):
    test_hook(names.HOOK_COUNT_ALERTS)
    minute, respawn_seconds = respawn_due_soon()
    boss, watched = bosses(tracker, real=True)[2:4]

    def prepare(own):
        own.control(f"respawn/{watched['id']}/{minute}")
        own.control(f"respawn/{boss['id']}/{(minute + 30) % 60}")  # the chosen boss's respawn stays out of the way
        own.control("freeze")

    own, o = start_live(f"[Selection]\nLastBoss={boss['id']}\n[Alerts]\nDying=1\nRespawn=1\n"
                        f"RespawnSeconds={respawn_seconds}\nSound=0\nWatch={watched['id']}\n", prepare)
    o.expect(TITLE, boss["name"], 10)
    calm = next(c["channel_number"] for c in own.read("/api/all_status")["channel_status"][watched["id"]]
                if not 0 < c["etd"] <= 120)
    own.control(f"etd/{watched['id']}/{calm}/45")
    o.expect(alerts, (1, f"{watched['name']}: Ch. {calm} in 45 s", 0, ""), 5)
    o.expect("tip", next_event(own, boss, watched), 5)
    o.expect(alerts, (2, f"{watched['name']}: respawn in {respawn_seconds} s", 0, ""), 60)
    o.exit()


def choose_alert(o, row, checked, shot=None):
    """Opens the tray menu at (400, 300), points at Alerts and chooses a row of the submenu, which opens to the
    right; the rows that showed a check mark before are the ones expected."""
    xdotool("mousemove", 400, 300)
    menu = o.open_tray_menu()
    xdotool("mousemove", menu[0] + 40, menu[1] + MENU_ROWS["Alerts"])
    time.sleep(0.5)
    left, top = menu[2], menu[1] + ALERTS_ROW_TOP
    screen = Screen(shot, crop=(menu[0] - 10, menu[1] - 10, left + 320, menu[3] + 40))
    blue = [sum(p[2] > 150 and p[2] - p[0] > 80 for p in screen.region(left + 8, top + y - 8, left + 24, top + y + 8))
            for y in ALERT_ROWS.values()]
    assert {name for name, count in zip(ALERT_ROWS, blue) if count > 5} == checked
    xdotool("mousemove", left + 40, top + ALERT_ROWS[row], "click", 1)
    o.gone(MENU)


def open_boss_list(o, count):
    """Opens the boss list; the point at a row's bell, and the rows whose bell (the square at the row's right end)
    shows light pixels while the pointer is elsewhere, in a screenshot of the list."""
    o.click(COMBO)
    x, y, width, height = map(int, o.state(POPUP, 5000)["client"].split())
    row = height // count

    def watched(shot):
        xdotool("mousemove", x + 10, y + 5, "sleep", 0.3)
        screen = Screen(shot, crop=(x, y, x + width, y + height))
        return [i for i in range(count) if any(
            min(p) > 200 for p in screen.region(x + width - row, y + i * row, x + width, y + (i + 1) * row))]
    return lambda i: (x + width - row // 2, y + i * row + row // 2), watched


@pytest.mark.parametrize("dpi", [96, 144])
def test_bells_in_the_boss_list_watch_bosses_without_closing_it_and_the_watch_list_outlives_a_restart(
        start, tracker, display_scale, dpi):
    display_scale(dpi)
    listed = bosses(tracker)
    o = start(f"[Selection]\nLastBoss={listed[0]['id']}\n", connected=True)
    o.expect(TITLE, listed[0]["name"], 10)
    bell, watched = open_boss_list(o, len(listed))
    # Space on the highlighted row and a click on another row's bell watch them; neither chooses nor closes.
    xdotool("key", "Down", "Down", "space", "mousemove", *bell(4), "click", 1)
    assert watched(f"watched-bosses-{dpi}dpi") == [2, 4]
    o.state(POPUP, 1000)
    o.expect(TITLE, listed[0]["name"])
    o.press("Escape", POPUP)
    o.assert_saved(("Alerts", "Watch", ",".join(quote(listed[i]["id"], safe="") for i in (2, 4))))
    o.kill()
    o.launch()
    o.state()
    o.expect(TITLE, listed[0]["name"], 30)
    bell, watched = open_boss_list(o, len(listed))
    assert watched(f"watched-bosses-{dpi}dpi-restarted") == [2, 4]
    xdotool("mousemove", *bell(2), "click", 1)
    o.assert_saved(("Alerts", "Watch", quote(listed[4]["id"], safe="")))
