// The diagnosis of a failed ODA step: which check failed, the block it
// reopens (one public operation with the key the step used), and the
// variants of that check's input, each hashed from the block's own prefix.
// The static data's variants are searched in emv_oda_diagnose_static.cpp;
// a method's own variants (DDA, CDA, fDDA) go in diagnose_sdad below, the
// one place that tells the methods apart.
#include <cstring>

#include "emv/emv_dol.h"
#include "emv/emv_internal.h"
#include "emv/emv_oda_diagnose_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

constexpr uint8_t kExponent3[] = {0x03};
constexpr uint8_t kExponent65537[] = {0x01, 0x00, 0x01};

bool same_bytes(EmvBytes a, EmvBytes b)
{
    return a.length == b.length && (a.length <= 0 || memcmp(a.data, b.data, (size_t)a.length) == 0);
}

// The block opened (header, trailer, format passed) and its hash failed.
bool hash_failed(EmvRecoverStatus status, const EmvChecks& c)
{
    return status == EMV_RECOVER_OK && c.header == EMV_CHECK_PASSED &&
           c.trailer == EMV_CHECK_PASSED && c.format == EMV_CHECK_PASSED &&
           c.hash == EMV_CHECK_FAILED;
}

bool opened(EmvRecoverStatus status, const EmvChecks& c)
{
    return status == EMV_RECOVER_OK && c.header == EMV_CHECK_PASSED &&
           c.trailer == EMV_CHECK_PASSED && c.format == EMV_CHECK_PASSED;
}

// Reopens the block with the signer's key and starts the search with the
// SHA-1 state after its signed content; false when it does not open.
bool start(EmvDiagnosisSearch* s, uint8_t format, const uint8_t* modulus, int32_t modulus_length,
           EmvBytes exponent, EmvBytes signed_data, const uint8_t* recovered_hash,
           EmvOdaDiagnosis* out)
{
    uint8_t block[kEmvMaxKeyLength];
    EmvChecks checks = {};
    if (emv_recover_block(format, modulus, modulus_length, exponent, signed_data, block, &checks) !=
        EMV_RECOVER_OK) {
        return false;
    }
    sha1_init(&s->base);
    sha1_update(&s->base, block + 1, (uint32_t)(modulus_length - 1 - kEmvTailLength));
    s->recovered_hash = recovered_hash;
    s->out = out;
    return true;
}

EmvBytes other_exponent(EmvBytes exponent)
{
    if (same_bytes(exponent, {kExponent3, 1})) {
        return {kExponent65537, 3};
    }
    return same_bytes(exponent, {kExponent65537, 3}) ? EmvBytes{kExponent3, 1} : kEmvNotGiven;
}

// A key certificate's hash without its remainder, with the other exponent,
// and both; static_data follows for the ICC certificate.
void diagnose_key_cert(const EmvDiagnosisSearch* search, EmvBytes remainder, EmvBytes exponent,
                       EmvBytes static_data)
{
    const EmvBytes empty = {nullptr, 0};
    const EmvBytes other = other_exponent(exponent);
    const bool has_remainder = emv_given(remainder) && remainder.length > 0;
    const struct {
        bool applies;
        uint32_t variants;
        EmvBytes remainder;
        EmvBytes exponent;
    } tries[] = {
        {has_remainder, EMV_VARIANT_WITHOUT_REMAINDER, empty, exponent},
        {emv_given(other), EMV_VARIANT_OTHER_EXPONENT, remainder, other},
        {has_remainder && emv_given(other),
         EMV_VARIANT_WITHOUT_REMAINDER | EMV_VARIANT_OTHER_EXPONENT, empty, other},
    };
    for (const auto& t : tries) {
        if (!t.applies) {
            continue;
        }
        Sha1Context ctx = search->base;
        emv_diagnosis_hash(&ctx, t.remainder);
        emv_diagnosis_hash(&ctx, t.exponent);
        emv_diagnosis_hash(&ctx, static_data);
        const EmvDiagnosisMatch match = emv_diagnosis_match(t.variants);
        emv_diagnosis_try(search, &ctx, &match);
    }
}

