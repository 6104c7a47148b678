// Command and response APDUs as the ODA collection reads them: the command's
// header and data, and a response's final answer once T=0's 61XX / GET
// RESPONSE and 6CXX / repeat are resolved. Not part of the library's
// interface: emv_oda_card.h is.
#pragma once

#include <cstdint>

#include "emv/emv_oda_card.h"

// What a command is, from its class and instruction.
enum EmvCommandKind : uint8_t {
    EMV_CMD_OTHER = 0,
    EMV_CMD_SELECT_BY_NAME,  // 00 A4 04 xx
    EMV_CMD_GPO,             // 80 A8, or 80 E0 (extended)
    EMV_CMD_READ_RECORD,     // 00 B2, P2 = SFI << 3 | 4
    EMV_CMD_INTERNAL_AUTH,   // 00 88
    EMV_CMD_GENERATE_AC,     // 80 AE
    EMV_CMD_GET_RESPONSE,    // 00 C0
};

struct EmvCommand {
    EmvCommandKind kind;
    uint8_t p1;
    uint8_t p2;
    EmvBytes data;     // Lc bytes after the header (empty without Lc)
    bool well_formed;  // 4 bytes; 5 (Le); or 5 + Lc, optionally followed by Le
    uint8_t ins;
};

EmvCommand emv_read_command(EmvBytes command);

// The final answer to exchanges[i]: its data (SW left out) and SW, and how
// many exchanges it took (2 with a GET RESPONSE, else 1).
struct EmvAnswer {
    bool answered;  // false: no response, a 6CXX (repeat follows), or a 61XX without
                    // GET RESPONSE after it
    EmvBytes data;
    uint16_t sw;
    int32_t used;
    EmvOdaErrorKind error;  // 0, or EMV_ODA_ERROR_SHORT_RESPONSE / EMV_ODA_ERROR_CHAINED
    int32_t error_at;       // the exchange the error is in
};

EmvAnswer emv_read_answer(const EmvExchange* exchanges, int32_t count, int32_t i);

constexpr uint16_t kEmvSwOk = 0x9000;
