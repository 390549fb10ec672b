#!/usr/bin/env python3
"""The soak run itself (bench/soak sets up the display and the Wine prefix): Brisquel.exe polling the demo
tracker and painting on the display, measured against `wine notepad` started beside it.

With --faults the tracker misbehaves every 20 s, in turn: garbage, a gzip bomb, a stall, reports ten
minutes older, a channel killed, a restart on the same port, a summary of 1.7 million channel records for
one boss and one of 200,000 boss ids (each of the two floods lasting 8 s). A fault counts as recovered when the status line
reads "Connected" again within 5 s of its end; the overlay must answer WM_GETTEXT within 2 s throughout.

Every 15 s it samples CPU time and resident memory from /proc, the GDI count through the probe and the USER
and handle counts through bench/ProcessObjects. Targets: the overlay's CPU at most 1% of one core from the first
minute on, its memory at most the idle program's plus 8 MB, and its object and handle counts flat after the first
minute. The Wine server's CPU is shown apart: it serves both programs.
"""
import argparse
import os
import platform
import subprocess
import sys
import time
from datetime import datetime, timezone
from pathlib import Path

from wine_cpu import cpu_seconds, wait_for_process

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "support"))
from tracker_process import TrackerProcess  # noqa: E402

ROOT = Path(__file__).resolve().parents[1]
WARM_UP_SECONDS = 60
SAMPLE_SECONDS = 15
COUNTS = ("gdi", "user", "handles")
FAULT_PERIOD_SECONDS = 20
FAULT_DWELL_SECONDS = 8  # how long a stall or an age jump lasts
RECOVERY_SECONDS = 5
STATUS_LABEL = "1005"


def rss_kib(pid):
    line = next(l for l in Path(f"/proc/{pid}/status").read_text().splitlines() if l.startswith("VmRSS:"))
    return int(line.split()[1])


class Program:
    def __init__(self, name, linux_pid, tools, window_class):
        self.name, self.pid, self.tools, self.window_class = name, linux_pid, tools, window_class

    def sample(self):
        """The probe gives the GDI count, ProcessObjects the USER objects and handles."""
        tools = ([self.tools.probe, "counts"], [self.tools.objects])
        out = "".join(subprocess.run(["wine", *tool, self.window_class], capture_output=True, text=True,
                                     timeout=60).stdout for tool in tools)
        counts = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return {"time": time.monotonic(), "cpu": cpu_seconds(self.pid), "rss": rss_kib(self.pid),
                **{k: int(counts.get(k, -1)) for k in COUNTS}}


class Faults:
    """Spoils the tracker in turn and records, for each fault, whether the overlay recovered."""

    KINDS = ("garbage", "bomb", "stall", "age", "kill", "restart", "records", "ids")

    def __init__(self, tracker, probe):
        self.tracker, self.probe = tracker, probe
        self.applied = 0
        self.recovered = []
        self.slowest_answer_ms = 0
        self.hangs = 0

    def apply_next(self):
        kind = self.KINDS[self.applied % len(self.KINDS)]
        self.applied += 1
        if kind in ("garbage", "bomb"):
            self.tracker.read(f"/__control/fault/{kind}")
            time.sleep(2)  # the next summary read takes it
        elif kind == "stall":
            self.tracker.read("/__control/stall")
            self.watch(FAULT_DWELL_SECONDS)
            self.tracker.read("/__control/resume")
        elif kind == "age":
            self.tracker.read("/__control/age/600")
            self.watch(FAULT_DWELL_SECONDS)
            self.tracker.read("/__control/age/0")
        elif kind in ("records", "ids"):
            boss = self.tracker.read("/api/collections/mobs/records")["items"][0]["id"]
            self.tracker.read(f"/__control/flood/records/{boss}" if kind == "records" else "/__control/flood/ids")
            self.watch(FAULT_DWELL_SECONDS)
            self.tracker.read("/__control/resume")
        elif kind == "kill":
            boss = self.tracker.read("/api/collections/mobs/records")["items"][0]["id"]
            channels = self.tracker.read("/api/all_status")["channel_status"].get(boss, [])
            alive = [c["channel_number"] for c in channels]
            if alive:
                self.tracker.read(f"/__control/kill/{boss}/{alive[0]}")
        else:
            self.tracker.stop()
            self.watch(3)
            self.tracker.start()
        status = subprocess.run(["wine", self.probe, "wait-text", STATUS_LABEL, "\u25cf Connected",
                                 str(RECOVERY_SECONDS * 1000)], capture_output=True, text=True, timeout=60)
        self.recovered.append((kind, status.returncode == 0))
        return kind

    def watch(self, seconds):
        """Asks the overlay for its title about once a second for a while: it must always answer in time."""
        until = time.monotonic() + seconds
        while time.monotonic() < until:
            self.check_answers()
            time.sleep(1)

    def check_answers(self):
        out = subprocess.run(["wine", self.probe, "responds", "2000"], capture_output=True, text=True, timeout=60)
        if out.returncode != 0:
            self.hangs += 1
            return
        self.slowest_answer_ms = max(self.slowest_answer_ms, int(out.stdout.split("=", 1)[1]))


