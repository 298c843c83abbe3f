#!/bin/bash
# The launcher's face on a composited X screen, read back from screenshots.
# Along one row of the face, every pixel is checked against the artwork:
# where the picture is fully transparent the screen shows what it showed
# without the launcher, where it is opaque it shows the picture, and
# where it is partly transparent it shows the picture blended over what was
# beneath (what the screen shows there once the program, ended by its close
# button with exit code 0, has gone).
#   face-screenshot.sh MORVANE_EXE FACE_PNG WINERUN
# Needs DISPLAY (the session's X server) and xcompmgr, xdotool, xwininfo,
# ImageMagick.
set -u
exe=$1 face=$2 winerun=$3
row=600       # a row of the face below its title, left of the page area
span=600      # columns 0..span-1 of that row: clear of the page window
tolerance=6   # per channel, for rounding in the alpha recovery and blending

work=$(mktemp -d)
compositor='' program=''
finish() {
  if [ -n "$program" ] && kill -0 "$program" 2>/dev/null; then
    pkill -P "$program" 2>/dev/null
    kill "$program" 2>/dev/null
  fi
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAIL: $*"; exit 1; }

xcompmgr >/dev/null 2>&1 &
compositor=$!
sleep 0.5
kill -0 "$compositor" 2>/dev/null || fail "xcompmgr did not start"

cp "$exe" "$work/Morvane.exe"
(cd "$work" && exec bash "$winerun" Morvane.exe) >/dev/null 2>&1 &
program=$!

# The launcher is parked off-screen until its movie centres it.
window=''
for i in $(seq 1 150); do
  for id in $(LC_ALL=en_US.UTF-8 xdotool search --onlyvisible --name '^Morvane$' 2>/dev/null); do
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    x=$(awk '/Absolute upper-left X/{print $NF}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/{print $NF}' <<<"$info")
    w=$(awk '/^ *Width:/{print $NF}' <<<"$info")
    h=$(awk '/^ *Height:/{print $NF}' <<<"$info")
    if [ "$w" = 1506 ] && [ "$h" = 867 ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ]; then
      window=$id
      break 2
    fi
  done
  sleep 0.2
done
[ -n "$window" ] || fail "no launcher window on the screen"
echo "launcher at $x,$y ${w}x$h"

# Pixels of one row segment as "r g b a" lines, left to right.
pixels() {  # pixels IMAGE X Y
  convert "$1" -crop "${span}x1+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: *(\([^)]*\)).*/\1/p' | tr ',' ' ' |
    awk '{printf "%d %d %d %d\n", $1, $2, $3, (NF > 3 ? $4 : 255)}'
}
pixels "$face" 0 "$row" >"$work/face.txt"
[ "$(wc -l <"$work/face.txt")" = "$span" ] || fail "cannot read the artwork"

# The picture is composed once the movie has drawn: wait until the opaque
# parts of the row stop matching the empty screen.
for i in $(seq 1 25); do
  sleep 0.2
  import -window root "$work/shown.png"
  pixels "$work/shown.png" "$x" $((y + row)) >"$work/shown.txt"
  paste -d' ' "$work/face.txt" "$work/shown.txt" |
    awk '$4 == 255 && ($1 != $5 || $2 != $6 || $3 != $7) { wrong++ } END { exit wrong > 0 }' && break
done

# The close button, clicked on the screen, ends the program normally.
# A click can be lost to the X server while other tests' windows come and
# go beside this one; the button itself is proven by the input tests, so a
# lost click is tried again a few times here.
for attempt in 1 2 3; do
  LC_ALL=en_US.UTF-8 xdotool mousemove $((x + 1165)) $((y + 125)) sleep 0.1 mousedown 1 sleep 0.05 mouseup 1
  LC_ALL=en_US.UTF-8 xdotool mousemove 0 0
  for i in $(seq 1 25); do
    kill -0 "$program" 2>/dev/null || break 2
    sleep 0.2
  done
  echo "note: close click $attempt did not end the program yet"
done
kill -0 "$program" 2>/dev/null && fail "the close button did not end the program"
wait "$program"
code=$?
program=''
[ "$code" = 0 ] || fail "the program ended with exit code $code"

# What the compositor shows where the launcher was, once it has gone.
sleep 0.5
import -window root "$work/beneath.png"
pixels "$work/beneath.png" "$x" $((y + row)) >"$work/beneath.txt"

paste -d' ' "$work/face.txt" "$work/beneath.txt" "$work/shown.txt" | awk -v tol="$tolerance" '
  function abs(v) { return v < 0 ? -v : v }
  function near(a, b, c, d, e, f) { return abs(a - d) <= tol && abs(b - e) <= tol && abs(c - f) <= tol }
  {
    x = NR - 1
    r = $1; g = $2; b = $3; a = $4 / 255
    if ($4 == 0) {
      clear++
      if (!near($9, $10, $11, $5, $6, $7)) { bad++; if (bad <= 5) printf "x=%d transparent: shows %d,%d,%d, beneath %d,%d,%d\n", x, $9, $10, $11, $5, $6, $7 }
    } else if ($4 == 255) {
      solid++
      if (!near($9, $10, $11, r, g, b)) { bad++; if (bad <= 5) printf "x=%d opaque: shows %d,%d,%d, picture %d,%d,%d\n", x, $9, $10, $11, r, g, b }
    } else {
      er = r * a + $5 * (1 - a); eg = g * a + $6 * (1 - a); eb = b * a + $7 * (1 - a)
      if (!near($9, $10, $11, er, eg, eb)) { bad++; if (bad <= 5) printf "x=%d alpha %d: shows %d,%d,%d, blend %d,%d,%d\n", x, $4, $9, $10, $11, er, eg, eb }
      # Blending is proven where the blend differs clearly from what is
      # beneath, from the picture, and from the picture over black (which is
      # what an uncomposited layered window shows).
      if (abs(er - $5) + abs(eg - $6) + abs(eb - $7) > 40 && abs(er - r) + abs(eg - g) + abs(eb - b) > 40 &&
          abs(er - r * a) + abs(eg - g * a) + abs(eb - b * a) > 40) distinct++
      soft++
    }
  }
  END {
    printf "transparent %d, opaque %d, soft %d (distinct blends %d), wrong %d\n", clear, solid, soft, distinct, bad
    exit !(bad == 0 && clear >= 10 && solid >= 10 && distinct >= 3)
  }' || fail "the screen does not show the face as composed"
echo "PASS"
