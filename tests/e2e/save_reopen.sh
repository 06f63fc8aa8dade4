#!/usr/bin/env bash
# End to end, as a user would: start the editor on a private X display, put three pins on the
# board with the mouse, save with Ctrl+S through the real file dialog, quit, start again, open
# the file with Ctrl+O and check that the pins are where they were: the same picture on screen,
# and a Save As of the reopened board that is byte for byte the file saved first.
#
# Usage: tests/e2e/save_reopen.sh [path/to/ferrowrit] [path/to/ferrowrit-cli]
# Exit 0 on success, 77 when Xvfb or xdotool is missing (ctest counts that as skipped).
# On failure a screenshot of the display is left in ${E2E_ARTIFACTS:-/tmp}.
set -euo pipefail

app=$(realpath "${1:-build/bin/ferrowrit}")
cli=$(realpath "${2:-build/bin/ferrowrit-cli}")
artifacts=${E2E_ARTIFACTS:-/tmp}

for tool in Xvfb xdotool import compare; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d /tmp/fw-e2e-XXXXXX)
xvfb_pid=""
app_pid=""
display=""

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$display" ]; then
    DISPLAY=":$display" import -window root "$artifacts/ferrowrit-e2e-failure.png" 2>/dev/null &&
      echo "screenshot: $artifacts/ferrowrit-e2e-failure.png" >&2
  fi
  for picture in before after diff; do
    [ -f "$work/$picture.png" ] && cp "$work/$picture.png" "$artifacts/ferrowrit-e2e-$picture.png"
  done
  [ -f "$work/app.log" ] && cp "$work/app.log" "$artifacts/ferrowrit-e2e-app.log"
  exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The program finds its projects folder beside itself, so it runs as a private copy.
prog="$work/prog"
mkdir -p "$prog/projects" "$prog/objects"
cp "$app" "$prog/ferrowrit"
projects="$prog/projects"

# A private display; Xvfb writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
display=$(head -n1 "$work/display")
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config"  # the recent files list stays out of the user's settings
unset WAYLAND_DISPLAY

main_window=""
start_app() {
  "$prog/ferrowrit" >"$work/app.log" 2>&1 &
  app_pid=$!
  main_window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ferrowrit 5\.0$' | head -n1) ||
    fail "the main window did not appear"
  xdotool windowraise "$main_window" windowfocus --sync "$main_window" || true
  sleep 0.5
}

# A visible top-level window of the program other than the main window (a dialog), if any.
dialog_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" != "$main_window" ] && [ -n "$(xdotool getwindowname "$w" 2>/dev/null)" ] && echo "$w" && return 0
  done
  return 1
}

# Types a file name into the file dialog that the last key opened and accepts it.
answer_file_dialog() {
  local name=$1 dialog
  wait_for 10 dialog_window >/dev/null || fail "no file dialog appeared"
  dialog=$(dialog_window)
  xdotool windowfocus --sync "$dialog" || true
  sleep 0.3
  xdotool type --delay 30 "$name"
  xdotool key Return
  wait_for 10 bash -c "! xdotool search --onlyvisible --pid $app_pid 2>/dev/null | grep -qvx $main_window" ||
    fail "the file dialog did not close"
}

# Sends keys to the main window. Without a window manager nothing gives the focus back to it
# when a dialog closes, so it is focused first.
press() {
  xdotool windowfocus --sync "$main_window" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

# Quits through File > Exit; the board is saved, so no question may stop it.
quit_app() {
  press alt+f
  sleep 0.3
  xdotool key x
  wait_for 10 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end after File > Exit"
  wait "$app_pid" || fail "the program ended with an error"
  app_pid=""
}

# The middle of the window lies inside the drawing area whatever the window's size.
centre() {
  eval "$(xdotool getwindowgeometry --shell "$main_window")"
  cx=$((X + WIDTH / 2))
  cy=$((Y + HEIGHT / 2))
}

# A 320 x 200 crop of the screen around the middle of the window: drawing area only.
screenshot_board() {
  centre
  import -window root -crop "320x200+$((cx - 160))+$((cy - 100))" +repage "$1"
}

pin_count() { od -An -tu2 -N2 "$1" | tr -d ' '; }

# --- first run: three pins, Ctrl+S, quit -----------------------------------------------------
start_app
centre
for offset in "-40 -20" "0 0" "40 20"; do
  set -- $offset
  xdotool mousemove --sync $((cx + $1)) $((cy + $2))
  sleep 0.1
  xdotool click 1
  sleep 0.2
done

press ctrl+s
answer_file_dialog e2eboard
saved="$projects/e2eboard.kvd"
wait_for 10 test -s "$saved" || fail "Ctrl+S did not write $saved"
[ "$(pin_count "$saved")" = 3 ] || fail "the saved file holds $(pin_count "$saved") pins, not 3"
if ! "$cli" info "$saved" >"$work/info.txt" 2>&1; then
  cat "$work/info.txt" >&2
  fail "ferrowrit-cli info refused the saved file"
fi
grep -Eiq 'pins?[^0-9]*3([^0-9]|$)' "$work/info.txt" || {
  cat "$work/info.txt" >&2
  fail "ferrowrit-cli info does not report 3 pins"
}

# The picture to compare with: a full redraw of the centred view (Goto Center, Ctrl+C).
press ctrl+c
sleep 0.5
screenshot_board "$work/before.png"
quit_app

# --- second run: Ctrl+O, compare, Save As, quit ----------------------------------------------
start_app
press ctrl+o
answer_file_dialog e2eboard.kvd
sleep 0.5
screenshot_board "$work/after.png"
difference=$(compare -metric AE "$work/before.png" "$work/after.png" "$work/diff.png" 2>&1 || true)
[ "$difference" = 0 ] || fail "the reopened board looks different ($difference pixels differ)"

press alt+f
sleep 0.3
xdotool key a
answer_file_dialog e2eboard2
resaved="$projects/e2eboard2.kvd"
wait_for 10 test -s "$resaved" || fail "Save As did not write $resaved"
cmp "$saved" "$resaved" || fail "the reopened board saves differently from the first save"
"$cli" dump "$saved" >"$work/dump1.txt" 2>&1 || fail "ferrowrit-cli dump refused $saved"
"$cli" dump "$resaved" >"$work/dump2.txt" 2>&1 || fail "ferrowrit-cli dump refused $resaved"
diff "$work/dump1.txt" "$work/dump2.txt" || fail "the dumps differ"
quit_app

echo "PASS: three pins saved, reopened and saved again unchanged"
