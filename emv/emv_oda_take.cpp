// What each command of a transaction tells about the card: the AID from
// SELECT, PDOL data, AIP and AFL from GET PROCESSING OPTIONS, records, the
// DDOL data and SDAD of INTERNAL AUTHENTICATE, and the CDOL1 data and
// response of GENERATE AC.
#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

// The first object of data (well-formed), or false when it has none.
bool first_object(EmvBytes data, EmvTlv* out)
{
    EmvTlvReader reader = emv_tlv_reader(data);
    return emv_tlv_next(&reader, out, nullptr) == EMV_TLV_OK;
}

void bad_response(EmvOdaCard* card, int32_t line)
{
    emv_oda_error(card, EMV_ODA_ERROR_BAD_RESPONSE, line, {EMV_TLV_OK, 0});
}

// A response that must be template 80 or 77: which one, and its object;
// 0 after recording why it is neither.
uint8_t response_format(EmvOdaCard* card, EmvBytes data, int32_t line, EmvTlv* object)
{
    if (!emv_oda_tlv_ok(card, data, line)) {
        return 0;
    }
    if (first_object(data, object) && object->tag == 0x80) {
        return 1;
    }
    if (first_object(data, object) && object->tag == 0x77) {
        emv_oda_add_objects(card, data, line);
        return 2;
    }
    bad_response(card, line);
    return 0;
}

// The GET PROCESSING OPTIONS command's 83: its first object, or for the
// extended command (80 E0) the top-level 83 among its objects.
bool pdol_template(const EmvCommand* command, EmvTlv* out)
{
    if (command->ins != 0xE0) {
        return first_object(command->data, out) && out->tag == 0x83;
    }
    EmvTlvReader reader = emv_tlv_reader(command->data);
    while (emv_tlv_next(&reader, out, nullptr) == EMV_TLV_OK) {
        if (out->tag == 0x83) {
            return true;
        }
    }
    return false;
}

}  // namespace

void emv_oda_take_select(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line)
{
    card->select_line = line;
    card->aid = command->data;
    if (!emv_oda_tlv_ok(card, data, line)) {
        return;
    }
    emv_oda_add_objects(card, data, line);
    const EmvBytes df_name = emv_oda_find_value(data, 0x84);
    if (emv_given(df_name)) {
        card->aid = df_name;
    }
}

void emv_oda_take_gpo(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line)
{
    card->gpo_line = line;
    EmvTlv command_template;
    if (!pdol_template(command, &command_template)) {
        emv_oda_error(card, EMV_ODA_ERROR_BAD_COMMAND, line, {EMV_TLV_OK, 0});
    } else {
        card->pdol_data = emv_tlv_value(&command_template);
    }
    EmvTlv object;
    card->gpo_format = response_format(card, data, line, &object);
    EmvBytes aip = kEmvNotGiven;
    if (card->gpo_format == 1 && object.length >= 2) {
        aip = {object.value, 2};
        card->afl = {object.value + 2, object.length - 2};
    } else if (card->gpo_format == 2) {
        aip = emv_oda_find_value(emv_tlv_value(&object), 0x82);
        card->afl = emv_oda_find_value(emv_tlv_value(&object), 0x94);
        card->gpo_template = emv_tlv_value(&object);
    }
    if (card->gpo_format != 0 && (!emv_given(aip) || aip.length != 2)) {
        bad_response(card, line);
        return;
    }
    if (card->gpo_format != 0) {
        card->has_aip = true;
        card->aip[0] = aip.data[0];
        card->aip[1] = aip.data[1];
    }
}

void emv_oda_take_record(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line)
{
    const uint8_t sfi = command->p2 >> 3;
    for (int32_t i = 0; i < card->record_count; ++i) {
        if (card->records[i].sfi == sfi && card->records[i].number == command->p1) {
            return;  // read before: the first answer counts
        }
    }
    // SFI 1-10 records are BER-TLV; a record of SFI 11-30 is authenticated
    // as read, so it is kept whatever it holds (its objects only when it
    // is well-formed).
    const bool tlv = emv_tlv_check(data, nullptr) == EMV_TLV_OK;
    if (sfi <= 10 && !emv_oda_tlv_ok(card, data, line)) {
        return;
    }
    if (card->record_count == kEmvOdaMaxRecords) {
        emv_oda_error(card, EMV_ODA_ERROR_TOO_MANY_RECORDS, line, {EMV_TLV_OK, 0});
        return;
    }
    card->records[card->record_count++] = {sfi, command->p1, false, data, line};
    if (tlv) {
        emv_oda_add_objects(card, data, line);
    }
}

void emv_oda_take_internal_auth(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                                int32_t line)
{
    card->ia_line = line;
    card->ddol_data = command->data;
    EmvTlv object;
    card->ia_format = response_format(card, data, line, &object);
    if (card->ia_format == 1) {
        card->ia_sdad = emv_tlv_value(&object);
    } else if (card->ia_format == 2) {
        card->ia_sdad = emv_oda_find_value(emv_tlv_value(&object), 0x9F4B);
    }
}

void emv_oda_take_generate_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                              int32_t line)
{
    card->genac_line = line;
    card->cda_requested = (command->p1 & 0x10) != 0;
    card->cdol1_data = command->data;
    EmvTlv object;
    card->genac_format = response_format(card, data, line, &object);
    if (card->genac_format == 1 && object.length >= 1) {
        card->genac_cid = {object.value, 1};
    } else if (card->genac_format == 2) {
        card->genac_template = emv_tlv_value(&object);
        card->genac_sdad = emv_oda_find_value(card->genac_template, 0x9F4B);
        card->genac_cid = emv_oda_find_value(card->genac_template, 0x9F27);
    }
}
