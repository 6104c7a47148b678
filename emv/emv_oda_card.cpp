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

void read_afl(EmvOdaCard* card)
{
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

bool marked_for_oda(const EmvOdaCard* card, uint8_t sfi, uint8_t number)
{
    for (int32_t i = 0; i < card->afl_count; ++i) {
        const EmvAflEntry& e = card->afl_entries[i];
        if (e.sfi == sfi && number >= e.first && number < e.first + e.oda_records &&
            number <= e.last) {
            return true;
        }
    }
    return false;
}

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

void emv_oda_add_objects(EmvOdaCard* card, EmvBytes data, int32_t line)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, data);
    EmvTlv o;
    while (emv_tlv_walk_next(&walk, &o, nullptr) == EMV_TLV_OK) {
        if (o.constructed || emv_given(emv_oda_object(card, o.tag))) {
            continue;
        }
        if (card->object_count == kEmvOdaMaxObjects) {
            emv_oda_error(card, EMV_ODA_ERROR_TOO_MANY_OBJECTS, line, {EMV_TLV_OK, 0});
            return;
        }
        card->objects[card->object_count++] = {o.tag, emv_tlv_value(&o), line};
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
    read_afl(card);
    for (int32_t i = 0; i < card->record_count; ++i) {
        EmvOdaRecord& r = card->records[i];
        r.oda = marked_for_oda(card, r.sfi, r.number);
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