// An issuer certificate that does not open: every key of the list as long
// as it, but the one used, tried in turn.
void diagnose_recovery(const EmvOdaCard* card, const EmvCaKey* used, const EmvListedCaKey* list,
                       int32_t list_count, EmvOdaDiagnosis* out)
{
    const EmvBytes cert = emv_oda_object(card, 0x90);
    const EmvBytes exponent = emv_oda_object(card, 0x9F32);
    if (!emv_given(cert) || !emv_given(exponent) || !emv_given(card->ca_index)) {
        return;
    }
    out->check = EMV_DIAGNOSIS_RECOVERY;
    for (int32_t i = 0; i < list_count; ++i) {
        const EmvCaKey& key = list[i].key;
        if (key.modulus.length != cert.length ||
            (used != nullptr && same_bytes(key.modulus, used->modulus) &&
             same_bytes(key.exponent, used->exponent))) {
            continue;
        }
        ++out->tried;
        EmvIssuerCert opened_cert;
        const EmvRecoverStatus status =
            emv_recover_issuer_cert(key.modulus.data, key.modulus.length, key.exponent, cert,
                                    emv_oda_object(card, 0x92), exponent, nullptr, &opened_cert);
        if (opened(status, opened_cert.common.checks) &&
            opened_cert.common.checks.hash == EMV_CHECK_PASSED) {
            EmvDiagnosisMatch match = emv_diagnosis_match(EMV_VARIANT_OTHER_CA_KEY);
            match.has_key = true;
            memcpy(match.rid, list[i].rid, sizeof match.rid);
            match.index = list[i].index;
            if (out->match_count < kEmvDiagnosisMaxMatches) {
                out->matches[out->match_count] = match;
            }
            ++out->match_count;
        }
    }
}

void diagnose_issuer(const EmvOdaCard* card, const EmvCaKey* ca_key, const EmvOdaResult* r,
                     EmvOdaDiagnosis* out)
{
    EmvDiagnosisSearch search;
    if (!start(&search, EMV_FORMAT_ISSUER_CERT, ca_key->modulus.data, ca_key->modulus.length,
               ca_key->exponent, emv_oda_object(card, 0x90), r->issuer.common.hash, out)) {
        return;
    }
    out->check = EMV_DIAGNOSIS_HASH;
    diagnose_key_cert(&search, emv_oda_object(card, 0x92), emv_oda_object(card, 0x9F32),
                      {nullptr, 0});
}

// SSAD or the ICC certificate: the static data's variants (and the ICC
// certificate's own).
void diagnose_static(const EmvOdaCard* card, const EmvOdaResult* r, EmvOdaDiagnosis* out)
{
    const bool icc = r->failed_step == EMV_ODA_STEP_ICC;
    const EmvPublicKey& key = r->issuer.key;
    EmvDiagnosisSearch search;
    if (!start(&search, icc ? EMV_FORMAT_ICC_CERT : EMV_FORMAT_SSAD, key.modulus,
               key.modulus_length, emv_oda_object(card, 0x9F32),
               emv_oda_object(card, icc ? 0x9F46 : 0x93),
               icc ? r->icc.common.hash : r->ssad.common.hash, out)) {
        return;
    }
    out->check = EMV_DIAGNOSIS_HASH;
    const EmvDiagnosisSearch cert = search;
    const EmvBytes remainder = emv_oda_object(card, 0x9F48);
    const EmvBytes exponent = emv_oda_object(card, 0x9F47);
    if (icc) {
        emv_diagnosis_hash(&search.base, remainder);
        emv_diagnosis_hash(&search.base, exponent);
    }
    emv_diagnose_static_data(card, &search);
    if (icc) {
        diagnose_key_cert(&cert, remainder, exponent, {r->static_data, r->static_data_length});
    }
}