def settled(samples, since, until):
    """The lowest count of each kind among the samples in [since, until): a handle that a short-lived
    thread holds at the moment of one sample is not growth."""
    window = [s for s in samples if since <= s["time"] < until] or samples[-1:]
    return {k: min(s[k] for s in window) for k in COUNTS}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=10, help="length of the run (default 10)")
    parser.add_argument("--dir", required=True, help="directory holding Brisquel.exe and the Wine prefix")
    parser.add_argument("--probe", required=True)
    parser.add_argument("--objects", required=True, help="bench/ProcessObjects.exe")
    parser.add_argument("--faults", action="store_true", help="spoil the tracker every 20 s and check recovery")
    args = parser.parse_args()
    if args.minutes * 60 < 2 * WARM_UP_SECONDS:
        parser.error(f"--minutes must be at least {2 * WARM_UP_SECONDS // 60}")
    prefix = os.environ["WINEPREFIX"]

    tracker = TrackerProcess()
    faults = Faults(tracker, args.probe) if args.faults else None
    programs = []
    samples = {}
    try:
        subprocess.run([sys.executable, ROOT / "tools" / "set_tracker_origin.py", Path(args.dir) / "Brisquel.ini",
                        f"http://127.0.0.1:{tracker.port}"], check=True)
        programs = [subprocess.Popen(["wine", "Brisquel.exe"], cwd=args.dir),
                    subprocess.Popen(["wine", "notepad"])]
        measured = [Program("Brisquel.exe", wait_for_process(prefix, "brisquel.exe"), args, "ZentrikMainDialog"),
                    Program("notepad.exe", wait_for_process(prefix, "notepad.exe"), args, "Notepad")]
        server = wait_for_process(prefix, "wineserver")
        time.sleep(5)
        began = time.monotonic()
        samples = {p.name: [] for p in measured}
        server_cpu = []
        next_fault = began + FAULT_PERIOD_SECONDS
        while True:
            for p in measured:
                samples[p.name].append(p.sample())
            server_cpu.append((time.monotonic(), cpu_seconds(server)))
            if time.monotonic() - began >= args.minutes * 60 - 5:
                break
            if faults and time.monotonic() >= next_fault:
                print(f"  {time.monotonic() - began:5.0f} s: {faults.apply_next()}", flush=True)
                next_fault = time.monotonic() + FAULT_PERIOD_SECONDS
            if faults:
                faults.check_answers()
            wake = min(began + args.minutes * 60 - 5, next_fault if faults else float("inf"))
            time.sleep(min(SAMPLE_SECONDS, max(0.0, wake - time.monotonic())))
    finally:
        for process in programs:
            process.kill()
        tracker.stop()

    model = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), platform.machine())
    print(f"Soak of {args.minutes:g} min on {datetime.now(timezone.utc):%Y-%m-%d %H:%M} UTC, "
          f"{platform.node()}: {model}, {os.cpu_count()} cores, "
          f"{subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()}")
    print("Figures at the start, after the first minute and at the end; CPU from the first minute on.")
    results = {}
    for name, runs in samples.items():
        warm = next(s for s in runs if s["time"] - began >= WARM_UP_SECONDS)
        first, end = runs[0], runs[-1]
        cpu = 100 * (end["cpu"] - warm["cpu"]) / (end["time"] - warm["time"])
        growth = {k: settled(runs, end["time"] - WARM_UP_SECONDS, end["time"] + 1)[k]
                  - settled(runs, warm["time"], warm["time"] + WARM_UP_SECONDS)[k] for k in COUNTS}
        results[name] = cpu, end["rss"], growth
        print(f"  {name:13} CPU {cpu:.2f}% of one core, RSS "
              + " / ".join(f"{s['rss'] / 1024:.1f}" for s in (first, warm, end)) + " MiB, "
              + ", ".join(f"{k} " + " / ".join(str(s[k]) for s in (first, warm, end))
                          + f" ({min(s[k] for s in runs if s['time'] >= warm['time'])}"
                          f"..{max(s[k] for s in runs if s['time'] >= warm['time'])} from 1 min)" for k in COUNTS))
    server_share = 100 * (server_cpu[-1][1] - server_cpu[0][1]) / (server_cpu[-1][0] - server_cpu[0][0])
    print(f"  {'wineserver':13} CPU {server_share:.2f}% of one core, shared by both programs")

    if faults:
        overlay = samples["Brisquel.exe"]
        print("Each minute: RSS MiB, GDI, USER, handles")
        for minute in range(int(args.minutes) + 1):
            at = next((s for s in overlay if s["time"] - began >= minute * 60), overlay[-1])
            print(f"  {minute:2} min: {at['rss'] / 1024:.1f}, " + ", ".join(str(at[k]) for k in COUNTS))
        missed = [kind for kind, ok in faults.recovered if not ok]
        print(f"Faults: {len(faults.recovered)} applied, {len(faults.recovered) - len(missed)} recovered within "
              f"{RECOVERY_SECONDS} s" + (f" (missed: {', '.join(missed)})" if missed else "")
              + f" (target all: {'met' if not missed else 'missed'})")
        print(f"Answers: slowest WM_GETTEXT {faults.slowest_answer_ms} ms, {faults.hangs} past 2 s "
              f"(target none: {'met' if not faults.hangs else 'missed'})")
        warm = next(s for s in overlay if s["time"] - began >= WARM_UP_SECONDS)
        drift = (overlay[-1]["rss"] - warm["rss"]) / 1024
        print(f"RSS at the end against the first minute: {drift:+.1f} MiB "
              f"(target within 8 MiB: {'met' if abs(drift) <= 8 else 'missed'})")

    cpu, rss, growth = results["Brisquel.exe"]
    extra = (rss - results["notepad.exe"][1]) / 1024
    print(f"CPU: {cpu:.2f}% of one core (target at most 1%: {'met' if cpu <= 1 else 'missed'})")
    print(f"Memory: {extra:+.1f} MiB against the idle program, ratio {rss / results['notepad.exe'][1]:.2f} "
          f"(target at most +8 MiB: {'met' if extra <= 8 else 'missed'})")
    print("Growth from the second minute to the last, lowest counts: "
          + ", ".join(f"{k} {v:+d}" for k, v in growth.items())
          + f" (target flat: {'met' if not any(growth.values()) else 'missed'})")


if __name__ == "__main__":
    main()
