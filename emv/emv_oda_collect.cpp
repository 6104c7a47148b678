// One transaction out of a log of exchanges: where it starts (the SELECT
// that chose the application), its GET PROCESSING OPTIONS, where it ends
// (the next SELECT by name), and each command of it read into the card.
#include <cstring>

#include "emv/emv_internal.h"
#include "emv/emv_oda_internal.h"

namespace {

struct Bounds {
    int32_t select;  // -1: none
    int32_t gpo;     // -1: none
    int32_t end;     // one past the transaction's last exchange
};

bool answered_ok(const EmvExchange* exchanges, int32_t count, int32_t i)
{
    const EmvAnswer a = emv_read_answer(exchanges, count, i);
    return a.answered && a.error == 0 && a.sw == kEmvSwOk;
}

EmvCommandKind kind_at(const EmvExchange* exchanges, int32_t i)
{
    return emv_read_command(exchanges[i].command).kind;
}

// The last SELECT by name answered 9000 before `before`, or -1.
int32_t last_select(const EmvExchange* exchanges, int32_t count, int32_t before)
{
    int32_t found = -1;
    for (int32_t i = 0; i < before; ++i) {
        if (kind_at(exchanges, i) == EMV_CMD_SELECT_BY_NAME && answered_ok(exchanges, count, i)) {
            found = i;
        }
    }
    return found;
}

// A GET PROCESSING OPTIONS answer that could not be read (no SW, chained
// 61XX) may be the transaction's: it is taken, so its error is reported.
bool gpo_candidate(const EmvExchange* exchanges, int32_t count, int32_t i)
{
    if (kind_at(exchanges, i) != EMV_CMD_GPO) {
        return false;
    }
    const EmvAnswer a = emv_read_answer(exchanges, count, i);
    return a.error != 0 || (a.answered && a.sw == kEmvSwOk);
}

Bounds find_transaction(const EmvExchange* exchanges, int32_t count)
{
    Bounds b = {-1, -1, count};
    for (int32_t i = 0; i < count && b.gpo < 0; ++i) {
        if (gpo_candidate(exchanges, count, i)) {
            b.gpo = i;
        }
    }
    b.select = last_select(exchanges, count, b.gpo >= 0 ? b.gpo : count);
    const int32_t after = b.gpo >= 0 ? b.gpo : b.select;
    for (int32_t i = after + 1; i < count && after >= 0; ++i) {
        if (kind_at(exchanges, i) == EMV_CMD_SELECT_BY_NAME) {
            b.end = i;
            break;
        }
    }
    return b;
}

// Reads one answered command of the transaction into the card.
void take(EmvOdaCard* card, const Bounds& b, int32_t i, const EmvCommand& c, EmvBytes data,
          int32_t line)
{
    switch (c.kind) {
        case EMV_CMD_SELECT_BY_NAME:
            if (i == b.select) {
                emv_oda_take_select(card, &c, data, line);
            }
            break;
        case EMV_CMD_GPO:
            if (i == b.gpo) {
                emv_oda_take_gpo(card, &c, data, line);
            }
            break;
        case EMV_CMD_READ_RECORD:
            emv_oda_take_record(card, &c, data, line);
            break;
        case EMV_CMD_INTERNAL_AUTH:
            if (card->ia_line == 0) {
                emv_oda_take_internal_auth(card, &c, data, line);
            }
            break;
        case EMV_CMD_GENERATE_AC:
            if (card->genac_line == 0) {
                emv_oda_take_generate_ac(card, &c, data, line);
            } else if (card->genac2.line == 0) {
                emv_oda_take_second_ac(card, &c, data, line);
            }
            break;
        default:
            break;
    }
}

}  // namespace

bool emv_oda_collect(const EmvExchange* exchanges, int32_t count, EmvOdaCard* card)
{
    memset(card, 0, sizeof *card);
    card->aid = kEmvNotGiven;
    card->rid = kEmvNotGiven;
    card->pdol_data = kEmvNotGiven;
    card->gpo_data = kEmvNotGiven;
    card->afl = kEmvNotGiven;
    card->gpo_template = kEmvNotGiven;
    card->ddol_data = kEmvNotGiven;
    card->ia_sdad = kEmvNotGiven;
    card->cdol1_data = kEmvNotGiven;
    card->genac_template = kEmvNotGiven;
    card->genac_sdad = kEmvNotGiven;
    card->genac_cid = kEmvNotGiven;
    card->genac_template_whole = true;
    card->gpo_template_whole = true;
    card->ia_template_whole = true;
    card->genac2 = {0, 0, false, kEmvNotGiven, kEmvNotGiven, kEmvNotGiven, kEmvNotGiven, true};
    if (exchanges == nullptr || count < 0) {
        count = 0;
    }
    const Bounds b = find_transaction(exchanges, count);
    for (int32_t i = b.select < 0 ? 0 : b.select; i < b.end;) {
        const EmvAnswer a = emv_read_answer(exchanges, count, i);
        const int32_t line = exchanges[i].line;
        if (a.error != 0) {
            emv_oda_error(card, a.error, exchanges[a.error_at].line, {EMV_TLV_OK, 0});
        }
        const EmvCommand c = emv_read_command(exchanges[i].command);
        if (a.answered && a.error == 0 && a.sw == kEmvSwOk && c.kind != EMV_CMD_OTHER) {
            if (!c.well_formed) {
                emv_oda_error(card, EMV_ODA_ERROR_BAD_COMMAND, line, {EMV_TLV_OK, 0});
            } else {
                take(card, b, i, c, a.data, line);
            }
        }
        i += a.used;
    }
    emv_oda_finish_card(card);
    return card->error_count == 0;
}
