#!/usr/bin/env python3
"""Checks that the demo tracker answers in the shapes the overlay's client reads. Its stall and resume are left
to the end-to-end test of an unreadable tracker, which fails when either does nothing."""
import gzip
import json
import os
import socket
import time
import unittest
import urllib.error
import urllib.request
from datetime import datetime, timezone
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

    def test_each_fault_spoils_one_summary_only(self):
        for kind in ("garbage", "bomb", "stall"):
            with self.subTest(kind):
                self.get(f"/__control/fault/{kind}")
                self.json("/api/status")  # the other reads are not touched
                if kind == "stall":
                    with self.assertRaises(socket.timeout):
                        self.get("/api/all_status", timeout=0.5)
                elif kind == "garbage":
                    with self.assertRaises(ValueError):
                        self.json("/api/all_status")
                else:
                    body = self.get("/api/all_status")
                    self.assertLess(len(body), 1 << 20)
                    self.assertEqual(len(gzip.decompress(body)), 100 << 20)
                self.assertIn("channel_status", self.json("/api/all_status"))

    def test_a_killed_channel_is_dead_in_every_read(self):
        mob = self.json("/api/collections/mobs/records")["items"][5]["id"]
        self.get(f"/__control/kill/{mob}/2")
        summary = {c["channel_number"]: c["last_hp"] for c in self.json("/api/all_status")["channel_status"][mob]}
        records = self.json(CHANNELS.format(f"(mob='{mob}')"))["items"]
        self.assertEqual(summary[2], 0)
        self.assertEqual({r["last_hp"] for r in records if r["channel_number"] == 2}, {0})
        self.assertTrue(any(hp > 0 for hp in summary.values()), "the other channels live on")

    def test_a_set_fight_reports_fresh_and_counts_down_and_bad_controls_are_refused(self):
        mob = self.json("/api/collections/mobs/records")["items"][6]["id"]
        self.get(f"/__control/etd/{mob}/3/45")
        now = time.time()
        report = next(c for c in self.json("/api/all_status")["channel_status"][mob] if c["channel_number"] == 3)
        self.assertAlmostEqual(report["etd"], 45, delta=1)
        self.assertIn(report["last_hp"], range(1, 101))
        reported = datetime.strptime(report["last_update"], "%Y-%m-%d %H:%M:%S.%fZ").replace(tzinfo=timezone.utc)
        self.assertLess(abs(reported.timestamp() - now), 2, "reported as it happens")
        self.get(f"/__control/etd/{mob}/3/-1")
        report = next(c for c in self.json("/api/all_status")["channel_status"][mob] if c["channel_number"] == 3)
        self.assertEqual((report["last_hp"], report["etd"]), (0, 0.0))
        self.get(f"/__control/respawn/{mob}/7")
        self.assertEqual(self.json("/api/collections/mobs/records")["items"][6]["respawn_time"], 7)
        for command, status in ((f"etd/{mob}/3/soon", 400), (f"etd/{mob}/3/inf", 400), (f"etd/{mob}/3", 400),
                                (f"etd/{mob}/999/30", 404), ("etd/nobody/1/30", 404), (f"respawn/{mob}/late", 400),
                                ("respawn/nobody/5", 404)):
            with self.subTest(command), self.assertRaises(urllib.error.HTTPError) as refused:
                self.get(f"/__control/{command}")
            self.assertEqual(refused.exception.code, status, command)


if __name__ == "__main__":
    unittest.main()
