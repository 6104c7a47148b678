// The static data a signer may have signed instead of what a terminal
// reads: the records taken whole or as their template's value, the 9F4A
// values left out or the AIP added, the later answer of a record read
// twice, the records in ascending order, and other ODA record counts in
// the AFL's entries (alone and with each of the first four). The data is
// built in AFL order, so the search over the counts goes depth first and
// keeps one SHA-1 state per prefix: each prefix is hashed once.
#include <cstring>

#include "emv/emv_internal.h"
#include "emv/emv_oda_diagnose_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

// Ways the records and the 9F4A values are read; 0 is the card's own.
constexpr uint32_t kForms[] = {EMV_VARIANT_RECORDS_WITH_TEMPLATE,
                               EMV_VARIANT_RECORDS_WITHOUT_TEMPLATE, EMV_VARIANT_WITH_AIP,
                               EMV_VARIANT_WITHOUT_TAG_LIST};
// Nodes a search over the counts may visit: combinations the form leaves
// unchanged are passed over without a try, and must not be unbounded.
constexpr int32_t kMaxNodes = 16 * kEmvDiagnosisMaxCombinations;

struct StaticSearch {
    const EmvOdaCard* card;
    const EmvDiagnosisSearch* search;
    int32_t available[kEmvOdaMaxAflEntries];  // records of each entry the search may count
    uint8_t counts[kEmvOdaMaxAflEntries];     // the combination being built
    int32_t aip_copies;                       // how often 9F4A lists 82
    uint32_t form;
    int32_t tries;  // combinations tried in this search
    int32_t nodes;
    bool stopped;
};

const EmvOdaRecord* record_of(const EmvOdaCard* card, uint8_t sfi, int32_t number)
{
    for (int32_t i = 0; i < card->record_count; ++i) {
        if (card->records[i].sfi == sfi && card->records[i].number == number) {
            return &card->records[i];
        }
    }
    return nullptr;
}

// What a record's data adds under the form: SFI 1-10 from the template's
// value on (with the template: whole), SFI 11-30 whole (without the
// template: its value). False when it does not start with a 70 template
// that fits it.
bool piece(uint8_t sfi, EmvBytes data, uint32_t form, EmvBytes* out)
{
    EmvTlvReader reader = emv_tlv_reader(data);
    EmvTlv t;
    if (!emv_given(data) || data.length < 1 || data.data[0] != 0x70 ||
        emv_tlv_next(&reader, &t, nullptr) != EMV_TLV_OK) {
        return false;
    }
    if (sfi <= 10) {
        *out = form == EMV_VARIANT_RECORDS_WITH_TEMPLATE
                   ? data
                   : EmvBytes{t.value, data.length - t.header_length};
    } else {
        *out = form == EMV_VARIANT_RECORDS_WITHOUT_TEMPLATE ? EmvBytes{t.value, t.length} : data;
    }
    return true;
}

// Whether the form changes what a record of the SFI adds.
bool form_touches(uint32_t form, uint8_t sfi)
{
    return (form == EMV_VARIANT_RECORDS_WITH_TEMPLATE && sfi <= 10) ||
           (form == EMV_VARIANT_RECORDS_WITHOUT_TEMPLATE && sfi > 10);
}

bool tail_form(uint32_t form)
{
    return form == EMV_VARIANT_WITH_AIP || form == EMV_VARIANT_WITHOUT_TAG_LIST;
}

// Whether the form can change the card's data at all.
bool form_applies(const StaticSearch* s, uint32_t form)
{
    if (form == EMV_VARIANT_WITHOUT_TAG_LIST) {
        return s->aip_copies > 0;
    }
    if (form == EMV_VARIANT_WITH_AIP) {
        return !emv_given(emv_oda_object(s->card, 0x9F4A)) && s->card->has_aip;
    }
    return true;
}

// The values 9F4A lists (the AIP, once per 82), as the form reads them.
void add_tail(const StaticSearch* s, Sha1Context* ctx, uint32_t form)
{
    const int32_t copies = form == EMV_VARIANT_WITHOUT_TAG_LIST ? 0
                           : form == EMV_VARIANT_WITH_AIP       ? 1
                                                                : s->aip_copies;
    for (int32_t i = 0; i < copies; ++i) {
        sha1_update(ctx, s->card->aip, 2);
    }
}

void try_data(StaticSearch* s, const Sha1Context* records, uint32_t variants, bool counts)
{
    Sha1Context ctx = *records;
    add_tail(s, &ctx, s->form);
    EmvDiagnosisMatch match = emv_diagnosis_match(variants);
    if (counts) {
        match.has_counts = true;
        memcpy(match.oda_counts, s->counts, sizeof match.oda_counts);
    }
    emv_diagnosis_try(s->search, &ctx, &match);
}

