#!/usr/bin/env python3
"""Checks that the demo tracker answers in the shapes the overlay's client reads."""
import gzip
import http.client
import json
import socket
import subprocess
import sys
import time
import unittest
from pathlib import Path
from urllib.parse import quote

TRACKER = Path(__file__).resolve().parents[2] / "tools" / "demo_tracker.py"
CHANNELS = "/api/collections/mob_channel_status/records?filter={}&perPage=500&sort=-last_update"


class DemoTrackerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        proc = subprocess.Popen([sys.executable, TRACKER, "--port", "0"], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True)
        for cleanup in (proc.stdout.close, proc.wait, proc.terminate):  # run last to first
            cls.addClassCleanup(cleanup)
        cls.port = int(proc.stdout.readline().split()[1])

    def get(self, path, timeout=5):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            conn.request("GET", path)
            response = conn.getresponse()
            self.assertEqual(response.status, 200, path)
            return response.read()
        finally:
            conn.close()

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

    def test_stall_and_resume(self):
        self.get("/__control/stall")
        try:
            with self.assertRaises(socket.timeout):
                self.get("/api/status", timeout=0.5)
        finally:
            self.get("/__control/resume")
        self.get("/api/status")

    def test_freeze_and_thaw(self):
        self.get("/__control/freeze")
        try:
            frozen = [(self.get("/api/all_status"), self.get("/api/status")) for _ in range(2)]
            time.sleep(0.05)
            frozen.append((self.get("/api/all_status"), self.get("/api/status")))
            self.assertEqual(frozen[0], frozen[1])
            self.assertEqual(frozen[0], frozen[2])
        finally:
            self.get("/__control/thaw")
        time.sleep(0.05)
        self.assertNotEqual(self.get("/api/status"), frozen[0][1])

    def test_each_fault_spoils_one_summary_only(self):
        def not_json(body):
            with self.assertRaises(ValueError):
                json.loads(body)

        def bomb(body):
            self.assertLess(len(body), 1 << 20)
            self.assertEqual(len(gzip.decompress(body)), 100 << 20)

        def stalled(path):
            with self.assertRaises(socket.timeout):
                self.get(path, timeout=0.5)

        cases = [("garbage", lambda path: not_json(self.get(path))),
                 ("bomb", lambda path: bomb(self.get(path))),
                 ("stall", stalled)]
        for kind, spoiled in cases:
            with self.subTest(kind):
                self.get(f"/__control/fault/{kind}")
                self.json("/api/status")  # the other reads are not touched
                spoiled("/api/all_status")
                self.assertIn("channel_status", self.json("/api/all_status"))

    def test_a_killed_channel_is_dead_in_every_read(self):
        mob = self.json("/api/collections/mobs/records")["items"][5]["id"]
        self.get(f"/__control/kill/{mob}/2")
        summary = {c["channel_number"]: c["last_hp"] for c in self.json("/api/all_status")["channel_status"][mob]}
        records = self.json(CHANNELS.format(f"(mob='{mob}')"))["items"]
        self.assertEqual(summary[2], 0)
        self.assertEqual({r["last_hp"] for r in records if r["channel_number"] == 2}, {0})
        self.assertTrue(any(hp > 0 for hp in summary.values()), "the other channels live on")


if __name__ == "__main__":
    unittest.main()
