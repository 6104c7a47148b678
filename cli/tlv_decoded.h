// What a value means, for the data elements whose coding a reader cannot
// see at a glance in hex: the DOLs (9F38, 8C, 8D, 9F49, 97: each tag, its
// length and name), the AFL (94), the bit fields (82 AIP, 95 TVR and the
// issuer action codes 9F0D-9F0F, 9B TSI, 9F07, 9F27 CID, 9F33, 9F40, the
// contactless qualifiers 9F66 and 9F6C), the card authentication related
// data (9F69: {version, card_unpredictable_number, ctq {value, bits}}), the
// CVM list (8E) and results (9F34), the terminal and transaction types
// (9F35, 9C), currencies and countries (5F2A, 9F42, 9F1A, 5F28), amounts
// (9F02, 9F03), dates (5F24, 5F25, 9A) and the time (9F21). The rules are
// emv/emv_decode.h's; this shapes them for tlv, oda, trace and the report.
//
// JSON ("decoded"): a bit field {bits: [{byte, bit, meaning}]} (the bits
// set; RFU ones with the meaning "RFU"), the AIP also {oda_methods}, the CID
// also {cryptogram}; the CVM list {x, y, rules: [{method, condition,
// method_name, condition_name, apply_next}]}; 9F34 a rule and {result,
// result_name}; the AFL {entries: [{sfi, first, last, oda_records}]}; a DOL
// {entries: [{tag, length, name}]}; 9C, 9F35 {meaning}; a currency or
// country {numeric, alpha, name}; an amount {value}; a date {date}; a time
// {time}. A value that does not follow its coding: {problem}.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/output.h"
#include "emv/emv.h"

// What decodes depend on beyond the value: the minor units of the
// transaction currency (5F2A) where the data hold one, else -1.
struct DecodeContext {
    int currency_exponent = -1;
};

// The decoded form of the value, null for tags without a decoder.
Json decoded_json(uint32_t tag, EmvBytes value, const DecodeContext& context = {});

// The lines of text saying what decoded_json found.
std::vector<std::string> decoded_lines(uint32_t tag, const Json& decoded);

// Lines saying what value means; none for other tags.
std::vector<std::string> decoded_value(uint32_t tag, EmvBytes value);

// The minor units of the currency whose 5F2A value is given; -1 when it is
// not a known currency.
int currency_exponent(EmvBytes value);

// The AIP's methods, "SDA, DDA, CDA" or "none".
std::string aip_methods(const uint8_t aip[2]);

// One AFL entry, "SFI 1: records 2-3, 1 for ODA".
std::string afl_entry_text(uint8_t sfi, uint8_t first, uint8_t last, uint8_t oda_records);

// The tag as its bytes in hex, "9F38".
std::string tag_text(uint32_t tag);
