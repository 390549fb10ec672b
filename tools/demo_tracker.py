#!/usr/bin/env python3
"""A simulated boss tracker for running Brisquel locally and for its tests.

It serves, on 127.0.0.1 only, the four reads the overlay makes:

  /api/collections/mobs/records             the boss list: {"items": [boss, ...]}
  /api/collections/mob_channel_status/records?filter=(mob='ID')&perPage=N&sort=-last_update
                                            one boss's channel reports, newest first
  /api/all_status                           {"channel_status": {boss id: [channel, ...], ...}}
  /api/status                               {"statistics": {"cache_age": seconds, ...}}

Answers are gzip-encoded when the request's Accept-Encoding names gzip, plain otherwise.

Like a tracker behind a cache, it builds its answers once a cache generation, every 2 s of the world's time, and
serves the same bytes in between; a control that changes the world starts a new generation at once. The data
answers carry an ETag (a hash of the bytes sent, so gzip and plain differ), a Last-Modified (when the
generation was built) and a Cache-Control max-age of the cache period with an Age (whole seconds into the period),
and a request whose If-None-Match or, without one, If-Modified-Since still matches is answered 304 Not Modified
with no body. "cache_age" is the time since the generation began.

The world is generated from the seed and then follows the wall clock: each channel waits at full
HP, loses HP at its own rate (reported as "dps" with a matching "etd"), dies, and respawns.
Some reporters fall silent, so their last report goes stale; a few reports carry no time at all.
One boss appears in the summary but not in the boss list, as a retired boss would.
For tests, control paths (see --help) stall, age or freeze the world, kill a channel or set the time it
dies, move a boss's respawn minute, make the next summary read fail once, flood every summary with more
records, ids or token bytes than any tracker has, fail one boss's channel reads, delay every data request, or
list a boss whose id holds line breaks. The same port also answers
TLS, with a self-signed certificate made at the first handshake, so that a client's refusal of an untrusted
tracker can be tested.
"""
import argparse
import collections
import gzip
import hashlib
import itertools
import json
import math
import random
import os
import re
import socket
import ssl
import string
import subprocess
import sys
import tempfile
import threading
import time
import zlib
from datetime import datetime, timezone
from email.utils import formatdate, mktime_tz, parsedate_tz
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qsl, urlsplit

BOSS_NAMES = [
    "Cindermaw", "Hollow Regent", "Glasswing Matriarch", "Old Tidebreaker", "Ashen Warden",
    "Thornhide Colossus", "Mirelight Oracle", "Grave Lantern", "Stormcaller Vesh", "Iron Pilgrim",
    "Duskfang Alpha", "Saltmarsh Hydra", "Emberclad Sentinel", "Pale Shepherd", "Rootbound Titan",
    "Frostveil Siren", "Clockwork Abbot", "Bramble King", "Sunken Herald", "Obsidian Roc",
    "Lantern Moth Queen", "Quarry Giant", "Veilwalker", "Copper Drake",
]
MAGICAL_CREATURE = "magical_creature"
FILTER_PATTERN = re.compile(r"^\(mob='([^']*)'\)$")
CONTROL_PREFIX = "/__control/"
SUMMARY_FAULTS = ("garbage", "bomb", "stall")
OUTAGES = ("503", "garbage")
BOMB_INFLATED_BYTES = 100 << 20  # well past any sane client's inflate limit
# Floods: small gzip summaries that describe far more than any tracker has.
FLOOD_RECORDS = 1_700_000  # channel records of one boss, about 4 MB on the wire
FLOOD_IDS = 200_000  # boss ids, each with an empty list, about 0.5 MB on the wire
FLOOD_TOKEN_BYTES = 8 << 20  # one number's digits, or one string's bytes, about 8 KB on the wire
# An id that would add a section and a key to any line-based file it were written into raw.
HOSTILE_BOSS_ID = "a\r\n[Server]\r\nBaseUrl=http://127.0.0.1:1/"
STALL_LONGEST_SECONDS = 120.0
CACHE_PERIOD_SECONDS = 2.0
ENTITY_TAG = re.compile(r'(?:W/)?("[^"]*")')  # If-None-Match compares tags weakly: W/ is ignored


