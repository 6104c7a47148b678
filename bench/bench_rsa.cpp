// RSA public operation and modular exponentiation against OpenSSL and GMP,
// measured in one run and printed as ratios (Tarvello time / reference time).
//
// Run (from the project root):
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTARVELLO_BENCH=ON &&
//   cmake --build build/bench --target bench_rsa -j2 && build/bench/bench/bench_rsa
//
// Every contender does the same job per iteration: big-endian bytes in,
// base^e mod n, one right-aligned block out.
//  - tarvello: rsa_public (recomputes its Montgomery constants every call);
//  - openssl: BN_mod_exp_mont with a fresh Montgomery context per call (the
//    like-for-like figure), and with a context cached outside the loop (for
//    information only);
//  - gmp: mpz_powm.
// Moduli are random odd numbers of the stated bit length with the top bit
// set (timing does not depend on them being products of two primes).
#include <benchmark/benchmark.h>
#include <gmp.h>
#include <openssl/bn.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypto/bignum/bn_exp.h"
#include "crypto/rsa/rsa.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct RsaCase {
    const char* label;
    int bits;
    uint32_t exponent;
};

// The CAPK sizes with exponent 3, a 2048-bit key with 65537, and an odd
// modulus whose bit length is not a multiple of 32 (the division path).
const RsaCase kRsaCases[] = {
    {"1152/e3", 1152, 3},
    {"1408/e3", 1408, 3},
    {"1984/e3", 1984, 3},
    {"2048/e65537", 2048, 65537},
    {"1976/e3 (division path)", 1976, 3},
};

const char* const kContenders[] = {"tarvello", "openssl", "openssl_cached", "gmp"};

// Odd modulus of exactly `bits` bits, and an input one byte shorter than the
// block (so it is below the modulus for every contender).
struct Operands {
    Bytes modulus;
    Bytes input;
    size_t block;
};

Operands make_operands(int bits, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    Operands op;
    op.block = static_cast<size_t>((bits + 7) / 8);
    op.modulus.resize(op.block);
    for (auto& b : op.modulus)
        b = static_cast<uint8_t>(rng());
    const int top_bits = bits - 8 * static_cast<int>(op.block - 1);  // 1..8
    op.modulus[0] = static_cast<uint8_t>((op.modulus[0] | 0x80) >> (8 - top_bits));
    op.modulus[op.block - 1] |= 1;
    op.input.resize(op.block - 1);
    for (auto& b : op.input)
        b = static_cast<uint8_t>(rng());
    return op;
}

void run_tarvello(benchmark::State& state, const Operands& op, uint32_t e)
{
    RsaKey* key = nullptr;
    if (rsa_new(&key) != CRYPTO_OK ||
        rsa_set_public_key(key, op.modulus.data(), static_cast<int32_t>(8 * op.modulus.size()),
                           e) != CRYPTO_OK) {
        state.SkipWithError("key setup failed");
        rsa_free(key);
        return;
    }
    Bytes out(op.block);
    for (auto _ : state) {
        if (rsa_public(key, out.data(), op.input.data(), static_cast<int32_t>(op.input.size())) !=
            CRYPTO_OK)
            state.SkipWithError("rsa_public failed");
        benchmark::DoNotOptimize(out.data());
    }
    rsa_free(key);
}

void run_openssl(benchmark::State& state, const Operands& op, uint32_t e, bool cached)
{
    BN_CTX* ctx = BN_CTX_new();
    BIGNUM* n = BN_bin2bn(op.modulus.data(), static_cast<int>(op.modulus.size()), nullptr);
    BIGNUM* p = BN_new();
    BIGNUM* x = BN_new();
    BIGNUM* r = BN_new();
    BN_set_word(p, e);
    BN_MONT_CTX* mont = nullptr;
    if (cached) {
        mont = BN_MONT_CTX_new();
        BN_MONT_CTX_set(mont, n, ctx);
    }
    Bytes out(op.block);
    for (auto _ : state) {
        BN_bin2bn(op.input.data(), static_cast<int>(op.input.size()), x);
        if (!BN_mod_exp_mont(r, x, p, n, ctx, mont))
            state.SkipWithError("BN_mod_exp_mont failed");
        BN_bn2binpad(r, out.data(), static_cast<int>(out.size()));
        benchmark::DoNotOptimize(out.data());
    }
    BN_MONT_CTX_free(mont);
    BN_free(r);
    BN_free(x);
    BN_free(p);
    BN_free(n);
    BN_CTX_free(ctx);
}

void run_gmp(benchmark::State& state, const Operands& op, uint32_t e)
{
    mpz_t n, x, r;
    mpz_inits(n, x, r, nullptr);
    mpz_import(n, op.modulus.size(), 1, 1, 0, 0, op.modulus.data());
    Bytes out(op.block);
    for (auto _ : state) {
        mpz_import(x, op.input.size(), 1, 1, 0, 0, op.input.data());
        mpz_powm_ui(r, x, e, n);
        size_t count = (mpz_sizeinbase(r, 2) + 7) / 8;
        std::fill(out.begin(), out.end(), 0);
        mpz_export(out.data() + (out.size() - count), nullptr, 1, 1, 0, 0, r);
        benchmark::DoNotOptimize(out.data());
    }
    mpz_clears(n, x, r, nullptr);
}

