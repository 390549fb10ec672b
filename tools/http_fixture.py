#!/usr/bin/env python3
"""Local HTTP server whose answers the tests choose, for the tracker client's tests.

    http_fixture.py --port 0     (binds 127.0.0.1 only, prints "PORT <n>" first)

A test registers a route with `PUT /_route/<name>` and a JSON body, then requests anything under
`/r/<name>` (so `http://127.0.0.1:<port>/r/<name>` serves as a base URL). `GET /_log/<name>` returns
every request the route received: its request line exactly as sent, its headers by lower-cased
name, the size of the (possibly compressed) body it was answered with, and the client's port (one
port per TCP connection).

Route fields (all optional):
  status        status code (200)
  headers       {name: value} or [[name, value], ...], sent as given
  body          text of the body (UTF-8)
  raw           instead of body: text whose characters U+0000..U+00FF are the body's bytes, for invalid UTF-8
  pad_to        spaces appended to the body up to this many bytes (before gzip)
  repeat        the body repeated this many times
  gzip          gzip-compress the body
  bomb_mib      instead of body: a gzip member of this many MiB of zeros, compressed ~1000:1
  isize         overrides the gzip member's ISIZE field
  truncate      this many bytes cut from the end of the (possibly compressed) body
  length        "auto" (Content-Length of the body), "none" (end by closing), or a number to announce
  chunked       send with chunked transfer encoding in chunks of this many bytes
  drop_after    send only this many body bytes, then drop the connection
  reset         with drop_after: drop it with a reset (RST) instead of an orderly close
  stall_after   send only this many body bytes, then hold the connection open and silent for 30 s
  trickle_ms    send the body one byte at a time, this many milliseconds apart
  delay_ms      wait before answering
  keep_alive    keep the connection open for further requests instead of answering "Connection: close"
  idle_close_ms with keep_alive: close the connection quietly once it has been idle this long
  reset_reused  with keep_alive: answer a connection's first request, reset it when another arrives on it
"""
import argparse
import gzip
import json
import socket
import struct
import sys
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

routes = {}
logs = {}
bombs = {}
lock = threading.Lock()
STALL_SECONDS = 30
# Long enough for the bytes sent before a reset to reach the client first.
RESET_GRACE_SECONDS = 0.2


def zero_bomb(mib):
    # Copies of one fully flushed block of 1 MiB of zeros chain into one valid deflate stream.
    if mib not in bombs:
        compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
        block = compressor.compress(bytes(1 << 20)) + compressor.flush(zlib.Z_FULL_FLUSH)
        tail = compressor.flush(zlib.Z_FINISH)
        header = b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03"
        trailer = struct.pack("<II", 0, (mib << 20) & 0xFFFFFFFF)
        bombs[mib] = header + block * mib + tail + trailer
    return bombs[mib]


def route_body(route):
    if "bomb_mib" in route:
        body = zero_bomb(route["bomb_mib"])
    else:
        if "raw" in route:
            body = route["raw"].encode("latin-1")
        else:
            body = route.get("body", "").encode("utf-8") * route.get("repeat", 1)
        body = body.ljust(route.get("pad_to", 0), b" ")
        if route.get("gzip"):
            body = gzip.compress(body)
    if "isize" in route:
        body = body[:-4] + struct.pack("<I", route["isize"])
    return body[:len(body) - route.get("truncate", 0)]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_plain(self, status, payload, content_type="application/json"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(payload)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(payload)
        self.close_connection = True

    def do_PUT(self):
        if not self.path.startswith("/_route/"):
            return self.send_plain(404, b"{}")
        name = self.path[len("/_route/"):]
        route = json.loads(self.rfile.read(int(self.headers.get("Content-Length", "0"))) or b"{}")
        with lock:
            routes[name] = route
            logs[name] = []
        self.send_plain(200, b"{}")

    def do_GET(self):
        if self.path.startswith("/_log/"):
            with lock:
                entries = list(logs.get(self.path[len("/_log/"):], []))
            return self.send_plain(200, json.dumps(entries).encode())
        if not self.path.startswith("/r/"):
            return self.send_plain(404, b"{}")
        name = self.path[3:].split("/", 1)[0].split("?", 1)[0]
        with lock:
            route = routes.get(name)
            if route is not None:
                entry = {"line": self.requestline, "headers": {k.lower(): v for k, v in self.headers.items()},
                         "client_port": self.client_address[1]}
                logs[name].append(entry)
        if route is None:
            return self.send_plain(404, b"{}")
        self.answered = getattr(self, "answered", 0)
        if route.get("reset_reused") and self.answered > 0:
            self.close_connection = True
            return self.reset_connection()
        self.answered += 1
        self.answer(route, entry)

    def reset_connection(self):
        # Without lingering, closing sends a reset rather than a FIN; the handler's finish closes it for real.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()

    def answer(self, route, entry):
        time.sleep(route.get("delay_ms", 0) / 1000.0)
        with lock:
            body = route_body(route)
            entry["body_bytes"] = len(body)
        self.send_response(route.get("status", 200))
        headers = route.get("headers", [])
        for key, value in headers.items() if isinstance(headers, dict) else headers:
            self.send_header(key, value)
        chunked = route.get("chunked")
        length = route.get("length", "auto")
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif length == "auto":
            self.send_header("Content-Length", str(len(body)))
        elif length != "none":
            self.send_header("Content-Length", str(length))
        if route.get("keep_alive"):
            self.close_connection = False
            # The wait for the next request ends in a time-out, which closes the connection.
            self.connection.settimeout(route.get("idle_close_ms", 60000) / 1000.0)
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()

        drop_after = route.get("drop_after", route.get("stall_after"))
        if drop_after is not None:
            body = body[:drop_after]
        try:
            if chunked:
                for start in range(0, len(body), chunked):
                    piece = body[start:start + chunked]
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                if drop_after is None:
                    self.wfile.write(b"0\r\n\r\n")
            elif "trickle_ms" in route:
                for start in range(len(body)):
                    self.wfile.write(body[start:start + 1])
                    time.sleep(route["trickle_ms"] / 1000.0)
            else:
                self.wfile.write(body)
            self.wfile.flush()
            if "stall_after" in route:
                time.sleep(STALL_SECONDS)
            elif route.get("reset"):
                time.sleep(RESET_GRACE_SECONDS)
                self.reset_connection()
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    print(f"PORT {server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
