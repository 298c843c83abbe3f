#!/bin/bash
# Draws the application icon (a violet gem on a dark disc) at 16, 32 and 48 pixels.
#   make-icon.sh OUT.ico
set -eu
out=$1
tmp=$(mktemp -d)
for s in 48 32 16; do
  convert -size 256x256 xc:none \
    -fill '#1b1030' -draw 'circle 128,128 128,8' \
    -fill '#e0b050' -draw 'circle 128,128 128,20' \
    -fill '#2a1646' -draw 'circle 128,128 128,30' \
    -fill '#9b59ff' -draw 'polygon 128,52 196,120 128,208 60,120' \
    -fill '#d6b8ff' -draw 'polygon 128,52 160,120 128,120 96,120' \
    -fill '#6a2bd0' -draw 'polygon 128,208 160,120 196,120' \
    -resize ${s}x${s} "$tmp/icon$s.png"
done
convert "$tmp/icon48.png" "$tmp/icon32.png" "$tmp/icon16.png" "$out"
rm -rf "$tmp"
