// Offline data authentication of a collected card: the method, the data it
// needs, its steps in order (the first failure stops the rest), and the TVR
// bits a terminal would set.
#include <cstring>

#include "emv/emv_dol.h"
#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

constexpr int32_t kIssuerCertFixed = 36;  // issuer certificate bytes around its key field
constexpr int32_t kIccCertFixed = 42;
constexpr int32_t kEmvPanMaxDigits = 19;
constexpr int32_t kPanTextSize = kEmvPanMaxDigits + 2;

// What the steps share.
struct Run {
    const EmvOdaCard* card;
    const EmvCaKey* ca_key;
    EmvCertOptions cert_options;
    EmvOdaResult* result;
    bool pan_malformed;  // the PAN checked is 5A's, and 5A is not digits then F
};

bool passed(EmvCheckResult r)
{
    return r == EMV_CHECK_PASSED;
}

// Every check of the common part made and passed, and nothing failed.
bool common_passed(EmvRecoverStatus status, const EmvChecks& c)
{
    return status == EMV_RECOVER_OK && emv_checks_valid(&c) && passed(c.length) &&
           passed(c.header) && passed(c.trailer) && passed(c.format) && passed(c.hash_algorithm) &&
           passed(c.hash);
}

bool key_cert_passed(EmvRecoverStatus status, const EmvChecks& c)
{
    return common_passed(status, c) && passed(c.pk_algorithm) && passed(c.key_length) &&
           passed(c.expiry) && passed(c.pan) && passed(c.pan_form);
}

// The value of a data object the step needs; named in missing when absent.
EmvBytes need(Run* run, uint32_t tag, EmvBytes value)
{
    if (!emv_given(value)) {
        emv_oda_add_missing(run->result, {tag, 0, 0});
    }
    return value;
}

EmvBytes need(Run* run, uint32_t tag)
{
    return need(run, tag, emv_oda_object(run->card, tag));
}

// An optional data object: given, or not given when absent.
EmvBytes object(const Run* run, uint32_t tag)
{
    return emv_oda_object(run->card, tag);
}

// A 5A that is not digits then F padding fails the PAN form of every
// certificate checked against it.
void judge_pan_form(const Run* run, EmvRecoverStatus status, EmvChecks* checks)
{
    if (run->pan_malformed && status == EMV_RECOVER_OK) {
        checks->pan_form = EMV_CHECK_FAILED;
    }
}

// The remainder, which is needed only when the key is longer than its field.
void need_remainder(Run* run, uint32_t tag, uint8_t pk_length, int32_t field)
{
    if (pk_length > field && !emv_given(object(run, tag))) {
        emv_oda_add_missing(run->result, {tag, 0, 0});
    }
}

// Every data object the method needs, named when absent (remainders are
// named once the certificates say whether they are needed).
void name_needed(Run* run, EmvOdaMethod method)
{
    const EmvOdaCard* card = run->card;
    const uint32_t always[] = {0x8F, 0x90, 0x9F32};
    for (uint32_t tag : always) {
        need(run, tag);
    }
    if (run->cert_options.pan == nullptr) {
        need(run, 0x5A);
    }
    if (method == EMV_ODA_SDA) {
        need(run, 0x93);
        return;
    }
    need(run, 0x9F46);
    need(run, 0x9F47);
    if (method == EMV_ODA_FDDA) {
        emv_oda_fdda_prepare(card, run->result);
        return;
    }
    if (method == EMV_ODA_DDA) {
        need(run, 0x9F4B, card->ia_sdad);
        return;
    }
    need(run, 0x9F4B, card->genac_sdad);
    need(run, 0x9F27, card->genac_cid);
    need(run, 0x8C);
}

EmvOdaStep step_issuer(Run* run)
{
    EmvOdaResult* r = run->result;
    const EmvBytes cert = object(run, 0x90);
    const EmvBytes exponent = object(run, 0x9F32);
    if (!emv_given(cert) || !emv_given(exponent)) {
        return EMV_ODA_STEP_ISSUER;
    }
    const EmvCaKey* ca = run->ca_key;
    r->issuer_made = true;
    r->issuer_status =
        emv_recover_issuer_cert(ca->modulus.data, ca->modulus.length, ca->exponent, cert,
                                object(run, 0x92), exponent, &run->cert_options, &r->issuer);
    // A CA key that cannot be used, or too short for the certificate's
    // layout, is the CA key's failure.
    if (r->issuer_status == EMV_RECOVER_BAD_KEY || r->issuer_status == EMV_RECOVER_SHORT_MODULUS) {
        return EMV_ODA_STEP_CA_KEY;
    }
    if (r->issuer_status == EMV_RECOVER_OK) {
        need_remainder(run, 0x92, r->issuer.pk_length, ca->modulus.length - kIssuerCertFixed);
    }
    judge_pan_form(run, r->issuer_status, &r->issuer.common.checks);
    return key_cert_passed(r->issuer_status, r->issuer.common.checks) ? EMV_ODA_STEP_NONE
                                                                      : EMV_ODA_STEP_ISSUER;
}

