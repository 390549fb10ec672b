#!/usr/bin/env python3
"""CPU cost under Wine, measured from /proc: the Wine server counts, since much of a Wine program's work
happens there on its behalf.

    wine_cpu.py --wine build/win64/wine-run.sh --exe Brisquel.exe --http-bench HttpGetBench.exe [--minutes N]

Needs WINEPREFIX and DISPLAY of a running private prefix and display (scripts/headless.sh). Starts its
own demo tracker, then:
  1. runs HttpGetBench.exe and adds the Wine server's CPU time to each of its phases;
  2. measures an idle Wine program (notepad) for N minutes (default 2);
  3. measures Brisquel.exe showing a boss of the demo tracker for N minutes, and its poll cycles;
and prints CPU per minute, per poll cycle and as a share of one core, with the ratio to the idle program.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import json

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICKS = os.sysconf("SC_CLK_TCK")
SETTLE_SECONDS = 10


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime and stime


def in_prefix(pid, prefix):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0")
    except OSError:
        return False


def find_process(prefix, name):
    """The process of this prefix whose command name starts with `name` (case aside)."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                comm = f.read().strip().lower()
        except OSError:
            continue
        if comm.startswith(name) and in_prefix(entry, prefix):
            return int(entry)
    return None


def wait_for_process(prefix, name, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        pid = find_process(prefix, name)
        if pid:
            return pid
        time.sleep(0.2)
    raise SystemExit("process did not appear")


class Tracker:
    """The demo tracker, counting the summary reads it answers."""

    def __init__(self):
        self.process = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "demo_tracker.py"), "--port",
                                         "0", "--log"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])
        self.summaries = 0
        threading.Thread(target=self.count, daemon=True).start()

    def count(self):
        for line in self.process.stderr:
            if "GET /api/all_status" in line:
                self.summaries += 1

    def origin(self):
        return f"http://127.0.0.1:{self.port}"

    def stop(self):
        self.process.kill()
        self.process.wait()


def measure(pid, server, seconds):
    """CPU seconds of the process and of the Wine server over the next `seconds`."""
    start = cpu_seconds(pid), cpu_seconds(server)
    time.sleep(seconds)
    return cpu_seconds(pid) - start[0], cpu_seconds(server) - start[1]


def http_bench(args, tracker, server):
    env = dict(os.environ, BRISQUEL_TRACKER_PORT=str(tracker.port))
    bench = subprocess.Popen([args.wine, args.http_bench], stdout=subprocess.PIPE, text=True, env=env)
    server_cpu, started, lines = {}, {}, []
    for line in bench.stdout:
        line = line.strip()
        word, _, phase = line.partition(" ")
        if word == "begin":
            started[phase] = cpu_seconds(server)
        elif word == "end":
            server_cpu[phase] = cpu_seconds(server) - started[phase]
        else:
            lines.append(line)
    bench.wait()
    print("\n".join(lines))
    calls = int(lines[0].split()[0])
    for phase, seconds in server_cpu.items():
        print(f"Wine server on behalf of {phase}: {seconds / calls * 1e3:.3f} ms per call")


def report(name, process_cpu, server_cpu, seconds, cycles=None):
    minutes = seconds / 60
    share = (process_cpu + server_cpu) / seconds * 100
    line = (f"{name}: process {process_cpu / minutes:.3f} s/min, Wine server {server_cpu / minutes:.3f} s/min, "
            f"{share:.2f}% of one core")
    if cycles:
        line += (f"; {cycles} poll cycles ({cycles / seconds:.2f}/s), "
                 f"{(process_cpu + server_cpu) / cycles * 1e3:.2f} ms CPU per cycle")
    print(line)
    return share


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--http-bench", required=True)
    parser.add_argument("--minutes", type=float, default=2)
    args = parser.parse_args()
    # The programs start from other directories: paths must hold there too, a bare "wine" stays as it is.
    args.wine, args.exe, args.http_bench = (os.path.abspath(path) if os.sep in path else path
                                            for path in (args.wine, args.exe, args.http_bench))
    prefix = os.environ["WINEPREFIX"]
    seconds = args.minutes * 60
    server = wait_for_process(prefix, "wineserver")
    tracker = Tracker()
    try:
        print("== httpGet: session per call vs kept session ==")
        http_bench(args, tracker, server)

        print(f"== {args.minutes:g} min each: an idle Wine program, then the overlay ==")
        notepad = subprocess.Popen([args.wine, "notepad"])
        pid = wait_for_process(prefix, "notepad.exe")
        time.sleep(SETTLE_SECONDS)
        idle = report("idle notepad", *measure(pid, server, seconds), seconds)
        os.kill(pid, 9)
        notepad.wait()

        workdir = tempfile.mkdtemp(prefix="brisquel-bench-")
        shutil.copy(args.exe, os.path.join(workdir, "Brisquel.exe"))
        with urllib.request.urlopen(f"{tracker.origin()}/api/collections/mobs/records", timeout=10) as response:
            boss = [b for b in json.load(response)["items"] if b["type"] != "magical_creature"][2]
        with open(os.path.join(workdir, "Brisquel.ini"), "w", newline="") as f:
            f.write(f"[Server]\r\nBaseUrl={tracker.origin()}\r\n[Selection]\r\nLastBoss={boss['id']}\r\n")
        overlay = subprocess.Popen([args.wine, "Brisquel.exe"], cwd=workdir)
        pid = wait_for_process(prefix, "brisquel.exe")
        while tracker.summaries == 0:
            time.sleep(0.2)
        time.sleep(SETTLE_SECONDS)
        cycles_before = tracker.summaries
        process_cpu, server_cpu = measure(pid, server, seconds)
        busy = report("Brisquel.exe", process_cpu, server_cpu, seconds, tracker.summaries - cycles_before)
        print(f"ratio overlay / idle program: {busy / idle:.2f}")
        os.kill(pid, 9)
        overlay.wait()
        shutil.rmtree(workdir, ignore_errors=True)
    finally:
        tracker.stop()


if __name__ == "__main__":
    main()
