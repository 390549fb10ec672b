#!/usr/bin/env python3
"""Points a Brisquel.ini at a tracker: sets [Server] BaseUrl, keeping every other line and the
file's encoding (UTF-16 with a byte-order mark, as Brisquel creates it, or plain text).

    set_tracker_origin.py path/to/Brisquel.ini http://127.0.0.1:8787
"""
import sys


def main(path, origin):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except FileNotFoundError:
        data = b""
    utf16 = data.startswith(b"\xff\xfe")
    text = data[2:].decode("utf-16-le") if utf16 else data.decode("utf-8", errors="replace")

    lines, section, done = [], None, False
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if section == "server" and not done:
                lines.append(f"BaseUrl={origin}")
                done = True
            section = stripped[1:-1].lower()
        elif section == "server" and stripped.lower().startswith("baseurl="):
            if not done:
                lines.append(f"BaseUrl={origin}")
                done = True
            continue
        lines.append(line)
    if not done:
        if section != "server":
            lines.append("[Server]")
        lines.append(f"BaseUrl={origin}")

    out = "\r\n".join(lines) + "\r\n"
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + out.encode("utf-16-le") if utf16 or not data else out.encode("utf-8"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
