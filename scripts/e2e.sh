#!/usr/bin/env bash
# End-to-end run of the Windows program under Wine, in an X server of its own.
#
# Usage: scripts/e2e.sh <win-build-dir>
#   <win-build-dir>  an x86_64 mingw build tree holding Tarvello.exe and the
#                    driver tarvello_e2e.exe (tests/e2e).
# Environment:
#   TARVELLO_E2E_EXE        program to drive (default: Tarvello.exe of the build)
#   TARVELLO_E2E_SCENARIOS  comma-separated driver scenarios (default: links,start,ends,commands)
#   TARVELLO_E2E_NATIVE     native build tree holding tarvello_e2e_expect
#                           (default: <win-build-dir>/../native, configured if absent)
#   TARVELLO_E2E_DOCS=1     also copy the screenshots into docs/
#
# Everything lives under <win-build-dir>/e2e: the Wine prefix (made once and
# reused), the expectation file, logs and screenshots. The script starts one
# Xvfb on a free display and stops exactly that one, and the wineserver of its
# own prefix, on every exit path. Every wait is bounded.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { echo "usage: $0 <win-build-dir>" >&2; exit 2; }
WIN=$(cd "$1" && pwd)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WORK=$WIN/e2e
SHOTS=$WORK/shots
OPENED=$WORK/opened.txt
DATA=$ROOT/tests/data/capk_public.txt
SCENARIOS=${TARVELLO_E2E_SCENARIOS:-links,start,ends,commands}

say() { printf 'e2e: %s\n' "$*"; }
die() { printf 'e2e: FAIL: %s\n' "$*" >&2; exit 1; }

find_one() { # dir, name
  find "$1" -maxdepth 4 -name "$2" -type f -not -path "$WORK/*" | head -n 1
}

PROGRAM=${TARVELLO_E2E_EXE:-$(find_one "$WIN" Tarvello.exe)}
DRIVER=$(find_one "$WIN" tarvello_e2e.exe)
[ -n "$PROGRAM" ] && [ -f "$PROGRAM" ] || die "no Tarvello.exe under $WIN (build the Tarvello target)"
[ -n "$DRIVER" ] || die "no tarvello_e2e.exe under $WIN (build the tarvello_e2e target)"
case ",$SCENARIOS," in
  *,commands,*) NEED_EXPECT=1; [ -f "$DATA" ] || die "missing list file $DATA" ;;
  *) NEED_EXPECT=0 ;;
esac

