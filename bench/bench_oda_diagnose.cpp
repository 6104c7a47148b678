// The diagnosis's cost: offline data authentication as oda makes it
// (collect, authenticate, diagnose) on a card made in the tests whose AFL
// has six more entries of four records each, none of them for ODA. Passing
// as made, it needs no diagnosis; with a byte of an ODA record changed, the
// signed static data's hash fails and every search over the entries' ODA
// record counts reaches its limit of 4,096 combinations. After the usual
// table it prints the median time of each and the ratio failing / passing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "emv/emv_oda.h"
#include "emv/emv_oda_diagnose.h"
#include "tests/emv_support/emv_card.h"

namespace {

struct Prepared {
    emv_card::Card card;
    std::vector<EmvExchange> log;
};

std::unique_ptr<Prepared> prepare(bool failing)
{
    auto p = std::make_unique<Prepared>();
    p->card = emv_card::make_card(emv_card::spec(emv_card::Method::Sda));
    emv_card::add_spare_entries(p->card, 6, 4);
    if (failing)
        emv_card::replace(p->card, "record 11 1", "B860AC8800", "B860AC8801");
    for (size_t i = 0; i < p->card.log.size(); ++i) {
        const emv_card::Exchange& e = p->card.log[i];
        p->log.push_back({{e.command.data(), static_cast<int32_t>(e.command.size())},
                          {e.response.data(), static_cast<int32_t>(e.response.size())},
                          static_cast<int32_t>(2 * i + 1)});
    }
    return p;
}

void oda(benchmark::State& state)
{
    const bool failing = state.range(0) != 0;
    const auto p = prepare(failing);
    const emv_chain::TestKey& ca = *p->card.ca;
    const EmvCaKey key = {{ca.modulus.data(), static_cast<int32_t>(ca.modulus.size())},
                          {ca.exponent.data(), static_cast<int32_t>(ca.exponent.size())}};
    const EmvListedCaKey listed = {{0xA0, 0x00, 0x00, 0x00, 0x03}, 0x92, key};
    const EmvOdaOptions options = {{2026, 12, 9}, nullptr, EMV_ODA_METHOD_NONE};
    auto card = std::make_unique<EmvOdaCard>();
    auto result = std::make_unique<EmvOdaResult>();
    auto diagnosis = std::make_unique<EmvOdaDiagnosis>();
    for (auto _ : state) {
        emv_oda_collect(p->log.data(), static_cast<int32_t>(p->log.size()), card.get());
        emv_oda_authenticate(card.get(), &key, &options, result.get());
        emv_oda_diagnose(card.get(), &key, &listed, 1, result.get(), diagnosis.get());
        benchmark::DoNotOptimize(diagnosis->tried);
    }
    const bool expected = failing ? diagnosis->made && diagnosis->cut : !diagnosis->made;
    if (!expected || (result->outcome == EMV_ODA_PASSED) == failing)
        state.SkipWithError("the card did not give the outcome the benchmark needs");
    state.counters["tried"] = diagnosis->tried;
}
BENCHMARK(oda)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps the CPU time per iteration of every repetition.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            times_[run.run_name.args].push_back(run.GetAdjustedCPUTime());
        }
    }

    // Median CPU time per iteration, 0 when it did not run.
    double median(const std::string& args) const
    {
        auto it = times_.find(args);
        if (it == times_.end() || it->second.empty())
            return 0;
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args{argv[0]};
    std::string reps = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(reps.data());
    args.push_back(interleave.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double passing = reporter.median("0");
    const double failing = reporter.median("1");
    if (passing > 0 && failing > 0) {
        std::printf("\noda (collect, authenticate, diagnose), median CPU time per call\n");
        std::printf("%12s %12s %18s\n", "passing ms", "failing ms", "failing/passing");
        std::printf("%12.3f %12.3f %18.2f\n", passing, failing, failing / passing);
    }
    return 0;
}
