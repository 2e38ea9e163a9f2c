#!/usr/bin/env bash
# The editor's processor use while it waits for a key. Starts kov1 with the
# SDL back-end on a private Xvfb server, in an empty temporary folder, and
# prints the share of one core its threads used (from their schedstat) and
# how often they woke (their voluntary context switches) over 5 s each: at
# the title, at the warning box and in the main loop, then with the mouse
# pointer resting over the window, and zoomed 4 times. It does so twice: with
# the sound
# this machine has, and with SDL's silent sound driver, which stands for a
# sound device. Targets: at most 0.3 % and 5 wake-ups a second. Not run by
# the tests.
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

# Each thread as "TID SWITCHES NANOSECONDS": its voluntary context switches
# and the processor time it has used (the first field of its schedstat).
threads() {
  for task in /proc/"$editor"/task/*; do
    echo "${task##*/} $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status" 2> /dev/null)" \
      "$(awk '{ print $1 }' "$task/schedstat" 2> /dev/null)"
  done
}

# Threads present at both ends count their difference; a thread that came
# meanwhile counts from 0, one that went is not counted.
measure() {
  threads > "$work/before"
  sleep "$seconds"
  threads > "$work/after"
  awk -v s="$seconds" -v what="$1" '
    NR == FNR { w[$1] = $2; t[$1] = $3; next }
    { woke += $2 - w[$1]; ns += $3 - t[$1] }
    END { printf "  %-14s %5.2f %% of a core, %6.1f wake-ups/s\n", what ":", ns / (s * 1e7), woke / s }
  ' "$work/before" "$work/after"
}

focus() {
  xdotool search --onlyvisible --pid "$editor" > "$work/window" 2> /dev/null &&
    xdotool windowfocus --sync "$(head -n1 "$work/window")" 2> /dev/null
}

# One run of the editor, with the environment settings given.
run() {
  rm -rf "$work/folder"
  mkdir "$work/folder"
  (cd "$work/folder" && exec env "$@" TRVGFX=sdl "$kov1" > /dev/null 2> "$work/stderr") &
  editor=$!
  # The journal is made once the window is set up (SDL may replace its first
  # window while it sets up the renderer).
  wait_for 30 test -s "$work/folder/image.img"
  wait_for 30 focus
  sleep 4 # the tune
  measure "title"
  xdotool key space Escape
  sleep 1
  measure "warning box"
  xdotool key Return
  sleep 1
  measure "main loop"
  xdotool mousemove --window "$(head -n1 "$work/window")" 300 300
  sleep 1
  measure "pointer resting"
  xdotool key ctrl+equal ctrl+equal ctrl+equal
  sleep 1
  measure "zoomed 4x, resting"
  kill -9 "$editor" 2> /dev/null
  wait "$editor" 2> /dev/null || true
  editor=""
}

echo "kov1 waiting for a key, over $seconds s each:"
echo " with this machine's sound${SDL_AUDIODRIVER:+ (SDL_AUDIODRIVER=$SDL_AUDIODRIVER)}:"
run
echo " with SDL_AUDIODRIVER=dummy:"
run SDL_AUDIODRIVER=dummy
