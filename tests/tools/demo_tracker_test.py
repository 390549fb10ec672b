#!/usr/bin/env python3
"""Checks that the demo tracker answers in the shapes the overlay's client reads, and what of its controls the
overlay does not show. The end-to-end tests fail when a summary fault, a stall or a resume does nothing
(reconnecting and recovering), a kill (rows leave) or a fight or respawn set for a time (the alerts' text)."""
import json
import os
import time
import unittest
import urllib.error
import urllib.request
from urllib.parse import quote

ORIGIN = f"http://127.0.0.1:{os.environ['BRISQUEL_TRACKER_PORT']}"  # tools/with_fixtures.py starts it
CHANNELS = "/api/collections/mob_channel_status/records?filter={}&perPage=500&sort=-last_update"


class DemoTrackerTest(unittest.TestCase):
    def get(self, path, timeout=5):
        with urllib.request.urlopen(ORIGIN + path, timeout=timeout) as response:
            return response.read()

    def json(self, path):
        return json.loads(self.get(path))

    def test_the_four_reads(self):
        bosses = self.json("/api/collections/mobs/records")["items"]
        self.assertEqual([b["type"] for b in bosses].count("magical_creature"), 1)
        summary = self.json("/api/all_status")["channel_status"]
        keys = {"mob", "channel_number", "last_hp", "last_update", "dps", "etd", "death_time_estimate"}
        self.assertTrue(all(set(c) == keys for boss in summary.values() for c in boss))
        self.assertIsInstance(self.json("/api/status")["statistics"]["cache_age"], float)
        mob = bosses[3]["id"]
        for value in (f"(mob='{mob}')", quote(f"(mob='{mob}')")):
            items = self.json(CHANNELS.format(value))["items"]
            self.assertEqual({i["mob"] for i in items}, {mob}, value)
            self.assertEqual({i["channel_number"] for i in items}, {c["channel_number"] for c in summary[mob]})
            self.assertEqual([i["last_update"] for i in items], sorted((i["last_update"] for i in items), reverse=True))

    def test_freeze_and_thaw(self):
        self.get("/__control/freeze")
        try:
            frozen = [(time.sleep(pause), self.get("/api/all_status"), self.get("/api/status"))
                      for pause in (0, 0, 0.05)]
            self.assertEqual(frozen, frozen[:1] * 3)
        finally:
            self.get("/__control/thaw")
        time.sleep(0.05)
        self.assertNotEqual(self.get("/api/status"), frozen[0][2])

    def test_a_channel_set_to_die_now_is_dead_and_bad_controls_are_refused(self):
        mob = self.json("/api/collections/mobs/records")["items"][6]["id"]
        self.get(f"/__control/etd/{mob}/3/-1")
        report = next(c for c in self.json("/api/all_status")["channel_status"][mob] if c["channel_number"] == 3)
        self.assertEqual((report["last_hp"], report["etd"]), (0, 0.0))
        for command, status in ((f"etd/{mob}/3/soon", 400), (f"etd/{mob}/3/inf", 400), (f"etd/{mob}/3", 400),
                                (f"etd/{mob}/999/30", 404), ("etd/nobody/1/30", 404), (f"respawn/{mob}/late", 400),
                                ("respawn/nobody/5", 404)):
            with self.subTest(command), self.assertRaises(urllib.error.HTTPError) as refused:
                self.get(f"/__control/{command}")
            self.assertEqual(refused.exception.code, status, command)


if __name__ == "__main__":
    unittest.main()
