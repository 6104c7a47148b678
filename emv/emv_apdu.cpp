// Command APDUs split into header and data, and responses resolved through
// T=0's GET RESPONSE.
#include "emv/emv_apdu.h"

#include "emv/emv_internal.h"

namespace {

EmvCommandKind kind_of(const uint8_t* h)
{
    const uint8_t cla = h[0];
    const uint8_t ins = h[1];
    if (cla == 0x00 && ins == 0xA4 && h[2] == 0x04) {
        return EMV_CMD_SELECT_BY_NAME;
    }
    if (cla == 0x80 && (ins == 0xA8 || ins == 0xE0)) {
        return EMV_CMD_GPO;
    }
    if (cla == 0x00 && ins == 0xB2 && (h[3] & 0x07) == 0x04) {
        return EMV_CMD_READ_RECORD;
    }
    if (cla == 0x00 && ins == 0x88) {
        return EMV_CMD_INTERNAL_AUTH;
    }
    if (cla == 0x80 && ins == 0xAE) {
        return EMV_CMD_GENERATE_AC;
    }
    if (cla == 0x00 && ins == 0xC0) {
        return EMV_CMD_GET_RESPONSE;
    }
    return EMV_CMD_OTHER;
}

uint16_t sw_of(EmvBytes response)
{
    return (uint16_t)(response.data[response.length - 2] << 8 | response.data[response.length - 1]);
}

}  // namespace

EmvCommand emv_read_command(EmvBytes command)
{
    EmvCommand c = {EMV_CMD_OTHER, 0, 0, {nullptr, 0}, false, 0};
    if (!emv_given(command) || command.length < 4) {
        return c;
    }
    const uint8_t* h = command.data;
    c.kind = kind_of(h);
    c.ins = h[1];
    c.p1 = h[2];
    c.p2 = h[3];
    if (command.length <= 5) {
        c.well_formed = true;  // no data; at most Le
        return c;
    }
    const int32_t lc = h[4];
    if (lc > 0 && (command.length == 5 + lc || command.length == 6 + lc)) {
        c.data = {h + 5, lc};
        c.well_formed = true;
    }
    return c;
}

namespace {

// A response's data and SW, or why it gives none.
EmvAnswer answer_of(EmvBytes r, int32_t at)
{
    EmvAnswer a = {false, {nullptr, 0}, 0, 1, (EmvOdaErrorKind)0, at};
    if (!emv_given(r)) {
        return a;
    }
    if (r.length < 2) {
        a.error = EMV_ODA_ERROR_SHORT_RESPONSE;
        return a;
    }
    a.sw = sw_of(r);
    // 6CXX (wrong Le): the command is repeated with Le = XX next.
    a.answered = (a.sw >> 8) != 0x6C;
    a.data = {r.data, r.length - 2};
    return a;
}

bool is_get_response(const EmvExchange* exchanges, int32_t count, int32_t i)
{
    return i < count && emv_read_command(exchanges[i].command).kind == EMV_CMD_GET_RESPONSE;
}

}  // namespace

EmvAnswer emv_read_answer(const EmvExchange* exchanges, int32_t count, int32_t i)
{
    EmvAnswer a = answer_of(exchanges[i].response, i);
    if (!a.answered || (a.sw >> 8) != 0x61) {
        return a;
    }
    // 61XX: the answer is what the GET RESPONSE right after it gets.
    if (!is_get_response(exchanges, count, i + 1)) {
        a.answered = false;
        return a;
    }
    EmvAnswer next = answer_of(exchanges[i + 1].response, i + 1);
    next.used = 2;
    // 6CXX to the GET RESPONSE: it is sent again with Le = XX.
    if (next.error == 0 && (next.sw >> 8) == 0x6C && is_get_response(exchanges, count, i + 2)) {
        next = answer_of(exchanges[i + 2].response, i + 2);
        next.used = 3;
    }
    if (next.answered && (next.sw >> 8) == 0x61) {
        next.answered = false;
        next.error = EMV_ODA_ERROR_CHAINED;
    }
    return next;
}
