// Command APDUs named from their class and instruction, with what P1 and P2
// say for the commands whose parameters a reader needs.
#include <cstring>

#include "emv/emv_apdu.h"
#include "emv/emv_decode.h"

namespace {

// Which classes a command is sent in: interindustry (bit 8 of CLA clear),
// proprietary (set), or either.
enum ClassKind : uint8_t { kIso, kProprietary, kAny };

struct CommandName {
    uint8_t ins;
    ClassKind cla;
    const char* name;
};

const CommandName kCommands[] = {
    {0xA4, kIso, "SELECT"},
    {0xA8, kProprietary, "GET PROCESSING OPTIONS"},
    {0xB2, kIso, "READ RECORD"},
    {0xCA, kAny, "GET DATA"},
    {0x88, kIso, "INTERNAL AUTHENTICATE"},
    {0xAE, kProprietary, "GENERATE AC"},
    {0x20, kIso, "VERIFY"},
    {0x84, kIso, "GET CHALLENGE"},
    {0x82, kIso, "EXTERNAL AUTHENTICATE"},
    {0xDA, kAny, "PUT DATA"},
    {0xDB, kAny, "PUT DATA"},
    {0xC0, kIso, "GET RESPONSE"},
    {0x2A, kProprietary, "COMPUTE CRYPTOGRAPHIC CHECKSUM"},
    {0xEA, kProprietary, "EXCHANGE RELAY RESISTANCE DATA"},
    {0x1E, kProprietary, "APPLICATION BLOCK"},
    {0x18, kProprietary, "APPLICATION UNBLOCK"},
    {0x16, kProprietary, "CARD BLOCK"},
    {0x24, kProprietary, "PIN CHANGE/UNBLOCK"},
};

const char* name_of(uint8_t cla, uint8_t ins)
{
    if (cla == 0xFF)  // the reader's own pseudo-commands, never the card's
        return "UNKNOWN";
    const bool proprietary = (cla & 0x80) != 0;
    for (const CommandName& c : kCommands) {
        if (c.ins != ins)
            continue;
        if (c.cla == kAny || (c.cla == kProprietary) == proprietary)
            return c.name;
    }
    return "UNKNOWN";
}

bool data_is(EmvBytes data, const char* text)
{
    const size_t n = strlen(text);
    return data.length == static_cast<int32_t>(n) && memcmp(data.data, text, n) == 0;
}

EmvSelectTarget select_target(const EmvCommandInfo* c)
{
    if (c->ins != 0xA4 || c->p1 != 0x04)
        return EMV_SELECT_NONE;
    if (data_is(c->data, "1PAY.SYS.DDF01"))
        return EMV_SELECT_PSE;
    if (data_is(c->data, "2PAY.SYS.DDF01"))
        return EMV_SELECT_PPSE;
    return EMV_SELECT_AID;
}

bool named(const EmvCommandInfo* c, const char* name)
{
    return strcmp(c->name, name) == 0;
}

}  // namespace

EmvCryptogram emv_cryptogram_of(uint8_t bits)
{
    return static_cast<EmvCryptogram>(bits >> 6);
}

const char* emv_cryptogram_name(EmvCryptogram cryptogram)
{
    static const char* const kNames[] = {"AAC", "TC", "ARQC", "RFU"};
    return kNames[cryptogram & 3];
}

void emv_decode_command(EmvBytes apdu, EmvCommandInfo* out)
{
    memset(out, 0, sizeof *out);
    out->name = "UNKNOWN";
    if (apdu.data == nullptr || apdu.length < 4)
        return;
    const EmvCommand command = emv_read_command(apdu);
    out->cla = apdu.data[0];
    out->ins = apdu.data[1];
    out->p1 = apdu.data[2];
    out->p2 = apdu.data[3];
    out->data = command.data;
    out->well_formed = command.well_formed;
    out->name = name_of(out->cla, out->ins);
    if (named(out, "READ RECORD")) {
        out->sfi = static_cast<uint8_t>(out->p2 >> 3);
        out->record = out->p1;
    } else if (named(out, "GET DATA") || named(out, "PUT DATA")) {
        out->tag = static_cast<uint32_t>(out->p1 << 8 | out->p2);
    } else if (named(out, "GENERATE AC")) {
        out->is_genac = true;
        out->cryptogram = emv_cryptogram_of(out->p1);
        out->cda = (out->p1 & 0x10) != 0;
    } else if (named(out, "VERIFY")) {
        out->pin = out->p2 == 0x80   ? EMV_PIN_PLAINTEXT
                   : out->p2 == 0x88 ? EMV_PIN_ENCIPHERED
                                     : EMV_PIN_NONE;
    } else if (named(out, "SELECT")) {
        out->select = select_target(out);
    }
}

EmvDolKind emv_command_dol(const EmvCommandInfo* command, int32_t genac_before)
{
    if (named(command, "GET PROCESSING OPTIONS"))
        return EMV_DOL_PDOL;
    if (named(command, "INTERNAL AUTHENTICATE"))
        return EMV_DOL_DDOL;
    if (command->is_genac)
        return genac_before == 0 ? EMV_DOL_CDOL1 : EMV_DOL_CDOL2;
    return EMV_DOL_NONE;
}

const char* emv_dol_kind_name(EmvDolKind kind)
{
    static const char* const kNames[] = {nullptr, "PDOL", "CDOL1", "CDOL2", "DDOL"};
    return kind <= EMV_DOL_DDOL ? kNames[kind] : nullptr;
}

uint32_t emv_dol_kind_tag(EmvDolKind kind)
{
    static const uint32_t kTags[] = {0, 0x9F38, 0x8C, 0x8D, 0x9F49};
    return kind <= EMV_DOL_DDOL ? kTags[kind] : 0;
}
