# 32-bit x86 Linux: the same one-digit-per-step code the shipped 32-bit
# program runs, built with the host compiler in -m32 mode and run under
# qemu-i386, with the i386 GMP and GoogleTest of the multiarch system as
# oracle and harness. No i386 OpenSSL: the tests' own SHA-1 oracle stands in.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
# pkg-config and the package config files of the i386 libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
# An i386 OpenSSL is never needed (tests/CMakeLists.txt says why).
set(TARVELLO_ORACLE_OPENSSL OFF CACHE BOOL "Compare SHA-1 with OpenSSL's" FORCE)
