#!/usr/bin/env python3
"""The soak run itself (bench/soak sets up the display and the Wine prefix): Brisquel.exe polling the demo
tracker and painting on the display, measured against `wine notepad` started beside it.

CPU time and resident memory come from /proc; GDI, USER and handle counts from the probe. Targets: the
overlay's CPU at most 1% of one core, its memory at most the idle program's plus 8 MB, and its object and
handle counts flat after the first minute.
"""
import argparse
import os
import platform
import subprocess
import sys
import time
from datetime import datetime, timezone
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
TICKS = os.sysconf("SC_CLK_TCK")
WARM_UP_SECONDS = 60


def linux_pid(prefix, name):
    """The Linux process running `name` (an exe name) in the Wine prefix."""
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if f"WINEPREFIX={prefix}".encode() not in (entry / "environ").read_bytes().split(b"\0"):
                continue
            cmdline = (entry / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
        except OSError:
            continue
        if cmdline.lower().replace("\\", "/").split("/")[-1] == name.lower():
            return int(entry.name)
    return None


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime and stime


def rss_kib(pid):
    line = next(l for l in Path(f"/proc/{pid}/status").read_text().splitlines() if l.startswith("VmRSS:"))
    return int(line.split()[1])


class Program:
    def __init__(self, name, linux_pid, probe, window_class):
        self.name, self.pid, self.probe, self.window_class = name, linux_pid, probe, window_class

    def sample(self):
        out = subprocess.run(["wine", self.probe, "counts", self.window_class], capture_output=True, text=True,
                             timeout=60).stdout
        counts = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return {"time": time.monotonic(), "cpu": cpu_seconds(self.pid), "rss": rss_kib(self.pid),
                **{k: int(counts.get(k, -1)) for k in ("gdi", "user", "handles")}}


def wait_for(what, find, seconds=60):
    deadline = time.monotonic() + seconds
    while (found := find()) is None:
        if time.monotonic() > deadline:
            sys.exit(f"soak: {what} did not start")
        time.sleep(0.5)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=10, help="length of the run (default 10)")
    parser.add_argument("--dir", required=True, help="directory holding Brisquel.exe and the Wine prefix")
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()
    if args.minutes * 60 <= WARM_UP_SECONDS:
        parser.error(f"--minutes must exceed the {WARM_UP_SECONDS} s warm-up")
    prefix = os.environ["WINEPREFIX"]

    tracker = subprocess.Popen([sys.executable, ROOT / "tools" / "demo_tracker.py", "--port", "0"],
                               stdout=subprocess.PIPE, text=True)
    programs = []
    try:
        port = int(tracker.stdout.readline().split()[1])
        subprocess.run([sys.executable, ROOT / "tools" / "set_tracker_origin.py", Path(args.dir) / "Brisquel.ini",
                        f"http://127.0.0.1:{port}"], check=True)
        programs = [subprocess.Popen(["wine", "Brisquel.exe"], cwd=args.dir),
                    subprocess.Popen(["wine", "notepad"])]
        overlay = Program("Brisquel.exe", wait_for("Brisquel.exe", lambda: linux_pid(prefix, "Brisquel.exe")),
                          args.probe, "ZentrikMainDialog")
        idle = Program("notepad.exe", wait_for("notepad", lambda: linux_pid(prefix, "notepad.exe")), args.probe,
                       "Notepad")
        time.sleep(5)
        start = {p.name: p.sample() for p in (overlay, idle)}
        time.sleep(WARM_UP_SECONDS - 5)
        warm = {p.name: p.sample() for p in (overlay, idle)}
        time.sleep(args.minutes * 60 - WARM_UP_SECONDS)
        end = {p.name: p.sample() for p in (overlay, idle)}
    finally:
        for process in programs:
            process.kill()
        tracker.terminate()
        tracker.wait()

    model = next((l.split(":", 1)[1].strip() for l in Path("/proc/cpuinfo").read_text().splitlines()
                  if l.startswith("model name")), platform.machine())
    cpu = {n: 100 * (end[n]["cpu"] - warm[n]["cpu"]) / (end[n]["time"] - warm[n]["time"]) for n in end}
    print(f"Soak of {args.minutes:g} min on {datetime.now(timezone.utc):%Y-%m-%d %H:%M} UTC, "
          f"{platform.node()}: {model}, {os.cpu_count()} cores, "
          f"{subprocess.run(['wine', '--version'], capture_output=True, text=True).stdout.strip()}")
    print("Each figure at the start, after the first minute and at the end; CPU from the first minute on.")
    for name in end:
        samples = (start[name], warm[name], end[name])
        figures = [f"CPU {cpu[name]:.2f}% of one core", "RSS " + " / ".join(f"{s['rss'] / 1024:.1f}" for s in samples)
                   + " MiB"] + [f"{k} " + " / ".join(str(s[k]) for s in samples) for k in ("gdi", "user", "handles")]
        print(f"  {name:13} " + ", ".join(figures))
    o, i = end["Brisquel.exe"], end["notepad.exe"]
    extra = (o["rss"] - i["rss"]) / 1024
    growth = {k: end["Brisquel.exe"][k] - warm["Brisquel.exe"][k] for k in ("gdi", "user", "handles")}
    print(f"CPU: {cpu['Brisquel.exe']:.2f}% of one core (target at most 1%: "
          f"{'met' if cpu['Brisquel.exe'] <= 1 else 'missed'})")
    print(f"Memory: {extra:+.1f} MiB against the idle program, ratio {o['rss'] / i['rss']:.2f} (target at most "
          f"+8 MiB: {'met' if extra <= 8 else 'missed'})")
    print("Growth after the first minute: " + ", ".join(f"{k} {v:+d}" for k, v in growth.items())
          + f" (target flat: {'met' if not any(growth.values()) else 'missed'})")


if __name__ == "__main__":
    main()