// Depth first over the entries' counts from entry on; ctx has hashed the
// records of the entries before it.
void descend(StaticSearch* s, int32_t entry, const Sha1Context* ctx, bool differs, bool touched)
{
    if (s->stopped || ++s->nodes > kMaxNodes) {
        s->stopped = true;
        s->search->out->cut = true;
        return;
    }
    const EmvOdaCard* card = s->card;
    if (entry == card->afl_count) {
        if (differs && (touched || s->form == 0 || tail_form(s->form))) {
            if (s->tries == kEmvDiagnosisMaxCombinations) {
                s->stopped = true;
                s->search->out->cut = true;
                return;
            }
            ++s->tries;
            try_data(s, ctx, EMV_VARIANT_ODA_COUNTS | s->form, true);
        }
        return;
    }
    const EmvAflEntry& e = card->afl_entries[entry];
    Sha1Context prefix = *ctx;
    for (int32_t n = 0; n <= s->available[entry] && !s->stopped; ++n) {
        if (n > 0) {
            EmvBytes part;
            piece(e.sfi, record_of(card, e.sfi, e.first + n - 1)->data, s->form, &part);
            emv_diagnosis_hash(&prefix, part);
            touched = touched || form_touches(s->form, e.sfi);
        }
        s->counts[entry] = (uint8_t)n;
        descend(s, entry + 1, &prefix, differs || n != e.oda_records, touched);
    }
}

// The card's own records (the AFL's counts) under the form, the later
// answers taken when later is set; false when nothing differs from the
// card's reading.
bool hash_own(const StaticSearch* s, uint32_t form, bool later, Sha1Context* ctx)
{
    const EmvOdaCard* card = s->card;
    bool differs = tail_form(form) && form_applies(s, form);
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        for (int32_t n = e.first; n < e.first + e.oda_records; ++n) {
            const EmvOdaRecord* r = record_of(card, e.sfi, n);
            EmvBytes part;
            EmvBytes data = r->data;
            if (later && piece(e.sfi, r->later, form, &part) &&
                (r->later.length != r->data.length ||
                 memcmp(r->later.data, r->data.data, (size_t)r->data.length) != 0)) {
                data = r->later;
                differs = true;
            }
            piece(e.sfi, data, form, &part);
            differs = differs || form_touches(form, e.sfi);
            emv_diagnosis_hash(ctx, part);
        }
    }
    return differs;
}

// The AFL's ODA records in ascending SFI, then record order; false when
// that is the AFL's order.
bool hash_sorted(const StaticSearch* s, Sha1Context* ctx)
{
    const EmvOdaCard* card = s->card;
    const EmvOdaRecord* sorted[kEmvOdaMaxRecords];
    int32_t count = 0;
    bool moved = false;
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        for (int32_t n = e.first; n < e.first + e.oda_records && count < kEmvOdaMaxRecords; ++n) {
            const EmvOdaRecord* r = record_of(card, e.sfi, n);
            int32_t at = count++;
            for (; at > 0 && (sorted[at - 1]->sfi > r->sfi ||
                              (sorted[at - 1]->sfi == r->sfi && sorted[at - 1]->number > n));
                 --at) {
                sorted[at] = sorted[at - 1];
                moved = true;
            }
            sorted[at] = r;
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        EmvBytes part;
        piece(sorted[i]->sfi, sorted[i]->data, 0, &part);
        emv_diagnosis_hash(ctx, part);
    }
    return moved;
}

// The records each entry may count: consecutive from its first, within its
// last, that the trace holds as a 70 template.
void find_available(StaticSearch* s)
{
    const EmvOdaCard* card = s->card;
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        int32_t n = 0;
        EmvBytes part;
        for (const EmvOdaRecord* r = record_of(card, e.sfi, e.first);
             r != nullptr && e.first + n <= e.last && piece(e.sfi, r->data, 0, &part);
             r = record_of(card, e.sfi, e.first + n)) {
            ++n;
        }
        s->available[i] = n;
        s->counts[i] = e.oda_records;
    }
}

int32_t aip_copies(const EmvOdaCard* card)
{
    const EmvBytes list = emv_oda_object(card, 0x9F4A);
    int32_t copies = 0;
    for (int32_t at = 0; emv_given(list) && at < list.length;) {
        uint32_t tag = 0;
        int32_t tag_length = 0;
        if (emv_tlv_read_tag(list.data + at, list.length - at, &tag, &tag_length) != EMV_TLV_OK) {
            break;
        }
        copies += tag == 0x82 ? 1 : 0;
        at += tag_length;
    }
    return copies;
}

void search_counts(StaticSearch* s, uint32_t form)
{
    s->form = form;
    s->tries = 0;
    s->nodes = 0;
    s->stopped = false;
    descend(s, 0, &s->search->base, false, false);
    for (int32_t i = 0; i < s->card->afl_count; ++i) {
        s->counts[i] = s->card->afl_entries[i].oda_records;
    }
}

}  // namespace

void emv_diagnose_static_data(const EmvOdaCard* card, const EmvDiagnosisSearch* search)
{
    StaticSearch s = {};
    s.card = card;
    s.search = search;
    s.aip_copies = aip_copies(card);
    find_available(&s);
    // Each form alone, then the later answers, then the ascending order.
    for (uint32_t form : kForms) {
        Sha1Context ctx = search->base;
        s.form = form;
        if (form_applies(&s, form) && hash_own(&s, form, false, &ctx)) {
            try_data(&s, &ctx, form, false);
        }
    }
    s.form = 0;
    Sha1Context later = search->base;
    if (hash_own(&s, 0, true, &later)) {
        try_data(&s, &later, EMV_VARIANT_LATER_ANSWER, false);
    }
    Sha1Context sorted = search->base;
    if (hash_sorted(&s, &sorted)) {
        try_data(&s, &sorted, EMV_VARIANT_AFL_SORTED, false);
    }
    // Other counts, alone and with each form.
    search_counts(&s, 0);
    for (uint32_t form : kForms) {
        if (form_applies(&s, form)) {
            search_counts(&s, form);
        }
    }
}
