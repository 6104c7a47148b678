#!/usr/bin/env bash
# Runs every test of Tarvello, installing what it needs on Debian 12 (each
# stage its own packages: scripts/deps.sh):
#   native build (g++) + unit and window tests,
#   the libraries and their tests as 32-bit x86 code under qemu-i386 (GMP
#   and the tests' own SHA-1 as oracles: no i386 OpenSSL),
#   the same suite under ASan + UBSan (clang, leaks checked),
#   the fuzzers, FUZZ_TOTAL_SECONDS (default 420) shared out among them
#   (or FUZZ_SECONDS each),
#   the Windows cross-builds (i686 and x86_64),
#   the release packages, built twice to show they are reproducible,
#   the end-to-end run of the x86_64 program under Wine in Xvfb, and the
#   x86_64 tarvello-cli.exe under Wine compared with the native one.
# Usage: scripts/test.sh [stage ...]   stages: deps lint native i386 asan fuzz cross package e2e
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TARVELLO_BUILD_DIR:-$ROOT/build}
FUZZ_TOTAL_SECONDS=${FUZZ_TOTAL_SECONDS:-420}
JOBS=$(nproc)

# shellcheck source=scripts/deps.sh
. "$ROOT/scripts/deps.sh"

say() { printf '\n=== %s\n' "$*"; }

# Every stage installs its own packages first (a no-op when deps has run).
stage_deps() {
  say "packages of every stage"
  need_all
}

configure_build() { # dir, cmake args...
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

stage_lint() {
  need_stage lint
  say "conventions"
  "$ROOT/scripts/lint.sh"
  say "install logic against a stub apt-get"
  "$ROOT/tests/scripts/deps_test.sh"
}

stage_native() {
  need_stage native
  say "native build and tests (g++)"
  configure_build "$BUILD/native" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
  ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS"
}

stage_i386() {
  need_stage i386
  say "32-bit x86 build of the libraries and their tests, run under qemu-i386"
  configure_build "$BUILD/i386" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/linux-i386.cmake" \
    -DTARVELLO_WINDOW=OFF -DTARVELLO_CLI=OFF
  ctest --test-dir "$BUILD/i386" --output-on-failure -j "$JOBS"
}

stage_asan() {
  need_stage asan
  say "ASan + UBSan build and tests (clang), with the fuzz targets"
  configure_build "$BUILD/asan" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DTARVELLO_SANITIZE=ON -DTARVELLO_FUZZ=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$BUILD/asan" --output-on-failure -j "$JOBS"
}

stage_fuzz() {
  need_stage fuzz
  [ -d "$BUILD/asan/tests/fuzz" ] || stage_asan
  local f name corpus targets=()
  for f in "$BUILD"/asan/tests/fuzz/fuzz_*; do
    [ -x "$f" ] && targets+=("$f")
  done
  [ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets in $BUILD/asan/tests/fuzz" >&2; return 1; }
  # A new target shares the stage's time rather than lengthening it.
  local seconds=${FUZZ_SECONDS:-$((FUZZ_TOTAL_SECONDS / ${#targets[@]}))}
  say "fuzzing, ${seconds}s for each of ${#targets[@]} targets"
  for f in "${targets[@]}"; do
    name=$(basename "$f")
    corpus="$BUILD/fuzz-corpus/$name"
    mkdir -p "$corpus"
    local seeds=()
    [ -d "$ROOT/tests/fuzz/corpus/$name" ] && seeds+=("$ROOT/tests/fuzz/corpus/$name")
    say "$name"
    (cd "$BUILD" && ASAN_OPTIONS=detect_leaks=1 "$f" -max_total_time="$seconds" \
      -print_final_stats=1 "$corpus" "${seeds[@]}" 2>&1 | tail -n 12)
  done
}

stage_cross() {
  need_stage cross
  for arch in i686 x86_64; do
    say "Windows cross-build ($arch)"
    configure_build "$BUILD/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release
  done
}

# Two builds of the packages from the same sources, in two folders of
# different paths and at different times, must give the same bytes.
stage_package() {
  need_stage package
  say "release packages, built twice"
  local run runs=("$BUILD/package/first" "$BUILD/package/second-run")
  rm -rf "$BUILD/package"
  for run in "${runs[@]}"; do
    mkdir -p "$run/tmp"
    TMPDIR="$run/tmp" TARVELLO_DIST_DIR="$run/dist" "$ROOT/scripts/package.sh"
  done
  if ! cmp -s "${runs[0]}/dist/SHA256SUMS" "${runs[1]}/dist/SHA256SUMS"; then
    for run in "${runs[@]}"; do say "$run/dist/SHA256SUMS"; cat "$run/dist/SHA256SUMS"; done
    echo "package: the two builds differ" >&2
    return 1
  fi
  say "both builds identical"
  cat "${runs[0]}/dist/SHA256SUMS"
  "$ROOT/scripts/package_check.sh" "${runs[0]}/dist"
}

stage_e2e() {
  need_stage e2e
  if [ -x "$ROOT/scripts/e2e.sh" ]; then
    say "end-to-end under Wine"
    [ -d "$BUILD/win-x86_64" ] || stage_cross
    "$ROOT/scripts/e2e.sh" "$BUILD/win-x86_64"
  fi
  say "tarvello-cli.exe under Wine against the native tarvello-cli"
  [ -f "$BUILD/win-x86_64/cli/tarvello-cli.exe" ] || stage_cross
  [ -f "$BUILD/native/CMakeCache.txt" ] ||
    cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
  cmake --build "$BUILD/native" --target tarvello-cli -j "$JOBS"
  "$ROOT/scripts/cli_wine.sh" "$BUILD/win-x86_64" "$BUILD/native"
}

stages=("$@")
((${#stages[@]})) || stages=(deps lint native i386 asan fuzz cross package e2e)
timings=()
for s in "${stages[@]}"; do
  start=$SECONDS
  "stage_$s"
  timings+=("$s $((SECONDS - start))s")
done
say "all stages passed: ${timings[*]}"
