#!/usr/bin/env bash
# The install logic of scripts/deps.sh against a stub apt-get, dpkg and
# dpkg-query on PATH: no network, nothing installed for real. Each case
# sets up a machine (installed packages, architectures, package lists, how
# the mirror answers), runs one entry point and checks what it did.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fails=0

mkdir -p "$WORK/bin"
# dpkg-query -W -f=FORMAT PACKAGE
cat >"$WORK/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
grep -qx -- "${!#}" "$STATE/installed" && printf 'install ok installed'
STUB
cat >"$WORK/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
echo "dpkg $*" >>"$STATE/calls"
case $1 in
  --print-foreign-architectures) cat "$STATE/arch" ;;
  --add-architecture) echo "$2" >>"$STATE/arch" ;;
esac
STUB
# update fails while $STATE/update_fails counts down (or always, with -1),
# as a mirror mid-sync fails: one index of the wrong size, exit 100.
# install fails for any package listed in $STATE/broken, else installs all.
cat >"$WORK/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
  n=$(cat "$STATE/update_fails")
  [ "$n" = 0 ] && exit 0
  [ "$n" -gt 0 ] && echo $((n - 1)) >"$STATE/update_fails"
  echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
pkgs=()
for a in "$@"; do case $a in install | -*) ;; *) pkgs+=("$a") ;; esac; done
for p in "${pkgs[@]}"; do
  if grep -qx -- "$p" "$STATE/broken"; then
    echo " $p : Depends: something (= 1.0) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
printf '%s\n' "${pkgs[@]}" >>"$STATE/installed"
STUB
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$WORK/bin/sudo"
chmod +x "$WORK/bin"/*

# machine CASE installed-groups arch update_fails lists(yes|no) broken...
machine() {
  export STATE="$WORK/$1"
  mkdir -p "$STATE/lists"
  : >"$STATE/installed"
  : >"$STATE/calls"
  local g
  for g in $2; do (. "$ROOT/scripts/deps.sh" && deps_group "$g") >>"$STATE/installed"; done
  printf '%s\n' $3 >"$STATE/arch"
  echo "$4" >"$STATE/update_fails"
  [ "$5" = yes ] && : >"$STATE/lists/deb.example_dists_bookworm_main_binary-amd64_Packages"
  shift 5
  printf '%s\n' "$@" >"$STATE/broken"
}

# run CASE COMMAND...: the entry point in a fresh shell, as test.sh runs it.
run() {
  local name=$1
  shift
  (PATH="$WORK/bin:$PATH" TARVELLO_APT_PAUSE=0 TARVELLO_APT_LISTS="$STATE/lists" &&
    . "$ROOT/scripts/deps.sh" && "$@") >"$STATE/out" 2>&1
  echo $? >"$STATE/rc"
}

expect() { # case, description, test...
  local name=$1 what=$2
  shift 2
  if ! "$@"; then
    echo "deps_test: $name: expected $what"
    sed 's/^/    | /' "$STATE/out"
    fails=$((fails + 1))
  fi
}
rc_is() { [ "$(cat "$STATE/rc")" = "$1" ]; }
says() { grep -q -- "$1" "$STATE/out"; }
said_once() { [ "$(grep -c -- "$1" "$STATE/out")" = 1 ]; }
called() { [ "$(grep -c -- "$1" "$STATE/calls")" = "$2" ]; }
installed() { local p; for p; do grep -qx -- "$p" "$STATE/installed" || return 1; done; }

c="index mid-sync once"
machine once "" "" 1 yes
run "$c" need_stage native
expect "$c" "success" rc_is 0
expect "$c" "update tried twice" called "apt-get update" 2
expect "$c" "no notice of a failed index" eval '! says "going on"'
expect "$c" "the native packages" installed libgtest-dev libssl-dev libcli11-dev

c="index failing on every try, other lists fetched"
machine always "" "" -1 yes
run "$c" need_stage native
expect "$c" "success" rc_is 0
expect "$c" "three tries" called "apt-get update" 3
expect "$c" "one line naming the index" said_once "binary-i386/Packages.xz; going on with the lists apt has"
expect "$c" "the native packages" installed libgmp-dev nlohmann-json3-dev

c="no package lists at all"
machine nolists "" "" -1 no
run "$c" need_stage native
expect "$c" "failure" rc_is 1
expect "$c" "nothing installed" called "apt-get install" 0

c="i386 twin of a security update missing"
machine twin "" "i386" -1 yes libssl-dev:i386 libssl3:i386
run "$c" need_stage i386
expect "$c" "success without any i386 OpenSSL" rc_is 0
expect "$c" "the i386 oracles and harness" installed libgmp-dev:i386 libgtest-dev:i386 qemu-user

c="a package the stage needs cannot be installed"
machine broken "" "i386" 0 yes libgmp-dev:i386
run "$c" need_stage i386
expect "$c" "failure" rc_is 1
expect "$c" "the package and the stage named" says "stage i386 needs libgmp-dev:i386, which apt-get could not install"
expect "$c" "apt's reason shown" says "libgmp-dev:i386 : Depends"
expect "$c" "the rest installed" installed g++-multilib qemu-user

c="everything already installed"
machine none "native" "" 0 yes
run "$c" need_stage native
expect "$c" "success" rc_is 0
expect "$c" "apt-get not run" called "apt-get" 0

c="native on a machine without i386"
machine noarch "" "" 0 yes
run "$c" need_stage native
expect "$c" "success" rc_is 0
expect "$c" "no architecture added" called "add-architecture" 0
expect "$c" "no Wine" eval '! installed wine64'

c="i386 architecture added before the lists are fetched"
machine addarch "native" "" 0 yes
run "$c" need_stage i386
expect "$c" "success" rc_is 0
expect "$c" "i386 added, then update" eval \
  '[ "$(grep -n -m1 "add-architecture i386" "$STATE/calls" | cut -d: -f1)" -lt "$(grep -n -m1 "apt-get update" "$STATE/calls" | cut -d: -f1)" ]'

c="every stage at once, Wine not installable"
machine all "" "" 0 yes wine64
run "$c" need_all
expect "$c" "failure" rc_is 1
expect "$c" "the stage that cannot run named" says "stages that cannot run: e2e"
expect "$c" "the other stages' packages" installed libgtest-dev:i386 clang zip g++-mingw-w64-i686 xvfb

if ((fails)); then
  echo "deps_test: $fails expectation(s) failed"
  exit 1
fi
echo "deps_test: all cases passed"
