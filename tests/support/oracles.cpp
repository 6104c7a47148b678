#include "tests/support/oracles.h"

#include <gmp.h>

#include "tests/support/sha1_oracle.h"

namespace support {

Bytes Sha1(const uint8_t* data, size_t n)
{
    Sha1Oracle oracle;
    oracle.update(data, n);
    return oracle.final();
}

Bytes Sha1(const Bytes& data)
{
    return Sha1(data.data(), data.size());
}

Bytes PowMod(const Bytes& in, unsigned long e, const Bytes& n, size_t size)
{
    mpz_t x, m, r;
    mpz_inits(x, m, r, NULL);
    mpz_import(x, in.size(), 1, 1, 1, 0, in.data());
    mpz_import(m, n.size(), 1, 1, 1, 0, n.data());
    mpz_powm_ui(r, x, e, m);
    Bytes out(size != 0 ? size : n.size(), 0);
    size_t count = mpz_sgn(r) == 0 ? 0 : (mpz_sizeinbase(r, 2) + 7) / 8;
    if (count <= out.size())
        mpz_export(out.data() + out.size() - count, NULL, 1, 1, 1, 0, r);
    mpz_clears(x, m, r, NULL);
    return out;
}

}  // namespace support
