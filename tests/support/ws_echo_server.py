#!/usr/bin/python3
"""The WebSocket peer of the client's tests (run it with /usr/bin/python3,
whose websockets package is the distribution's).

Two listeners on 127.0.0.1, on ports the system picks; the first line on
standard output is "ports WS RAW". The server ends when its standard input
closes, so a test that dies leaves no server behind.

WS is a real server (the websockets package). By request path:
  /echo           echoes every message with its type
  /fragmented     sends "Hello, fragmented world" in three fragments, then echoes
  /ping           pings with a binary payload, then sends "pong:ok" when a pong
                  with the same payload came back, "pong:missing" otherwise
  /close/CODE     closes with CODE and reports "/close/CODE echoed C": C is the
                  code of the client's close frame, or "none"

RAW plays a script read from the path /raw/STEP/STEP/...:
  hs-NAME         an answer to the handshake (see ANSWERS; hs-silent: none)
  send-HEX        these bytes
  zeros-N         N zero bytes
  wait            write what is pending, then read one frame from the client
Consecutive answers and bytes go out in one write. After the last step it
reads the client's frames until the connection ends, reporting
"PATH frame OPCODE MASK PAYLOAD" for each (hex; MASK "none" when unmasked,
PAYLOAD "-" when empty)
and "PATH eof" at the end. Reports go to standard output, one a line.
"""
import asyncio
import base64
import hashlib
import os
import sys
import threading

import websockets

GUID = b"258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
PING_PAYLOAD = b"\x00\x01probe\xff"


def report(line):
    print(line, flush=True)


def accept_for(key):
    return base64.b64encode(hashlib.sha1(key.encode() + GUID).digest()).decode()


def switching(accept, extra=""):
    return ("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            f"Sec-WebSocket-Accept: {accept}\r\n{extra}\r\n")


# Each answer gets one thing wrong, except ok and lenient.
ANSWERS = {
    "ok": lambda a: switching(a),
    "lenient": lambda a: ("HTTP/1.1 101 Switching Protocols\r\nupgrade: WebSocket\r\n"
                          f"connection: keep-alive, upgrade\r\nsec-websocket-accept:   {a}\r\n\r\n"),
    "200": lambda a: switching(a).replace("101 Switching Protocols", "200 OK", 1),
    "badaccept": lambda a: switching(accept_for("AAAAAAAAAAAAAAAAAAAAAA==")),
    "noupgrade": lambda a: switching(a).replace("Upgrade: websocket\r\n", "", 1),
    "noconnection": lambda a: switching(a).replace("Connection: Upgrade", "Connection: keep-alive", 1),
    "extension": lambda a: switching(a, "Sec-WebSocket-Extensions: permessage-deflate\r\n"),
    "endless": lambda a: "HTTP/1.1 101 Switching Protocols\r\n" + "X-Padding: abcdefghijklmnopqrstuvwxyz\r\n" * 2048,
}


async def ws_handler(ws):
    path = ws.path
    try:
        if path == "/fragmented":
            await ws.send(["Hello, ", "fragmented ", "world"])
        elif path == "/ping":
            waiter = await ws.ping(PING_PAYLOAD)
            try:
                await asyncio.wait_for(waiter, 5)
                await ws.send("pong:ok")
            except asyncio.TimeoutError:
                await ws.send("pong:missing")
        elif path.startswith("/close/"):
            await ws.close(int(path.split("/")[2]), "bye")
            rcvd = ws.close_rcvd
            report(f"{path} echoed {rcvd.code if rcvd is not None else 'none'}")
            return
        async for message in ws:
            await ws.send(message)
    except websockets.ConnectionClosed:
        pass
    finally:
        report(f"{path} eof")


async def read_frame(reader):
    """(opcode, mask, payload) of the next frame; None at the end of the stream."""
    try:
        head = await reader.readexactly(2)
        size = head[1] & 0x7F
        if size == 126:
            size = int.from_bytes(await reader.readexactly(2), "big")
        elif size == 127:
            size = int.from_bytes(await reader.readexactly(8), "big")
        mask = await reader.readexactly(4) if head[1] & 0x80 else None
        payload = await reader.readexactly(size)
    except (asyncio.IncompleteReadError, ConnectionError):
        return None
    if mask:
        payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
    return head[0] & 0x0F, mask, payload


async def raw_handler(reader, writer):
    request = b""
    try:
        while b"\r\n\r\n" not in request:
            chunk = await reader.read(4096)
            if not chunk:
                return
            request += chunk
        lines = request.decode("latin-1").split("\r\n")
        path = lines[0].split(" ")[1]
        key = next((l.split(":", 1)[1].strip() for l in lines if l.lower().startswith("sec-websocket-key:")), "")
        pending = b""
        for step in path.split("/")[2:]:
            if step.startswith("hs-"):
                if step != "hs-silent":
                    pending += ANSWERS[step[3:]](accept_for(key)).encode("latin-1")
            elif step.startswith("send-"):
                pending += bytes.fromhex(step[5:])
            elif step.startswith("zeros-"):
                pending += bytes(int(step[6:]))
            elif step == "wait":
                writer.write(pending)
                pending = b""
                await writer.drain()
                await read_frame(reader)
        writer.write(pending)
        await writer.drain()
        while (frame := await read_frame(reader)) is not None:
            opcode, mask, payload = frame
            report(f"{path} frame {opcode} {mask.hex() if mask else 'none'} {payload.hex() or '-'}")
        report(f"{path} eof")
    finally:
        writer.close()


def exit_when_stdin_closes():
    sys.stdin.buffer.read()
    # Open connections are the kernel's to end: waiting on them could hang.
    sys.stdout.flush()
    os._exit(0)


async def main():
    ws_server = await websockets.serve(ws_handler, "127.0.0.1", 0, max_size=64 * 1024 * 1024,
                                       compression=None, ping_interval=None)
    raw_server = await asyncio.start_server(raw_handler, "127.0.0.1", 0)
    ws_port = ws_server.sockets[0].getsockname()[1]
    raw_port = raw_server.sockets[0].getsockname()[1]
    threading.Thread(target=exit_when_stdin_closes, daemon=True).start()
    report(f"ports {ws_port} {raw_port}")
    await asyncio.Future()


if __name__ == "__main__":
    asyncio.run(main())