def record_id(rng):
    alphabet = string.ascii_lowercase + string.digits
    return "".join(rng.choice(alphabet) for _ in range(15))


def format_time(seconds):
    moment = datetime.fromtimestamp(seconds, timezone.utc)
    return moment.strftime("%Y-%m-%d %H:%M:%S.") + f"{moment.microsecond // 1000:03d}Z"


class Channel:
    """One channel of one boss: a repeating life of waiting at full HP, a fight, and death."""

    def __init__(self, rng, number):
        self.number = number
        self.rate = rng.uniform(0.03, 0.6)  # HP percent lost per second during the fight
        self.waiting = rng.uniform(60, 600)
        self.fight = 100.0 / self.rate
        self.dead = rng.uniform(60, 300)
        self.cycle = self.waiting + self.fight + self.dead
        self.offset = rng.uniform(0, self.cycle)
        self.cadence = rng.uniform(3, 15)  # seconds between two reports
        self.jitter = rng.uniform(0, self.cadence)
        self.silent_for = rng.uniform(200, 1500) if rng.random() < 0.12 else 0.0
        self.untimed = rng.random() < 0.03
        self.killed = False
        self.dies_at = None  # set by a test: a fight that ends then

    def report(self, mob, now, reports_back=0):
        """The channel's latest report at `now`, or the one `reports_back` cadences before it."""
        if self.dies_at is not None and not self.killed:
            # A fight a test set up is reported as it happens, whatever this reporter's habits.
            at = now - reports_back * self.cadence
            left = self.dies_at - at
            if left <= 0:
                return self.record(mob, at, 0, 0.0, 0.0, timed=True)
            return self.record(mob, at, min(100, max(1, math.ceil(left * self.rate))), round(self.rate, 3),
                               round(left, 1), timed=True)
        at = now - ((now + self.jitter) % self.cadence) - self.silent_for - reports_back * self.cadence
        phase = (at + self.offset) % self.cycle
        if self.killed:
            phase = self.waiting + self.fight  # dead from now on, in every read
        if phase < self.waiting:
            hp, dps, etd = 100, 0.0, -1.0
        elif phase < self.waiting + self.fight:
            exact = 100.0 - self.rate * (phase - self.waiting)
            dps = round(self.rate, 3)
            hp, etd = max(1, math.ceil(exact)), round(exact / dps, 1)
        else:
            hp, dps, etd = 0, 0.0, 0.0
        return self.record(mob, at, hp, dps, etd, timed=not self.untimed)

    def record(self, mob, at, hp, dps, etd, timed):
        return {
            "mob": mob,
            "channel_number": self.number,
            "last_hp": hp,
            "last_update": format_time(at) if timed else "",
            "dps": dps,
            "etd": etd,
            "death_time_estimate": format_time(at + etd) if etd > 0 else "",
        }


