#!/usr/bin/env bash
# Starts the editor under Xvfb at 1024x768 and 1920x1080 and saves a
# screenshot of each in shots/ (or the folder given as the first argument).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/shots}
bin=${VXARB_BIN:-$here/build/vxarb}
mkdir -p "$out"
for size in 1024x768 1920x1080; do
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    DISPLAY=$display "$bin" &
    app=$!
    sleep "${SHOT_DELAY:-3}"
    DISPLAY=$display import -window root "$out/vxarb-$size.png"
    kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    echo "$out/vxarb-$size.png"
done
