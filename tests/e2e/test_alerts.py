"""The alerts against a frozen world, where only the channels the test sets cross a threshold. The raised
notifications are counted by a test hook and read through the probe."""
import time

from driver import MENU, MENU_ROWS, TITLE, Screen, bosses, names, xdotool

# The Alerts submenu opens beside the Alerts row: its top edge below the menu's, and its row centres below that.
ALERTS_ROW_TOP, ALERT_ROWS = 101, {"dying": 22, "respawn": 50, "sound": 78}


def alerts(o):
    """Notifications raised and sounds asked for so far, and the last of each; counted when the test hook is on."""
    raised = o.probe("alerts")
    return int(raised["alerts"]), raised["alert"], int(raised["sounds"]), raised["sound"]


def test_a_channel_about_to_die_and_the_respawn_raise_one_notification_each_switched_in_the_tray_menu(
        start_live, tracker, test_hook):
    test_hook(names.HOOK_COUNT_ALERTS)
    # The chosen boss respawns two to three minutes from now: its alert is due about 45 s from now.
    minute = (time.gmtime().tm_min + 3) % 60
    respawn_seconds = (minute * 60 - int(time.time()) % 3600) % 3600 - 45
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
