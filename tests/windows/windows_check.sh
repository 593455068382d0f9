#!/usr/bin/env bash
# The Windows programs under Wine, against the Linux ones:
#
#   windows_check.sh CHECK WINDOWS_BUILD LINUX_TOOL WORK [ARGS...]
#
# CHECK is one of
#   prefix              makes the Wine prefix in WORK that the other checks share (once per run)
#   same-output ARGS    quixo-tool.exe ARGS prints exactly what the Linux quixo-tool prints
#   shaders             every shader entry compiles, as on Linux
#   render FRAME        the frame at 320x180 matches the Linux render (mean error <= 0.01)
#   dlls                quixo.exe and quixo-tool.exe import only the system's own DLLs
#   launcher            the unzipped demo: the launcher at its size; Escape ends it with 0
#   show                the unzipped demo: Start plays the show; the window is not flat;
#                       Escape ends it with 0
#   music missing|junk  the music file missing or no module: a message box naming the file,
#                       then exit status 1
# Windows programs with windows (and the tool's OpenGL) run in an Xvfb of their own.
set -euo pipefail
check="$1" windows="$2" linux_tool="$3" work="$4"
shift 4
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export SDL_AUDIODRIVER=dummy
tool_exe="$windows/tools/quixo-tool/quixo-tool.exe"
zip="$windows/quixo-windows.zip"
scratch="$(mktemp -d "$work/check.XXXXXX")"
# Each check has a copy of the run's prefix, and so a Wine server and desktop of its own, bound
# to its own X server: checks run side by side.
if [ "$check" = prefix ]; then
  export WINEPREFIX="$work/wine-prefix"
else
  cp -a "$work/wine-prefix" "$scratch/prefix"
  export WINEPREFIX="$scratch/prefix"
fi
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT

fail() {
  echo "windows_check $check: $*" >&2
  exit 1
}

# The command line in a fresh 1280x1024 Xvfb.
in_xvfb() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
}

case "$check" in
  prefix)
    rm -rf "$WINEPREFIX"
    wineboot --init >"$work/wine-prefix.log" 2>&1 || fail "wineboot failed: $(cat "$work/wine-prefix.log")"
    wineserver -w
    ;;

  same-output)
    # Run from the build folders, where each finds its music.
    (cd "$(dirname "$linux_tool")/../.." && "$linux_tool" "$@") >"$scratch/linux.txt"
    (cd "$windows" && wine "$tool_exe" "$@") >"$scratch/windows.txt" || fail "quixo-tool.exe $* failed"
    cmp -s "$scratch/linux.txt" "$scratch/windows.txt" ||
      fail "quixo-tool.exe $* prints otherwise: $(diff "$scratch/linux.txt" "$scratch/windows.txt" | head -5)"
    ;;

  shaders)
    "$linux_tool" shaders >"$scratch/linux.json"
    in_xvfb wine "$tool_exe" shaders >"$scratch/windows.json" || fail "quixo-tool.exe shaders failed"
    python3 - "$scratch/linux.json" "$scratch/windows.json" <<'EOF' || fail "the entries differ"
import json, sys
linux, windows = (json.load(open(p)) for p in sys.argv[1:3])
entries = lambda r: [(e["name"], e["ok"]) for e in r["vertex"] + r["pixel"]]
bad = [e for e in entries(windows) if not e[1]]
if bad or entries(windows) != entries(linux):
    sys.exit(f"failed or different entries: {bad or entries(windows)}")
EOF
    ;;

  render)
    frame="$1"
    (cd "$(dirname "$linux_tool")/../.." &&
       "$linux_tool" render --frame "$frame" --size 320x180 --out "$scratch/linux.png") >/dev/null
    # Wine's drive Z: is the root folder.
    out="Z:${scratch//\//\\}\\windows.png"
    (cd "$windows" && in_xvfb wine "$tool_exe" render --frame "$frame" --size 320x180 \
       --out "$out") >/dev/null || fail "render $frame failed"
    error="$(compare -metric MAE "$scratch/linux.png" "$scratch/windows.png" null: 2>&1 || true)"
    error="${error#*(}" error="${error%)*}"
    awk -v e="$error" 'BEGIN { exit !(e + 0 == e && e <= 0.01) }' ||
      fail "frame $frame differs from the Linux render: normalised mean error $error"
    echo "frame $frame: normalised mean error $error"
    ;;

  dlls)
    # What Windows itself ships; anything else would have to lie beside the program.
    system="kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 imm32 winmm version setupapi
            msvcrt opengl32 glu32 comdlg32 comctl32 cfgmgr32 ws2_32 dwmapi uxtheme"
    for exe in "$windows/quixo.exe" "$tool_exe"; do
      for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $(echo $system) " in
          *" ${dll%.dll} "*) ;;
          *) fail "$(basename "$exe") needs $dll, which Windows does not ship" ;;
        esac
      done
    done
    ;;

  launcher | show | music)
    in_xvfb "$(dirname "$0")/demo_session.sh" "$check" "$zip" "$scratch" "$@"
    ;;

  *)
    fail "no such check"
    ;;
esac