// DDA: the DDOL data cut at each element boundary of 9F49 (without it, at
// every shorter length).
void diagnose_ddol(const EmvOdaCard* card, const EmvDiagnosisSearch* search)
{
    const EmvBytes data = card->ddol_data;
    const EmvBytes ddol = emv_oda_object(card, 0x9F49);
    EmvDol dol;
    const bool has_dol = emv_given(ddol) && emv_dol_parse(ddol, &dol, nullptr) == EMV_TLV_OK;
    const int32_t cuts = has_dol ? dol.count + 1 : (data.length > 0 ? data.length : 0);
    int32_t length = 0;
    for (int32_t k = 0; k < cuts; ++k) {
        length = has_dol ? (k == 0 ? 0 : length + dol.entries[k - 1].length) : k;
        if (length >= data.length) {
            break;
        }
        Sha1Context ctx = search->base;
        emv_diagnosis_hash(&ctx, {data.data, length});
        EmvDiagnosisMatch match = emv_diagnosis_match(EMV_VARIANT_DDOL_ELEMENTS);
        match.elements = has_dol ? k : -1;
        match.length = length;
        emv_diagnosis_try(search, &ctx, &match);
    }
}

// CDA: the unpredictable number of the PDOL data, or the whole CDOL1 data,
// instead of the number CDOL1 places.
void diagnose_cda_sdad(const EmvOdaCard* card, const EmvDiagnosisSearch* search)
{
    const EmvBytes number = emv_oda_unpredictable_number(card, 0x8C, card->cdol1_data);
    const EmvBytes from_pdol = emv_oda_unpredictable_number(card, 0x9F38, card->pdol_data);
    const struct {
        uint32_t variant;
        EmvBytes data;
    } tries[] = {{EMV_VARIANT_UNPREDICTABLE_NUMBER_FROM_PDOL, from_pdol},
                 {EMV_VARIANT_CDOL1_DATA, card->cdol1_data}};
    for (const auto& t : tries) {
        if (!emv_given(t.data) || same_bytes(t.data, number)) {
            continue;
        }
        Sha1Context ctx = search->base;
        emv_diagnosis_hash(&ctx, t.data);
        const EmvDiagnosisMatch match = emv_diagnosis_match(t.variant);
        emv_diagnosis_try(search, &ctx, &match);
    }
}

// fDDA: the terminal data and 9F69 signed without 9F69, the unpredictable
// number alone, or 9F69 first.
void diagnose_fdda_sdad(const EmvFddaResult& f, const EmvDiagnosisSearch* search)
{
    const EmvBytes none = {nullptr, 0};
    const bool has_card_data = emv_given(f.card_data) && f.card_data.length > 0;
    const bool has_more = (emv_given(f.amount) && f.amount.length > 0) ||
                          (emv_given(f.currency) && f.currency.length > 0) || has_card_data;
    const struct {
        bool applies;
        uint32_t variant;
        EmvBytes parts[4];
    } tries[] = {
        {has_card_data,
         EMV_VARIANT_WITHOUT_CARD_DATA,
         {f.unpredictable_number, f.amount, f.currency, none}},
        {has_more,
         EMV_VARIANT_UNPREDICTABLE_NUMBER_ONLY,
         {f.unpredictable_number, none, none, none}},
        {has_card_data,
         EMV_VARIANT_CARD_DATA_FIRST,
         {f.card_data, f.unpredictable_number, f.amount, f.currency}},
    };
    for (const auto& t : tries) {
        if (!t.applies || !emv_given(f.unpredictable_number)) {
            continue;
        }
        Sha1Context ctx = search->base;
        for (const EmvBytes& part : t.parts) {
            emv_diagnosis_hash(&ctx, part);
        }
        const EmvDiagnosisMatch match = emv_diagnosis_match(t.variant);
        emv_diagnosis_try(search, &ctx, &match);
    }
}

// The signature the method's sdad step checked.
EmvBytes signed_dynamic_data(const EmvOdaCard* card, const EmvOdaResult* r)
{
    switch (r->method) {
        case EMV_ODA_DDA:
            return card->ia_sdad;
        case EMV_ODA_FDDA:
            return r->fdda.sdad;
        default:
            return card->genac_sdad;
    }
}

