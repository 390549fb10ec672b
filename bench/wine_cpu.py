#!/usr/bin/env python3
"""CPU cost under Wine, measured from /proc: the Wine server counts, since much of a Wine program's work
happens there on its behalf.

    wine_cpu.py --wine build/win64/wine-run.sh --exe Brisquel.exe --http-bench HttpGetBench.exe [--minutes N]

Needs WINEPREFIX and DISPLAY of a running private prefix and display (scripts/headless.sh). Starts its
own demo tracker, then:
  1. runs HttpGetBench.exe and adds the Wine server's CPU time to each of its phases;
  2. starts an idle Wine program (notepad) in a second prefix beside WINEPREFIX (made once), with a Wine server
     and services of its own;
  3. measures Brisquel.exe showing a boss of the demo tracker and, at the same time, the idle program, each with
     its prefix's Wine server, for N minutes (default 2) in slices of 10 s, with the tracker's validators on (most
     summary reads answered 304), with them off (repeated bodies), and on again with the demo world frozen (every
     summary read a 304). Side by side, whatever else the machine does weighs on both, and each prefix's own
     services, on both sides, cancel out;
  4. with --steps-exe, measures the step-timed build as long again and splits a poll cycle into its steps;
  5. restarts the Wine server with its request trace on and counts its requests per poll cycle and thread;
and prints CPU per minute, per poll cycle and as a share of one core, and what the overlay costs beyond the idle
program.
"""
import argparse
import os
import shutil
import statistics
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
SLICE_SECONDS = 10
STEP_TIMES_PERIOD = 6  # the step-timed build rewrites its totals every 5 s
WALL_STEPS = ("request", "status-probe")


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

    def control(self, command):
        with urllib.request.urlopen(f"{self.origin()}/__control/{command}", timeout=10) as response:
            response.read()

    def stop(self):
        self.process.kill()
        self.process.wait()


class IdleProgram:
    """An idle Wine program (notepad) in a prefix of its own, so that its Wine server counts only for it and for
    the prefix's services, as the overlay's prefix's server counts for the overlay and the same services."""

    def __init__(self, wine, prefix, display_env):
        self.env = dict(display_env, WINEPREFIX=prefix)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A server left persistent by a run that was killed would never end by itself: end it, then keep one up.
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env)
        subprocess.run(["wineserver", "-p"], env=self.env)
        self.server = wait_for_process(prefix, "wineserver")
        self.process = subprocess.Popen([wine, "notepad"], env=self.env)
        self.pid = wait_for_process(prefix, "notepad.exe")

    def cpu(self):
        """CPU seconds so far of the program and of its prefix's Wine server."""
        return cpu_seconds(self.pid), cpu_seconds(self.server)

    def stop(self):
        os.kill(self.pid, 9)
        self.process.wait()
        subprocess.run(["wineserver", "-k"], env=self.env)


def measure_side_by_side(pid, server, idle, seconds):
    """CPU seconds of the process, of its Wine server, of the idle program and of its Wine server, over the next
    `seconds`, in slices: [(process, server, idle process, idle server), ...]."""
    slices = []
    previous = cpu_seconds(pid), cpu_seconds(server), *idle.cpu()
    for _ in range(max(1, round(seconds / SLICE_SECONDS))):
        time.sleep(SLICE_SECONDS)
        current = cpu_seconds(pid), cpu_seconds(server), *idle.cpu()
        slices.append(tuple(now - before for now, before in zip(current, previous)))
        previous = current
    return slices


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


def report(name, slices, cycles):
    """Prints what the overlay and the idle program beside it cost, over the whole run and per slice."""
    seconds = len(slices) * SLICE_SECONDS
    process, server, idle_process, idle_server = (sum(column) for column in zip(*slices))
    share = (process + server) / seconds * 100
    idle = (idle_process + idle_server) / seconds * 100
    beyond = [((p + s) - (ip + iserver)) / SLICE_SECONDS * 100 for p, s, ip, iserver in slices]
    print(f"{name}: process {process / seconds * 60:.3f} s/min, its Wine server {server / seconds * 60:.3f} s/min, "
          f"{share:.2f}% of one core; {cycles} poll cycles ({cycles / seconds:.2f}/s)")
    print(f"  idle notepad beside it: process {idle_process / seconds * 60:.3f} s/min, its Wine server "
          f"{idle_server / seconds * 60:.3f} s/min, {idle:.2f}% of one core")
    print(f"  beyond the idle program: {share - idle:.2f}% of one core, "
          f"{((process + server) - (idle_process + idle_server)) / max(cycles, 1) * 1e3:.2f} ms per cycle; "
          f"{SLICE_SECONDS} s slices: least {min(beyond):.2f}%, median {statistics.median(beyond):.2f}%, "
          f"most {max(beyond):.2f}%")