// bn_mod_exp alone, by modulus size (bytes), with Montgomery-path moduli.
void run_bn_mod_exp(benchmark::State& state, const Operands& op, uint32_t e)
{
    std::vector<uint32_t> m_area(kDigitAreaSize), b_area(kDigitAreaSize), r_area(kDigitAreaSize);
    uint32_t e_digit = e;
    BigNum m = {0, 0, m_area.data()}, b = {0, 0, b_area.data()}, r = {0, 0, r_area.data()};
    const BigNum exponent = {0, 1, &e_digit};
    bn_from_bytes(&m, op.modulus.data(), static_cast<int>(op.modulus.size()));
    bn_from_bytes(&b, op.input.data(), static_cast<int>(op.input.size()));
    for (auto _ : state) {
        bn_mod_exp(&r, &b, &exponent, &m);
        benchmark::DoNotOptimize(r_area.data());
    }
}

void run_gmp_powm(benchmark::State& state, const Operands& op, uint32_t e)
{
    mpz_t n, x, r;
    mpz_inits(n, x, r, nullptr);
    mpz_import(n, op.modulus.size(), 1, 1, 0, 0, op.modulus.data());
    mpz_import(x, op.input.size(), 1, 1, 0, 0, op.input.data());
    for (auto _ : state) {
        mpz_powm_ui(r, x, e, n);
        benchmark::DoNotOptimize(r);
    }
    mpz_clears(n, x, r, nullptr);
}

const int kGrowthBytes[] = {64, 96, 128, 144, 176, 192, 224, 248, 256, 292};

// Collects the CPU time of every benchmark by name, in microseconds (CPU
// time, not wall time: the build machines are shared and often loaded).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const
    {
        auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};

std::string rsa_name(const RsaCase& c, const char* who)
{
    return std::string("rsa_public/") + c.label + "/" + who;
}

std::string growth_name(int bytes, uint32_t e, const char* who)
{
    return "bn_mod_exp/" + std::to_string(bytes) + "B/e" + std::to_string(e) + "/" + who;
}

double ratio(double a, double b)
{
    return b > 0 ? a / b : 0.0;
}

void print_ratios(const RatioReporter& rep)
{
    std::printf(
        "\nrsa_public, microseconds per block and ratios (target: <= 1.0 vs OpenSSL for e=3, "
        "<= 2.0 for 2048/65537)\n");
    std::printf("%-26s %10s %10s %10s %10s %12s %10s %12s\n", "case", "tarvello", "openssl",
                "ossl-cache", "gmp", "T/OpenSSL", "T/GMP", "T/ossl-cache");
    for (const RsaCase& c : kRsaCases) {
        const double t = rep.time(rsa_name(c, "tarvello"));
        const double o = rep.time(rsa_name(c, "openssl"));
        const double oc = rep.time(rsa_name(c, "openssl_cached"));
        const double g = rep.time(rsa_name(c, "gmp"));
        std::printf("%-26s %10.2f %10.2f %10.2f %10.2f %12.2f %10.2f %12.2f\n", c.label, t, o, oc,
                    g, ratio(t, o), ratio(t, g), ratio(t, oc));
    }
    std::printf(
        "\nbn_mod_exp by modulus size (Montgomery path), microseconds and ratio to mpz_powm\n");
    std::printf("%-8s %10s %10s %8s %10s %10s %8s\n", "bytes", "e=3", "gmp", "T/GMP", "e=65537",
                "gmp", "T/GMP");
    for (int bytes : kGrowthBytes) {
        const double t3 = rep.time(growth_name(bytes, 3, "tarvello"));
        const double g3 = rep.time(growth_name(bytes, 3, "gmp"));
        const double t65 = rep.time(growth_name(bytes, 65537, "tarvello"));
        const double g65 = rep.time(growth_name(bytes, 65537, "gmp"));
        std::printf("%-8d %10.2f %10.2f %8.2f %10.2f %10.2f %8.2f\n", bytes, t3, g3, ratio(t3, g3),
                    t65, g65, ratio(t65, g65));
    }
}

void register_all(std::vector<std::unique_ptr<Operands>>* keep)
{
    uint64_t seed = 0xbe0c0001;
    for (const RsaCase& c : kRsaCases) {
        keep->push_back(std::make_unique<Operands>(make_operands(c.bits, seed++)));
        const Operands* op = keep->back().get();
        const uint32_t e = c.exponent;
        benchmark::RegisterBenchmark(rsa_name(c, kContenders[0]).c_str(), [op,
                                                                           e](benchmark::State& s) {
            run_tarvello(s, *op, e);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(rsa_name(c, kContenders[1]).c_str(), [op,
                                                                           e](benchmark::State& s) {
            run_openssl(s, *op, e, false);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(rsa_name(c, kContenders[2]).c_str(), [op,
                                                                           e](benchmark::State& s) {
            run_openssl(s, *op, e, true);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(rsa_name(c, kContenders[3]).c_str(), [op,
                                                                           e](benchmark::State& s) {
            run_gmp(s, *op, e);
        })->Unit(benchmark::kMicrosecond);
    }
    for (int bytes : kGrowthBytes) {
        keep->push_back(std::make_unique<Operands>(make_operands(8 * bytes, seed++)));
        const Operands* op = keep->back().get();
        for (uint32_t e : {3u, 65537u}) {
            benchmark::RegisterBenchmark(
                growth_name(bytes, e, "tarvello").c_str(),
                [op, e](benchmark::State& s) { run_bn_mod_exp(s, *op, e); })
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(growth_name(bytes, e, "gmp").c_str(),
                                         [op, e](benchmark::State& s) { run_gmp_powm(s, *op, e); })
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::unique_ptr<Operands>> operands;
    register_all(&operands);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_ratios(reporter);
    benchmark::Shutdown();
    return 0;
}