EmvOdaStep step_ssad(Run* run)
{
    EmvOdaResult* r = run->result;
    const EmvBytes ssad = object(run, 0x93);
    if (!emv_given(ssad)) {
        return EMV_ODA_STEP_SSAD;
    }
    const EmvPublicKey& key = r->issuer.key;
    r->ssad_made = true;
    r->ssad_status = emv_recover_ssad(key.modulus, key.modulus_length, object(run, 0x9F32), ssad,
                                      {r->static_data, r->static_data_length}, &r->ssad);
    return common_passed(r->ssad_status, r->ssad.common.checks) ? EMV_ODA_STEP_NONE
                                                                : EMV_ODA_STEP_SSAD;
}

EmvOdaStep step_icc(Run* run)
{
    EmvOdaResult* r = run->result;
    const EmvBytes cert = object(run, 0x9F46);
    const EmvBytes exponent = object(run, 0x9F47);
    if (!emv_given(cert) || !emv_given(exponent)) {
        return EMV_ODA_STEP_ICC;
    }
    const EmvPublicKey& key = r->issuer.key;
    r->icc_made = true;
    r->icc_status = emv_recover_icc_cert(
        key.modulus, key.modulus_length, object(run, 0x9F32), cert, object(run, 0x9F48), exponent,
        {r->static_data, r->static_data_length}, &run->cert_options, &r->icc);
    if (r->icc_status == EMV_RECOVER_OK) {
        need_remainder(run, 0x9F48, r->icc.pk_length, key.modulus_length - kIccCertFixed);
    }
    judge_pan_form(run, r->icc_status, &r->icc.common.checks);
    return key_cert_passed(r->icc_status, r->icc.common.checks) ? EMV_ODA_STEP_NONE
                                                                : EMV_ODA_STEP_ICC;
}

// The unpredictable number a DOL places, kept in the CDA result.
EmvBytes unpredictable_number(const Run* run, uint32_t dol_tag, EmvBytes data, EmvCdaResult* cda)
{
    const EmvBytes number = emv_oda_unpredictable_number(run->card, dol_tag, data);
    cda->unpredictable_number_length = -1;
    if (emv_given(number) && number.length <= kEmvOdaMaxUnpredictable) {
        memcpy(cda->unpredictable_number, number.data, (size_t)number.length);
        cda->unpredictable_number_length = number.length;
    }
    return number;
}

// DDA's checks of the exchange: the answer's template, and with the card's
// DDOL, that it asks for the unpredictable number and is what was sent.
bool check_dda_exchange(const Run* run, EmvDdaChecks* checks)
{
    const EmvOdaCard* card = run->card;
    checks->response_template = emv_result(card->ia_template_whole);
    const EmvBytes ddol = object(run, 0x9F49);
    if (emv_given(ddol)) {
        EmvDol dol;
        const bool parsed = emv_dol_parse(ddol, &dol, nullptr) == EMV_TLV_OK;
        bool names_number = false;
        for (int32_t i = 0; parsed && i < dol.count; ++i) {
            names_number = names_number || dol.entries[i].tag == 0x9F37;
        }
        checks->ddol_unpredictable_number = emv_result(names_number);
        checks->ddol_data_length = emv_result(parsed && dol.data_length == card->ddol_data.length);
    }
    return checks->response_template == EMV_CHECK_PASSED &&
           checks->ddol_unpredictable_number != EMV_CHECK_FAILED &&
           checks->ddol_data_length != EMV_CHECK_FAILED;
}

bool sdad_passed(EmvRecoverStatus status, const EmvSdad& sdad)
{
    return common_passed(status, sdad.common.checks) &&
           passed(sdad.common.checks.dynamic_data_length);
}

