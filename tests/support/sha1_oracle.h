// The SHA-1 the tests compare with. OpenSSL's where the build has it; in the
// 32-bit build, which must not depend on an i386 OpenSSL (its version is tied
// to the amd64 one, and security updates reach the two indexes apart), a
// plain textbook SHA-1 kept here, itself held to the standard's known answers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/hex.h"

namespace support {

class Sha1Oracle {
public:
    Sha1Oracle();
    void update(const uint8_t* data, size_t n);
    // Sets the count of bytes hashed so far (it must equal the count modulo
    // 64), as if that many had been given: for messages too long to hash.
    void set_byte_count(uint64_t count);
    Bytes final();

private:
#if TARVELLO_ORACLE_OPENSSL
    alignas(8) unsigned char state_[128];  // OpenSSL's SHA_CTX
#else
    void block(const uint8_t* b);
    uint32_t h_[5];
    uint64_t count_;
    uint8_t buffer_[64];
#endif
};

}  // namespace support
