"""The demo tracker as a process of a test's or a benchmark's own, read and steered through its control paths, on a
port it keeps so that it can be stopped and started again where the overlay looks for it."""
import json
import os
import socket
import subprocess
import sys
import urllib.request

DEMO_TRACKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "demo_tracker.py")


class TrackerProcess:
    def __init__(self, *options):
        self.options = options
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.port = s.getsockname()[1]
        self.origin = f"http://127.0.0.1:{self.port}"
        self.start()

    def control(self, command):
        return self.read(f"/__control/{command}")

    def read(self, path):
        with urllib.request.urlopen(self.origin + path, timeout=10) as answer:
            return json.load(answer)

    def start(self):
        self.process = subprocess.Popen([sys.executable, DEMO_TRACKER, "--port", str(self.port), *self.options],
                                        stdout=subprocess.PIPE, text=True)
        self.process.stdout.readline()

    def stop(self):
        self.process.kill()
        self.process.wait()
        self.process.stdout.close()