// The SDAD with the ICC key: DDA's over the DDOL data, CDA's over the
// unpredictable number.
EmvOdaStep step_sdad(Run* run, EmvOdaMethod method)
{
    EmvOdaResult* r = run->result;
    const EmvOdaCard* card = run->card;
    if (method == EMV_ODA_FDDA) {
        return emv_oda_fdda_check(card, r) ? EMV_ODA_STEP_NONE : EMV_ODA_STEP_SDAD;
    }
    const EmvBytes sdad = method == EMV_ODA_DDA ? card->ia_sdad : card->genac_sdad;
    if (!emv_given(sdad) || (method == EMV_ODA_CDA && !emv_given(object(run, 0x8C)))) {
        return EMV_ODA_STEP_SDAD;
    }
    EmvBytes dynamic_data = card->ddol_data;
    if (method == EMV_ODA_CDA) {
        dynamic_data = unpredictable_number(run, 0x8C, card->cdol1_data, &r->cda);
    }
    const EmvPublicKey& key = r->icc.key;
    r->sdad_made = true;
    r->sdad_status = emv_recover_sdad(key.modulus, key.modulus_length, object(run, 0x9F47), sdad,
                                      dynamic_data, &r->sdad);
    bool ok = sdad_passed(r->sdad_status, r->sdad);
    if (method == EMV_ODA_DDA) {
        ok = check_dda_exchange(run, &r->sdad_checks) && ok;
    }
    return ok ? EMV_ODA_STEP_NONE : EMV_ODA_STEP_SDAD;
}

// A second GENERATE AC that requested CDA and was answered with a TC and
// its signature is checked as the first; false when it fails.
bool check_second_ac(Run* run)
{
    EmvOdaResult* r = run->result;
    const EmvGenerateAc& ac = run->card->genac2;
    const bool tc = emv_given(ac.cid) && ac.cid.length == 1 && (ac.cid.data[0] & 0xC0) == 0x40;
    if (ac.line == 0 || !ac.cda_requested || !tc || !emv_given(ac.sdad)) {
        return true;
    }
    EmvBytes number = unpredictable_number(run, 0x8D, ac.data, &r->cda_second);
    if (!emv_given(number)) {
        number = {nullptr, 0};
    }
    const EmvPublicKey& key = r->icc.key;
    r->sdad_second_made = true;
    r->sdad_second_status = emv_recover_sdad(key.modulus, key.modulus_length, object(run, 0x9F47),
                                             ac.sdad, number, &r->sdad_second);
    if (!sdad_passed(r->sdad_second_status, r->sdad_second)) {
        return false;
    }
    r->cda_second_made = true;
    return emv_oda_check_cda(run->card, &ac, ac.data, &r->sdad_second, &r->cda_second);
}

EmvOdaStep step_cda(Run* run)
{
    EmvOdaResult* r = run->result;
    r->cda_made = true;
    const EmvGenerateAc first = emv_oda_first_ac(run->card);
    const bool first_ok = emv_oda_check_cda(run->card, &first, kEmvNotGiven, &r->sdad, &r->cda);
    const bool second_ok = check_second_ac(run);
    return first_ok && second_ok ? EMV_ODA_STEP_NONE : EMV_ODA_STEP_CDA;
}

EmvOdaStep run_steps(Run* run, EmvOdaMethod method)
{
    if (emv_static_data_read_failed(run->result->static_data_status)) {
        return EMV_ODA_STEP_STATIC_DATA;
    }
    if (!emv_given(object(run, 0x8F)) || run->ca_key == nullptr) {
        return EMV_ODA_STEP_CA_KEY;
    }
    EmvOdaStep failed = step_issuer(run);
    if (failed != EMV_ODA_STEP_NONE) {
        return failed;
    }
    if (run->result->static_data_status != EMV_STATIC_DATA_OK) {
        return EMV_ODA_STEP_STATIC_DATA;
    }
    if (method == EMV_ODA_SDA) {
        return step_ssad(run);
    }
    if ((failed = step_icc(run)) != EMV_ODA_STEP_NONE ||
        (failed = step_sdad(run, method)) != EMV_ODA_STEP_NONE) {
        return failed;
    }
    return method == EMV_ODA_CDA ? step_cda(run) : EMV_ODA_STEP_NONE;
}