class World:
    def __init__(self, seed, boss_count):
        rng = random.Random(seed)
        names = rng.sample(BOSS_NAMES, min(boss_count, len(BOSS_NAMES)))
        names += [f"Nameless {i}" for i in range(boss_count - len(names))]
        self.bosses = []
        self.channels = {}
        for index, name in enumerate(names):
            boss = {
                "id": record_id(rng),
                "name": name,
                "uid": 1000 + 17 * index,
                "respawn_time": rng.randrange(60),
                "type": MAGICAL_CREATURE if index == boss_count // 3 else rng.choice(["field_boss", "world_boss"]),
            }
            self.bosses.append(boss)
            self.channels[boss["id"]] = [Channel(rng, n) for n in range(1, rng.randint(20, 40) + 1)]
        self.channels[record_id(rng)] = [Channel(rng, n) for n in range(1, 6)]  # summarised, never listed
        # Some reporters send their report twice a cadence apart; the client keeps the newest.
        self.repeated = {(mob, c.number) for mob, chans in self.channels.items() for c in chans if rng.random() < 0.25}
        self.started = time.time()

    def add_hostile_boss(self):
        """Lists a boss whose id holds CR LF first, with fresh channels, so that it would be the one chosen."""
        if any(b["id"] == HOSTILE_BOSS_ID for b in self.bosses):
            return
        rng = random.Random(len(self.bosses))
        self.bosses.insert(0, {"id": HOSTILE_BOSS_ID, "name": "Line Breaker", "uid": 999, "respawn_time": 0,
                               "type": "world_boss"})
        self.channels[HOSTILE_BOSS_ID] = [Channel(rng, n) for n in range(1, 11)]

    def boss_list(self):
        return {"page": 1, "perPage": len(self.bosses), "totalItems": len(self.bosses), "totalPages": 1,
                "items": self.bosses}

    def channel_records(self, mob, now):
        records = []
        for mob_id, chans in self.channels.items():
            if mob is not None and mob_id != mob:
                continue
            for c in chans:
                records.append(dict(c.report(mob_id, now), id=f"{mob_id[:10]}{c.number:03d}r0"))
                if (mob_id, c.number) in self.repeated:
                    records.append(dict(c.report(mob_id, now, 1), id=f"{mob_id[:10]}{c.number:03d}r1"))
        return records

    def all_status(self, now):
        return {
            "channel_status": {mob: [c.report(mob, now) for c in chans] for mob, chans in self.channels.items()},
            "generated_at": format_time(now),
        }

    def status(self, now, cache_age):
        return {
            "status": "healthy",
            "statistics": {
                "cache_age": round(cache_age, 2),
                "cached_bosses": len(self.channels),
                "total_channels": sum(len(chans) for chans in self.channels.values()),
                "uptime_seconds": round(now - self.started, 1),
            },
        }


class Generation:
    """One refresh of the tracker's cache: the world as of the moment it began, and the summary's bytes."""

    def __init__(self, key, begun, refreshed, modified, summary):
        self.key = key
        self.begun = begun  # world time
        self.refreshed = refreshed  # world time of the periodic refresh it belongs to, even when a control forced it
        self.modified = modified  # wall time in whole seconds, as Last-Modified carries it
        plain = encode(summary, gzipped=False)
        self.summary = {False: plain, True: gzip.compress(plain, mtime=0)}


class TrackerCache:
    """A new generation every CACHE_PERIOD_SECONDS of world time, and one at once when a control changes the world:
    a frozen world must still show what a test did to it."""

    def __init__(self, world):
        self.world = world
        self.lock = threading.Lock()
        self.revision = 0
        self.changed_at = -math.inf  # world time of the latest change
        self.current = None

    def world_changed(self, now):
        with self.lock:
            self.revision += 1
            self.changed_at = now

    def generation(self, now):
        """The generation that serves world time `now`, built by the first request that needs it."""
        index = math.floor((now - self.world.started) / CACHE_PERIOD_SECONDS)
        with self.lock:
            if self.current is None or self.current.key != (index, self.revision):
                refreshed = begun = self.world.started + index * CACHE_PERIOD_SECONDS
                if begun <= self.changed_at <= now:
                    begun = self.changed_at
                # Dates have whole seconds: a generation forced within the second of the one before it is dated a
                # second later, so that If-Modified-Since still tells them apart.
                modified = int(time.time())
                if self.current is not None:
                    modified = max(modified, self.current.modified + 1)
                self.current = Generation((index, self.revision), begun, refreshed, modified,
                                          self.world.all_status(begun))
            return self.current


class Stall:
    """Makes data requests hang, from a moment given at start or on request, until resumed."""

    def __init__(self, after_seconds):
        self.lock = threading.Condition()
        self.stall_at = None if after_seconds is None else time.monotonic() + after_seconds
        self.stalled = False

    def _active(self):
        if self.stall_at is not None and time.monotonic() >= self.stall_at:
            self.stall_at = None
            self.stalled = True
        return self.stalled

    def set(self, stalled):
        with self.lock:
            self.stall_at = None
            self.stalled = stalled
            self.lock.notify_all()

    def wait_while_active(self):
        with self.lock:
            while self._active():
                self.lock.wait(0.5)


