"""The overlay against a tracker that misbehaves: it hangs, fails, stops, sends garbage, floods or ages, and the
overlay says why, keeps what it showed, stays small and answering, and recovers."""
import re
import sys
import time
from pathlib import Path

import pytest

from driver import (CONNECTED, GREEN, LIVE_TIP, RECONNECTING, RED, ROWS, STALE, STATUS, TITLE, TITLE_TEXT, Overlay,
                    bosses, colours, elapsed, rows, within)


def test_exits_promptly_while_requests_hang(start, tracker, request):
    tracker.control("stall")
    request.addfinalizer(lambda: tracker.control("resume"))
    seen = len(tracker.control("requests")["requests"])
    o = start()
    assert len(within(lambda: tracker.control("requests")["requests"], lambda r: len(r) > seen, 30)) > seen
    # The loader is now inside a request that will not be answered; the shutdown waits for the workers for at most
    # five seconds, then leaves.
    time.sleep(1)
    assert o.exit() < 8.0
    o.assert_saved(("Window", "Left", "100"))


def test_a_private_tracker_loses_channels_fails_stops_and_ages(start_live):
    tracker, o = start_live()
    boss = next(b["id"] for b in bosses(tracker) if b["name"] == o.text(TITLE))
    o.expect("tray", "2", 5)
    tracker.control("freeze")
    live = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss] if c["last_hp"] > 0]
    # Three rows left, so that the whole list shows and its rows can be counted on the screen; one dies.
    for number in live[3:]:
        tracker.control(f"kill/{boss}/{number}")
    o.expect(rows, 3, 5)
    tracker.control(f"kill/{boss}/{live[0]}")
    o.expect(rows, 2, 3)
    tracker.control("thaw")
    # Not JSON; a gzip body past the inflate limit; no answer until the client's 10 s time-out.
    for fault, seconds in (("garbage", 5), ("bomb", 5), ("stall", 15)):
        tracker.control(f"fault/{fault}")
        # The failure shows only until the next summary, about 1.5 s later: the probe watches closely.
        noticed = o.probe("wait-text", STATUS.number, "Reconnecting", seconds * 1000)["text"]
        assert re.match(r"^Reconnecting\.\.\. \(attempt 1\) \| NTP: ", noticed), (fault, noticed)
        assert o.running()
        o.expect(STATUS, CONNECTED, 4)
        o.expect(colours(), bool)  # the rows stay
    tracker.stop()
    assert elapsed(lambda: o.expect(STATUS, RECONNECTING, 3)) < 4
    o.expect("tray", "1", 3)
    tracker.start()
    assert elapsed(lambda: o.expect(STATUS, CONNECTED, 3)) < 4
    o.expect("tray", "2", 5)
    # Every report ten minutes old: all rows grey.
    tracker.control("age/600")
    o.expect(colours((RED, GREEN, STALE)), {STALE}, 5)
    o.exit()


def test_oversized_answers_cost_bounded_work_and_a_hostile_boss_id_never_reaches_the_settings(start_live):
    # Listed first with fresh channels, the boss whose id holds CR LF would be the one chosen, and saved.
    tracker, o = start_live(prepare=lambda t: t.control("hostile-boss"))
    boss = next(b["id"] for b in bosses(tracker) if b["name"] == o.text(TITLE))
    for flood in (f"flood/records/{boss}", "flood/ids", "flood/long-number", f"flood/long-strings/{boss}"):
        tracker.control(flood)
        # While the floods last the rows stay as they were and the window keeps answering at once.
        o.expect("tip", f"{TITLE_TEXT}\\n127.0.0.1: answer is not tracker data", 15)
        o.expect(colours(), bool)
        o.probe("responds", 1000)
        time.sleep(3)
        o.probe("responds", 1000)
        assert o.resident_mib() < 200, flood
        tracker.control("resume")
        o.expect("tip", LIVE_TIP, 10)
        o.expect("tray", "2", 5)
    o.exit()
    assert [(key, value) for section, key, value in o.saved() if section == "Server"] == [
        ("BaseUrl", tracker.origin + "/")]
    assert "127.0.0.1:1/".encode("utf-16-le") not in Path(o.ini).read_bytes()


@pytest.mark.parametrize("control, reason", [("outage/503", "127.0.0.1: HTTP status 503"),
                                             ("stall", "127.0.0.1: no answer in time")])
def test_an_unreadable_tracker_says_why_until_it_answers_again(start, private_tracker, control, reason):
    # Under "Unknown" and in the red tray icon's tip, as the probe prints them (a line break as \n). Each reason's
    # text is HttpGet's table; here the way it reaches the player.
    tracker = private_tracker()
    tracker.control(control)
    o = start(origin=tracker.origin)
    o.expect(ROWS, "Unknown\\n" + reason, 20)
    o.expect("tip", f"{TITLE_TEXT}\\n" + reason, 3)
    o.expect("tray", "1")
    if control == "outage/503":
        o.shot("unreadable-tracker")
    # The tracker answers again: the reason goes, rows show and the tip is the title, perhaps with the next event.
    tracker.control("resume")
    o.expect(ROWS, "", 30)
    o.expect(colours(), bool)
    o.expect("tip", LIVE_TIP, 5)
    o.exit()


@pytest.mark.parametrize("control, seconds", [("fail-boss", 10), ("latency/150", 1.5)])
def test_neither_a_failing_boss_nor_a_distant_tracker_holds_back_the_rows(private_tracker, request, control, seconds):
    # The saved boss is listed first; with "fail-boss" its own channel read always fails and the summary gives it rows.
    tracker = private_tracker("--bosses", "40")
    first = bosses(tracker)[0]["id"]
    tracker.control(f"{control}/{first}" if control == "fail-boss" else control)
    o = Overlay(f"[Server]\nBaseUrl={tracker.origin}/\n[Selection]\nLastBoss={first}\n")
    request.addfinalizer(o.close)
    waited = int(o.probe("wait-rows", 30000)["rows_ms"]) / 1000
    print(f"{control}: rows {waited:.2f} s after the window", file=sys.stderr)
    assert waited < seconds
    o.exit()
