# rsa_tests counts and fails the RSA layer's heap calls (tests/support/heap_faults.h).
tarvello_wrap_heap(rsa_tests)