def overlay_directory(exe, tracker):
    """A directory holding the exe and an INI that points it at the tracker and a boss with many channels."""
    workdir = tempfile.mkdtemp(prefix="brisquel-bench-")
    shutil.copy(exe, os.path.join(workdir, "Brisquel.exe"))
    with urllib.request.urlopen(f"{tracker.origin()}/api/collections/mobs/records", timeout=10) as response:
        boss = [b for b in json.load(response)["items"] if b["type"] != "magical_creature"][2]
    with open(os.path.join(workdir, "Brisquel.ini"), "w", newline="") as f:
        f.write(f"[Server]\r\nBaseUrl={tracker.origin()}\r\n[Selection]\r\nLastBoss={boss['id']}\r\n")
    return workdir


def read_step_times(workdir):
    """{step: (count, seconds)} as the step-timed build last wrote them; empty for the normal build."""
    try:
        with open(os.path.join(workdir, "step-times.txt")) as f:
            return {name: (int(count), int(nanoseconds) / 1e9)
                    for name, count, nanoseconds in (line.split() for line in f)}
    except OSError:
        return {}


def measure_overlay(wine, exe, tracker, prefix, server, idle, seconds):
    """CPU slices of the overlay and its Wine server beside the idle program and its own, the overlay's poll cycles,
    and its step times over `seconds`."""
    workdir = overlay_directory(exe, tracker)
    overlay = subprocess.Popen([wine, "Brisquel.exe"], cwd=workdir)
    pid = wait_for_process(prefix, "brisquel.exe")
    while tracker.summaries == 0:
        time.sleep(0.2)
    # The step totals are rewritten every few seconds: the window runs from one rewrite to another.
    time.sleep(SETTLE_SECONDS)
    steps_before = read_step_times(workdir)
    cycles_before = tracker.summaries
    slices = measure_side_by_side(pid, server, idle, seconds)
    cycles = tracker.summaries - cycles_before
    time.sleep(STEP_TIMES_PERIOD if steps_before else 0)
    steps = {name: (count - steps_before[name][0], total - steps_before[name][1])
             for name, (count, total) in read_step_times(workdir).items()}
    os.kill(pid, 9)
    overlay.wait()
    shutil.rmtree(workdir, ignore_errors=True)
    return slices, cycles, steps


def server_requests(wine, exe, tracker, prefix, seconds):
    """Wine server requests per poll cycle of each of the overlay's threads, from a server restarted with its
    request trace on. Unlike CPU time, the count does not depend on what else the machine is doing."""
    subprocess.run(["wineserver", "-k"], check=False)
    subprocess.run(["wineserver", "-w"], check=False)
    with tempfile.NamedTemporaryFile(prefix="brisquel-server-", suffix=".log") as log:
        traced = subprocess.Popen(["wineserver", "-d1", "-f", "-p"], stderr=log)
        workdir = overlay_directory(exe, tracker)
        overlay = subprocess.Popen([wine, "Brisquel.exe"], cwd=workdir)
        pid = wait_for_process(prefix, "brisquel.exe")
        start = tracker.summaries
        while tracker.summaries == start:
            time.sleep(0.2)
        time.sleep(SETTLE_SECONDS)
        offset, cycles_before = os.path.getsize(log.name), tracker.summaries
        time.sleep(seconds)
        end, cycles = os.path.getsize(log.name), tracker.summaries - cycles_before
        os.kill(pid, 9)
        overlay.wait()
        shutil.rmtree(workdir, ignore_errors=True)
        with open(log.name, "rb") as f:
            f.seek(offset)
            lines = f.read(end - offset).decode(errors="replace").splitlines()
        traced.kill()
        traced.wait()
    # "0024: get_message( flags=..." is a request; its reply reads "0024: get_message() = ...".
    by_thread = {}
    for line in lines:
        thread, _, rest = line.partition(": ")
        name, paren, _ = rest.partition("( ")
        if paren and name.isidentifier():
            by_thread.setdefault(thread, {}).setdefault(name, 0)
            by_thread[thread][name] += 1
    total = sum(sum(kinds.values()) for kinds in by_thread.values())
    print(f"  {total / cycles:.1f} requests per cycle over {cycles} cycles; by thread:")
    for thread, kinds in sorted(by_thread.items(), key=lambda item: -sum(item[1].values())):
        top = sorted(kinds.items(), key=lambda item: -item[1])[:4]
        print(f"    {thread}: {sum(kinds.values()) / cycles:5.1f} ("
              + ", ".join(f"{name} {count / cycles:.1f}" for name, count in top) + ")")
    subprocess.run(["wineserver", "-p"], check=False)


