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

// One 77 template and nothing after it but padding, with at most one 9F4B.
bool template_whole(EmvBytes data)
{
    EmvTlvReader reader = emv_tlv_reader(data);
    EmvTlv object;
    if (emv_tlv_next(&reader, &object, nullptr) != EMV_TLV_OK ||
        emv_tlv_next(&reader, &object, nullptr) != EMV_TLV_END) {
        return false;
    }
    EmvTlvReader inside = emv_tlv_reader(data);
    emv_tlv_next(&inside, &object, nullptr);
    inside = emv_tlv_reader(emv_tlv_value(&object));
    int32_t signatures = 0;
    while (emv_tlv_next(&inside, &object, nullptr) == EMV_TLV_OK) {
        signatures += object.tag == 0x9F4B ? 1 : 0;
    }
    return signatures <= 1;
}

// A response that must be template 80 or 77: which one, its object, and
// whether it is whole; 0 after recording why it is neither.
uint8_t response_format(EmvOdaCard* card, EmvBytes data, const EmvObjectPlace& place,
                        EmvTlv* object, bool* whole)
{
    *whole = true;
    if (!emv_oda_tlv_ok(card, data, place.line)) {
        return 0;
    }
    if (first_object(data, object) && object->tag == 0x80) {
        return 1;
    }
    if (first_object(data, object) && object->tag == 0x77) {
        emv_oda_add_objects(card, emv_tlv_encoded(object), &place);
        *whole = template_whole(data);
        return 2;
    }
    bad_response(card, place.line);
    return 0;
}

// Where a record's objects are: the 70 template it starts with, when it
// fits the record (bytes after it are not read), else the whole record.
EmvBytes record_objects(EmvBytes data)
{
    EmvTlv object;
    if (data.length > 0 && data.data[0] == 0x70 && first_object(data, &object)) {
        return emv_tlv_encoded(&object);
    }
    return data;
}

// Keeps the record in the order read. When the room is full, a record the
// AFL lists takes the place of the last one it does not list, which is
// then only counted; a full room of AFL records is an error.
bool keep_record(EmvOdaCard* card, const EmvOdaRecord& record)
{
    if (card->record_count < kEmvOdaMaxRecords) {
        card->records[card->record_count++] = record;
        return true;
    }
    int32_t spare = card->record_count - 1;
    while (spare >= 0 && card->records[spare].in_afl) {
        --spare;
    }
    if (!record.in_afl || spare < 0) {
        if (record.in_afl) {
            emv_oda_error(card, EMV_ODA_ERROR_TOO_MANY_RECORDS, record.line, {EMV_TLV_OK, 0});
        } else {
            ++card->records_not_kept;
        }
        return false;
    }
    for (int32_t i = spare; i + 1 < card->record_count; ++i) {
        card->records[i] = card->records[i + 1];
    }
    card->records[card->record_count - 1] = record;
    ++card->records_not_kept;
    return true;
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
    const EmvObjectPlace place = {EMV_SOURCE_SELECT, 0, 0, line};
    emv_oda_add_objects(card, data, &place);
    const EmvBytes df_name = emv_oda_find_value(data, 0x84);
    if (emv_given(df_name)) {
        card->aid = df_name;
    }
}

namespace {

// AIP and AFL of a format 1 answer (80: AIP | AFL) or a format 2 one (77
// with 82 and 94); an AFL without one entry is none.
void read_aip_afl(EmvOdaCard* card, const EmvTlv& object, EmvBytes* aip)
{
    if (card->gpo_format == 1 && object.length >= 2) {
        *aip = {object.value, 2};
        card->afl = {object.value + 2, object.length - 2};
    } else if (card->gpo_format == 2) {
        *aip = emv_oda_find_value(emv_tlv_value(&object), 0x82);
        card->afl = emv_oda_find_value(emv_tlv_value(&object), 0x94);
        card->gpo_template = emv_tlv_value(&object);
    }
    if (emv_given(card->afl) && card->afl.length < 4) {
        card->afl = kEmvNotGiven;
    }
    emv_oda_read_afl(card);
}

}  // namespace

