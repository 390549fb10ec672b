#!/usr/bin/env python3
"""Checks that the demo tracker answers in the shapes the overlay's client reads."""
import calendar
import gzip
import http.client
import json
import os
import re
import socket
import subprocess
import sys
import time
import unittest
from urllib.parse import quote

TRACKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "demo_tracker.py")
TIMESTAMP = re.compile(r"^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}Z$")
CHANNEL_KEYS = {"mob", "channel_number", "last_hp", "last_update", "dps", "etd", "death_time_estimate"}


class Tracker:
    def __init__(self, *args):
        self.proc = subprocess.Popen([sys.executable, TRACKER, "--port", "0", *args], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
        line = self.proc.stdout.readline().split()
        assert line[:1] == ["PORT"], line
        self.port = int(line[1])

    def get(self, path, gzip_ok=False, timeout=5):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            conn.request("GET", path, headers={"Accept-Encoding": "gzip"} if gzip_ok else {})
            response = conn.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            conn.close()

    def json(self, path):
        status, _, body = self.get(path)
        assert status == 200, (path, status, body)
        return json.loads(body)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(5)
        self.proc.stdout.close()


def channel_path(mob, per_page=500, encode=False):
    value = f"(mob='{mob}')"
    return (f"/api/collections/mob_channel_status/records?filter={quote(value) if encode else value}"
            f"&perPage={per_page}&sort=-last_update")


def unix_seconds(text):
    return calendar.timegm(time.strptime(text[:19], "%Y-%m-%d %H:%M:%S"))


class DemoTrackerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tracker = Tracker("--seed", "5")
        cls.bosses = cls.tracker.json("/api/collections/mobs/records")["items"]

    @classmethod
    def tearDownClass(cls):
        cls.tracker.stop()

    def test_boss_list(self):
        self.assertEqual(len(self.bosses), 20)
        self.assertEqual(len({b["id"] for b in self.bosses}), 20)
        for b in self.bosses:
            self.assertIsInstance(b["id"], str)
            self.assertTrue(b["name"])
            self.assertIsInstance(b["uid"], int)
            self.assertIn(b["respawn_time"], range(60))
        self.assertEqual([b["type"] for b in self.bosses].count("magical_creature"), 1)
        self.assertGreater(len({b["respawn_time"] for b in self.bosses}), 10)

    def test_channel_records_honour_filter_page_size_and_sort(self):
        mob = self.bosses[3]["id"]
        for encode in (False, True):
            with self.subTest(encoded=encode):
                items = self.tracker.json(channel_path(mob, encode=encode))["items"]
                self.assertTrue(all(i["mob"] == mob for i in items))
                numbers = {i["channel_number"] for i in items}
                self.assertIn(len(numbers), range(20, 41))
                self.assertEqual(numbers, set(range(1, len(numbers) + 1)))
                times = [i["last_update"] for i in items]
                self.assertEqual(times, sorted(times, reverse=True))
        self.assertEqual(len(self.tracker.json(channel_path(mob, per_page=5))["items"]), 5)
        self.assertEqual(self.tracker.json(channel_path("nosuchboss"))["items"], [])
        self.assertEqual(self.tracker.get("/api/collections/mob_channel_status/records?filter=mob")[0], 400)

    def test_summary_channels_fall_die_and_go_stale(self):
        summary = self.tracker.json("/api/all_status")["channel_status"]
        self.assertTrue({b["id"] for b in self.bosses} < set(summary), "one summarised boss is not listed")
        now = time.time()
        dead = stale = falling = 0
        for channels in summary.values():
            for c in channels:
                self.assertEqual(set(c), CHANNEL_KEYS)
                self.assertTrue(c["last_update"] == "" or TIMESTAMP.match(c["last_update"]), c)
                if c["last_hp"] == 0:
                    dead += 1
                    continue
                window = 300 if c["last_hp"] == 100 else 180 if c["last_hp"] >= 80 else 120
                if not c["last_update"] or unix_seconds(c["last_update"]) < now - window:
                    stale += 1
                if c["etd"] > 0:
                    falling += 1
                    self.assertGreater(c["dps"], 0)
                    # last_hp is the remaining HP rounded up; etd * dps is the remaining HP itself.
                    self.assertGreater(c["etd"] * c["dps"], c["last_hp"] - 1.1)
                    self.assertLess(c["etd"] * c["dps"], c["last_hp"] + 0.1)
                    self.assertTrue(TIMESTAMP.match(c["death_time_estimate"]), c)
        self.assertGreater(dead, 0)
        self.assertGreater(stale, 0)
        self.assertGreater(falling, 100)

    def test_status_reports_a_cache_age(self):
        age = self.tracker.json("/api/status")["statistics"]["cache_age"]
        self.assertIsInstance(age, float)
        self.assertGreaterEqual(age, 0.0)
        self.assertLessEqual(age, 86400.0)

    def test_gzip_only_when_asked(self):
        path = "/api/collections/mobs/records"
        _, plain_headers, plain = self.tracker.get(path)
        _, gzip_headers, packed = self.tracker.get(path, gzip_ok=True)
        self.assertNotIn("Content-Encoding", plain_headers)
        self.assertEqual(gzip_headers["Content-Encoding"], "gzip")
        self.assertEqual(int(gzip_headers["Content-Length"]), len(packed))
        self.assertEqual(gzip.decompress(packed), plain)
        self.assertLess(len(packed), len(plain))


class StallTest(unittest.TestCase):
    def test_control_paths_stall_and_resume(self):
        tracker = Tracker()
        try:
            self.assertEqual(tracker.get("/api/status")[0], 200)
            self.assertEqual(tracker.get("/__control/stall")[0], 200)
            with self.assertRaises(socket.timeout):
                tracker.get("/api/status", timeout=0.5)
            self.assertEqual(tracker.get("/__control/resume")[0], 200)
            self.assertEqual(tracker.get("/api/status")[0], 200)
        finally:
            tracker.stop()

    def test_stall_after_seconds(self):
        tracker = Tracker("--stall-after-seconds", "1")
        try:
            self.assertEqual(tracker.get("/api/all_status")[0], 200)
            time.sleep(1.2)
            with self.assertRaises(socket.timeout):
                tracker.get("/api/all_status", timeout=0.5)
        finally:
            tracker.stop()


if __name__ == "__main__":
    unittest.main()