void diagnose_sdad(const EmvOdaCard* card, const EmvOdaResult* r, EmvOdaDiagnosis* out)
{
    const EmvPublicKey& key = r->icc.key;
    const EmvBytes sdad = signed_dynamic_data(card, r);
    EmvDiagnosisSearch search;
    if (!start(&search, EMV_FORMAT_SDAD, key.modulus, key.modulus_length,
               emv_oda_object(card, 0x9F47), sdad, r->sdad.common.hash, out)) {
        return;
    }
    out->check = EMV_DIAGNOSIS_HASH;
    if (r->method == EMV_ODA_DDA) {
        diagnose_ddol(card, &search);
    } else if (r->method == EMV_ODA_CDA) {
        diagnose_cda_sdad(card, &search);
    } else if (r->method == EMV_ODA_FDDA) {
        diagnose_fdda_sdad(r->fdda, &search);
    }
}

// SHA-1 of the GENERATE AC answer's objects but 9F4B, as returned.
void hash_response(Sha1Context* ctx, EmvBytes response_template)
{
    EmvTlvReader reader = emv_tlv_reader(response_template);
    EmvTlv object;
    while (emv_tlv_next(&reader, &object, nullptr) == EMV_TLV_OK) {
        if (object.tag != 0x9F4B) {
            emv_diagnosis_hash(ctx, emv_tlv_encoded(&object));
        }
    }
}

// CDA's transaction data hash code without the PDOL data or with its 83
// template as sent, without the CDOL1 data, and the combinations.
void diagnose_transaction_data(const EmvOdaCard* card, const EmvOdaResult* r, EmvOdaDiagnosis* out)
{
    EmvDiagnosisSearch search = {};
    sha1_init(&search.base);
    search.recovered_hash = r->cda.transaction_data_hash;
    search.out = out;
    out->check = EMV_DIAGNOSIS_TRANSACTION_DATA_HASH;
    const EmvBytes none = {nullptr, 0};
    const EmvBytes pdol = card->pdol_data;
    const EmvBytes cdol1 = card->cdol1_data;
    const bool has_pdol = emv_given(pdol) && pdol.length > 0;
    const bool has_cdol1 = emv_given(cdol1) && cdol1.length > 0;
    const bool has_template = emv_given(card->gpo_data) && !same_bytes(card->gpo_data, pdol);
    const struct {
        bool applies;
        uint32_t variants;
        EmvBytes first;
        EmvBytes second;
    } tries[] = {
        {has_pdol, EMV_VARIANT_WITHOUT_PDOL_DATA, none, cdol1},
        {has_template, EMV_VARIANT_WITH_PDOL_TEMPLATE, card->gpo_data, cdol1},
        {has_cdol1, EMV_VARIANT_WITHOUT_CDOL1_DATA, pdol, none},
        {has_cdol1 && has_pdol, EMV_VARIANT_WITHOUT_CDOL1_DATA | EMV_VARIANT_WITHOUT_PDOL_DATA,
         none, none},
        {has_cdol1 && has_template, EMV_VARIANT_WITHOUT_CDOL1_DATA | EMV_VARIANT_WITH_PDOL_TEMPLATE,
         card->gpo_data, none},
    };
    for (const auto& t : tries) {
        if (!t.applies) {
            continue;
        }
        Sha1Context ctx = search.base;
        emv_diagnosis_hash(&ctx, t.first);
        emv_diagnosis_hash(&ctx, t.second);
        hash_response(&ctx, card->genac_template);
        const EmvDiagnosisMatch match = emv_diagnosis_match(t.variants);
        emv_diagnosis_try(&search, &ctx, &match);
    }
}

