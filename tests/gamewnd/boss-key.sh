#!/bin/bash
# The boss key pressed on the X server's keyboard, as a player presses it:
# runs the game window test that waits for it and presses Ctrl+Shift+B when
# the test asks, once to hide the game and once to bring it back.
#   boss-key.sh TEST_PROGRAM WINERUN
set -u
program=$1 winerun=$2
work=$(mktemp -d)
runner=''
finish() {
  [ -n "$runner" ] && kill "$runner" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

MORVANE_KEY_SIGNALS="Z:${work//\//\\}" bash "$winerun" "$program" --gtest_also_run_disabled_tests \
  --gtest_filter='GameWindow.DISABLED_TheBossKeyOnTheKeyboardHidesTheGameAndBringsItBack' >"$work/out" 2>&1 &
runner=$!
for signal in press-to-hide press-to-show; do
  for i in $(seq 1 600); do
    [ -f "$work/$signal" ] && break
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.1
  done
  [ -f "$work/$signal" ] || { cat "$work/out"; echo "FAIL: the test never asked for $signal"; exit 1; }
  xdotool key ctrl+shift+b
done
wait "$runner"
rc=$?
runner=''
cat "$work/out"
grep -q '\[  PASSED  \] 1 test' "$work/out" || { echo "FAIL: rc $rc"; exit 1; }
