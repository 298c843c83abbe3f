#!/usr/bin/python3
"""Starts a private headless Chromium for the page engine of the demo build
and keeps it only as long as the program that asked for it.

    engine.py --connect PORT [--chromium PATH] [--extra-arg ARG ...]

The program listens on 127.0.0.1:PORT. This script connects to it, makes a
profile folder of its own, starts Chromium with a loopback debugging
endpoint and sends one line: "ws URL" (the browser's DevTools WebSocket) or
"error TEXT". That connection is the lifeline: when it closes (the program
ended, crashed or was killed: the kernel closes its sockets either way),
Chromium and its profile folder go. When Chromium ends first, the lifeline
is closed, which the program reads as the engine's end.

A program under Wine gets no process handle for a Unix program it starts, so
it cannot stop this one by itself: the lifeline is how it does.
"""
import argparse
import ctypes
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

PR_SET_PDEATHSIG = 1
START_TIMEOUT = 30.0


def die_with_parent():
    # Chromium goes even if this script is killed without a chance to clean up.
    try:
        ctypes.CDLL("libc.so.6", use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
    except OSError:
        pass
    os.setsid()


def find_chromium(given):
    # One named explicitly is the only one tried.
    candidates = [given] if given else ["/usr/bin/chromium", "/usr/bin/chromium-browser", shutil.which("chromium")]
    for candidate in candidates:
        if candidate and os.path.isfile(candidate) and os.access(candidate, os.X_OK):
            return candidate
    return None


def send_line(lifeline, text):
    try:
        lifeline.sendall((text + "\n").encode("utf-8"))
        return True
    except OSError:
        return False


def group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except OSError:
        return False


def stop(process):
    """Ends Chromium and every helper process it started (its own process
    group), and returns only when none is left."""
    if process is None:
        return
    pgid = process.pid  # it leads its own group (setsid)

    def alive():
        return process.poll() is None or group_alive(pgid)

    def wait(seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and alive():
            time.sleep(0.05)

    for sig, seconds in ((signal.SIGTERM, 3), (signal.SIGKILL, 10)):
        if not alive():
            return
        try:
            os.killpg(pgid, sig)
        except OSError:
            pass
        # Bounded: a killed helper that nobody reaps must not keep the script.
        wait(seconds)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--connect", type=int, required=True)
    parser.add_argument("--chromium")
    parser.add_argument("--extra-arg", action="append", default=[])
    args = parser.parse_args()

    lifeline = socket.create_connection(("127.0.0.1", args.connect), timeout=10)
    lifeline.settimeout(None)
    profile = tempfile.mkdtemp(prefix="morvane-engine.")
    process = None
    ending = []

    def on_signal(number, frame):
        ending.append(number)
    for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(s, on_signal)

    try:
        chromium = os.environ.get("MORVANE_CHROMIUM") or args.chromium
        chromium = find_chromium(chromium)
        if not chromium:
            send_line(lifeline, "error Chromium is not installed (apt-get install chromium)")
            return 1
        command = [chromium, "--headless=new", "--no-sandbox", "--remote-debugging-port=0",
                   "--remote-debugging-address=127.0.0.1", "--user-data-dir=" + profile,
                   "--no-first-run", "--no-default-browser-check", "--disable-gpu",
                   "--disable-background-networking", "--disable-component-update", "--disable-sync",
                   "--disable-features=Translate,MediaRouter", "--mute-audio", "--force-device-scale-factor=1",
                   "--password-store=basic", "--use-mock-keychain"] + args.extra_arg + ["about:blank"]
        # A clean environment: started from a Windows program, this script
        # inherits Wine's own variables, which are not Chromium's business.
        # Its temporary files go inside the profile, so they go with it.
        environment = {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": os.environ.get("HOME", "/root"),
                       "LANG": "C.UTF-8", "TMPDIR": os.path.join(profile, "tmp")}
        os.makedirs(environment["TMPDIR"])
        # MORVANE_CHROMIUM_LOG names a file for Chromium's own messages.
        log_path = os.environ.get("MORVANE_CHROMIUM_LOG")
        log = open(log_path, "ab") if log_path else subprocess.DEVNULL
        try:
            process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                       preexec_fn=die_with_parent, close_fds=True, env=environment)
        except OSError as e:
            send_line(lifeline, "error Chromium could not start: %s" % e)
            return 1
        finally:
            if log is not subprocess.DEVNULL:
                log.close()  # Chromium has its own copy
        port_file = os.path.join(profile, "DevToolsActivePort")
        deadline = time.monotonic() + START_TIMEOUT
        url = None
        while time.monotonic() < deadline and not ending:
            if process.poll() is not None:
                break
            try:
                with open(port_file) as f:
                    lines = f.read().split("\n")
                if len(lines) >= 2 and lines[0].strip() and lines[1].strip():
                    url = "ws://127.0.0.1:%s%s" % (lines[0].strip(), lines[1].strip())
                    break
            except OSError:
                pass
            time.sleep(0.05)
        if not url:
            send_line(lifeline, "error Chromium did not open its debugging endpoint")
            return 1
        if not send_line(lifeline, "ws " + url):
            return 0
        # Until the program lets go or Chromium ends.
        while not ending and process.poll() is None:
            ready, _, _ = select.select([lifeline], [], [], 0.5)
            if ready:
                try:
                    if not lifeline.recv(4096):
                        break
                except OSError:
                    break
        return 0
    finally:
        stop(process)
        try:
            lifeline.close()
        except OSError:
            pass
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
