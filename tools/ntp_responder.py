#!/usr/bin/env python3
"""Local NTP servers with chosen faults, for the clock's tests.

Started as `ntp_responder.py --port 0`; binds 127.0.0.1 only and prints "PORT <n>", its control port.
Every control datagram gets one datagram back:

    open SECONDS BEHAVIOUR... -> "<port> ...": one new server per BEHAVIOUR, in that order, whose answers
                                 carry SECONDS (decimal, since 1900) as their transmit time
    log PORT                  -> "<index> ...": for each request that reached a server opened together with
                                 PORT, in arrival order, the index of that server in its open command
    anything else             -> "error"

Behaviours: good, zero (transmit seconds 0), late (after 6 s, past the client's time-out), otherport (sent
from another port), wrongorigin (originate not the request's transmit timestamp), stratum0 (kiss-o'-death),
silent, truncated (only the first 47 bytes), flood (64 bogus datagrams a day off: from another port, cut
short, one byte too long, with a wrong originate; then the good answer). Datagrams that are not a 48-byte
client request (0x1B, then zeros up to the transmit timestamp) go unanswered, so a wrong request fails the test.
"""
import argparse
import selectors
import socket
import struct
import threading

BEHAVIOURS = {"good", "zero", "late", "otherport", "wrongorigin", "stratum0", "silent", "truncated", "flood"}
LATE_SECONDS = 6.0
FLOOD_DATAGRAMS = 64


def is_client_request(data):
    return len(data) == 48 and data[0] == 0x1B and not any(data[1:40])


def answer(request, behaviour, seconds):
    seconds = 0 if behaviour == "zero" else seconds
    stratum = 0 if behaviour == "stratum0" else 2
    originate = bytearray(request[40:48])
    if behaviour == "wrongorigin":
        originate[7] ^= 1
    return struct.pack("!BBbb4s4s4sII8sIIII", (4 << 3) | 4, stratum, 6, -20, bytes(4), bytes(4), b"LOCL",
                       seconds, 0, bytes(originate), seconds, 0x40000000, seconds, 0x80000000)


class Responder:
    def __init__(self, port):
        self.selector = selectors.DefaultSelector()
        self.control = self.bind(port, self.on_control)
        self.other = self.bind(0)
        self.log = []
        self.servers = {}  # port -> (behaviour, seconds, ports opened with it)

    def bind(self, port, handler=None):
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.bind(("127.0.0.1", port))
        if handler:
            self.selector.register(sock, selectors.EVENT_READ, handler)
        return sock

    def on_control(self, sock):
        data, address = sock.recvfrom(512)
        try:
            reply = self.command(data.decode("ascii", "replace").split())
        except (ValueError, IndexError, KeyError):
            reply = "error"
        sock.sendto(reply.encode("ascii"), address)

    def command(self, words):
        if words[0] == "open" and 0 <= int(words[1]) <= 0xFFFFFFFF and set(words[2:]) <= BEHAVIOURS:
            ports = [self.bind(0, self.on_request).getsockname()[1] for _ in words[2:]]
            for port, behaviour in zip(ports, words[2:]):
                self.servers[port] = (behaviour, int(words[1]), ports)
            return " ".join(str(p) for p in ports)
        if words[0] == "log" and len(words) == 2:
            ports = self.servers[int(words[1])][2]
            return " ".join(str(ports.index(p)) for p in self.log if p in ports)
        raise ValueError(words[0])

    def on_request(self, sock):
        data, address = sock.recvfrom(512)
        port = sock.getsockname()[1]
        self.log.append(port)
        behaviour, seconds, _ = self.servers[port]
        if behaviour == "silent" or not is_client_request(data):
            return
        if behaviour == "flood":
            self.flood(sock, data, address, seconds + 86400)
        sender = self.other if behaviour == "otherport" else sock
        datagram = answer(data, behaviour, seconds)
        if behaviour == "truncated":
            datagram = datagram[:47]
        if behaviour == "late":
            threading.Timer(LATE_SECONDS, sender.sendto, (datagram, address)).start()
        else:
            sender.sendto(datagram, address)

    def flood(self, sock, request, address, seconds):
        bogus = answer(request, "good", seconds)
        for i in range(FLOOD_DATAGRAMS):
            if i % 4 == 0:
                self.other.sendto(bogus, address)
            elif i % 4 == 1:
                sock.sendto(bogus[:47], address)
            elif i % 4 == 2:
                sock.sendto(bogus + b"\0", address)
            else:
                sock.sendto(answer(request, "wrongorigin", seconds), address)

    def serve(self):
        while True:
            for key, _ in self.selector.select():
                key.data(key.fileobj)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    responder = Responder(parser.parse_args().port)
    print(f"PORT {responder.control.getsockname()[1]}", flush=True)
    responder.serve()


if __name__ == "__main__":
    main()