void emv_oda_take_gpo(EmvOdaCard* card, const EmvCommand* command, EmvBytes data, int32_t line)
{
    card->gpo_line = line;
    card->gpo_data = command->data;
    EmvTlv command_template;
    if (!pdol_template(command, &command_template)) {
        emv_oda_error(card, EMV_ODA_ERROR_BAD_COMMAND, line, {EMV_TLV_OK, 0});
    } else {
        card->pdol_data = emv_tlv_value(&command_template);
    }
    EmvTlv object;
    card->gpo_format = response_format(card, data, {EMV_SOURCE_GPO, 0, 0, line}, &object,
                                       &card->gpo_template_whole);
    EmvBytes aip = kEmvNotGiven;
    read_aip_afl(card, object, &aip);
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
            card->records[i].later = data;  // read before: the first answer counts
            return;
        }
    }
    EmvOdaRecord record = {sfi, command->p1, false, false, data, line, kEmvNotGiven};
    emv_oda_place_record(card, &record);
    // Only a record the AFL lists is read for its objects; SFI 1-10 ones
    // must give them.
    const EmvBytes objects = record_objects(data);
    const bool tlv = emv_tlv_check(objects, nullptr) == EMV_TLV_OK;
    if (record.in_afl && sfi <= 10 && !emv_oda_tlv_ok(card, objects, line)) {
        return;
    }
    if (keep_record(card, record) && record.in_afl && tlv) {
        const EmvObjectPlace place = {EMV_SOURCE_RECORD, sfi, command->p1, line};
        emv_oda_add_objects(card, objects, &place);
    }
}

void emv_oda_take_internal_auth(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                                int32_t line)
{
    card->ia_line = line;
    card->ddol_data = command->data;
    EmvTlv object;
    card->ia_format = response_format(card, data, {EMV_SOURCE_INTERNAL_AUTH, 0, 0, line}, &object,
                                      &card->ia_template_whole);
    if (card->ia_format == 1) {
        card->ia_sdad = emv_tlv_value(&object);
    } else if (card->ia_format == 2) {
        card->ia_sdad = emv_oda_find_value(emv_tlv_value(&object), 0x9F4B);
    }
}

namespace {

EmvGenerateAc read_generate_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                               int32_t line)
{
    EmvGenerateAc ac = {
        line,         0,   (command->p1 & 0x10) != 0, command->data, kEmvNotGiven, kEmvNotGiven,
        kEmvNotGiven, true};
    EmvTlv object;
    ac.format = response_format(card, data, {EMV_SOURCE_GENERATE_AC, 0, 0, line}, &object,
                                &ac.template_whole);
    if (ac.format == 1 && object.length >= 1) {
        ac.cid = {object.value, 1};
    } else if (ac.format == 2) {
        ac.response_template = emv_tlv_value(&object);
        ac.sdad = emv_oda_find_value(ac.response_template, 0x9F4B);
        ac.cid = emv_oda_find_value(ac.response_template, 0x9F27);
    }
    return ac;
}

}  // namespace

void emv_oda_take_generate_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                              int32_t line)
{
    const EmvGenerateAc ac = read_generate_ac(card, command, data, line);
    card->genac_line = ac.line;
    card->genac_format = ac.format;
    card->cda_requested = ac.cda_requested;
    card->cdol1_data = ac.data;
    card->genac_template = ac.response_template;
    card->genac_sdad = ac.sdad;
    card->genac_cid = ac.cid;
    card->genac_template_whole = ac.template_whole;
}

void emv_oda_take_second_ac(EmvOdaCard* card, const EmvCommand* command, EmvBytes data,
                            int32_t line)
{
    card->genac2 = read_generate_ac(card, command, data, line);
}
