#!/usr/bin/env bash
# The README's run command as a newcomer meets it, on a machine without a display: scripts/run
# (set-up, build, start) inside a private X server, until the launcher shows; then Escape
# answers it and the command must end with status 0. For fresh-machine checks:
#   ../shared/tools/fresh-machine 'scripts/test && tests/e2e/check_run_command.sh'
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# xvfb-run and xdotool come with the project's packages.
"$root/scripts/setup"
export SDL_NO_SIGNAL_HANDLERS=1 SDL_AUDIODRIVER=dummy

exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$0/scripts/run" &
  run=$!
  window=""
  # The first build on a small machine takes minutes before the launcher can show.
  for _ in $(seq 1800); do
    window=$(xdotool search --onlyvisible --name "^Quix launch$" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$run" 2>/dev/null || break
    sleep 1
  done
  if [ -z "$window" ]; then
    echo "check_run_command: the launcher never showed" >&2
    kill "$run" 2>/dev/null || true
    exit 1
  fi
  echo "check_run_command: the launcher is up (window $window); pressing Escape" >&2
  xdotool windowfocus --sync "$window" key Escape
  set +e
  wait "$run"
  status=$?
  echo "check_run_command: scripts/run exited with status $status" >&2
  exit $status
' "$root"
