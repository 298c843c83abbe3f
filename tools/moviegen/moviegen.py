#!/usr/bin/env python3
"""Builds the launcher movie file from its description and artwork.

The description (JSON) names the stage, the frame rate, the face picture,
the buttons with their places, looks and actions, the markers and the start
commands. Texts may hold ${NAME} placeholders: deployment hosts given with
--host NAME=value, and ${marker:NAME}, the marker's x,y,w,h written the way
the movie's script would write numbers (609.8, 292). The file layout is
described in platform/movie/README.md; platform/movie/MovieParser.cpp reads it.

Usage: moviegen.py --description launcher-movie.json --out launcher.movie
                   --host PORTAL_HOST=www.example --host PAY_HOST=... ...
Only the standard library is used, so the build needs no extra modules.
"""
import argparse
import json
import os
import re
import struct
import sys

MAGIC = b"MVMF"
VERSION = 1
TWIPS = 20

END, PICTURE, BUTTON, MARKER, START = 0, 1, 2, 3, 4
ACTION_COMMAND, ACTION_OPEN_URL = 1, 2

MAX_NAME, MAX_COMMAND, MAX_TEXT = 32, 64, 4096
MAX_BUTTONS, MAX_MARKERS, MAX_START = 64, 16, 16
MAX_STAGE, MAX_FRAME_RATE = 8192, 120
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
NAME_RE = re.compile(r"^[A-Za-z0-9_]{1,%d}$" % MAX_NAME)


class DescriptionError(Exception):
    pass


def number_text(v):
    """A number as the movie's script prints it: no trailing ".0"."""
    v = float(v)
    return str(int(v)) if v.is_integer() else repr(v)


def twips(v, what):
    t = round(float(v) * TWIPS)
    if abs(t - float(v) * TWIPS) > 1e-6:
        raise DescriptionError("%s: %r is not a multiple of 1/%d pixel" % (what, v, TWIPS))
    if abs(t) > 1 << 24:
        raise DescriptionError("%s: %r is too far off the stage" % (what, v))
    return t


class Builder:
    def __init__(self, description_path, hosts):
        self.base = os.path.dirname(os.path.abspath(description_path))
        with open(description_path, encoding="utf-8") as f:
            self.desc = json.load(f)
        self.hosts = hosts
        self.markers = {m["name"]: m for m in self.desc.get("markers", [])}

    def expand(self, text, what):
        def one(match):
            key = match.group(1)
            if key.startswith("marker:"):
                m = self.markers.get(key[len("marker:"):])
                if m is None:
                    raise DescriptionError("%s: no marker %r" % (what, key))
                return ",".join(number_text(m[k]) for k in ("x", "y", "width", "height"))
            if key not in self.hosts:
                raise DescriptionError("%s: no value for ${%s} (give --host %s=...)" % (what, key, key))
            return self.hosts[key]
        return re.sub(r"\$\{([^}]*)\}", one, text)

    @staticmethod
    def name(text, what):
        if not NAME_RE.match(text):
            raise DescriptionError("%s: bad name %r" % (what, text))
        b = text.encode("ascii")
        return struct.pack("<B", len(b)) + b

    @staticmethod
    def text(value, what, low, high):
        b = value.encode("utf-8")
        if not low <= len(b) <= high or b"\0" in b:
            raise DescriptionError("%s: text %r must be %d..%d bytes without NUL" % (what, value, low, high))
        return struct.pack("<H", len(b)) + b

    def png(self, file_name, what, size=None):
        with open(os.path.join(self.base, file_name), "rb") as f:
            data = f.read()
        if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
            raise DescriptionError("%s: %s is not a PNG file" % (what, file_name))
        width, height = struct.unpack(">II", data[16:24])
        if size is not None and (width, height) != size:
            raise DescriptionError("%s: %s is %dx%d, its place is %dx%d" % (what, file_name, width, height, *size))
        return data, (width, height)

    @staticmethod
    def record(kind, payload):
        return struct.pack("<BI", kind, len(payload)) + payload

    def place(self, item, what):
        return struct.pack("<iiii", *(twips(item[k], what + "." + k) for k in ("x", "y", "width", "height")))

    def action(self, b, what):
        if "command" in b:
            c = b["command"]
            return (struct.pack("<B", ACTION_COMMAND) + self.text(c["command"], what, 1, MAX_COMMAND)
                    + self.text(self.expand(c.get("argument", ""), what), what, 0, MAX_TEXT))
        if "open" in b:
            o = b["open"]
            return (struct.pack("<B", ACTION_OPEN_URL) + self.text(self.expand(o["url"], what), what, 1, MAX_TEXT)
                    + self.text(o.get("target", "_blank"), what, 0, MAX_COMMAND))
        raise DescriptionError("%s: needs a \"command\" or an \"open\" action" % what)

    def build(self):
        d = self.desc
        width, height, rate = d["stage"]["width"], d["stage"]["height"], d["frameRate"]
        if not (0 < width <= MAX_STAGE and 0 < height <= MAX_STAGE and 0 < rate <= MAX_FRAME_RATE):
            raise DescriptionError("stage or frame rate out of range")
        out = bytearray(MAGIC + struct.pack("<HHHH", VERSION, width, height, rate))

        pic = d["picture"]
        data, _ = self.png(pic["file"], "picture")
        out += self.record(PICTURE, struct.pack("<iiI", twips(pic.get("x", 0), "picture.x"),
                                                twips(pic.get("y", 0), "picture.y"), len(data)) + data)

        buttons = d.get("buttons", [])
        if len(buttons) > MAX_BUTTONS or len({b["name"] for b in buttons}) != len(buttons):
            raise DescriptionError("too many buttons, or two of one name")
        for b in buttons:
            what = "button " + b.get("name", "?")
            size = (b["width"], b["height"])
            up, _ = self.png(b["up"], what, size)
            over, _ = self.png(b["over"], what, size)
            payload = (self.name(b["name"], what) + self.place(b, what)
                       + struct.pack("<I", len(up)) + up + struct.pack("<I", len(over)) + over
                       + self.action(b, what))
            out += self.record(BUTTON, payload)

        if len(self.markers) > MAX_MARKERS or len(self.markers) != len(d.get("markers", [])):
            raise DescriptionError("too many markers, or two of one name")
        for m in d.get("markers", []):
            what = "marker " + m["name"]
            out += self.record(MARKER, self.name(m["name"], what) + self.place(m, what))

        start = d.get("start", [])
        if len(start) > MAX_START:
            raise DescriptionError("too many start commands")
        for i, c in enumerate(start):
            what = "start command %d" % (i + 1)
            out += self.record(START, self.text(c["command"], what, 1, MAX_COMMAND)
                               + self.text(self.expand(c.get("argument", ""), what), what, 0, MAX_TEXT))

        out += self.record(END, b"")
        return bytes(out)


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--description", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--host", action="append", default=[], metavar="NAME=VALUE")
    args = ap.parse_args(argv)
    hosts = {}
    for h in args.host:
        name, sep, value = h.partition("=")
        if not sep or not value:
            ap.error("--host needs NAME=VALUE, got %r" % h)
        hosts[name] = value
    try:
        data = Builder(args.description, hosts).build()
    except (DescriptionError, KeyError, OSError, ValueError) as e:
        print("moviegen: %s" % e, file=sys.stderr)
        return 1
    tmp = args.out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
