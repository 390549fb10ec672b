"""What the gallery GUI tests share: xdotool, a gallery program under Wine that prints what its window hears,
and their command line."""
import argparse
import queue
import subprocess
import sys
import threading
import time


def xdotool(*args, settle=0.0):
    subprocess.run(["xdotool", *map(str, args)], check=True)
    time.sleep(settle)


class Gallery:
    """One gallery program: its stdout lines arrive on a queue, commands go to its stdin."""

    def __init__(self, wine, exe):
        self.process = subprocess.Popen([wine, exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                        bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def expect(self, prefix, timeout=15):
        """The next line starting with prefix, and the lines before it."""
        seen = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(deadline - time.monotonic(), 0.01))
            except queue.Empty:
                raise AssertionError(f"no line starting {prefix!r}; saw {seen}")
            if line.startswith(prefix):
                return line, seen
            seen.append(line)

    def quiet(self, seconds=0.5):
        """Lines that arrive within a short while (notifications the window received)."""
        time.sleep(seconds)
        lines = []
        while not self.lines.empty():
            lines.append(self.lines.get())
        return lines

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()


def options(*names):
    """The required --NAME options, and the arguments left for unittest."""
    parser = argparse.ArgumentParser()
    for name in names:
        parser.add_argument(name, required=True)
    args, rest = parser.parse_known_args()
    return args, [sys.argv[0], "-v", *rest]
