#include "bn_oracle.h"

#include <cstdio>

namespace bntest {

namespace {
constexpr uint32_t kJunk = 0xA5C3E1F7u;
}

Num::Num(int capacity) : capacity_(capacity), area_(new uint32_t[static_cast<size_t>(capacity)])
{
    for (int i = 0; i < capacity; ++i) {
        area_[i] = kJunk + static_cast<uint32_t>(i);
    }
    bn_.negative = 0;
    bn_.length = 0;
    bn_.digits = area_.get();
}

void Num::set(const std::vector<uint32_t>& digits, bool negative)
{
    for (int i = 0; i < capacity_; ++i) {
        area_[i] =
            i < static_cast<int>(digits.size()) ? digits[i] : kJunk + static_cast<uint32_t>(i);
    }
    bn_.length = static_cast<int32_t>(digits.size());
    bn_.negative = negative ? 1 : 0;
}

void Num::set_mpz(const mpz_t value)
{
    std::vector<uint32_t> d((mpz_sizeinbase(value, 2) + 31) / 32);
    size_t count = 0;
    mpz_export(d.data(), &count, -1, sizeof(uint32_t), 0, 0, value);
    d.resize(count);
    set(d, mpz_sgn(value) < 0);
}

std::vector<uint32_t> Num::digits() const
{
    return std::vector<uint32_t>(area_.get(), area_.get() + bn_.length);
}

std::string hex(const BigNum* a)
{
    std::string s = a->negative != 0 ? "-0x" : "0x";
    char buf[16];
    for (int i = a->length - 1; i >= 0; --i) {
        std::snprintf(buf, sizeof buf, "%08x", a->digits[i]);
        s += buf;
        if (i > 0) {
            s += '_';
        }
    }
    std::snprintf(buf, sizeof buf, " (len %d)", a->length);
    return s + buf;
}

std::string hex(const mpz_t a)
{
    char* text = mpz_get_str(nullptr, 16, a);
    std::string s = text;
    void (*free_fn)(void*, size_t);
    mp_get_memory_functions(nullptr, nullptr, &free_fn);
    free_fn(text, s.size() + 1);
    return s;
}

bool equals(const BigNum* a, const mpz_t want)
{
    if (a->length < 0 || (a->length > 0 && a->digits[a->length - 1] == 0)) {
        return false;
    }
    Mpz got;
    to_mpz(got, a);
    if (mpz_cmp(got, want) != 0) {
        return false;
    }
    // Zero must not be negative unless the operation says so; callers that
    // allow it compare the magnitude themselves.
    return !(a->length == 0 && a->negative != 0);
}

gmp_randstate_t& gmp_state()
{
    static gmp_randstate_t state;
    static bool seeded = false;
    if (!seeded) {
        gmp_randinit_mt(state);
        gmp_randseed_ui(state, 0x7A11E);
        seeded = true;
    }
    return state;
}

std::vector<uint32_t> Rng::digits(int n, Shape shape)
{
    std::vector<uint32_t> d(static_cast<size_t>(n));
    switch (shape) {
        case Shape::kRandom:
        case Shape::kTopFull:
            for (auto& x : d) {
                x = digit();
            }
            if (shape == Shape::kTopFull) {
                d[n - 1] |= 0x80000000u;
            }
            break;
        case Shape::kAllOnes:
            for (auto& x : d) {
                x = 0xFFFFFFFFu;
            }
            break;
        case Shape::kPowerOfTwo:
            d[n - 1] = 1u << range(0, 31);
            break;
        case Shape::kSparse:
            for (auto& x : d) {
                const int pick = range(0, 7);
                x = pick == 0 ? 0xFFFFFFFFu : pick == 1 ? 1u : 0u;
            }
            break;
        case Shape::kOnesBelow:
            for (auto& x : d) {
                x = 0xFFFFFFFFu;
            }
            d[n - 1] = 0xFFFFFFFFu >> range(0, 31);
            break;
        case Shape::kCount:
            break;
    }
    if (d[n - 1] == 0) {
        d[n - 1] = digit() | 1u;
    }
    return d;
}

}  // namespace bntest
