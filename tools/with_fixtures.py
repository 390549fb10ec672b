#!/usr/bin/env python3
"""Runs a test command with local fixture servers started around it.

    with_fixtures.py [--fixture NAME=tools/script.py ...] -- command args...

Each fixture script is started as `python3 script --port 0`, binds 127.0.0.1 only and
prints "PORT <n>" on its first line of output; the command then finds it in the
environment variable BRISQUEL_<NAME>_PORT. Every fixture is stopped when the command ends.
"""
import argparse
import os
import subprocess
import sys


def start_fixture(name, script):
    proc = subprocess.Popen([sys.executable, script, "--port", "0"], stdout=subprocess.PIPE, text=True)
    line = proc.stdout.readline().strip()
    if not line.startswith("PORT "):
        proc.kill()
        raise SystemExit(f"fixture {name} ({script}) did not report its port: {line!r}")
    return proc, int(line.split()[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", action="append", default=[])
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command given")

    env = dict(os.environ)
    fixtures = []
    try:
        for entry in args.fixture:
            name, script = entry.split("=", 1)
            proc, port = start_fixture(name, script)
            fixtures.append(proc)
            env[f"BRISQUEL_{name.upper()}_PORT"] = str(port)
        return subprocess.call(command, env=env)
    finally:
        for proc in fixtures:
            proc.terminate()
        for proc in fixtures:
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()


if __name__ == "__main__":
    sys.exit(main())
