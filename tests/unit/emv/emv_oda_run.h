// ODA over a card made in the tests, as the emv/ tests run it: the log as
// the library takes it, collected, its CA key looked up and authenticated.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "emv/emv_oda.h"
#include "tests/emv_support/emv_card.h"
#include "tests/unit/emv/emv_test_support.h"

namespace emv_test {

const EmvDate kTransactionDate = {2026, 12, 9};

// The log as the library takes it; lines count 2 per exchange, from 1.
inline std::vector<EmvExchange> exchanges_of(const emv_card::Card& card)
{
    std::vector<EmvExchange> out;
    for (size_t i = 0; i < card.log.size(); ++i) {
        const emv_card::Exchange& e = card.log[i];
        const EmvBytes response = e.answered ? given(e.response) : kNotGiven;
        out.push_back({given(e.command), response, static_cast<int32_t>(2 * i + 1)});
    }
    return out;
}

struct OdaRun {
    EmvOdaCard card;
    EmvOdaResult result;
    bool collected;
};

// Collects the card, looks its CA key up in a list holding only RID
// A000000003 index 92, and authenticates it.
inline std::unique_ptr<OdaRun> run(const emv_card::Card& c, EmvDate date = kTransactionDate,
                                   EmvOdaMethod force = EMV_ODA_METHOD_NONE)
{
    auto r = std::make_unique<OdaRun>();
    const std::vector<EmvExchange> log = exchanges_of(c);
    r->collected = emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), &r->card);
    const EmvCaKey key = {given(c.ca->modulus), given(c.ca->exponent)};
    const bool listed = r->card.rid.length == 5 && r->card.ca_index.length >= 0 &&
                        bytes(r->card.rid.data, 5) == c.rid && r->card.ca_index.length == 1 &&
                        r->card.ca_index.data[0] == 0x92;
    const EmvOdaOptions options = {date, nullptr, force};
    emv_oda_authenticate(&r->card, listed ? &key : nullptr, &options, &r->result);
    return r;
}

inline std::string missing_text(const EmvOdaResult& r)
{
    std::string text;
    for (int32_t i = 0; i < r.missing_count && i < kEmvOdaMaxMissing; ++i) {
        char name[24];
        emv_oda_missing_text(&r.missing[i], name, sizeof name);
        text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text;
}

inline std::string step(const EmvOdaResult& r)
{
    const char* name = emv_oda_step_name(r.failed_step);
    return name != nullptr ? name : "none";
}

inline std::string method(const EmvOdaResult& r)
{
    const char* name = emv_oda_method_name(r.method);
    return name != nullptr ? name : "none";
}

}  // namespace emv_test
