// Fuzzes offline data authentication from arbitrary exchanges: the card is
// collected and authenticated without a crash or a read past any command or
// response, and the outcome is consistent (a pass fails nothing and lacks
// nothing; only the ODA bits of the TVR are set; fDDA sets none and names
// the reader's action only when it failed). The failure is then diagnosed,
// with the CA key listed under two indexes and both exponents: the result
// stays byte for byte what it was, and the diagnosis is made only for a
// failure, with as many tries as its matches at least.
//
// Input: flags (bits 0-2: forced method, 0 = from the AIP, 5-7 as 0), the CA modulus
// length and modulus (exponent 03; length 0: the list holds no key), then
// exchanges: command length, command, response length (0xFF: unanswered),
// response. Each piece gets its own heap copy of exactly its size, so ASan
// sees any read past it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "emv/emv_oda.h"
#include "emv/emv_oda_diagnose.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr uint8_t kUnanswered = 0xFF;
constexpr size_t kMaxExchanges = 96;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), left_(size) {}

    bool done() const { return left_ == 0; }

    uint8_t byte()
    {
        if (left_ == 0)
            return 0;
        --left_;
        return *data_++;
    }

    // n bytes (fewer where the input ends) on the heap at exactly that size.
    EmvBytes piece(size_t n, std::vector<std::unique_ptr<uint8_t[]>>* heap)
    {
        n = n < left_ ? n : left_;
        if (n == 0)
            return {nullptr, 0};
        heap->emplace_back(new uint8_t[n]);
        memcpy(heap->back().get(), data_, n);
        data_ += n;
        left_ -= n;
        return {heap->back().get(), static_cast<int32_t>(n)};
    }

private:
    const uint8_t* data_;
    size_t left_;
};

void check_result(const EmvOdaCard& card, const EmvOdaResult& r)
{
    FUZZ_CHECK(card.record_count >= 0 && card.record_count <= kEmvOdaMaxRecords);
    FUZZ_CHECK(card.object_count >= 0 && card.object_count <= kEmvOdaMaxObjects);
    FUZZ_CHECK(card.afl_count >= 0 && card.afl_count <= kEmvOdaMaxAflEntries);
    FUZZ_CHECK(r.static_data_length >= 0 && r.static_data_length <= kEmvOdaMaxStaticData);
    FUZZ_CHECK(r.tvr[1] == 0 && r.tvr[2] == 0 && r.tvr[3] == 0 && r.tvr[4] == 0);
    FUZZ_CHECK((r.tvr[0] & 0x11) == 0);
    if (r.outcome == EMV_ODA_PASSED) {
        FUZZ_CHECK(r.failed_step == EMV_ODA_STEP_NONE && r.missing_count == 0);
        FUZZ_CHECK((r.tvr[0] & ~EMV_TVR_SDA_SELECTED) == 0);
        FUZZ_CHECK(r.issuer_made && emv_checks_valid(&r.issuer.common.checks));
    } else if (r.outcome == EMV_ODA_FAILED) {
        FUZZ_CHECK(r.failed_step != EMV_ODA_STEP_NONE && r.method != EMV_ODA_METHOD_NONE);
    } else {
        FUZZ_CHECK(r.method == EMV_ODA_METHOD_NONE && r.tvr[0] == EMV_TVR_ODA_NOT_PERFORMED);
    }
    if (r.method == EMV_ODA_FDDA) {
        FUZZ_CHECK(r.tvr[0] == 0);
        FUZZ_CHECK((r.fdda.failure_action != EMV_FDDA_ACTION_NONE) ==
                   (r.outcome == EMV_ODA_FAILED && r.fdda.ctq.length > 0));
    } else {
        FUZZ_CHECK((r.missing_count > 0) == ((r.tvr[0] & EMV_TVR_ICC_DATA_MISSING) != 0));
    }
    char text[24];
    for (int32_t i = 0; i < r.missing_count && i < kEmvOdaMaxMissing; ++i) {
        emv_oda_missing_text(&r.missing[i], text, sizeof text);
    }
}

void check_diagnosis(const EmvOdaCard& card, const EmvCaKey* key, const EmvOdaResult& r)
{
    static const uint8_t kExponent65537[] = {0x01, 0x00, 0x01};
    EmvListedCaKey list[2] = {};
    const uint8_t rid[5] = {0xA0, 0x00, 0x00, 0x00, 0x03};
    int32_t count = 0;
    if (key != nullptr) {
        for (int32_t i = 0; i < 2; ++i) {
            memcpy(list[i].rid, rid, 5);
            list[i].index = static_cast<uint8_t>(0x92 + i);
            list[i].key = {key->modulus, i == 0 ? key->exponent : EmvBytes{kExponent65537, 3}};
        }
        count = 2;
    }
    auto before = std::make_unique<EmvOdaResult>(r);
    auto d = std::make_unique<EmvOdaDiagnosis>();
    emv_oda_diagnose(&card, key, list, count, &r, d.get());
    FUZZ_CHECK(memcmp(before.get(), &r, sizeof r) == 0);
    if (!d->made) {
        FUZZ_CHECK(d->tried == 0 && d->match_count == 0);
        return;
    }
    FUZZ_CHECK(r.outcome == EMV_ODA_FAILED && d->step == r.failed_step);
    FUZZ_CHECK(emv_diagnosis_check_name(d->check) != nullptr);
    FUZZ_CHECK(d->tried > 0 && d->match_count <= d->tried);
    FUZZ_CHECK(d->tried <= 5 * kEmvDiagnosisMaxCombinations + 16);
    for (int32_t i = 0; i < d->match_count && i < kEmvDiagnosisMaxMatches; ++i) {
        FUZZ_CHECK(d->matches[i].variants != 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in(data, size);
    std::vector<std::unique_ptr<uint8_t[]>> heap;
    const uint8_t flags = in.byte();
    const EmvBytes modulus = in.piece(in.byte(), &heap);
    static const uint8_t kExponent[] = {0x03};
    const EmvCaKey key = {modulus, {kExponent, 1}};

    std::vector<EmvExchange> exchanges;
    while (!in.done() && exchanges.size() < kMaxExchanges) {
        EmvExchange e;
        e.command = in.piece(in.byte(), &heap);
        const uint8_t response_length = in.byte();
        e.response = response_length == kUnanswered ? EmvBytes{nullptr, -1}
                                                    : in.piece(response_length, &heap);
        e.line = static_cast<int32_t>(2 * exchanges.size() + 1);
        exchanges.push_back(e);
    }

    auto card = std::make_unique<EmvOdaCard>();
    const bool ok =
        emv_oda_collect(exchanges.data(), static_cast<int32_t>(exchanges.size()), card.get());
    FUZZ_CHECK(ok == (card->error_count == 0));
    EmvDate date = {2026, 12, 9};
    emv_oda_transaction_date(card.get(), &date);
    const uint8_t forced = flags & 0x07;
    const EmvOdaOptions options = {date, nullptr,
                                   static_cast<EmvOdaMethod>(forced <= EMV_ODA_FDDA ? forced : 0)};
    auto result = std::make_unique<EmvOdaResult>();
    emv_oda_authenticate(card.get(), modulus.length > 0 ? &key : nullptr, &options, result.get());
    check_result(*card, *result);
    check_diagnosis(*card, modulus.length > 0 ? &key : nullptr, *result);
    return 0;
}
