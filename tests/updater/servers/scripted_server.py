#!/usr/bin/env python3
"""An HTTP server that answers every connection with the same script.

Used by the downloader's tests to reproduce hostile servers. Steps (JSON list):
  ["send", TEXT]              send TEXT (latin-1, JSON escapes for CR LF)
  ["body", N]                 send N pattern bytes: byte i is i % 251
  ["drip", N, CHUNK, SECS]    N pattern bytes in CHUNK-byte pieces, SECS apart
  ["sleep", SECS]             send nothing for SECS
  ["close"]                   close now (the default after the last step)
  ["reset"]                   close with a TCP reset
  ["noread"]                  (first step only) answer without reading the request

The script may instead be a JSON object that maps request paths to step
lists, with "*" for any other path.

The request bytes of connection K are written to RECORD.K (K from 1).
A request whose first line is "QUIT" ends the server; so does the removal
of the --ready file (what a test under Wine does: it cannot wait for or end
a Unix process), and so does --lifetime.
Exit status 3: the address was in use (READY.in-use is then created).
"""
import argparse
import json
import os
import socket
import struct
import sys
import threading
import time


def pattern(start, count):
    return bytes((i % 251) for i in range(start, start + count))


def read_request(conn, limit=65536):
    data = b""
    conn.settimeout(10)
    while b"\r\n\r\n" not in data and len(data) < limit:
        try:
            chunk = conn.recv(4096)
        except OSError:
            break
        if not chunk:
            break
        data += chunk
    return data


def run_script(conn, steps):
    offset = 0
    for step in steps:
        kind = step[0]
        if kind == "send":
            conn.sendall(step[1].encode("latin-1"))
        elif kind == "body":
            n = int(step[1])
            sent = 0
            while sent < n:
                piece = min(65536, n - sent)
                conn.sendall(pattern(offset, piece))
                offset += piece
                sent += piece
        elif kind == "drip":
            n, chunk, pause = int(step[1]), int(step[2]), float(step[3])
            sent = 0
            while sent < n:
                piece = min(chunk, n - sent)
                conn.sendall(pattern(offset, piece))
                offset += piece
                sent += piece
                time.sleep(pause)
        elif kind == "sleep":
            time.sleep(float(step[1]))
        elif kind == "reset":
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        elif kind == "close":
            return
        elif kind == "noread":
            pass


def steps_for(script, request):
    if isinstance(script, list):
        return script
    line = request.split(b"\r\n", 1)[0].split(b" ")
    path = line[1].decode("latin-1") if len(line) > 1 else ""
    return script.get(path, script.get("*", []))


def serve(conn, number, script, record, stop):
    steps = script if isinstance(script, list) else []
    try:
        with conn:
            if not (steps and steps[0][0] == "noread"):
                request = read_request(conn)
                if request.startswith(b"QUIT"):
                    stop.set()
                    return
                if record:
                    with open("%s.%d" % (record, number), "wb") as f:
                        f.write(request)
                steps = steps_for(script, request)
            run_script(conn, steps)
    except OSError:
        pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--host", required=True)
    ap.add_argument("--port", type=int, default=80)
    ap.add_argument("--script", help="the script as JSON text")
    ap.add_argument("--script-file", help="a file holding the script")
    ap.add_argument("--record", help="request bytes go to RECORD.<connection>")
    ap.add_argument("--ready", help="created once the server listens")
    ap.add_argument("--lifetime", type=float, default=120.0)
    args = ap.parse_args()
    if args.script_file:
        with open(args.script_file, encoding="utf-8") as f:
            steps = json.load(f)
    else:
        steps = json.loads(args.script or "[]")

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # Connections of an earlier server on this address may still be in
    # TIME_WAIT; Linux still refuses a second listener, so this is safe.
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        listener.bind((args.host, args.port))
    except OSError:
        if args.ready:
            open(args.ready + ".in-use", "w").close()
        return 3
    listener.listen(16)
    listener.settimeout(0.2)
    if args.ready:
        with open(args.ready + ".part", "w") as f:
            f.write(str(os.getpid()))
        os.replace(args.ready + ".part", args.ready)

    stop = threading.Event()
    deadline = time.monotonic() + args.lifetime
    number = 0
    while not stop.is_set() and time.monotonic() < deadline:
        if args.ready and not os.path.exists(args.ready):
            break
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        number += 1
        threading.Thread(target=serve, args=(conn, number, steps, args.record, stop), daemon=True).start()
    listener.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
