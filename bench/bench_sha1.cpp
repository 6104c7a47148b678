// SHA-1 throughput of sha1_digest against OpenSSL's SHA-1 in the same run,
// on 64 B, 1 KiB and 1 MiB messages. After the usual table it prints, per
// size, the median throughput of each and the ratio Tarvello / OpenSSL.
//
// OpenSSL is driven through its low-level SHA1_Init/Update/Final calls, the
// cheapest path to its block function (no algorithm fetch, no allocation).
// Run with OPENSSL_ia32cap=0:0 to turn off its SIMD and SHA-instruction code
// for a comparison against its scalar code.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "crypto/sha1/sha1.h"

namespace {

std::vector<uint8_t> make_message(size_t size)
{
    std::vector<uint8_t> m(size);
    uint32_t x = 0x9E3779B9u;
    for (auto& byte : m) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = (uint8_t)x;
    }
    return m;
}

void tarvello_sha1(benchmark::State& state)
{
    auto message = make_message((size_t)state.range(0));
    uint8_t digest[kSha1DigestSize];
    for (auto _ : state) {
        if (sha1_digest(message.data(), (uint32_t)message.size(), digest) != CRYPTO_OK)
            state.SkipWithError("sha1_digest failed");
        benchmark::DoNotOptimize(digest);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * state.range(0));
}

void openssl_sha1(benchmark::State& state)
{
    auto message = make_message((size_t)state.range(0));
    uint8_t digest[SHA_DIGEST_LENGTH];
    for (auto _ : state) {
        SHA_CTX ctx;
        SHA1_Init(&ctx);
        SHA1_Update(&ctx, message.data(), message.size());
        SHA1_Final(digest, &ctx);
        benchmark::DoNotOptimize(digest);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)state.iterations() * state.range(0));
}

BENCHMARK(tarvello_sha1)->Arg(64)->Arg(1024)->Arg(1 << 20);
BENCHMARK(openssl_sha1)->Arg(64)->Arg(1024)->Arg(1 << 20);

// Prints as usual and keeps the CPU time per iteration of every repetition,
// keyed by function name and size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            long size = std::strtol(run.run_name.args.c_str(), nullptr, 10);
            times_[{run.run_name.function_name, size}].push_back(run.GetAdjustedCPUTime());
        }
    }

    // Median CPU time per iteration, or 0 when the benchmark did not run.
    double median(const std::string& name, long size) const
    {
        auto it = times_.find({name, size});
        if (it == times_.end() || it->second.empty())
            return 0;
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        size_t n = t.size();
        return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    }

    size_t repetitions(const std::string& name, long size) const
    {
        auto it = times_.find({name, size});
        return it == times_.end() ? 0 : it->second.size();
    }

private:
    std::map<std::pair<std::string, long>, std::vector<double>> times_;
};

// MB/s (10^6 bytes) from a per-iteration time in nanoseconds.
double megabytes_per_second(long size, double ns)
{
    return ns > 0 ? size * 1e3 / ns : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Defaults that make the ratio meaningful on a shared machine; later
    // command-line flags override them.
    std::vector<char*> args{argv[0]};
    std::string reps = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string unit = "--benchmark_time_unit=ns";
    args.push_back(reps.data());
    args.push_back(interleave.data());
    args.push_back(unit.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = (int)args.size();
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const char* caps = std::getenv("OPENSSL_ia32cap");
    std::printf("\nSHA-1 throughput, median of repetitions (OPENSSL_ia32cap=%s)\n",
                caps ? caps : "unset");
    std::printf("%10s %6s %16s %16s %18s\n", "size", "reps", "Tarvello MB/s", "OpenSSL MB/s",
                "Tarvello/OpenSSL");
    for (long size : {64L, 1024L, 1L << 20}) {
        double ours = reporter.median("tarvello_sha1", size);
        double theirs = reporter.median("openssl_sha1", size);
        if (ours <= 0 || theirs <= 0)
            continue;
        std::printf("%10ld %6zu %16.1f %16.1f %18.3f\n", size,
                    std::min(reporter.repetitions("tarvello_sha1", size),
                             reporter.repetitions("openssl_sha1", size)),
                    megabytes_per_second(size, ours), megabytes_per_second(size, theirs),
                    theirs / ours);
    }
    return 0;
}
