// CDA's own checks on the SDAD of a GENERATE AC: the answer one 77
// template; the ICC dynamic data laid out as dynamic number length | number
// | CID | cryptogram | transaction data hash code; the CID against 9F27; the
// hash code against SHA-1 of the PDOL data, the CDOL1 data (and, for the
// second GENERATE AC, the CDOL2 data) and the response's objects but 9F4B.
#include <cstring>

#include "emv/emv_dol.h"
#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

constexpr int32_t kCryptogramLength = 8;

void sha1_part(Sha1Context* ctx, EmvBytes part)
{
    if (emv_given(part) && part.length > 0) {
        sha1_update(ctx, part.data, (uint32_t)part.length);
    }
}

// SHA-1 of PDOL data | CDOL1 data | CDOL2 data | every object of the 77
// template but 9F4B, as encoded, in the order returned.
void transaction_data_hash(const EmvOdaCard* card, const EmvGenerateAc* ac, EmvBytes cdol2_data,
                           uint8_t digest[kSha1DigestSize])
{
    Sha1Context ctx;
    sha1_init(&ctx);
    sha1_part(&ctx, card->pdol_data);
    sha1_part(&ctx, card->cdol1_data);
    sha1_part(&ctx, cdol2_data);
    EmvTlvReader reader = emv_tlv_reader(ac->response_template);
    EmvTlv object;
    while (emv_tlv_next(&reader, &object, nullptr) == EMV_TLV_OK) {
        if (object.tag != 0x9F4B) {
            sha1_part(&ctx, emv_tlv_encoded(&object));
        }
    }
    sha1_final(&ctx, digest);
}

// Reads the layout; false when the ICC dynamic data cannot hold it.
bool read_layout(const EmvSdad* sdad, EmvCdaResult* cda)
{
    const uint8_t* d = sdad->icc_dynamic_data;
    const int32_t length = sdad->icc_dynamic_data_length;
    if (length < 1) {
        return false;
    }
    const int32_t number_length = d[0];
    if (number_length < 2 || number_length > 8 ||
        length < 1 + number_length + 1 + kCryptogramLength + kSha1DigestSize) {
        return false;
    }
    memcpy(cda->icc_dynamic_number, d + 1, (size_t)number_length);
    cda->icc_dynamic_number_length = number_length;
    const uint8_t* p = d + 1 + number_length;
    cda->cid = p[0];
    memcpy(cda->application_cryptogram, p + 1, kCryptogramLength);
    memcpy(cda->transaction_data_hash, p + 1 + kCryptogramLength, kSha1DigestSize);
    return true;
}

}  // namespace

EmvBytes emv_oda_unpredictable_number(const EmvOdaCard* card, uint32_t dol_tag, EmvBytes data)
{
    EmvDol dol;
    if (emv_dol_parse(emv_oda_object(card, dol_tag), &dol, nullptr) != EMV_TLV_OK) {
        return kEmvNotGiven;
    }
    return emv_dol_value(&dol, data, 0x9F37);
}

EmvGenerateAc emv_oda_first_ac(const EmvOdaCard* card)
{
    return {card->genac_line, card->genac_format,        card->cda_requested,
            card->cdol1_data, card->genac_template,      card->genac_sdad,
            card->genac_cid,  card->genac_template_whole};
}

bool emv_oda_check_cda(const EmvOdaCard* card, const EmvGenerateAc* ac, EmvBytes cdol2_data,
                       const EmvSdad* sdad, EmvCdaResult* cda)
{
    cda->response_template = emv_result(ac->template_whole);
    transaction_data_hash(card, ac, cdol2_data, cda->computed_hash);
    cda->layout = emv_result(read_layout(sdad, cda));
    if (cda->layout != EMV_CHECK_PASSED) {
        return false;
    }
    const EmvBytes cid = ac->cid;
    cda->cid_check = emv_result(emv_given(cid) && cid.length == 1 && cid.data[0] == cda->cid);
    cda->transaction_data_hash_check =
        emv_result(memcmp(cda->computed_hash, cda->transaction_data_hash, kSha1DigestSize) == 0);
    return cda->response_template == EMV_CHECK_PASSED && cda->cid_check == EMV_CHECK_PASSED &&
           cda->transaction_data_hash_check == EMV_CHECK_PASSED;
}