// The PAN digits of 5A, read whole: true when it is 1-19 digits followed
// only by F padding. Otherwise out ends with '?' (a nibble that is not a
// digit, a digit after the padding, too many digits), so the PAN checks
// fail on it.
bool pan_digits(EmvBytes pan, char out[kPanTextSize])
{
    int32_t n = 0;
    bool padding = false;
    bool ok = true;
    for (int32_t i = 0; i < 2 * pan.length; ++i) {
        const uint8_t b = pan.data[i / 2];
        const uint8_t v = i % 2 == 0 ? (uint8_t)(b >> 4) : (uint8_t)(b & 0x0F);
        padding = padding || v == 0x0F;
        if (padding || v > 9 || n == kEmvPanMaxDigits) {
            ok = ok && v == 0x0F;
            continue;
        }
        out[n++] = (char)('0' + v);
    }
    ok = ok && n > 0;
    if (!ok) {
        out[n++] = '?';
    }
    out[n] = '\0';
    return ok;
}

uint8_t failed_bit(EmvOdaMethod method)
{
    switch (method) {
        case EMV_ODA_SDA:
            return EMV_TVR_SDA_FAILED;
        case EMV_ODA_DDA:
            return EMV_TVR_DDA_FAILED;
        default:
            return EMV_TVR_CDA_FAILED;
    }
}

}  // namespace

EmvOdaMethod emv_oda_choose_method(const EmvOdaCard* card)
{
    if (!card->has_aip) {
        return EMV_ODA_METHOD_NONE;
    }
    const uint8_t aip = card->aip[0];
    if ((aip & EMV_AIP_CDA) != 0 && card->genac_line != 0 && card->cda_requested) {
        return EMV_ODA_CDA;
    }
    const bool cda_requested = card->genac_line != 0 && card->cda_requested;
    if ((aip & EMV_AIP_DDA) != 0 && card->ia_line == 0 && !cda_requested &&
        emv_given(emv_oda_fdda_sdad(card))) {
        return EMV_ODA_FDDA;
    }
    if ((aip & EMV_AIP_DDA) != 0) {
        return EMV_ODA_DDA;
    }
    return (aip & EMV_AIP_SDA) != 0 ? EMV_ODA_SDA : EMV_ODA_METHOD_NONE;
}

void emv_oda_authenticate(const EmvOdaCard* card, const EmvCaKey* ca_key,
                          const EmvOdaOptions* options, EmvOdaResult* result)
{
    memset(result, 0, sizeof *result);
    result->cda.unpredictable_number_length = -1;
    result->cda_second.unpredictable_number_length = -1;
    const EmvOdaMethod forced = options != nullptr ? options->force : EMV_ODA_METHOD_NONE;
    const EmvOdaMethod method =
        forced != EMV_ODA_METHOD_NONE ? forced : emv_oda_choose_method(card);
    char pan[kPanTextSize] = {0};
    const bool pan_ok = emv_given(card->pan) && pan_digits(card->pan, pan);
    Run run = {
        card, ca_key, {nullptr, options != nullptr ? options->date : emv_today()}, result, false};
    if (options != nullptr && options->pan != nullptr) {
        run.cert_options.pan = options->pan;
    } else if (emv_given(card->pan)) {
        run.cert_options.pan = pan;
        run.pan_malformed = !pan_ok;
    }

    emv_oda_static_data(card, result);
    if (method == EMV_ODA_METHOD_NONE) {
        result->missing_count = 0;  // nothing is needed when nothing is made
        result->outcome = EMV_ODA_NOT_PERFORMED;
        result->tvr[0] = EMV_TVR_ODA_NOT_PERFORMED;
        return;
    }
    result->method = method;
    name_needed(&run, method);
    // Without a usable AFL a terminal reads no record: nothing is missing.
    if (result->static_data_status == EMV_STATIC_DATA_NO_AFL ||
        result->static_data_status == EMV_STATIC_DATA_BAD_AFL) {
        result->missing_count = 0;
    }
    result->failed_step = run_steps(&run, method);
    result->outcome = result->failed_step == EMV_ODA_STEP_NONE ? EMV_ODA_PASSED : EMV_ODA_FAILED;
    if (method == EMV_ODA_SDA) {
        result->tvr[0] |= EMV_TVR_SDA_SELECTED;
    }
    if (result->outcome == EMV_ODA_FAILED) {
        result->tvr[0] |= failed_bit(method);
    }
    if (result->missing_count > 0) {
        result->tvr[0] |= EMV_TVR_ICC_DATA_MISSING;
    }
    if (method == EMV_ODA_FDDA) {
        emv_oda_fdda_finish(result);
    }
}
