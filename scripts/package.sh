#!/usr/bin/env bash
# Builds the release packages into dist/ (or $TARVELLO_DIST_DIR):
#   Tarvello-<version>-win32.zip   the shipped i686 build
#   Tarvello-<version>-win64.zip   the x86_64 build
#   tarvello-cli_<version>_<arch>.deb   the command-line program for Debian/Ubuntu
#   SHA256SUMS                     over all of them
# The same commit gives the same bytes wherever and whenever it is built: the
# sources are copied to a fresh folder, every time stamp is the commit's, and
# the binaries carry neither build time nor build folder.
#
# Usage: scripts/package.sh [COMMIT]
#   COMMIT (a hash or tag): build that commit, exported with git archive.
#   none: build the work tree's files (tracked and new, not ignored), dated
#         by HEAD; a warning says when they differ from HEAD.
set -euo pipefail
export LC_ALL=C TZ=UTC
umask 022

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DIST=${TARVELLO_DIST_DIR:-$ROOT/dist}
JOBS=$(nproc)

say() { printf '\n=== %s\n' "$*"; }
die() { echo "package.sh: $*" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvello-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
src=$work/src

# Copies the sources to $src and sets SOURCE_DATE_EPOCH from the commit.
export_sources() { # [commit]
  mkdir -p "$src"
  if (($#)); then
    git -C "$ROOT" rev-parse --verify -q "$1^{commit}" >/dev/null || die "no such commit: $1"
    git -C "$ROOT" archive --format=tar "$1" | tar -x -C "$src"
    SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct "$1")
  else
    git -C "$ROOT" ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' f; do [ -e "$ROOT/$f" ] && printf '%s\0' "$f"; done |
      tar -C "$ROOT" --null -T - -cf - | tar -x -C "$src"
    SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct HEAD)
    [ -z "$(git -C "$ROOT" status --porcelain)" ] ||
      echo "package.sh: warning: the work tree differs from HEAD; these packages are not HEAD's" >&2
  fi
  export SOURCE_DATE_EPOCH
}

has_target() { # build dir, target
  local targets
  targets=$(cmake --build "$1" --target help)
  grep -qE "^\.\.\. $2( |$)" <<<"$targets"
}

configure() { # build dir, cmake args...
  local dir=$1; shift
  cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTARVELLO_RELEASE=ON \
    -DTARVELLO_TESTS=OFF "$@" >/dev/null
}

# The one built file of that name under the build folder.
built_file() { # build dir, file name
  local hits
  hits=$(find "$1" -name "$2" -type f -not -path '*/CMakeFiles/*')
  [ "$(printf '%s\n' "$hits" | grep -c .)" -eq 1 ] || die "expected one $2 in $1, found: $hits"
  printf '%s\n' "$hits"
}

# Zips the files of a folder as one flat archive: entries in byte order,
# every time the commit's, fixed modes, no directory entries, no owner or
# extra time fields.
zip_folder() { # folder, zip path
  chmod 0644 "$1"/*
  chmod 0755 "$1"/*.exe
  touch -d "@$SOURCE_DATE_EPOCH" "$1"/*
  rm -f "$2"
  (cd "$1" && find . -maxdepth 1 -type f -printf '%P\n' | sort | zip -X -D -9 -q "$2" -@)
}

windows_zip() { # mingw arch (i686 | x86_64), zip name suffix (win32 | win64)
  local build=$work/win-$1 stage=$work/$2
  say "Windows $1"
  configure "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-$1.cmake"
  local targets=(Tarvello)
  if has_target "$build" tarvello-cli; then
    targets+=(tarvello-cli)
  else
    echo "package.sh: warning: no tarvello-cli target; $2 zip without tarvello-cli.exe" >&2
  fi
  cmake --build "$build" -j "$JOBS" --target "${targets[@]}"
  mkdir -p "$stage"
  local t
  for t in "${targets[@]}"; do cp "$(built_file "$build" "$t.exe")" "$stage/"; done
  # The texts to read get Windows line ends, for every Notepad; the list file
  # stays as it is in the repository (the programs read either line end).
  sed 's/$/\r/' "$src/packaging/README-windows.txt" >"$stage/README.txt"
  sed 's/$/\r/' "$src/LICENSE" >"$stage/LICENSE"
  cp "$src/tests/data/capk_public.txt" "$stage/"
  zip_folder "$stage" "$DIST/Tarvello-$version-$2.zip"
}

debian_package() {
  local build=$work/deb
  say "Debian package"
  configure "$build" -DTARVELLO_WINDOW=OFF
  if ! has_target "$build" tarvello-cli; then
    echo "package.sh: warning: no tarvello-cli target; no Debian package" >&2
    return
  fi
  cmake --build "$build" -j "$JOBS" --target tarvello-cli tarvello-cli-man
  (cd "$build" && cpack -G DEB -B "$build/cpack" >/dev/null)
  cp "$build"/cpack/tarvello-cli_*.deb "$DIST/"
}

export_sources "$@"
configure "$work/version" -DTARVELLO_WINDOW=OFF
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$work/version/CMakeCache.txt")
[ -n "$version" ] || die "no project version in the CMake cache"

mkdir -p "$DIST"
rm -f "$DIST"/Tarvello-*.zip "$DIST"/tarvello-cli_*.deb "$DIST/SHA256SUMS"
windows_zip i686 win32
windows_zip x86_64 win64
debian_package

say "checksums"
(cd "$DIST" && find . -maxdepth 1 -type f \( -name 'Tarvello-*.zip' -o -name 'tarvello-cli_*.deb' \) \
  -printf '%P\n' | sort | xargs sha256sum >SHA256SUMS && cat SHA256SUMS)
