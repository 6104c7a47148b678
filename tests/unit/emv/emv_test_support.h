// Helpers shared by the emv/ tests: byte strings in and out of the library's
// records, and the checks named by their result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emv/emv.h"
#include "tests/emv_support/emv_chain.h"

namespace emv_test {

using emv_chain::Bytes;
using emv_chain::from_hex;
using emv_chain::to_hex;

inline EmvBytes given(const Bytes& b)
{
    return {b.data(), static_cast<int32_t>(b.size())};
}

constexpr EmvBytes kNotGiven = {nullptr, -1};

inline Bytes bytes(const uint8_t* p, size_t n)
{
    return Bytes(p, p + n);
}

// The bytes of a given string; empty when not given.
inline Bytes bytes(EmvBytes b)
{
    return b.length <= 0 ? Bytes{} : bytes(b.data, static_cast<size_t>(b.length));
}

inline Bytes modulus_of(const EmvPublicKey& key)
{
    return bytes(key.modulus, static_cast<size_t>(key.modulus_length));
}

inline Bytes exponent_of(const EmvPublicKey& key)
{
    return bytes(key.exponent, static_cast<size_t>(key.exponent_length));
}

// The names of the checks with the given result, in declaration order,
// joined by blanks: "hash expiry".
inline std::string checks_that(const EmvChecks& c, EmvCheckResult result)
{
    const std::pair<const char*, EmvCheckResult> all[] = {
        {"length", c.length},
        {"header", c.header},
        {"trailer", c.trailer},
        {"format", c.format},
        {"hash_algorithm", c.hash_algorithm},
        {"pk_algorithm", c.pk_algorithm},
        {"key_length", c.key_length},
        {"hash", c.hash},
        {"expiry", c.expiry},
        {"pan", c.pan},
        {"pan_form", c.pan_form},
        {"dynamic_data_length", c.dynamic_data_length},
    };
    std::string names;
    for (const auto& [name, r] : all) {
        if (r == result) {
            names += names.empty() ? name : std::string(" ") + name;
        }
    }
    return names;
}

inline std::string failed(const EmvChecks& c)
{
    return checks_that(c, EMV_CHECK_FAILED);
}

inline std::string not_made(const EmvChecks& c)
{
    return checks_that(c, EMV_CHECK_NOT_MADE);
}

}  // namespace emv_test
