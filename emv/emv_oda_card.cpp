// The collected card's shared pieces: errors, data objects, and what is
// worked out once all exchanges are read (AFL entries, the records that take
// part in ODA, the transaction date).
#include <cstring>

#include "emv/emv_dol.h"
#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

constexpr int32_t kRidLength = 5;
constexpr int32_t kAflEntryLength = 4;

bool afl_entry_ok(const EmvAflEntry& e)
{
    return e.sfi >= 1 && e.sfi <= 30 && e.first >= 1 && e.first <= e.last &&
           e.oda_records <= e.last - e.first + 1;
}

int32_t used_tag_index(uint32_t tag)
{
    for (int32_t i = 0; i < kEmvOdaUsedTags; ++i) {
        if (kEmvOdaUsedTagList[i] == tag) {
            return i;
        }
    }
    return -1;
}

// An object ODA uses, returned in the GET PROCESSING OPTIONS answer or an
// AFL record: the first place it came in, or the card's first redundancy.
void note_place(EmvOdaCard* card, uint32_t tag, const EmvObjectPlace& place)
{
    const int32_t i = used_tag_index(tag);
    if (i < 0 || (place.source != EMV_SOURCE_GPO && place.source != EMV_SOURCE_RECORD)) {
        return;
    }
    if (card->used_places[i].source == EMV_SOURCE_NONE) {
        card->used_places[i] = place;
    } else if (card->redundant.tag == 0) {
        card->redundant = {tag, card->used_places[i], place};
    }
}

}  // namespace

const uint32_t kEmvOdaUsedTagList[kEmvOdaUsedTags] = {0x5A,   0x82,   0x94,   0x8F,   0x90,
                                                      0x92,   0x9F32, 0x93,   0x9F46, 0x9F47,
                                                      0x9F48, 0x9F49, 0x9F4A, 0x8C,   0x8D};

void emv_oda_read_afl(EmvOdaCard* card)
{
    card->afl_count = 0;
    card->afl_well_formed = false;
    if (!emv_given(card->afl)) {
        return;
    }
    card->afl_well_formed = card->afl.length % kAflEntryLength == 0;
    for (int32_t at = 0; at + kAflEntryLength <= card->afl.length; at += kAflEntryLength) {
        if (card->afl_count == kEmvOdaMaxAflEntries) {
            emv_oda_error(card, EMV_ODA_ERROR_TOO_MANY_AFL, card->gpo_line, {EMV_TLV_OK, 0});
            card->afl_well_formed = false;
            return;
        }
        const uint8_t* p = card->afl.data + at;
        const EmvAflEntry e = {(uint8_t)(p[0] >> 3), p[1], p[2], p[3]};
        card->afl_well_formed = card->afl_well_formed && afl_entry_ok(e) && (p[0] & 0x07) == 0;
        card->afl_entries[card->afl_count++] = e;
    }
}

void emv_oda_place_record(const EmvOdaCard* card, EmvOdaRecord* record)
{
    record->in_afl = false;
    record->oda = false;
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        if (e.sfi != record->sfi || record->number < e.first || record->number > e.last) {
            continue;
        }
        record->in_afl = true;
        record->oda = record->oda || record->number < e.first + e.oda_records;
    }
}

namespace {

// 9A as the DOL (tag) places it in the DOL data.
bool date_from(EmvOdaCard* card, uint32_t dol_tag, EmvBytes dol_data)
{
    EmvDol dol;
    if (emv_dol_parse(emv_oda_object(card, dol_tag), &dol, nullptr) != EMV_TLV_OK) {
        return false;
    }
    const EmvBytes date = emv_dol_value(&dol, dol_data, 0x9A);
    if (!emv_given(date) || date.length != 3) {
        return false;
    }
    memcpy(card->transaction_date, date.data, 3);
    return true;
}

int32_t bcd(uint8_t b)
{
    return (b >> 4) > 9 || (b & 0x0F) > 9 ? -1 : (b >> 4) * 10 + (b & 0x0F);
}

}  // namespace

void emv_oda_error(EmvOdaCard* card, EmvOdaErrorKind kind, int32_t line, EmvTlvError tlv)
{
    if (card->error_count < kEmvOdaMaxErrors) {
        card->errors[card->error_count] = {kind, line, tlv};
    }
    ++card->error_count;
}

bool emv_oda_tlv_ok(EmvOdaCard* card, EmvBytes data, int32_t line)
{
    EmvTlvError error = {EMV_TLV_OK, 0};
    if (emv_tlv_check(data, &error) == EMV_TLV_OK) {
        return true;
    }
    emv_oda_error(card, EMV_ODA_ERROR_NOT_TLV, line, error);
    return false;
}

void emv_oda_add_objects(EmvOdaCard* card, EmvBytes data, const EmvObjectPlace* place)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, data);
    EmvTlv o;
    while (emv_tlv_walk_next(&walk, &o, nullptr) == EMV_TLV_OK) {
        if (o.constructed) {
            continue;
        }
        note_place(card, o.tag, *place);
        if (emv_given(emv_oda_object(card, o.tag))) {
            continue;
        }
        if (card->object_count == kEmvOdaMaxObjects) {
            emv_oda_error(card, EMV_ODA_ERROR_TOO_MANY_OBJECTS, place->line, {EMV_TLV_OK, 0});
            return;
        }
        card->objects[card->object_count++] = {o.tag, emv_tlv_value(&o), place->line};
    }
}

EmvBytes emv_oda_find_value(EmvBytes data, uint32_t tag)
{
    EmvTlv o;
    if (emv_tlv_find(data, tag, &o, nullptr) != EMV_TLV_OK) {
        return kEmvNotGiven;
    }
    return emv_tlv_value(&o);
}

EmvBytes emv_oda_object(const EmvOdaCard* card, uint32_t tag)
{
    for (int32_t i = 0; i < card->object_count; ++i) {
        if (card->objects[i].tag == tag) {
            return card->objects[i].value;
        }
    }
    return kEmvNotGiven;
}

void emv_oda_finish_card(EmvOdaCard* card)
{
    if (emv_given(card->aid) && card->aid.length >= kRidLength) {
        card->rid = {card->aid.data, kRidLength};
    }
    card->ca_index = emv_oda_object(card, 0x8F);
    card->pan = emv_oda_object(card, 0x5A);
    if (date_from(card, 0x8C, card->cdol1_data)) {
        card->date_source = EMV_DATE_CDOL1;
    } else if (date_from(card, 0x9F38, card->pdol_data)) {
        card->date_source = EMV_DATE_PDOL;
    }
}

bool emv_oda_transaction_date(const EmvOdaCard* card, EmvDate* out)
{
    if (card->date_source == EMV_DATE_NONE) {
        return false;
    }
    const int32_t yy = bcd(card->transaction_date[0]);
    const int32_t mm = bcd(card->transaction_date[1]);
    const int32_t dd = bcd(card->transaction_date[2]);
    const EmvDate date = {yy < 50 ? 2000 + yy : 1900 + yy, mm, dd};
    if (yy < 0 || !emv_date_valid(date)) {
        return false;
    }
    *out = date;
    return true;
}
