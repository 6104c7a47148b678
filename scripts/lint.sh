#!/usr/bin/env bash
# Checks the project's own conventions, cheaply, on every test run:
#  - core/ and crypto/ include nothing of afx/ or ui/;
#  - the big-number library allocates nothing and uses no STL;
#  - ui/ has no platform #ifdef;
#  - sources have no tabs, trailing blanks or CR LF line ends.
set -uo pipefail
cd "$(dirname "$0")/.."
fail=0
report() { echo "lint: $1"; echo "$2" | sed 's/^/  /'; fail=1; }

hits=$(git grep -n -E '#include +"(afx|ui)/' -- core crypto)
[ -z "$hits" ] || report "core/ and crypto/ must not include afx/ or ui/" "$hits"

hits=$(git grep -n -E '\b(malloc|calloc|realloc|free|new|delete)\b *[(\[]|#include +<(vector|string|map|memory|list|deque)>|std::(vector|string|map|set|list|deque|unique_ptr|shared_ptr|function)\b' -- crypto/bignum)
[ -z "$hits" ] || report "crypto/bignum allocates nothing and uses no STL" "$hits"

hits=$(git grep -n -E '^\s*#\s*if(def|ndef)?\b.*(_WIN32|WIN32|_MSC_VER|__MINGW|__linux)' -- ui)
[ -z "$hits" ] || report "ui/ has no platform #ifdef" "$hits"

src=(':(glob)**/*.cpp' ':(glob)**/*.h' ':(glob)**/*.rc' ':(glob)**/*.sh' ':(glob)**/CMakeLists.txt' ':(glob)**/*.cmake')
hits=$(git grep -n -I -P '\t|[ \t]+$|\r$' -- "${src[@]}")
[ -z "$hits" ] || report "tabs, trailing blanks or CR LF in sources" "$(echo "$hits" | head -20)"

[ $fail -eq 0 ] && echo "lint: clean"
exit $fail
