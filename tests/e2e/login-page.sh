#!/bin/bash
# The launcher's page window asks the demo portal for the login page: the
# browser control in-place activates and navigates even where it cannot
# render (Wine has no HTML engine here), so the server's log shows the GET.
#   login-page.sh MORVANE_EXE DEMO_SERVER WINERUN
set -u
exe=$1 server=$2 winerun=$3
work=$(mktemp -d)
server_pid='' program=''
finish() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAIL: $*"; [ -f "$work/server.log" ] && cat "$work/server.log"; exit 1; }

python3 "$server" --host 127.0.0.1 --port 80 --update-id 5 --log "$work/server.log" >"$work/server.out" 2>&1 &
server_pid=$!
# The program asks once: the server must be listening before it starts.
for i in $(seq 1 100); do
  python3 - <<'PY' && break
import socket, sys
s = socket.socket(); s.settimeout(0.2)
sys.exit(0 if s.connect_ex(("127.0.0.1", 80)) == 0 else 1)
PY
  kill -0 "$server_pid" 2>/dev/null || fail "the demo server did not start: $(cat "$work/server.out")"
  sleep 0.1
done
mkdir -p "$work/app"
cp "$exe" "$work/app/Morvane.exe"
(cd "$work/app" && exec bash "$winerun" Morvane.exe) >/dev/null 2>&1 &
program=$!
# Slow machines run Wine through an emulator: allow minutes, not seconds.
for i in $(seq 1 1200); do
  grep -q 'GET /games/tlvx/duz/ ' "$work/server.log" 2>/dev/null && break
  kill -0 "$program" 2>/dev/null || fail "the launcher ended before the login page was asked for"
  sleep 0.1
done
grep -q 'GET /games/tlvx/duz/ ' "$work/server.log" 2>/dev/null || fail "the login page was never asked for"
echo "PASS: the page window asked for the login page"
