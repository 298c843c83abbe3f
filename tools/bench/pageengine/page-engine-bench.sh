#!/bin/bash
# Serves the bench page (its colour from ?c=RRGGBB, red once pressed) and the
# demo portal's login page on a loopback port, and runs the page engine
# benchmark under Wine in a session.
#   tools/bench/pageengine/page-engine-bench.sh BENCH_EXE [RUNS]
set -eu
root=$(cd "$(dirname "$0")/../../.." && pwd)
exe=$1 runs=${2:-15}
work=$(mktemp -d)
cat >"$work/bench.html" <<'HTML'
<!DOCTYPE html><html><head><meta charset="utf-8"><style>html,body{margin:0;height:100%}</style></head>
<body><script>
var c = (location.search.match(/c=([0-9a-f]{6})/) || [0, "204080"])[1];
document.body.style.background = "#" + c;
var red = false;
document.addEventListener("mousedown", function () {
  red = !red;
  document.body.style.background = red ? "#c01010" : "#" + c;
});
</script></body></html>
HTML
/usr/bin/python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work" >"$work/server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
port=''
for i in $(seq 1 100); do
  port=$(grep -o 'port [0-9]*' "$work/server.out" | head -1 | cut -d' ' -f2 || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.out"; echo "the page server did not start" >&2; exit 1; }
# The login page as the portal serves it (its links point at this server).
PYTHONPATH="$root/tools/demo-server" /usr/bin/python3 -c \
  'import sys, demo_server; sys.stdout.buffer.write(demo_server.login_page(sys.argv[1]))' \
  "http://127.0.0.1:$port" >"$work/login.html"
source "$root/tools/wine/flavour"
source "$root/tools/wine/session"
wine_session_start "$root/build/wineprefix" >/dev/null
MORVANE_BENCH_PAGE="http://127.0.0.1:$port/bench.html" MORVANE_BENCH_LOGIN="http://127.0.0.1:$port/login.html" \
  "$root/tools/wine/winerun" "$exe" "$runs" || true
wine_session_stop