class SummaryFault:
    """A failure armed for the next summary request only; the requests after it are answered normally."""

    def __init__(self):
        self.lock = threading.Lock()
        self.armed = None
        self.bomb = None

    def arm(self, kind):
        if kind == "bomb":
            self.bomb_body()  # built now, so that the armed request is answered at once
        with self.lock:
            self.armed = kind

    def take(self):
        with self.lock:
            kind, self.armed = self.armed, None
        return kind

    def bomb_body(self):
        """A small gzip member of zeros that inflates to BOMB_INFLATED_BYTES, built once."""
        with self.lock:
            if self.bomb is None:
                packer = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
                block = bytes(1 << 20)
                self.bomb = b"".join(packer.compress(block) for _ in range(BOMB_INFLATED_BYTES // len(block)))
                self.bomb += packer.flush()
            return self.bomb


class Flood:
    """Every summary, until resumed, is one of the oversized bodies, each built once and kept."""

    def __init__(self):
        self.lock = threading.Lock()
        self.kind = None  # ("records", boss id), ("ids",), ("long-number",) or ("long-strings", boss id)
        self.bodies = {}

    def set(self, kind):
        self.body(kind)  # built now, so that the next summary is answered at once
        with self.lock:
            self.kind = kind

    def clear(self):
        with self.lock:
            self.kind = None

    def current(self):
        with self.lock:
            return self.kind

    def body(self, kind):
        with self.lock:
            if kind not in self.bodies:
                self.bodies[kind] = self.build(kind)
            return self.bodies[kind]

    @staticmethod
    def build(kind):
        if kind[0] == "records":
            head, tail = '{"channel_status":{%s:[' % json.dumps(kind[1]), "]}}"
            items = ('{"channel_number":%d,"last_hp":50}' % n for n in range(1, FLOOD_RECORDS + 1))
        elif kind[0] == "long-number":
            head, tail = '{"x":1.', '}'
            items = iter(["1" * FLOOD_TOKEN_BYTES])
        elif kind[0] == "long-strings":
            # Small records first, as a real summary's, then one whose report time is megabytes long.
            head, tail = '{"channel_status":{%s:[' % json.dumps(kind[1]), "]}}"
            items = itertools.chain(('{"channel_number":%d,"last_hp":50}' % n for n in range(1, 100)),
                                    ['{"channel_number":100,"last_update":"%s"}' % ("9" * FLOOD_TOKEN_BYTES)])
        else:
            head, tail = '{"channel_status":{', "}}"
            items = ('"flood%07d":[]' % n for n in range(FLOOD_IDS))
        packer = zlib.compressobj(6, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
        parts, separator = [packer.compress(head.encode())], ""
        while batch := list(itertools.islice(items, 10000)):
            parts.append(packer.compress((separator + ",".join(batch)).encode()))
            separator = ","
        parts.append(packer.compress(tail.encode()))
        return b"".join(parts) + packer.flush()


class TrackerServer(ThreadingHTTPServer):
    """Serves plain HTTP and, on the same port, TLS with a certificate that no client trusts."""
    daemon_threads = True

    def __init__(self, address):
        super().__init__(address, Handler)
        self.tls_lock = threading.Lock()
        self.tls_context = None
        self.tls_handshakes = 0

    def finish_request(self, request, client_address):
        try:
            first = request.recv(1, socket.MSG_PEEK)
        except OSError:
            return
        if first == b"\x16":  # a TLS handshake record
            with self.tls_lock:
                self.tls_handshakes += 1
            try:
                request = self.self_signed().wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError):
                return  # the client refused the certificate, as it should
        super().finish_request(request, client_address)

    def self_signed(self):
        with self.tls_lock:
            if self.tls_context is None:
                with tempfile.TemporaryDirectory() as directory:
                    key, cert = os.path.join(directory, "key.pem"), os.path.join(directory, "cert.pem")
                    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                    "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=127.0.0.1", "-days", "2",
                                    "-keyout", key, "-out", cert], check=True, capture_output=True)
                    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                    context.load_cert_chain(cert, key)
                self.tls_context = context
            return self.tls_context


