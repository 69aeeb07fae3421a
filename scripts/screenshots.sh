#!/usr/bin/env bash
# Pictures of the program for the README: runs the demo (examples/demo.bat)
# under a virtual X server, keeps the windows open at the end and writes
# PNG screenshots of them into docs/images/:
#   main-window.png      the main window with the fraction map of A
#   spectrum.png         the analysis window's spectrum plot at one point
#   analyzer.png         the analysis window
#   batch.png            the batch window with its progress log
# Installs what it needs (Debian's xvfb, xdotool, imagemagick) and can be
# run again at any time; each run replaces the pictures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/bootstrap.sh" xvfb xdotool imagemagick
# The demo builds the program and makes the sample data when they are missing.
bash "$root/scripts/run.sh" >/dev/null

out="$root/docs/images"
mkdir -p "$out"
work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The demo without its "quit", then what the pictures show: the fraction
# map of A, the spectrum of one point and its fit, the analysis window.
mkdir -p "$work/demo-output"
ln -s "$root/sample-data" "$work/sample-data"
{
  grep -v '^quit' examples/demo.bat
  echo 'analyzer_show_window'
  echo 'analyzer_select_image_type 0 1'
  echo 'move_position 40 64'
  echo ':echo "screenshots ready"'
} >"$work/shots.bat"

# A display number no other X server holds.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
unset QT_QPA_PLATFORM
for _ in $(seq 50); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.2
done

(cd "$work" && exec "$root/build/src/lumacresta" -e -b shots.bat -x >"$work/lumacresta.log" 2>&1) &
app_pid=$!
for _ in $(seq 600); do
  grep -q 'echo screenshots ready' "$work/lumacresta.log" 2>/dev/null && break
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "The program ended before the pictures; see its log:" >&2
    cat "$work/lumacresta.log" >&2
    exit 1
  fi
  sleep 0.5
done
if ! grep -q 'echo screenshots ready' "$work/lumacresta.log"; then
  echo "The demo did not get to the pictures in time; see its log:" >&2
  tail -n 20 "$work/lumacresta.log" >&2
  exit 1
fi
sleep 2 # the last repaints

# Without a window manager, windows open at the top left over each other:
# each is raised and taken alone.
shot() {
  local title="$1" file="$2" id
  id="$(xdotool search --onlyvisible --name "^${title}\$" | head -n 1)"
  if [ -z "$id" ]; then
    echo "No window \"$title\" to take" >&2
    return 1
  fi
  xdotool windowmove "$id" 0 0 windowraise "$id"
  sleep 0.5
  import -window "$id" "$out/$file"
  echo "  docs/images/$file"
}
echo "Screenshots:"
# The batch window opens on its commands; the log shows what the run did.
batch_id="$(xdotool search --onlyvisible --name '^Batch$' | head -n 1)"
if [ -n "$batch_id" ]; then
  xdotool windowsize "$batch_id" 640 520 windowmove "$batch_id" 0 0 windowraise "$batch_id"
  sleep 0.5
  xdotool mousemove --window "$batch_id" 160 24 click 1
fi
shot "Lumacresta" main-window.png
shot "Analyzing Spectrum" spectrum.png
shot "Analyzer" analyzer.png
shot "Batch" batch.png
