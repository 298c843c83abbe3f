#!/usr/bin/env python3
"""httpget against curl on one large file from nginx on loopback.

Prints the median of several runs of each (taken alternately, in the same
run of this script), the ratio, and checks the SHA-256 of every output.
With --httpget-exe it also times the win32 probe under Wine.
"""
import argparse
import hashlib
import os
import random
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def start_nginx(prefix, root):
    for _ in range(20):
        host = "127.0.0.%d" % random.randint(2, 254)
        conf = os.path.join(prefix, "nginx.conf")
        os.makedirs(os.path.join(prefix, "logs"), exist_ok=True)
        with open(conf, "w") as f:
            f.write("daemon off; master_process off; worker_processes 1; user root;\n"
                    "pid %s/nginx.pid; error_log %s/logs/error.log;\n"
                    "events { worker_connections 64; }\n"
                    "http { access_log off; sendfile on; default_type application/octet-stream;\n"
                    "  client_body_temp_path %s/b; proxy_temp_path %s/p; fastcgi_temp_path %s/f;\n"
                    "  uwsgi_temp_path %s/u; scgi_temp_path %s/s;\n"
                    "  server { listen %s:80; root %s; } }\n"
                    % (prefix, prefix, prefix, prefix, prefix, prefix, prefix, host, root))
        proc = subprocess.Popen(["/usr/sbin/nginx", "-p", prefix + "/", "-c", conf],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(300):
            if proc.poll() is not None:
                break
            try:
                socket.create_connection((host, 80), timeout=0.2).close()
                return proc, host
            except OSError:
                time.sleep(0.01)
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    raise SystemExit("nginx did not start")


def timed(command, output, expected, env=None):
    if os.path.exists(output):
        os.remove(output)
    start = time.perf_counter()
    rc = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env).returncode
    seconds = time.perf_counter() - start
    if rc != 0:
        raise SystemExit("%s exited with %d" % (command[0], rc))
    if sha256(output) != expected:
        raise SystemExit("%s: SHA-256 of the output differs" % command[0])
    return seconds


def report(name, times, reference):
    median = statistics.median(times)
    mib_s = args.size / median
    ratio = reference / median
    print("%-22s median %7.3f s  (%7.1f MiB/s)  runs %s  speed vs curl %.2fx"
          % (name, median, mib_s, " ".join("%.3f" % t for t in times), ratio))


ap = argparse.ArgumentParser(description=__doc__)
ap.add_argument("--httpget", required=True, help="the native httpget (Release, no sanitizers)")
ap.add_argument("--httpget-exe", help="the win32 httpget.exe, run under Wine")
ap.add_argument("--wineprefix", help="a win32 Wine prefix (created when missing)")
ap.add_argument("--size", type=int, default=64, help="MiB (default 64)")
ap.add_argument("--runs", type=int, default=5)
args = ap.parse_args()

work = tempfile.mkdtemp(prefix="morvane-bench-")
nginx = None
try:
    root = os.path.join(work, "www")
    os.makedirs(root)
    source = os.path.join(root, "big.bin")
    with open(source, "wb") as f:
        for _ in range(args.size):
            f.write(os.urandom(1 << 20))
    expected = sha256(source)
    nginx, host = start_nginx(os.path.join(work, "nginx"), root)
    url = "http://%s/big.bin" % host
    out = os.path.join(work, "out.bin")

    # One warm-up of each, so the page cache and nginx are in the same state for both.
    timed(["curl", "-s", "-o", out, url], out, expected)
    timed([args.httpget, url, out], out, expected)
    curl, native = [], []
    for _ in range(args.runs):
        curl.append(timed(["curl", "-s", "-o", out, url], out, expected))
        native.append(timed([args.httpget, url, out], out, expected))
    reference = statistics.median(curl)
    print("file %d MiB from nginx at %s, %d runs each, SHA-256 checked" % (args.size, host, args.runs))
    report("curl -o", curl, reference)
    report("httpget (native)", native, reference)

    if args.httpget_exe:
        # tools/wine/flavour, sourced by the caller, picks the prefix kind and loader.
        env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        loader = env.get("WINELOADER", "wine")
        env["WINEPREFIX"] = args.wineprefix or os.path.join(work, "wineprefix")
        subprocess.run(["wineserver", "-p"], env=env, stderr=subprocess.DEVNULL)
        subprocess.run([loader, "cmd", "/c", "exit"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wine_out = "Z:" + out.replace("/", "\\")
        command = [loader, args.httpget_exe, url, wine_out]
        timed(command, out, expected, env)
        wine = [timed(command, out, expected, env) for _ in range(args.runs)]
        report("httpget.exe (Wine)", wine, reference)
        if not args.wineprefix:
            subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
finally:
    if nginx:
        nginx.send_signal(signal.SIGTERM)
        nginx.wait()
    shutil.rmtree(work, ignore_errors=True)
