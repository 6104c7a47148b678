# Link options of rsa_tests, included by tests/CMakeLists.txt after the target
# exists: route malloc and calloc of the statically linked RSA layer through
# the counting wrappers of heap_probe.cpp, so heap failures can be injected.
if(NOT APPLE AND NOT WIN32)
  target_link_options(rsa_tests PRIVATE -Wl,--wrap=malloc -Wl,--wrap=calloc)
  target_compile_definitions(rsa_tests PRIVATE TARVELLO_WRAP_ALLOC=1)
endif()
