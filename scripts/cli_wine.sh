#!/usr/bin/env bash
# The x86_64 tarvello-cli.exe under Wine agrees with the native tarvello-cli:
# the same standard output (CR LF read as LF) and the same exit status, for
# `verify` of the published CA keys (alone, in the tsv form with --json, and
# a tlv list against a pm3 reference), `convert` between forms, `recover
# issuer` of a published issuer certificate (text and --json), `oda` of the
# published traces of tests/data (the DDA card: text and --json, the trace
# read from a file and from standard input, and with an ODA record byte
# changed, its diagnosis; the contactless fDDA card: text, --json, and
# failed), `trace` of the DDA card (text, --json with its ODA), and the HTML
# report both write, byte for byte.
#
# Usage: scripts/cli_wine.sh <win-x86_64-build-dir> <native-build-dir>
#   both trees must hold a built tarvello-cli (cmake --build ... --target tarvello-cli).
#
# A console program needs no X server. The Wine prefix lives under
# <win-x86_64-build-dir>/cli-wine (made once, then reused); its wineserver is
# stopped on every exit path.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 <win-x86_64-build-dir> <native-build-dir>" >&2; exit 2; }
WIN=$(cd "$1" && pwd)
NATIVE=$(cd "$2" && pwd)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
EXE=$WIN/cli/tarvello-cli.exe
CLI=$NATIVE/cli/tarvello-cli
CHAINS=tests/data/emv_published_chains.txt

say() { printf 'cli-wine: %s\n' "$*"; }
die() { printf 'cli-wine: FAIL: %s\n' "$*" >&2; exit 1; }

[ -f "$EXE" ] || die "no $EXE (build the tarvello-cli target of the x86_64 tree)"
[ -x "$CLI" ] || die "no $CLI (build the tarvello-cli target of the native tree)"

export WINEPREFIX=$WIN/cli-wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
stop_wine() { timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "making the Wine prefix $WINEPREFIX"
  timeout 300 "$WINE" wineboot -i >/dev/null 2>&1 || die "wineboot -i failed"
fi

# Both programs run in the source tree and are given the same relative paths.
cd "$ROOT"
# value NAME: NAME's value in the published chain "long" (its CA key is one of
# capk_public.txt).
value() { awk -v n="$1" '/^chain /{c=$2} c=="long" && $1==n {print $2}' "$CHAINS"; }

# compare NAME ARGS...: runs both programs and compares output and status;
# with INPUT=FILE, each reads FILE on standard input.
compare() {
  local name=$1; shift
  local input=${INPUT:-/dev/null}
  local native_out wine_out native_rc=0 wine_rc=0
  native_out=$("$CLI" "$@" <"$input") || native_rc=$?
  wine_out=$(timeout 120 "$WINE" "$EXE" "$@" <"$input" | tr -d '\r') || wine_rc=$?
  [ -n "$native_out" ] || die "$name: the native program printed nothing"
  # Wine has been seen to lose the end of a long output written to a pipe
  # (the last line of 2000): a difference is looked at again once, and said.
  if [ "$native_out" != "$wine_out" ]; then
    say "$name: outputs differ; running it under Wine once more"
    wine_rc=0
    wine_out=$(timeout 120 "$WINE" "$EXE" "$@" <"$input" | tr -d '\r') || wine_rc=$?
  fi
  if [ "$native_out" != "$wine_out" ]; then
    diff <(printf '%s\n' "$native_out") <(printf '%s\n' "$wine_out") >&2 || true
    die "$name: outputs differ (native <, Wine >)"
  fi
  [ "$native_rc" -eq "$wine_rc" ] || die "$name: exit status $native_rc native, $wine_rc under Wine"
  say "$name: same output ($(printf '%s\n' "$native_out" | wc -l) lines), exit status $native_rc"
}

compare "verify" verify tests/data/capk_public.txt
compare "verify --json, tsv form" verify --json --date 261209 tests/data/capk_tsv_published.txt
compare "verify --reference" verify --date 261209 tests/data/capk_tlv_published.txt \
  --reference tests/data/capk_pm3_published.txt
compare "convert tlv to json" convert --date 261209 tests/data/capk_tlv_published.txt --to json
compare "convert tarvello to pm3" convert tests/data/capk_public.txt --to pm3
recover=(recover issuer --capks tests/data/capk_public.txt --key "$(value ca_rid)_$(value ca_index)"
  --cert "$(value issuer_cert)" --exponent "$(value issuer_exponent)" --pan "$(value pan)"
  --date 261209)
compare "recover issuer" "${recover[@]}"
compare "recover issuer --json" "${recover[@]}" --json
oda=(oda --capks tests/data/capk_emvpt_test.txt)
compare "oda" "${oda[@]}" tests/data/trace_emvpt_dda.txt
INPUT=tests/data/trace_emvpt_dda.txt compare "oda --json" "${oda[@]}" --json -
changed=$WIN/cli-wine-changed-trace.txt
sed 's/9F 07 02 FF 80/9F 07 02 FF 00/' tests/data/trace_emvpt_dda.txt >"$changed"
INPUT=$changed compare "oda, a record changed" "${oda[@]}" -
INPUT=$changed compare "oda --json, a record changed" "${oda[@]}" --json -
fdda=(oda --capks tests/data/capk_public.txt --date 190819)
compare "oda fDDA" "${fdda[@]}" tests/data/trace_visa_fdda.txt
compare "oda fDDA --json" "${fdda[@]}" --json tests/data/trace_visa_fdda.txt
# The same tap with a signed amount byte changed: fails, with the reader's action.
sed 's/00 00 00 00 02 00 08 40 AB/00 00 00 00 03 00 08 40 AB/' tests/data/trace_visa_fdda.txt \
  >"$WIN/fdda_changed.txt"
INPUT=$WIN/fdda_changed.txt compare "oda fDDA failed" "${fdda[@]}" -
trace=(trace tests/data/trace_emvpt_dda.txt)
compare "trace" "${trace[@]}"
compare "trace --json --capks" "${trace[@]}" --json --capks tests/data/capk_emvpt_test.txt
# The report: written by each into the Wine tree (a path both can open).
report_dir=$WIN/cli-wine-reports
mkdir -p "$report_dir"
rm -f "$report_dir"/*.html
"$CLI" "${trace[@]}" --capks tests/data/capk_emvpt_test.txt --html "$report_dir/native.html" >/dev/null
timeout 120 "$WINE" "$EXE" "${trace[@]}" --capks tests/data/capk_emvpt_test.txt \
  --html "$report_dir/wine.html" >/dev/null || die "trace --html: Wine's run failed"
cmp "$report_dir/native.html" "$report_dir/wine.html" || die "trace --html: the reports differ"
say "trace --html: the same report ($(wc -c <"$report_dir/native.html") bytes)"
say "passed"
