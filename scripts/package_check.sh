#!/usr/bin/env bash
# Checks the release packages that scripts/package.sh wrote to a folder:
#  - SHA256SUMS matches the files;
#  - each zip holds exactly the files a user is promised;
#  - each .exe is a PE of the zip's architecture, with no link time, and
#    imports only system DLLs and the C runtime;
#  - no binary carries the folder it was built in;
#  - the .deb installs (apt-get as root, else unpacked into a scratch root
#    with dpkg -x), its tarvello-cli verifies the installed example list,
#    its man page is there, and it removes without a trace.
# Usage: scripts/package_check.sh DIST_DIR
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DIST=$(cd "${1:?usage: package_check.sh DIST_DIR}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# What the two programs import: the system DLLs every Windows has, and the
# C runtime. Anything else would have to be shipped beside them.
ALLOWED_DLLS="COMDLG32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL"
# A piece of the folder package.sh builds in, which no binary may carry.
BUILD_PATH_MARK=tarvello-package.

fail() { echo "package_check: $*" >&2; exit 1; }
say() { printf '\n=== %s\n' "$*"; }

zip_files() {
  local files=(LICENSE README.txt Tarvello.exe capk_public.txt)
  [ -f "$ROOT/cli/CMakeLists.txt" ] && files+=(tarvello-cli.exe)
  printf '%s\n' "${files[@]}" | sort
}

check_exe() { # exe, objdump, PE format name
  local dump dlls dll
  dump=$("$2" -p "$1")
  grep -q "file format $3\$" <<<"$dump" || fail "$1: not $3"
  grep -qE '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$dump" ||
    fail "$1: the PE header carries a link time: $(grep '^Time/Date' <<<"$dump")"
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr '[:lower:]' '[:upper:]')
  for dll in $dlls; do
    grep -qw -- "$dll" <<<"$ALLOWED_DLLS" || fail "$1 imports $dll"
  done
  echo "$(basename "$1") ($3): imports $(echo $dlls)"
}

no_build_paths() { # folder
  local hits
  hits=$(grep -r -l -a -F "$BUILD_PATH_MARK" "$1" || true)
  [ -z "$hits" ] || fail "build folder paths in: $hits"
}

check_zip() { # zip, mingw arch, PE format name
  local dir=$scratch/$(basename "$1" .zip) got
  got=$(unzip -Z1 "$1" | sort)
  [ "$got" = "$(zip_files)" ] || fail "$1 holds: $(echo $got); expected: $(echo $(zip_files))"
  mkdir -p "$dir" && unzip -q "$1" -d "$dir"
  local exe
  for exe in "$dir"/*.exe; do check_exe "$exe" "$2-w64-mingw32-objdump" "$3"; done
  no_build_paths "$dir"
}

# Runs an apt-get command, showing its output only when it fails.
apt_quietly() {
  DEBIAN_FRONTEND=noninteractive "$@" >"$scratch/apt.log" 2>&1 ||
    { cat "$scratch/apt.log" >&2; fail "failed: $*"; }
}

# Installs the .deb and prints the root it lives under: / when apt-get may
# install it on this machine, else a scratch folder it was unpacked into.
install_deb() { # deb
  local sudo=
  if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
    dpkg -x "$1" "$scratch/root" && echo "$scratch/root"
    return
  fi
  [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
  if dpkg-query -W -f='${Status}' tarvello-cli 2>/dev/null | grep -q 'ok installed'; then
    apt_quietly $sudo apt-get purge -y tarvello-cli
  fi
  apt_quietly $sudo apt-get install -y "$1"
  echo /
}

remove_deb() { # deb
  local sudo=; [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
  apt_quietly $sudo apt-get remove -y tarvello-cli
  ! dpkg-query -W -f='${Status}' tarvello-cli 2>/dev/null | grep -qE 'ok installed|config-files' ||
    fail "tarvello-cli still known to dpkg after removal"
  local f
  for f in $(dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print substr($6, 2)}'); do
    [ ! -e "$f" ] || fail "$f left behind after removal"
  done
  [ ! -e /usr/share/doc/tarvello-cli ] || fail "/usr/share/doc/tarvello-cli left behind"
}

check_deb() { # deb
  local root out keys oks list
  dpkg-deb -x "$1" "$scratch/deb" && no_build_paths "$scratch/deb"
  root=$(install_deb "$1")
  root=${root%/}
  list=$root/usr/share/doc/tarvello-cli/capk_public.txt
  keys=$(grep -c '^RID' "$list")
  out=$("$root/usr/bin/tarvello-cli" verify "$list") || fail "verify of the installed list failed: $out"
  echo "$out"
  oks=$(grep -cE '^[0-9A-F]{10}_[0-9A-F]{2}: OK$' <<<"$out" || true)
  ((oks == keys)) || fail "verify printed $oks keys OK for the list's $keys keys"
  grep -qx "Summary: $keys keys, 0 mismatches" <<<"$out" || fail "verify's summary is wrong"
  local man
  man=$(zcat "$root/usr/share/man/man1/tarvello-cli.1.gz") || fail "no man page tarvello-cli(1)"
  grep -q '^\.TH TARVELLO-CLI "1"' <<<"$man" || fail "the man page is not tarvello-cli(1)"
  grep -q '^\.SS "tarvello-cli verify"' <<<"$man" || fail "the man page has no verify command"
  grep -q '^\.SS "tarvello-cli oda"' <<<"$man" || fail "the man page has no oda command"
  grep -q '^\.SS "tarvello-cli tlv"' <<<"$man" || fail "the man page has no tlv command"
  grep -q '^\.SS "tarvello-cli convert"' <<<"$man" || fail "the man page has no convert command"
  local doc=$root/usr/share/doc/tarvello-cli
  out=$("$root/usr/bin/tarvello-cli" oda --capks "$doc/capk_emvpt_test.txt" "$doc/trace_emvpt_dda.txt") ||
    fail "oda of the installed example trace failed: $out"
  grep -qx "Result: passed" <<<"$out" || fail "oda of the installed example trace did not pass"
  out=$("$root/usr/bin/tarvello-cli" oda --capks "$doc/capk_public.txt" --date 190819 \
    "$doc/trace_visa_fdda.txt") || fail "oda of the installed contactless trace failed: $out"
  grep -qx "Method: fDDA" <<<"$out" || fail "oda of the installed contactless trace is not fDDA"
  [ -n "$root" ] || remove_deb "$1"
}

say "checksums"
(cd "$DIST" && sha256sum -c SHA256SUMS)
say "Windows zips"
shopt -s nullglob
zips=("$DIST"/Tarvello-*-win32.zip "$DIST"/Tarvello-*-win64.zip)
((${#zips[@]} == 2)) || fail "expected one win32 and one win64 zip in $DIST"
check_zip "${zips[0]}" i686 pei-i386
check_zip "${zips[1]}" x86_64 pei-x86-64
debs=("$DIST"/tarvello-cli_*.deb)
if [ -f "$ROOT/cli/CMakeLists.txt" ]; then
  ((${#debs[@]} == 1)) || fail "expected one tarvello-cli .deb in $DIST"
  say "Debian package: install, verify, remove"
  check_deb "${debs[0]}"
fi
say "packages checked"