mkdir -p "$WORK" "$SHOTS"
rm -f "$SHOTS"/*.req "$SHOTS"/*.done "$SHOTS"/*.png

# Expected values come from a native helper that computes them with GMP and
# OpenSSL from the same list file the program loads.
expectations() {
  local native=${TARVELLO_E2E_NATIVE:-$(dirname "$WIN")/native}
  if [ ! -f "$native/CMakeCache.txt" ]; then
    native=$WORK/native
    say "configuring a native tree for the expectation helper in $native"
    timeout 600 cmake -S "$ROOT" -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  timeout 900 cmake --build "$native" --target tarvello_e2e_expect -j 2 >/dev/null
  local tool
  tool=$(find "$native/tests/e2e" -name tarvello_e2e_expect -type f | head -n 1)
  [ -n "$tool" ] || die "tarvello_e2e_expect was not built"
  timeout 60 "$tool" "$DATA" "$WORK/expect.txt"
}

winpath() { # absolute unix path -> Wine's Z: drive
  printf 'Z:%s' "${1//\//\\}"
}

XVFB_PID=
PREFIX_USED=
cleanup() {
  local rc=$?
  set +e
  local pid
  for pid in "${SHOT_PID:-}" "${TAIL_PID:-}"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  if [ -n "$PREFIX_USED" ]; then
    WINEPREFIX=$PREFIX_USED timeout 30 "$WINESERVER" -k 2>/dev/null || true
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      if [ -S "/tmp/.X11-unix/X$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
        DISPLAY_NUM=$n
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    # lost a race for this display, or the server did not come up: next one
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  done
  die "no free X display in :90-:199"
}

prepare_prefix() {
  export WINEPREFIX=$WORK/prefix
  PREFIX_USED=$WINEPREFIX
  if [ ! -f "$WINEPREFIX/.tarvello-ready" ]; then
    say "creating Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    timeout 300 "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || die "wineboot failed (see $WORK/wineboot.log)"
    # Without a window manager Wine must draw its own frames and captions.
    timeout 60 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      >>"$WORK/wineboot.log" 2>&1 || die "could not set Managed=N"
    timeout 60 "$WINESERVER" -w || true
    touch "$WINEPREFIX/.tarvello-ready"
  fi
  # This Wine finds its own fonts (Marlett for the caption buttons, Tahoma,
  # MS Sans Serif) only in the prefix's Fonts folder.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # The main window's font is MS Gothic; IPAGothic has the same metrics, so the
  # template's boxes fit their texts as they do on Windows.
  local gothic=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
  if [ -f "$gothic" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/ipag.ttf" ]; then
    cp "$gothic" "$WINEPREFIX/drive_c/windows/Fonts/"
    timeout 60 "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Gothic' /t REG_SZ \
      /d IPAGothic /f >>"$WORK/wineboot.log" 2>&1 || die "could not map MS Gothic"
  fi
}

is_int() { [[ $1 =~ ^-?[0-9]+$ ]]; }

# Web addresses the program opens go to the driver's recording mode instead
# of a browser: "<driver> --record-open <file> <address>" appends to a file.
register_url_handler() {
  local command proto
  command="\"$(winpath "$DRIVER")\" --record-open \"$(winpath "$OPENED")\" \"%1\""
  for proto in http https; do
    timeout 60 "$WINE" reg add "HKCR\\$proto\\shell\\open\\command" /ve /t REG_SZ /d "$command" /f \
      >>"$WORK/wine.log" 2>&1 || die "could not register the address handler (see $WORK/wine.log)"
  done
}

# The driver asks for a screenshot by writing <name>.req ("x y w h" of the
# window on the screen) and waits for <name>.done.
serve_screenshots() {
  local req name geo x y w h
  while true; do
    for req in "$SHOTS"/*.req; do
      [ -e "$req" ] || continue
      name=$(basename "$req" .req)
      x= y= w= h=
      read -r x y w h < <(tr -d '\r' <"$req") || true
      geo=
      if is_int "$x" && is_int "$y" && is_int "$w" && is_int "$h" && ((w > 0 && h > 0)); then
        ((x < 0)) && x=0
        ((y < 0)) && y=0
        geo="-crop ${w}x${h}+${x}+${y} +repage"
      fi
      # shellcheck disable=SC2086
      timeout 30 import -display ":$DISPLAY_NUM" -window root $geo "$SHOTS/$name.png" \
        >>"$WORK/shots.log" 2>&1 || echo "import failed for $name" >>"$WORK/shots.log"
      rm -f "$req"
      : >"$SHOTS/$name.done"
    done
    sleep 0.2
  done
}

if [ "$NEED_EXPECT" = 1 ]; then
  expectations
  say "expectations written to $WORK/expect.txt"
fi
start_xvfb
export DISPLAY=:$DISPLAY_NUM WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
say "Xvfb on :$DISPLAY_NUM (pid $XVFB_PID)"
prepare_prefix
register_url_handler

serve_screenshots &
SHOT_PID=$!

say "driving $PROGRAM"
# Wine's own background processes inherit the driver's output, so it goes
# to a file (a pipe would stay open after the driver ends) and is shown as
# it grows.
: >"$WORK/driver.log"
tail -n +1 -f "$WORK/driver.log" &
TAIL_PID=$!
set +e
timeout -k 10 300 "$WINE" "$DRIVER" \
  --program "$(winpath "$PROGRAM")" \
  --expect "$(winpath "$WORK/expect.txt")" \
  --data "$(winpath "$DATA")" \
  --shots "$(winpath "$SHOTS")" \
  --opened "$(winpath "$OPENED")" \
  --scenarios "$SCENARIOS" >"$WORK/driver.log" 2>&1
rc=$?
set -e
sleep 0.5
kill "$TAIL_PID" 2>/dev/null || true
wait "$TAIL_PID" 2>/dev/null || true
TAIL_PID=

if [ "$rc" -ne 0 ]; then
  timeout 30 import -display ":$DISPLAY_NUM" -window root "$SHOTS/failure.png" 2>/dev/null || true
  die "driver exited with $rc; screen saved as $SHOTS/failure.png, log in $WORK/driver.log"
fi

if [ "${TARVELLO_E2E_DOCS:-0}" = 1 ]; then
  for s in main loaded; do
    [ -f "$SHOTS/screenshot-$s.png" ] && cp "$SHOTS/screenshot-$s.png" "$ROOT/docs/screenshot-$s.png"
  done
  say "screenshots copied to $ROOT/docs"
fi
say "passed; screenshots in $SHOTS"
