#!/usr/bin/env bash
# One run of the demo as a Windows viewer meets it, inside the X server of the caller (Xvfb):
# the zip unpacked into an empty folder, quixo.exe started there under Wine and answered with
# xdotool.
#
#   demo_session.sh launcher|show|music ZIP FOLDER [missing|junk]
set -euo pipefail
check="$1" zip="$2" folder="$3"
music="${4:-}"

fail() {
  echo "demo_session $check: $*" >&2
  [ -f "$folder/output.txt" ] && sed 's/^/  quixo.exe: /' "$folder/output.txt" >&2
  exit 1
}

# Polls for a shown window with exactly this title; prints its id.
find_window() {  # TITLE SECONDS
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Waits for the demo to end; prints its exit status (or "running" at the deadline).
wait_exit() {  # SECONDS
  local deadline=$((SECONDS + $1))
  until [ -s "$folder/status" ]; do
    [ $SECONDS -lt $deadline ] || { echo running; return 0; }
    sleep 0.2
  done
  cat "$folder/status"
}

running() {
  [ ! -s "$folder/status" ]
}

press() {  # WINDOW KEY
  xdotool windowfocus --sync "$1" key --delay 50 "$2" >/dev/null 2>&1 || true
}

mkdir -p "$folder/demo"
cd "$folder/demo"
cmake -E tar xf "$zip"
[ -f quixo.exe ] && [ -f media_tessorin2012/music/music.xm ] && [ -f README.txt ] ||
  fail "the zip lacks quixo.exe, the music or README.txt: $(find . -type f)"
case "$music" in
  missing) rm media_tessorin2012/music/music.xm ;;
  junk) echo "not a module" >media_tessorin2012/music/music.xm ;;
esac

# The exit status lands in a file: the shell that waits for it is the one that started it.
(
  status=0
  wine quixo.exe >"$folder/output.txt" 2>&1 || status=$?
  echo "$status" >"$folder/status"
) &
trap 'wineserver -k 2>/dev/null || true' EXIT

launcher="$(find_window "Quix launch" 60)" || fail "no launcher window"
read -r width height < <(xwininfo -id "$launcher" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
# 190 x 120 client pixels inside a frame as wide on every side (the system's dialog frame).
frame=$(((width - 190) / 2))
[ "$width" = $((190 + 2 * frame)) ] && [ "$height" = $((120 + 2 * frame)) ] &&
  [ "$frame" -ge 0 ] && [ "$frame" -le 8 ] || fail "the launcher is ${width}x${height}"
# A point inside the start button.
start_x=$((140 + frame)) start_y=$((105 + frame))

case "$check" in
  launcher)
    press "$launcher" Escape
    status="$(wait_exit 20)"
    [ "$status" = 0 ] || fail "Escape in the launcher: exit status $status"
    ! find_window Quixo 1 >/dev/null || fail "a playback window appeared"
    ;;

  show)
    xdotool mousemove --window "$launcher" $start_x $start_y click 1
    show="$(find_window Quixo 120)" || fail "no playback window after Start"
    colours=1
    for _ in $(seq 30); do
      sleep 2
      import -silent -window "$show" "$folder/shot.png" 2>/dev/null || continue
      colours="$(convert "$folder/shot.png" -format %k info:)"
      [ "$colours" -gt 1 ] && break
    done
    [ "$colours" -gt 1 ] || fail "the playback window shows a single colour"
    press "$show" Escape
    status="$(wait_exit 30)"
    [ "$status" = 0 ] || fail "Escape in the show: exit status $status"
    ;;

  music)
    xdotool mousemove --window "$launcher" $start_x $start_y click 1
    # The line goes to stderr as the box opens; the box holds the program until it is answered.
    for _ in $(seq 600); do
      grep -q "the music file \"media_tessorin2012/music/music.xm\"" "$folder/output.txt" && break
      running || break
      sleep 0.2
    done
    grep -q "the music file \"media_tessorin2012/music/music.xm\"" "$folder/output.txt" ||
      fail "no message naming the music file"
    sleep 2
    running || fail "ended without waiting for the message box"
    box="$(xdotool getactivewindow 2>/dev/null || find_window Quixo 5)"
    press "$box" Return
    status="$(wait_exit 20)"
    [ "$status" = 1 ] || fail "after the message box: exit status $status"
    ;;
esac
