#!/usr/bin/env bash
# Builds the Windows program and starts it. On Windows (Git Bash/MSYS) it runs
# the built Tarvello.exe directly; on Linux it runs the x86_64 build under
# Wine, which needs a display.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TARVELLO_BUILD_DIR:-$ROOT/build}
ARCH=x86_64
EXE="$BUILD/win-$ARCH/ui/Tarvello.exe"

"$ROOT/scripts/test.sh" deps >/dev/null
cmake -S "$ROOT" -B "$BUILD/win-$ARCH" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$ARCH.cmake" >/dev/null
cmake --build "$BUILD/win-$ARCH" -j "$(nproc)" --target Tarvello

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) exec "$EXE" ;;
esac

if [ -z "${DISPLAY:-}" ]; then
  echo "Tarvello is a Windows program and needs a display to show its window." >&2
  echo "No DISPLAY is set. Run it from a desktop session, or with a virtual display:" >&2
  echo "  xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

export WINEPREFIX=${WINEPREFIX:-$BUILD/wine-run}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing a Wine prefix in $WINEPREFIX (once) ..."
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  # The window's font is MS Gothic; IPAGothic has its metrics.
  gothic=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
  if [ -f "$gothic" ]; then
    cp "$gothic" "$WINEPREFIX/drive_c/windows/Fonts/"
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Gothic' \
      /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  fi
  cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
exec /usr/lib/wine/wine64 "$EXE"
