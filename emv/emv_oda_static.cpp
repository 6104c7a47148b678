// The static data to be authenticated: the records the AFL marks, in AFL
// order, each starting with a 70 template that fits it (SFI 1-10: every
// byte after the 70 tag and length, bytes after the template included, as a
// terminal hashes them; SFI 11-30: the record as read), then the values of
// the tags 9F4A lists (only the AIP, 82, may be).
#include <cstring>

#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

const EmvOdaRecord* record_of(const EmvOdaCard* card, uint8_t sfi, uint8_t number)
{
    for (int32_t i = 0; i < card->record_count; ++i) {
        if (card->records[i].sfi == sfi && card->records[i].number == number) {
            return &card->records[i];
        }
    }
    return nullptr;
}

// The first problem met is the one reported.
void problem(EmvOdaResult* r, EmvStaticDataStatus status, uint8_t sfi, uint8_t number)
{
    if (r->static_data_status == EMV_STATIC_DATA_OK) {
        r->static_data_status = status;
        r->static_data_sfi = sfi;
        r->static_data_record = number;
    }
}

void append(EmvOdaResult* r, EmvBytes part)
{
    if (r->static_data_length + part.length > kEmvOdaMaxStaticData) {
        problem(r, EMV_STATIC_DATA_TOO_LONG, 0, 0);
        return;
    }
    if (part.length > 0) {
        memcpy(r->static_data + r->static_data_length, part.data, (size_t)part.length);
        r->static_data_length += part.length;
    }
}

// What an ODA record adds: for SFI 1-10 the record from its template's
// value on; otherwise the whole record.
void add_record(EmvOdaResult* r, const EmvOdaRecord* record)
{
    const EmvBytes data = record->data;
    EmvTlvReader reader = emv_tlv_reader(data);
    EmvTlv object;
    if (data.length < 1 || data.data[0] != 0x70 ||
        emv_tlv_next(&reader, &object, nullptr) != EMV_TLV_OK) {
        problem(r, EMV_STATIC_DATA_NOT_70, record->sfi, record->number);
        return;
    }
    const int32_t header = (int32_t)(object.value - data.data);
    append(r, record->sfi > 10 ? data : EmvBytes{object.value, data.length - header});
}

void add_records(const EmvOdaCard* card, EmvOdaResult* r)
{
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        for (int32_t n = e.first; n < e.first + e.oda_records; ++n) {
            const EmvOdaRecord* record = record_of(card, e.sfi, (uint8_t)n);
            if (record == nullptr) {
                emv_oda_add_missing(r, {0, e.sfi, (uint8_t)n});
                problem(r, EMV_STATIC_DATA_RECORD_MISSING, e.sfi, (uint8_t)n);
            } else {
                add_record(r, record);
            }
        }
    }
}

// 9F4A: a list of tags whose values follow the records; only 82 may be.
void add_tag_list(const EmvOdaCard* card, EmvOdaResult* r)
{
    const EmvBytes list = emv_oda_object(card, 0x9F4A);
    for (int32_t at = 0; emv_given(list) && at < list.length;) {
        uint32_t tag = 0;
        int32_t tag_length = 0;
        if (emv_tlv_read_tag(list.data + at, list.length - at, &tag, &tag_length) != EMV_TLV_OK ||
            tag != 0x82) {
            problem(r, EMV_STATIC_DATA_BAD_TAG_LIST, 0, 0);
            return;
        }
        if (!card->has_aip) {
            problem(r, EMV_STATIC_DATA_NO_AIP, 0, 0);
            return;
        }
        append(r, {card->aip, 2});
        at += tag_length;
    }
}

}  // namespace

bool emv_static_data_read_failed(EmvStaticDataStatus status)
{
    return status == EMV_STATIC_DATA_NO_AFL || status == EMV_STATIC_DATA_GPO_TEMPLATE ||
           status == EMV_STATIC_DATA_BAD_AFL || status == EMV_STATIC_DATA_REDUNDANT;
}

void emv_oda_add_missing(EmvOdaResult* r, EmvOdaMissing missing)
{
    for (int32_t i = 0; i < r->missing_count && i < kEmvOdaMaxMissing; ++i) {
        const EmvOdaMissing& m = r->missing[i];
        if (m.tag == missing.tag && m.sfi == missing.sfi && m.record == missing.record) {
            return;
        }
    }
    if (r->missing_count < kEmvOdaMaxMissing) {
        r->missing[r->missing_count] = missing;
    }
    ++r->missing_count;
}

void emv_oda_static_data(const EmvOdaCard* card, EmvOdaResult* r)
{
    r->static_data_status = EMV_STATIC_DATA_OK;
    r->static_data_sfi = 0;
    r->static_data_record = 0;
    r->static_data_length = 0;
    r->missing_count = 0;
    if (card->gpo_line == 0 || !emv_given(card->afl)) {
        problem(r, EMV_STATIC_DATA_NO_AFL, 0, 0);
    } else if (!card->gpo_template_whole) {
        problem(r, EMV_STATIC_DATA_GPO_TEMPLATE, 0, 0);
    } else if (!card->afl_well_formed) {
        problem(r, EMV_STATIC_DATA_BAD_AFL, 0, 0);
    } else if (card->redundant.tag != 0) {
        problem(r, EMV_STATIC_DATA_REDUNDANT, 0, 0);
    } else {
        add_records(card, r);
        add_tag_list(card, r);
    }
    if (r->static_data_status != EMV_STATIC_DATA_OK) {
        r->static_data_length = 0;
    }
}
