# Installing what each stage of scripts/test.sh needs, on Debian 12, so that
# a stage can run on a machine that has only its own packages, and so that
# an imperfect mirror does not stop a run that has what it needs.
#
# Sourced by scripts/test.sh (and by its test, tests/scripts/deps_test.sh).
#   need_stage STAGE   installs the missing packages of STAGE's group
#   need_all           installs every group's (the deps stage)
# Settings, for the test: TARVELLO_APT_TRIES (3), TARVELLO_APT_PAUSE (10 s),
# TARVELLO_APT_LISTS (/var/lib/apt/lists).

# shellcheck disable=SC2034  # the groups are read through namerefs
DEPS_BUILD=(cmake make g++ libgtest-dev libgmock-dev libgmp-dev)
DEPS_CLI=(libcli11-dev nlohmann-json3-dev)
# The CLI tests open the HTML report in a real headless browser.
DEPS_BROWSER=(chromium)
DEPS_MINGW=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools)
DEPS_WINE=(wine wine64 fonts-wine xvfb xauth x11-utils imagemagick fonts-ipafont-gothic)

# Package group of each stage. The i386 group takes nothing whose version
# is tied to a security-updated amd64 library (no i386 OpenSSL): GMP and
# GoogleTest come from the main archive, which both architectures share.
deps_group() { # stage -> package names on stdout, one a line
  local p=()
  case $1 in
    lint) p=(clang-format git) ;;
    native) p=("${DEPS_BUILD[@]}" libssl-dev "${DEPS_CLI[@]}" "${DEPS_BROWSER[@]}") ;;
    i386) p=("${DEPS_BUILD[@]}" g++-multilib libgtest-dev:i386 libgmock-dev:i386 libgmp-dev:i386
      qemu-user) ;;
    asan | fuzz) p=("${DEPS_BUILD[@]}" libssl-dev "${DEPS_CLI[@]}" "${DEPS_BROWSER[@]}" clang llvm
      libclang-rt-14-dev) ;;
    cross) p=(cmake make "${DEPS_MINGW[@]}" "${DEPS_CLI[@]}") ;;
    package) p=("${DEPS_BUILD[@]}" "${DEPS_MINGW[@]}" "${DEPS_CLI[@]}" help2man zip unzip dpkg-dev) ;;
    e2e) p=("${DEPS_BUILD[@]}" libssl-dev "${DEPS_MINGW[@]}" "${DEPS_CLI[@]}" "${DEPS_WINE[@]}") ;;
    *) return 1 ;;
  esac
  printf '%s\n' "${p[@]}"
}

DEPS_STAGES=(lint native i386 asan fuzz cross package e2e)
DEPS_UPDATED=0

deps_say() { printf 'deps: %s\n' "$*"; }

deps_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

deps_installed() { # package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

deps_missing() { # package... -> the ones not installed, one a line
  local p
  for p in "$@"; do deps_installed "$p" || printf '%s\n' "$p"; done
}

# Fetches the package lists once a run. A mirror in the middle of a sync
# serves some indexes with the wrong size: try again after a pause, and if
# some index still fails, go on with the lists apt has (what is installed
# later is checked package by package). No lists at all is an error.
deps_update() {
  ((DEPS_UPDATED)) && return 0
  local tries=${TARVELLO_APT_TRIES:-3} pause=${TARVELLO_APT_PAUSE:-10}
  local lists=${TARVELLO_APT_LISTS:-/var/lib/apt/lists} log i failed
  log=$(mktemp)
  for ((i = 1; i <= tries; i++)); do
    if deps_sudo apt-get update -qq >"$log" 2>&1 && ! grep -q '^E:' "$log"; then
      DEPS_UPDATED=1
      rm -f "$log"
      return 0
    fi
    ((i < tries)) && sleep "$pause"
  done
  failed=$(grep -o -E 'Failed to fetch [^ ]+' "$log" | sed 's/^Failed to fetch //' | sort -u |
    paste -sd ' ' -)
  if compgen -G "$lists/*_Packages*" >/dev/null; then
    deps_say "apt-get update failed ${tries} times for ${failed:-some index}; going on with the lists apt has"
    DEPS_UPDATED=1
    rm -f "$log"
    return 0
  fi
  deps_say "apt-get update failed and there are no package lists:"
  sed 's/^/  /' "$log" >&2
  rm -f "$log"
  return 1
}

deps_add_i386() { # package... : adds the architecture when one of them is i386
  printf '%s\n' "$@" | grep -q ':i386$' || return 0
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  # dpkg must know the architecture before the lists are fetched.
  deps_sudo dpkg --add-architecture i386
  DEPS_UPDATED=0
}

deps_apt_install() { # log, package...
  local log=$1
  shift
  DEBIAN_FRONTEND=noninteractive deps_sudo apt-get install -y -qq --no-install-recommends "$@" \
    >>"$log" 2>&1
}

# Installs the missing packages of a stage; on failure names each one that
# cannot be installed, and the stage that needs it.
deps_install() { # stage, package...
  local stage=$1 p log bad=()
  shift
  (($#)) || return 0
  deps_add_i386 "$@"
  deps_update || return 1
  deps_say "installing for $stage: $*"
  log=$(mktemp)
  if ! deps_apt_install "$log" "$@"; then
    # One at a time, to tell which packages are at fault.
    for p in "$@"; do
      deps_installed "$p" || deps_apt_install "$log" "$p" || bad+=("$p")
    done
  fi
  if ((${#bad[@]})); then
    grep -E '^(E:| .*Depends:)' "$log" | sort -u | sed 's/^/  /' >&2
    deps_say "stage $stage needs ${bad[*]}, which apt-get could not install (see above)"
  fi
  rm -f "$log"
  ((${#bad[@]} == 0))
}

need_stage() { # stage
  local group missing
  group=$(deps_group "$1") || { deps_say "no package group for stage $1"; return 1; }
  mapfile -t missing < <(deps_missing $group)
  deps_install "$1" "${missing[@]}"
}

# Every stage's packages: one install for all; when that cannot be done,
# stage by stage, so that the message names each stage that cannot run.
need_all() {
  local s all=() missing failed=() log
  for s in "${DEPS_STAGES[@]}"; do mapfile -t -O "${#all[@]}" all < <(deps_group "$s"); done
  mapfile -t missing < <(deps_missing $(printf '%s\n' "${all[@]}" | sort -u))
  ((${#missing[@]})) || return 0
  deps_add_i386 "${missing[@]}"
  deps_update || return 1
  deps_say "installing: ${missing[*]}"
  log=$(mktemp)
  deps_apt_install "$log" "${missing[@]}" && { rm -f "$log"; return 0; }
  rm -f "$log"
  for s in "${DEPS_STAGES[@]}"; do need_stage "$s" || failed+=("$s"); done
  ((${#failed[@]} == 0)) || { deps_say "stages that cannot run: ${failed[*]}"; return 1; }
}