void diagnose_step(const EmvOdaCard* card, const EmvCaKey* ca_key, const EmvListedCaKey* list,
                   int32_t list_count, const EmvOdaResult* r, EmvOdaDiagnosis* out)
{
    switch (r->failed_step) {
        case EMV_ODA_STEP_CA_KEY:
            diagnose_recovery(card, ca_key, list, list_count, out);
            break;
        case EMV_ODA_STEP_ISSUER:
            if (ca_key != nullptr && hash_failed(r->issuer_status, r->issuer.common.checks)) {
                diagnose_issuer(card, ca_key, r, out);
            } else if (r->issuer_made && !opened(r->issuer_status, r->issuer.common.checks)) {
                diagnose_recovery(card, ca_key, list, list_count, out);
            }
            break;
        case EMV_ODA_STEP_SSAD:
            if (hash_failed(r->ssad_status, r->ssad.common.checks)) {
                diagnose_static(card, r, out);
            }
            break;
        case EMV_ODA_STEP_ICC:
            if (hash_failed(r->icc_status, r->icc.common.checks)) {
                diagnose_static(card, r, out);
            }
            break;
        case EMV_ODA_STEP_SDAD:
            if (hash_failed(r->sdad_status, r->sdad.common.checks)) {
                diagnose_sdad(card, r, out);
            }
            break;
        case EMV_ODA_STEP_CDA:
            if (r->cda_made && r->cda.layout == EMV_CHECK_PASSED &&
                r->cda.transaction_data_hash_check == EMV_CHECK_FAILED) {
                diagnose_transaction_data(card, r, out);
            }
            break;
        default:
            break;
    }
}

}  // namespace

EmvDiagnosisMatch emv_diagnosis_match(uint32_t variants)
{
    EmvDiagnosisMatch match = {};
    match.variants = variants;
    match.elements = -1;
    match.length = -1;
    return match;
}

void emv_diagnosis_hash(Sha1Context* ctx, EmvBytes part)
{
    if (emv_given(part) && part.length > 0) {
        sha1_update(ctx, part.data, (uint32_t)part.length);
    }
}

bool emv_diagnosis_try(const EmvDiagnosisSearch* search, const Sha1Context* ctx,
                       const EmvDiagnosisMatch* match)
{
    Sha1Context copy = *ctx;
    uint8_t digest[kSha1DigestSize];
    sha1_final(&copy, digest);
    EmvOdaDiagnosis* out = search->out;
    ++out->tried;
    if (memcmp(digest, search->recovered_hash, kSha1DigestSize) != 0) {
        return false;
    }
    if (out->match_count < kEmvDiagnosisMaxMatches) {
        out->matches[out->match_count] = *match;
    }
    ++out->match_count;
    return true;
}

void emv_oda_diagnose(const EmvOdaCard* card, const EmvCaKey* ca_key, const EmvListedCaKey* list,
                      int32_t list_count, const EmvOdaResult* result, EmvOdaDiagnosis* out)
{
    memset(out, 0, sizeof *out);
    if (card == nullptr || result == nullptr || result->outcome != EMV_ODA_FAILED) {
        return;
    }
    diagnose_step(card, ca_key, list, list != nullptr ? list_count : 0, result, out);
    if (out->tried == 0) {
        memset(out, 0, sizeof *out);
        return;
    }
    out->made = true;
    out->step = result->failed_step;
}

const char* emv_variant_name(uint32_t variant)
{
    static const char* const kNames[kEmvVariantBits] = {
        "records_with_template",
        "records_without_template",
        "without_tag_list",
        "with_aip",
        "oda_counts",
        "later_answer",
        "afl_sorted",
        "ddol_elements",
        "unpredictable_number_from_pdol",
        "cdol1_data",
        "without_pdol_data",
        "with_pdol_template",
        "without_cdol1_data",
        "without_remainder",
        "other_exponent",
        "other_ca_key",
        "without_card_data",
        "unpredictable_number_only",
        "card_data_first",
    };
    for (int32_t i = 0; i < kEmvVariantBits; ++i) {
        if (variant == (1u << i)) {
            return kNames[i];
        }
    }
    return nullptr;
}

const char* emv_diagnosis_check_name(EmvDiagnosisCheck check)
{
    switch (check) {
        case EMV_DIAGNOSIS_HASH:
            return "hash";
        case EMV_DIAGNOSIS_TRANSACTION_DATA_HASH:
            return "transaction_data_hash";
        case EMV_DIAGNOSIS_RECOVERY:
            return "recovery";
        default:
            return nullptr;
    }
}
