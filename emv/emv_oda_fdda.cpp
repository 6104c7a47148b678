// fDDA, the contactless kernels' dynamic authentication: the card signs in
// its GET PROCESSING OPTIONS answer (or a record) the terminal's
// unpredictable number, amount and currency with its card authentication
// related data (9F69); no INTERNAL AUTHENTICATE, no TVR bit, and the CTQ
// says what the reader does when it fails.
#include <cstring>

#include "emv/emv_dol.h"
#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

constexpr uint8_t kFormatOnline = 0x95;  // signed for an online (ARQC) answer
constexpr uint8_t kFddaVersion = 0x01;
constexpr int32_t kMinCardData = 5;
constexpr int32_t kMinUnionPayCardData = 8;
constexpr int32_t kMaxUnionPayCardData = 16;
constexpr uint8_t kUnionPayRid[5] = {0xA0, 0x00, 0x00, 0x03, 0x33};
// The PDOL data (at most 252 bytes behind 83 in a short command) and a
// 9F69 as long as a record can carry: the hash input is built here.
constexpr int32_t kMaxHashInput = 512;
constexpr uint8_t kCtqOnline = 0x20;
constexpr uint8_t kCtqOtherInterface = 0x10;
constexpr uint8_t kCidTypeMask = 0xC0;
constexpr uint8_t kCidArqc = 0x80;
constexpr uint8_t kCidTc = 0x40;

// The first object with the tag in the GET PROCESSING OPTIONS answer, else
// in the records the AFL lists, in the order read.
EmvBytes card_value(const EmvOdaCard* card, uint32_t tag)
{
    if (emv_given(card->gpo_template)) {
        const EmvBytes v = emv_oda_find_value(card->gpo_template, tag);
        if (emv_given(v)) {
            return v;
        }
    }
    for (int32_t i = 0; i < card->record_count; ++i) {
        if (!card->records[i].in_afl) {
            continue;
        }
        const EmvBytes v = emv_oda_find_value(card->records[i].data, tag);
        if (emv_given(v)) {
            return v;
        }
    }
    return kEmvNotGiven;
}

// 9F37, 9F02 and 5F2A as the PDOL (9F38, the first entry of a tag) places
// them in the PDOL data; each not placed is named in missing.
void terminal_data(const EmvOdaCard* card, EmvOdaResult* result)
{
    EmvDol pdol;
    const bool parsed = emv_dol_parse(emv_oda_object(card, 0x9F38), &pdol, nullptr) == EMV_TLV_OK;
    EmvFddaResult& f = result->fdda;
    const struct {
        uint32_t tag;
        EmvBytes* out;
    } wanted[] = {{0x9F37, &f.unpredictable_number}, {0x9F02, &f.amount}, {0x5F2A, &f.currency}};
    for (const auto& w : wanted) {
        *w.out = parsed ? emv_dol_value(&pdol, card->pdol_data, w.tag) : kEmvNotGiven;
        if (!emv_given(*w.out)) {
            emv_oda_add_missing(result, {w.tag, 0, 0});
        }
    }
}

bool union_pay(const EmvOdaCard* card)
{
    return emv_given(card->rid) && card->rid.length == 5 &&
           memcmp(card->rid.data, kUnionPayRid, sizeof kUnionPayRid) == 0;
}

EmvCheckResult card_data_length(const EmvOdaCard* card, EmvBytes data)
{
    if (union_pay(card)) {
        return emv_result(data.length >= kMinUnionPayCardData &&
                          data.length <= kMaxUnionPayCardData);
    }
    return emv_result(data.length >= kMinCardData);
}

// The format byte the cryptogram type (9F27 bits 8-7) calls for: 95 for an
// ARQC, 05 for a TC; either for an AAC or without 9F27.
EmvCheckResult format_check(EmvBytes cid, uint8_t format)
{
    const uint8_t type = emv_given(cid) && cid.length >= 1 ? cid.data[0] & kCidTypeMask : 0;
    if (type == kCidArqc) {
        return emv_result(format == kFormatOnline);
    }
    if (type == kCidTc) {
        return emv_result(format == EMV_FORMAT_SDAD);
    }
    return emv_result(format == EMV_FORMAT_SDAD || format == kFormatOnline);
}

// The ICC dynamic data: ICC dynamic number length (1) | ICC dynamic number;
// the number must be the ATC, byte for byte.
EmvCheckResult dynamic_number_atc(const EmvSdad& sdad, EmvBytes atc)
{
    if (!emv_given(atc)) {
        return EMV_CHECK_NOT_MADE;
    }
    const int32_t length = sdad.icc_dynamic_data_length;
    if (length < 1 || sdad.icc_dynamic_data[0] + 1 > length ||
        sdad.icc_dynamic_data[0] != atc.length) {
        return EMV_CHECK_FAILED;
    }
    return emv_result(memcmp(sdad.icc_dynamic_data + 1, atc.data, (size_t)atc.length) == 0);
}

