#!/usr/bin/env bash
# Checks the project's own conventions, cheaply, on every test run:
#  - core/, crypto/, capk/ and emv/ include nothing of afx/, ui/ or cli/;
#  - the big-number library and emv/ allocate nothing and use no STL (emv/
#    reaches the heap only through rsa_new and rsa_public);
#  - ui/ has no platform #ifdef;
#  - sources have no tabs, trailing blanks or CR LF line ends;
#  - every C++ file is laid out as .clang-format says.
set -uo pipefail
cd "$(dirname "$0")/.."
fail=0
report() { echo "lint: $1"; echo "$2" | sed 's/^/  /'; fail=1; }

hits=$(git grep -n -E '#include +"(afx|ui|cli)/' -- core crypto capk emv)
[ -z "$hits" ] || report "core/, crypto/, capk/ and emv/ must not include afx/, ui/ or cli/" "$hits"

hits=$(git grep -n -E '\b(malloc|calloc|realloc|free|new|delete)\b *[(\[]|#include +<(vector|string|map|memory|list|deque)>|std::(vector|string|map|set|list|deque|unique_ptr|shared_ptr|function)\b' -- crypto/bignum emv)
[ -z "$hits" ] || report "crypto/bignum and emv/ allocate nothing and use no STL" "$hits"

hits=$(git grep -n -E '^\s*#\s*if(def|ndef)?\b.*(_WIN32|WIN32|_MSC_VER|__MINGW|__linux)' -- ui)
[ -z "$hits" ] || report "ui/ has no platform #ifdef" "$hits"

src=(':(glob)**/*.cpp' ':(glob)**/*.h' ':(glob)**/*.rc' ':(glob)**/*.sh' ':(glob)**/CMakeLists.txt' ':(glob)**/*.cmake')
hits=$(git grep -n -I -P '\t|[ \t]+$|\r$' -- "${src[@]}")
[ -z "$hits" ] || report "tabs, trailing blanks or CR LF in sources" "$(echo "$hits" | head -20)"

# One code style for every C++ file we write, as .clang-format says.
hits=$(git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>&1 | grep 'error:')
[ -z "$hits" ] || report "C++ not in the .clang-format style (run clang-format -i)" "$(echo "$hits" | head -20)"

[ $fail -eq 0 ] && echo "lint: clean"
exit $fail
