// The sha1_digest wrapper behind sha1_spy.h. The wrapped symbol is the
// function's C++ name as the linker sees it (sha1_digest(const uint8_t*,
// uint32_t, uint8_t*)).
#include "sha1_spy.h"

#include "crypto/sha1/sha1.h"

extern "C" CryptoStatus __real__Z11sha1_digestPKhjPh(const uint8_t* data, uint32_t length,
                                                     uint8_t* digest);

namespace {

std::vector<sha1_spy::Call>& Recorded()
{
    static std::vector<sha1_spy::Call> calls;
    return calls;
}

}  // namespace

extern "C" CryptoStatus __wrap__Z11sha1_digestPKhjPh(const uint8_t* data, uint32_t length,
                                                     uint8_t* digest)
{
    Recorded().push_back({data, length});
    return __real__Z11sha1_digestPKhjPh(data, length, digest);
}

namespace sha1_spy {

const std::vector<Call>& Calls()
{
    return Recorded();
}

void Clear()
{
    Recorded().clear();
}

}  // namespace sha1_spy
