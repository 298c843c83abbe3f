#!/bin/bash
# The whole program with real pages: starts the demo portal on 127.0.0.1:80
# with a log, runs the real-pages test program under Wine with the log's
# path, and stops the portal. No browser process may be left afterwards.
#   real-pages.sh TEST_PROGRAM DEMO_SERVER WINERUN
set -u
program=$1 server=$2 winerun=$3
shift 3
work=$(mktemp -d)
server_pid=''
finish() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
/usr/bin/python3 "$server" --host 127.0.0.1 --port 80 --update-id 5 --log "$work/server.log" >"$work/server.out" 2>&1 &
server_pid=$!
for i in $(seq 1 100); do
  /usr/bin/python3 -c 'import socket,sys; s=socket.socket(); s.settimeout(0.2); sys.exit(0 if s.connect_ex(("127.0.0.1",80))==0 else 1)' && break
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.out"; echo "FAIL: the demo server did not start"; exit 1; }
  sleep 0.1
done
MORVANE_DEMO_LOG="Z:${work//\//\\}\\server.log" bash "$winerun" "$program" "$@" >"$work/out" 2>&1
rc=$?
cat "$work/out"
# Every engine ends with its program.
for i in $(seq 1 50); do pgrep -f 'morvane-engine\.' >/dev/null || break; sleep 0.2; done
if pgrep -f 'morvane-engine\.' >/dev/null; then
  echo "FAIL: a page engine outlived the program"; pgrep -af 'morvane-engine\.' | head -3; exit 1
fi
[ "$rc" = 0 ] && grep -q '^\[  PASSED  \]' "$work/out" && ! grep -q '^\[  FAILED  \]' "$work/out" || { echo "FAIL ($rc)"; exit 1; }