def page_of(records, query):
    sort = query.get("sort", "")
    if sort:
        key = sort.lstrip("-+")
        if any(key not in r for r in records):
            return None, f"unknown sort field {key!r}"
        records = sorted(records, key=lambda r: r[key], reverse=sort.startswith("-"))
    try:
        per_page = max(1, min(int(query.get("perPage", "30")), 500))
        page = max(1, int(query.get("page", "1")))
    except ValueError:
        return None, "perPage and page must be numbers"
    return {
        "page": page,
        "perPage": per_page,
        "totalItems": len(records),
        "totalPages": max(1, math.ceil(len(records) / per_page)),
        "items": records[(page - 1) * per_page:page * per_page],
    }, None


def encode(document, gzipped):
    body = json.dumps(document, separators=(",", ":")).encode("utf-8")
    return gzip.compress(body, mtime=0) if gzipped else body


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "BrisquelDemoTracker/1.0"
    # The headers and the body go out in two writes: with Nagle's algorithm the body would wait for the client's
    # delayed acknowledgement of the headers, 40 ms on every answer of a kept connection.
    disable_nagle_algorithm = True

    def do_GET(self):
        url = urlsplit(self.path)
        self.data_path = None
        if url.path.startswith(CONTROL_PREFIX):
            return self.control(url.path[len(CONTROL_PREFIX):])
        self.data_path = url.path
        with self.server.requests_lock:
            self.server.requests.append({"path": self.path, "agent": self.headers.get("User-Agent", "")})
        self.server.stall.wait_while_active()
        if self.server.outage == "503":
            return self.send_json(503, {"code": 503, "message": "tracker unavailable", "data": {}})
        if self.server.outage == "garbage":
            return self.send_fault("garbage")
        time.sleep(self.server.latency)
        world, now = self.server.world, self.world_now()
        generation = self.server.cache.generation(now)
        query = dict(parse_qsl(url.query, keep_blank_values=True))
        if url.path == "/api/collections/mobs/records":
            return self.send_data(generation, now, lambda gzipped: encode(world.boss_list(), gzipped))
        if url.path == "/api/collections/mob_channel_status/records":
            mob = None
            if "filter" in query:
                match = FILTER_PATTERN.match(query["filter"])
                if not match:
                    return self.send_json(400, {"code": 400, "message": "invalid filter", "data": {}})
                mob = match.group(1)
                if mob in self.server.failing_bosses:
                    return self.send_json(500, {"code": 500, "message": "record failed", "data": {}})
            page, error = page_of(world.channel_records(mob, generation.begun), query)
            if error:
                return self.send_json(400, {"code": 400, "message": error, "data": {}})
            return self.send_data(generation, now, lambda gzipped: encode(page, gzipped))
        if url.path == "/api/all_status":
            fault = self.server.summary_fault.take()
            if fault:
                return self.send_fault(fault)
            flood = self.server.flood.current()
            if flood:
                return self.send_body(200, self.server.flood.body(flood), gzipped=True)
            return self.send_data(generation, now, generation.summary.get)
        if url.path == "/api/status":
            return self.send_json(200, world.status(now, now - generation.begun))
        return self.send_json(404, {"code": 404, "message": "not found", "data": {}})

    def world_now(self):
        """The moment the world is read at: frozen, or the clock less the age asked for."""
        return self.server.frozen_now or time.time() - self.server.age_offset

    def find_channel(self, mob, number):
        return next((c for c in self.server.world.channels.get(mob, []) if str(c.number) == number), None)

    def world_changed(self):
        self.server.cache.world_changed(self.world_now())

    def control(self, command):
        if command == "requests":
            with self.server.requests_lock:
                requests = list(self.server.requests)
                statuses = {path: dict(counts) for path, counts in self.server.statuses.items()}
            return self.send_json(200, {"requests": requests, "statuses": statuses,
                                        "tls_handshakes": self.server.tls_handshakes})
        if command.startswith("validators/") and command[len("validators/"):] in ("on", "off"):
            self.server.validators = command.endswith("/on")
            return self.send_json(200, {"validators": self.server.validators})
        if command.startswith("age/"):
            try:
                self.server.age_offset = float(command[len("age/"):])
            except ValueError:
                return self.send_json(400, {"code": 400, "message": "age needs seconds", "data": {}})
            self.world_changed()
            return self.send_json(200, {"age": self.server.age_offset})
        if command in ("freeze", "thaw"):
            self.server.frozen_now = time.time() - self.server.age_offset if command == "freeze" else None
            return self.send_json(200, {"frozen": command == "freeze"})
        if command.startswith("fault/"):
            kind = command[len("fault/"):]
            if kind not in SUMMARY_FAULTS:
                message = f"faults: {', '.join(SUMMARY_FAULTS)}"
                return self.send_json(400, {"code": 400, "message": message, "data": {}})
            self.server.summary_fault.arm(kind)
            return self.send_json(200, {"fault": kind})
        if command.startswith("outage/"):
            kind = command[len("outage/"):]
            if kind not in OUTAGES:
                return self.send_json(400, {"code": 400, "message": f"outages: {', '.join(OUTAGES)}", "data": {}})
            self.server.outage = kind
            return self.send_json(200, {"outage": kind})
        if command.startswith("flood/"):
            kind = tuple(command[len("flood/"):].split("/", 1))
            if kind[0] in ("records", "long-strings") and len(kind) == 2 and kind[1] in self.server.world.channels:
                self.server.flood.set(kind)
            elif kind in (("ids",), ("long-number",)):
                self.server.flood.set(kind)
            else:
                message = "floods: records/BOSS, ids, long-number, long-strings/BOSS"
                return self.send_json(400, {"code": 400, "message": message, "data": {}})
            return self.send_json(200, {"flood": list(kind)})
        if command.startswith("fail-boss/"):
            self.server.failing_bosses.add(command[len("fail-boss/"):])
            return self.send_json(200, {"failing": sorted(self.server.failing_bosses)})
        if command.startswith("latency/"):
            try:
                self.server.latency = max(0.0, float(command[len("latency/"):]) / 1000)
            except ValueError:
                return self.send_json(400, {"code": 400, "message": "latency needs milliseconds", "data": {}})
            return self.send_json(200, {"latency_ms": self.server.latency * 1000})
        if command == "hostile-boss":
            self.server.world.add_hostile_boss()
            self.world_changed()
            return self.send_json(200, {"id": HOSTILE_BOSS_ID})
        if command.startswith("kill/"):
            mob, _, number = command[len("kill/"):].partition("/")
            channel = self.find_channel(mob, number)
            if channel is None:
                return self.send_json(404, {"code": 404, "message": "no such channel", "data": {}})
            channel.killed = True
            self.world_changed()
            return self.send_json(200, {"killed": {"mob": mob, "channel_number": channel.number}})
        if command.startswith("etd/"):
            mob, number, seconds = (command[len("etd/"):].split("/") + ["", ""])[:3]
            try:
                seconds = float(seconds)
            except ValueError:
                seconds = math.nan
            if not math.isfinite(seconds):
                return self.send_json(400, {"code": 400, "message": "etd needs seconds", "data": {}})
            channel = self.find_channel(mob, number)
            if channel is None:
                return self.send_json(404, {"code": 404, "message": "no such channel", "data": {}})
            channel.dies_at = self.world_now() + seconds
            self.world_changed()
            return self.send_json(200, {"etd": {"mob": mob, "channel_number": channel.number, "seconds": seconds}})
        if command.startswith("respawn/"):
            mob, _, minute = command[len("respawn/"):].partition("/")
            boss = next((b for b in self.server.world.bosses if b["id"] == mob), None)
            if boss is None:
                return self.send_json(404, {"code": 404, "message": "no such boss", "data": {}})
            try:
                boss["respawn_time"] = int(minute)
            except ValueError:
                return self.send_json(400, {"code": 400, "message": "respawn needs a minute", "data": {}})
            self.world_changed()
            return self.send_json(200, {"respawn": {"mob": mob, "respawn_time": boss["respawn_time"]}})
        if command not in ("stall", "resume"):
            return self.send_json(404, {"code": 404, "message": "unknown control", "data": {}})
        if command == "resume":
            self.server.outage = None
            self.server.flood.clear()
        self.server.stall.set(command == "stall")
        return self.send_json(200, {"stalled": command == "stall"})

    def send_fault(self, kind):
        if kind == "stall":
            # No answer at all: wait until the client gives up and hangs up, then drop the connection.
            self.close_connection = True
            self.connection.settimeout(STALL_LONGEST_SECONDS)
            try:
                self.connection.recv(1)
            except OSError:
                pass
            return
        if kind == "garbage":
            self.send_body(200, b"<html>upstream error</html>", gzipped=False)
        else:
            self.send_body(200, self.server.summary_fault.bomb_body(), gzipped=True)

    def accepts_gzip(self):
        for part in self.headers.get("Accept-Encoding", "").split(","):
            coding, _, params = part.strip().partition(";")
            if coding.strip().lower() == "gzip":
                return params.replace(" ", "").lower() not in ("q=0", "q=0.0", "q=0.00", "q=0.000")
        return False

    def send_json(self, status, document):
        gzipped = self.accepts_gzip()
        self.send_body(status, encode(document, gzipped), gzipped)

    def send_data(self, generation, now, body_of):
        """A data answer of this generation, `body_of(gzipped)`, at world time `now`, with its validators and how
        long it stays as it is unless they are off, or 304 Not Modified when the request's validators still match
        it."""
        gzipped = self.accepts_gzip()
        body = body_of(gzipped)
        if not self.server.validators:
            return self.send_body(200, body, gzipped)
        # As a cache in front of the tracker would say it: the age in whole seconds elapsed, rounded down.
        headers = {"ETag": '"%s"' % hashlib.sha1(body).hexdigest()[:16],
                   "Last-Modified": formatdate(generation.modified, usegmt=True),
                   "Cache-Control": "max-age=%d" % CACHE_PERIOD_SECONDS,
                   "Age": str(max(0, math.floor(now - generation.refreshed)))}
        if not self.not_modified(headers["ETag"], generation.modified):
            return self.send_body(200, body, gzipped, headers.items())
        self.send_response(304)
        self.send_header("Vary", "Accept-Encoding")
        for name, value in headers.items():
            self.send_header(name, value)
        self.end_headers()

    def not_modified(self, tag, modified):
        matches = self.headers.get_all("If-None-Match")
        if matches:
            listed = ",".join(matches)
            return listed.strip() == "*" or tag in ENTITY_TAG.findall(listed)
        since = parsedate_tz(self.headers.get("If-Modified-Since", ""))
        return since is not None and mktime_tz(since) >= modified

    def send_response(self, code, message=None):
        if getattr(self, "data_path", None):
            with self.server.requests_lock:
                self.server.statuses[self.data_path][code] += 1
        super().send_response(code, message)

    def send_body(self, status, body, gzipped, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Vary", "Accept-Encoding")
        if gzipped:
            self.send_header("Content-Encoding", "gzip")
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up waiting, as a stalled test's overlay does

    def log_message(self, format, *args):
        if self.server.log_requests:
            super().log_message(format, *args)


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        epilog=(
            "Control paths (never stalled): GET /__control/stall makes every later data request hang "
            "until GET /__control/resume; the requests already hanging then complete. "
            "GET /__control/requests lists the latest data requests received (path and User-Agent), counts the "
            "answers of each data path by status (\"statuses\": {path: {\"200\": n, \"304\": m}}) and counts the "
            "TLS handshakes begun. GET /__control/validators/off stands for a tracker without validators: no "
            "ETag, Last-Modified, Cache-Control or Age, never 304, until GET /__control/validators/on. "
            "GET /__control/age/S answers as of S seconds ago, so every report looks S seconds older "
            "(age/0 undoes it). GET /__control/freeze keeps the cache generation of that moment, so "
            "nothing changes and the same bytes are served, until GET /__control/thaw. Age, kill, etd, respawn "
            "and hostile-boss start a new generation at once. GET /__control/kill/BOSS/N makes channel N of boss "
            "BOSS (its id) report HP 0 from then on, in every read. GET /__control/etd/BOSS/N/S makes it report, "
            "freshly and in every read, a fight that ends S seconds later (etd S counting down, HP to match), "
            "then HP 0. GET /__control/respawn/BOSS/M makes the boss list give BOSS the respawn minute M. "
            "GET /__control/fault/KIND makes the next "
            "/api/all_status request fail once: garbage answers a body that is not JSON, bomb a gzip body "
            "of about 100 KB that inflates to 100 MiB of zeros, stall no answer at all until the client "
            "hangs up (at most two minutes), then a dropped connection. GET /__control/outage/503 answers every "
            "later data request with status 503, and /__control/outage/garbage with a body that is not JSON, "
            "until GET /__control/resume. GET /__control/flood/records/BOSS answers every later summary with "
            f"{FLOOD_RECORDS:,} channel records for BOSS, /__control/flood/ids with {FLOOD_IDS:,} boss ids, "
            f"/__control/flood/long-number with a number of {FLOOD_TOKEN_BYTES:,} digits and "
            f"/__control/flood/long-strings/BOSS with records for BOSS, the last one's time {FLOOD_TOKEN_BYTES:,} "
            "bytes long, each a small gzip body, until GET /__control/resume. GET /__control/fail-boss/BOSS "
            "answers every later channel read of BOSS with status 500. GET /__control/latency/MS delays every "
            "later data request by MS milliseconds. GET /__control/hostile-boss lists first a boss "
            "whose id holds CR LF and an INI section. Faults, outages and floods bypass the cache and carry no "
            "validators."
        ),
    )
    parser.add_argument("--port", type=int, default=8787,
                        help="port on 127.0.0.1 (default 8787; 0 picks a free one). The first line of "
                             "output is always 'PORT <n>'.")
    parser.add_argument("--seed", type=int, default=1,
                        help="seed of the simulated world: the same seed gives the same bosses, channels "
                             "and rates (default 1)")
    parser.add_argument("--bosses", type=int, default=20, help="number of listed bosses (default 20)")
    parser.add_argument("--stall-after-seconds", type=float, default=None, metavar="S",
                        help="after S seconds every data request hangs (as with /__control/stall)")
    parser.add_argument("--log", action="store_true", help="log every request to stderr")
    args = parser.parse_args()
    if args.bosses < 1:
        parser.error("--bosses must be at least 1")

    server = TrackerServer(("127.0.0.1", args.port))
    server.world = World(args.seed, args.bosses)
    server.stall = Stall(args.stall_after_seconds)
    server.age_offset = 0.0
    server.frozen_now = None
    server.summary_fault = SummaryFault()
    server.outage = None
    server.flood = Flood()
    server.failing_bosses = set()
    server.latency = 0.0
    server.log_requests = args.log
    server.requests = collections.deque(maxlen=2000)
    server.requests_lock = threading.Lock()
    server.statuses = collections.defaultdict(collections.Counter)  # data path -> status -> answers
    server.cache = TrackerCache(server.world)
    server.validators = True
    port = server.server_address[1]
    print(f"PORT {port}", flush=True)
    print(f"demo tracker serving http://127.0.0.1:{port}", file=sys.stderr, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
