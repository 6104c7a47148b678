// What the bytes of a terminal's log mean to a person reading it: the
// command an APDU is, what its status word says, the bits of the coded data
// elements (AIP, TVR, TSI, CVM, CID, terminal capabilities, ...), the CVM
// list and results, the terminal and transaction types, and the currency
// and country codes. Static tables only: nothing is allocated, texts are
// static strings or written into the caller's buffer.
#pragma once

#include <cstdint>

#include "emv/emv.h"

// --- Commands ---------------------------------------------------------------

enum EmvCryptogram : uint8_t {
    EMV_CRYPTOGRAM_AAC = 0,
    EMV_CRYPTOGRAM_TC = 1,
    EMV_CRYPTOGRAM_ARQC = 2,
    EMV_CRYPTOGRAM_RFU = 3,
};

enum EmvPinBlock : uint8_t {
    EMV_PIN_NONE = 0,  // not a VERIFY, or a PIN format not named (P2 other than 80, 88)
    EMV_PIN_PLAINTEXT = 1,
    EMV_PIN_ENCIPHERED = 2,
};

// What a SELECT by name selects.
enum EmvSelectTarget : uint8_t {
    EMV_SELECT_NONE = 0,  // not a SELECT by name
    EMV_SELECT_PSE = 1,   // 1PAY.SYS.DDF01
    EMV_SELECT_PPSE = 2,  // 2PAY.SYS.DDF01
    EMV_SELECT_AID = 3,
};

// Which data object list built a command's data.
enum EmvDolKind : uint8_t {
    EMV_DOL_NONE = 0,
    EMV_DOL_PDOL = 1,   // GET PROCESSING OPTIONS: the value of 83
    EMV_DOL_CDOL1 = 2,  // the first GENERATE AC of a transaction
    EMV_DOL_CDOL2 = 3,  // a later GENERATE AC
    EMV_DOL_DDOL = 4,   // INTERNAL AUTHENTICATE
};

struct EmvCommandInfo {
    const char* name;  // upper case: "READ RECORD", "GENERATE AC", "UNKNOWN"
    uint8_t cla, ins, p1, p2;
    EmvBytes data;     // the Lc data (empty without Lc)
    bool well_formed;  // 4 bytes; 5 (Le); 5 + Lc, with or without Le
    uint8_t sfi;       // READ RECORD: P2 >> 3; else 0
    uint8_t record;    // READ RECORD: P1; else 0
    uint32_t tag;      // GET DATA, PUT DATA: P1 P2; else 0
    bool is_genac;     // GENERATE AC: cryptogram and cda below
    EmvCryptogram cryptogram;
    bool cda;         // CDA signature requested (P1 bit 5)
    EmvPinBlock pin;  // VERIFY
    EmvSelectTarget select;
};

// Names the command apdu (at least its 4 header bytes, else "UNKNOWN").
void emv_decode_command(EmvBytes apdu, EmvCommandInfo* out);

// The DOL that built the command's data; genac_before: how many GENERATE
// ACs of the same transaction came before it (the first uses CDOL1).
EmvDolKind emv_command_dol(const EmvCommandInfo* command, int32_t genac_before);

// "AAC", "TC", "ARQC", "RFU".
const char* emv_cryptogram_name(EmvCryptogram cryptogram);
// The cryptogram type bits 8-7 of P1 of GENERATE AC, or of the CID.
EmvCryptogram emv_cryptogram_of(uint8_t bits);
// "PDOL", "CDOL1", "CDOL2", "DDOL"; null for none.
const char* emv_dol_kind_name(EmvDolKind kind);
// The tag of the DOL: 9F38, 8C, 8D, 9F49; 0 for none.
uint32_t emv_dol_kind_tag(EmvDolKind kind);

// --- Status words -------------------------------------------------------

// What SW1 SW2 says, into out (capacity bytes, NUL included; 80 is enough):
// "success", "61XX: 46 bytes of response data still available", "PIN
// verification failed, 2 tries left", "unknown". Returns out.
const char* emv_sw_meaning(uint16_t sw, char* out, int32_t capacity);

// --- Bit fields ---------------------------------------------------------

// True for the tags whose value is a set of bits decoded bit by bit: 82,
// 95, 9F0D, 9F0E, 9F0F, 9B, 9F07, 9F27, 9F33, 9F40.
bool emv_is_bit_field(uint32_t tag);

// The meaning of a bit of tag's value (byte 1 is the first, bit 8 the most
// significant, as EMV numbers them); "RFU" when the bit has none.
const char* emv_bit_meaning(uint32_t tag, int32_t byte, int32_t bit);

// --- Cardholder verification ----------------------------------------------

// A CV rule: the method code (bits 6-1 of the first byte), whether a failure
// lets the next rule apply (bit 7), and the condition code.
struct EmvCvRule {
    uint8_t method;
    bool apply_next;
    uint8_t condition;
};

EmvCvRule emv_cv_rule(uint8_t first, uint8_t condition);
// "Plaintext PIN verification performed by ICC", ..., "RFU".
const char* emv_cvm_method_name(uint8_t method);
// "Always", "If terminal supports the CVM", ..., "RFU".
const char* emv_cvm_condition_name(uint8_t condition);
// The third byte of 9F34: "Unknown", "Failed", "Successful", "RFU".
const char* emv_cvm_result_name(uint8_t result);

// --- Types of terminal and transaction ---------------------------------

// 9F35 into out (capacity bytes, NUL included; 80 is enough): "Merchant,
// attended, offline with online capability"; empty when not a defined type.
void emv_terminal_type_text(uint8_t type, char* out, int32_t capacity);
// 9C: "Goods and services", "Cash", ...; null when not a common type.
const char* emv_transaction_type_name(uint8_t type);

// --- ISO 4217 currencies and ISO 3166 countries --------------------------

struct EmvCurrency {
    uint16_t numeric;   // 978
    const char* alpha;  // "EUR"
    int8_t exponent;    // minor units, 2; -1 where none is defined
    const char* name;
};

struct EmvCountry {
    uint16_t numeric;    // 246
    const char* alpha3;  // "FIN"
    const char* name;
};

// The entry for the numeric code, or null when the table has none.
const EmvCurrency* emv_currency(uint16_t numeric);
const EmvCountry* emv_country(uint16_t numeric);

// A BCD value of up to 4 digits (5F2A, 9F1A, 5F28, 9F42: 0978) as a
// number; -1 when a nibble is not a digit or the value is not 2 bytes.
int32_t emv_bcd_code(EmvBytes value);
