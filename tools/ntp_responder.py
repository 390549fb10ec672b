#!/usr/bin/env python3
"""Local NTP servers with chosen faults, for the clock's tests.

Started as `ntp_responder.py --port 0`; binds 127.0.0.1 only and prints "PORT <n>", its control port.
Every control datagram gets one datagram back:

    open BEHAVIOUR SECONDS -> "<port>": a new server port that answers every request as BEHAVIOUR,
                              with SECONDS (decimal) as the transmit seconds since 1900
    set PORT BEHAVIOUR SECONDS -> "ok": that server answers the next requests this way
    log                    -> "<port> <port> ...": the server ports in the order requests reached them

Behaviours: good, late (after 6 s, past the client's time-out), otherport (sent from another port),
wrongorigin (originate not echoed exactly), stratum0, li3, clientmode (mode 3), short (47 bytes), silent.
Zero or post-2036 seconds are a good answer with those SECONDS. Datagrams that are not a 48-byte
client request (0x1B, then zeros up to the transmit timestamp) go unanswered, so a wrong request fails.
"""
import argparse
import heapq
import itertools
import selectors
import socket
import struct
import sys
import time

BEHAVIOURS = {"good", "late", "otherport", "wrongorigin", "stratum0", "li3", "clientmode", "short", "silent"}
LATE_SECONDS = 6.0


def is_client_request(data):
    return len(data) == 48 and data[0] == 0x1B and not any(data[1:40])


def answer(request, behaviour, seconds):
    leap = 3 if behaviour == "li3" else 0
    mode = 3 if behaviour == "clientmode" else 4
    stratum = 0 if behaviour == "stratum0" else 2
    originate = bytearray(request[40:48])
    if behaviour == "wrongorigin":
        originate[7] ^= 1
    packet = struct.pack("!BBbb4s4s4sII8sIIII", (leap << 6) | (4 << 3) | mode, stratum, 6, -20,
                         bytes(4), bytes(4), b"LOCL", seconds, 0, bytes(originate),
                         seconds, 0x40000000, seconds, 0x80000000)
    return packet[:47] if behaviour == "short" else packet


class Responder:
    def __init__(self, port):
        self.selector = selectors.DefaultSelector()
        self.control = self.bind(port)
        self.selector.register(self.control, selectors.EVENT_READ, self.on_control)
        self.other = self.bind(0)
        self.log = []
        self.servers = {}  # port -> (behaviour, seconds)
        self.pending = []  # heap of (due, sequence, socket, datagram, address)
        self.sequence = itertools.count()

    @staticmethod
    def bind(port):
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.bind(("127.0.0.1", port))
        return sock

    def on_control(self, sock):
        data, address = sock.recvfrom(512)
        words = data.decode("ascii", "replace").split()
        if words == ["log"]:
            reply = " ".join(str(p) for p in self.log)
        elif len(words) == 3 and words[0] == "open" and self.valid_answer(words[1:]):
            server = self.bind(0)
            port = server.getsockname()[1]
            self.servers[port] = (words[1], int(words[2]))
            self.selector.register(server, selectors.EVENT_READ, self.on_request)
            reply = str(port)
        elif len(words) == 4 and words[0] == "set" and words[1].isdigit() and int(words[1]) in self.servers \
                and self.valid_answer(words[2:]):
            self.servers[int(words[1])] = (words[2], int(words[3]))
            reply = "ok"
        else:
            reply = "error"
        sock.sendto(reply.encode("ascii"), address)

    @staticmethod
    def valid_answer(words):
        return words[0] in BEHAVIOURS and words[1].isdigit() and int(words[1]) <= 0xFFFFFFFF

    def on_request(self, sock):
        data, address = sock.recvfrom(512)
        port = sock.getsockname()[1]
        self.log.append(port)
        behaviour, seconds = self.servers[port]
        if behaviour == "silent" or not is_client_request(data):
            return
        delay = LATE_SECONDS if behaviour == "late" else 0.0
        sender = self.other if behaviour == "otherport" else sock
        heapq.heappush(self.pending,
                       (time.monotonic() + delay, next(self.sequence), sender, answer(data, behaviour, seconds), address))

    def serve(self):
        while True:
            timeout = max(0.0, self.pending[0][0] - time.monotonic()) if self.pending else None
            for key, _ in self.selector.select(timeout):
                key.data(key.fileobj)
            while self.pending and self.pending[0][0] <= time.monotonic():
                _, _, sender, datagram, address = heapq.heappop(self.pending)
                sender.sendto(datagram, address)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    responder = Responder(parser.parse_args().port)
    print(f"PORT {responder.control.getsockname()[1]}", flush=True)
    responder.serve()


if __name__ == "__main__":
    sys.exit(main())