// 9F37 | 9F02 | 5F2A | 9F69 into buffer; not given when a part is, or when
// they do not fit.
EmvBytes hash_input(const EmvFddaResult& f, uint8_t* buffer)
{
    const EmvBytes parts[] = {f.unpredictable_number, f.amount, f.currency, f.card_data};
    int32_t at = 0;
    for (const EmvBytes& p : parts) {
        if (!emv_given(p) || p.length > kMaxHashInput - at) {
            return kEmvNotGiven;
        }
        if (p.length > 0) {
            memcpy(buffer + at, p.data, (size_t)p.length);
        }
        at += p.length;
    }
    return {buffer, at};
}

bool passed(EmvCheckResult r)
{
    return r == EMV_CHECK_PASSED;
}

}  // namespace

EmvBytes emv_oda_fdda_sdad(const EmvOdaCard* card)
{
    return card_value(card, 0x9F4B);
}

void emv_oda_fdda_prepare(const EmvOdaCard* card, EmvOdaResult* result)
{
    EmvFddaResult& f = result->fdda;
    f.sdad = emv_oda_fdda_sdad(card);
    f.card_data = card_value(card, 0x9F69);
    f.ctq = card_value(card, 0x9F6C);
    f.atc = card_value(card, 0x9F36);
    f.cid = emv_given(card->gpo_template) ? emv_oda_find_value(card->gpo_template, 0x9F27)
                                          : kEmvNotGiven;
    if (!emv_given(f.sdad)) {
        emv_oda_add_missing(result, {0x9F4B, 0, 0});
    }
    if (!emv_given(f.card_data)) {
        emv_oda_add_missing(result, {0x9F69, 0, 0});
    } else {
        f.version = emv_result(f.card_data.length >= 1 && f.card_data.data[0] == kFddaVersion);
        f.card_data_length = card_data_length(card, f.card_data);
    }
    terminal_data(card, result);
}

bool emv_oda_fdda_check(const EmvOdaCard* card, EmvOdaResult* result)
{
    EmvFddaResult& f = result->fdda;
    if (!emv_given(f.sdad)) {
        return false;
    }
    uint8_t buffer[kMaxHashInput];
    const EmvBytes signed_with = hash_input(f, buffer);
    const EmvPublicKey& key = result->icc.key;
    result->sdad_made = true;
    result->sdad_status =
        emv_recover_sdad(key.modulus, key.modulus_length, emv_oda_object(card, 0x9F47), f.sdad,
                         signed_with, &result->sdad);
    EmvChecks& checks = result->sdad.common.checks;
    const uint8_t format = result->sdad.common.format;
    if (result->sdad_status == EMV_RECOVER_OK) {
        f.format_read = true;
        f.format = format;
        // The recovery's own rule: 05, or 95 for a card answering online.
        if (format == kFormatOnline) {
            checks.format = EMV_CHECK_PASSED;
        }
        f.format_check = format_check(f.cid, format);
        f.dynamic_number_atc = dynamic_number_atc(result->sdad, f.atc);
    }
    f.hash = checks.hash;
    const bool common = result->sdad_status == EMV_RECOVER_OK && emv_checks_valid(&checks) &&
                        passed(checks.length) && passed(checks.header) && passed(checks.trailer) &&
                        passed(checks.format) && passed(checks.hash_algorithm) &&
                        passed(checks.hash) && passed(checks.dynamic_data_length);
    return common && passed(f.format_check) && passed(f.version) && passed(f.card_data_length) &&
           f.dynamic_number_atc != EMV_CHECK_FAILED;
}

void emv_oda_fdda_finish(EmvOdaResult* result)
{
    EmvFddaResult& f = result->fdda;
    memset(result->tvr, 0, sizeof result->tvr);
    f.failure_action = EMV_FDDA_ACTION_NONE;
    if (result->outcome != EMV_ODA_FAILED || !emv_given(f.ctq) || f.ctq.length < 1) {
        return;
    }
    const uint8_t ctq = f.ctq.data[0];
    f.failure_action = (ctq & kCtqOnline) != 0           ? EMV_FDDA_ACTION_ONLINE
                       : (ctq & kCtqOtherInterface) != 0 ? EMV_FDDA_ACTION_OTHER_INTERFACE
                                                         : EMV_FDDA_ACTION_DECLINE;
}