def step_breakdown(slices, cycles, steps):
    """Milliseconds per poll cycle of each timed step and of what the timers do not cover. The step totals
    span their own window, so each side is divided by its own count of cycles."""
    process_cpu, server_cpu, _, idle_server = (sum(column) for column in zip(*slices))
    merges = max(steps["merge"][0], 1)
    timed = 0.0
    for name, (count, total) in steps.items():
        waits = name in WALL_STEPS
        timed += 0 if waits else total / merges
        print(f"  {name:13s} {total / merges * 1e3:7.3f} ms per cycle ({count / merges:.2f} per cycle)"
              + (", wall time: includes waiting for the tracker" if waits else ""))
    print(f"  {'rest':13s} {(process_cpu / cycles - timed) * 1e3:7.3f} ms per cycle of the process's CPU: "
          "inside Wine's HTTP and sockets, timers, messages")
    print(f"  {'Wine server':13s} {(server_cpu - idle_server) / cycles * 1e3:7.3f} ms per cycle on its behalf, "
          "beyond the idle program's")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--http-bench", required=True)
    parser.add_argument("--minutes", type=float, default=2)
    parser.add_argument("--steps-exe", help="the step-timed build of Brisquel.exe, for a breakdown of a cycle")
    parser.add_argument("--idle-prefix", help="the idle program's Wine prefix (made when missing): "
                        "WINEPREFIX with -idle added, unless given")
    args = parser.parse_args()
    # The programs start from other directories: paths must hold there too, a bare "wine" stays as it is.
    args.wine, args.exe, args.http_bench, args.steps_exe = (
        os.path.abspath(path) if path and os.sep in path else path
        for path in (args.wine, args.exe, args.http_bench, args.steps_exe))
    prefix = os.environ["WINEPREFIX"]
    seconds = args.minutes * 60
    server = wait_for_process(prefix, "wineserver")
    tracker = Tracker()
    try:
        print("== httpGet: session per call vs kept session ==")
        http_bench(args, tracker, server)

        print(f"== {args.minutes:g} min each: the overlay, and an idle Wine program in a prefix of its own beside it ==")
        idle = IdleProgram(args.wine, args.idle_prefix or prefix + "-idle", os.environ)
        try:
            # Last, a world that stands still: every summary read is a 304, which is what an unchanged answer costs.
            for validators, world in (("on", "thaw"), ("off", "thaw"), ("on", "freeze")):
                tracker.control(f"validators/{validators}")
                tracker.control(world)
                slices, cycles, _ = measure_overlay(args.wine, args.exe, tracker, prefix, server, idle, seconds)
                report(f"Brisquel.exe, validators {validators}" + (", frozen world" if world == "freeze" else ""),
                       slices, cycles)
            tracker.control("thaw")
            if args.steps_exe:
                print(f"== {args.minutes:g} min: where a poll cycle's time goes (the step-timed build) ==")
                step_breakdown(*measure_overlay(args.wine, args.steps_exe, tracker, prefix, server, idle, seconds))
        finally:
            idle.stop()
        print(f"== {min(seconds, 30):g} s: Wine server requests per poll cycle (traced server) ==")
        server_requests(args.wine, args.exe, tracker, prefix, min(seconds, 30))
    finally:
        tracker.stop()


if __name__ == "__main__":
    main()
