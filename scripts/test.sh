#!/usr/bin/env bash
# Runs every test of Tarvello, installing what it needs on Debian 12:
#   native build (g++) + unit and window tests,
#   the same suite under ASan + UBSan (clang, leaks checked),
#   each fuzzer for a bounded time (FUZZ_SECONDS, default 60),
#   the Windows cross-builds (i686 and x86_64),
#   the end-to-end run of the x86_64 program under Wine in Xvfb.
# Usage: scripts/test.sh [stage ...]   stages: deps lint native asan fuzz cross e2e
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TARVELLO_BUILD_DIR:-$ROOT/build}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=$(nproc)

PACKAGES=(cmake make g++ clang llvm libclang-rt-14-dev libgtest-dev libgmock-dev
  libbenchmark-dev libssl-dev libgmp-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
  mingw-w64-tools wine wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-ipafont-gothic)

say() { printf '\n=== %s\n' "$*"; }

stage_deps() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    say "installing: ${missing[*]}"
    local sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_build() { # dir, cmake args...
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

stage_lint() {
  say "conventions"
  "$ROOT/scripts/lint.sh"
}

stage_native() {
  say "native build and tests (g++)"
  configure_build "$BUILD/native" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
  ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS"
}

stage_asan() {
  say "ASan + UBSan build and tests (clang), with the fuzz targets"
  configure_build "$BUILD/asan" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DTARVELLO_SANITIZE=ON -DTARVELLO_FUZZ=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$BUILD/asan" --output-on-failure -j "$JOBS"
}

stage_fuzz() {
  say "fuzzing, ${FUZZ_SECONDS}s per target"
  [ -d "$BUILD/asan/tests/fuzz" ] || stage_asan
  local f name corpus
  for f in "$BUILD"/asan/tests/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus="$BUILD/fuzz-corpus/$name"
    mkdir -p "$corpus"
    local seeds=()
    [ -d "$ROOT/tests/fuzz/corpus/$name" ] && seeds+=("$ROOT/tests/fuzz/corpus/$name")
    say "$name"
    (cd "$BUILD" && ASAN_OPTIONS=detect_leaks=1 "$f" -max_total_time="$FUZZ_SECONDS" \
      -print_final_stats=1 "$corpus" "${seeds[@]}" 2>&1 | tail -n 12)
  done
}

stage_cross() {
  for arch in i686 x86_64; do
    say "Windows cross-build ($arch)"
    configure_build "$BUILD/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release
  done
}

stage_e2e() {
  if [ -x "$ROOT/scripts/e2e.sh" ]; then
    say "end-to-end under Wine"
    [ -d "$BUILD/win-x86_64" ] || stage_cross
    "$ROOT/scripts/e2e.sh" "$BUILD/win-x86_64"
  fi
}

stages=("$@")
((${#stages[@]})) || stages=(deps lint native asan fuzz cross e2e)
for s in "${stages[@]}"; do "stage_$s"; done
say "all stages passed: ${stages[*]}"
