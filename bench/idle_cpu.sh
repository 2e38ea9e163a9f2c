#!/usr/bin/env bash
# The editor's processor use while it waits for a key. Starts kov1 with the
# SDL back-end on a private Xvfb server, in an empty temporary folder, and
# prints the share of one core the process used (user + system time, from
# /proc/PID/stat) over 5 s each: at the title, at the warning box and in the
# main loop. Target: under 2 %. Not run by the tests.
#   bench/idle_cpu.sh [KOV1]        KOV1 defaults to build/kov1
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kov1=$(realpath "${1:-$top/build/kov1}")
seconds=5
work=$(mktemp -d)
xvfb="" editor=""

cleanup() {
  [[ -n "$editor" ]] && kill -9 "$editor" 2> /dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$(($1 * 10))
  shift
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  echo "idle_cpu.sh: gave up waiting for: $*" >&2
  exit 1
}

# Xvfb writes its display number to descriptor 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/display" > /dev/null 2>&1 &
xvfb=$!
wait_for 10 test -s "$work/display"
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY SDL_VIDEODRIVER=x11
unset WAYLAND_DISPLAY

mkdir "$work/folder"
(cd "$work/folder" && TRVGFX=sdl exec "$kov1" > /dev/null 2> "$work/stderr") &
editor=$!
# The journal is made once the window is set up (SDL may replace its first
# window while it sets up the renderer).
wait_for 30 test -s "$work/folder/image.img"
focus() {
  xdotool search --onlyvisible --pid "$editor" > "$work/window" 2> /dev/null &&
    xdotool windowfocus --sync "$(head -n1 "$work/window")" 2> /dev/null
}
wait_for 30 focus

# Clock ticks of user and system time so far (fields 14 and 15; the name in
# field 2 is cut off first, as it may hold blanks).
ticks() {
  sed 's/^.*) //' "/proc/$editor/stat" | awk '{ print $12 + $13 }'
}

measure() {
  local before after
  before=$(ticks)
  sleep "$seconds"
  after=$(ticks)
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v what="$1" \
    'BEGIN { printf "  %-34s %5.1f %%\n", what ":", 100 * t / (hz * s) }'
}

echo "kov1 waiting for a key, share of one core over $seconds s (user + system):"
sleep 4 # the tune, where there is a sound device
measure "title"
xdotool key space Escape
sleep 1
measure "warning box"
xdotool key Return
sleep 1
measure "main loop"
